#include "dqe/mtf_file.h"

#include <charconv>
#include <cmath>
#include <map>

#include "core/file_bytes.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

[[noreturn]] void Unreadable(std::string_view path, std::size_t line)
{
    ThrowFailure(FailureCode::kDqeMtfUnreadable, {std::string(path), IntToStr(static_cast<long long>(line))});
}

[[noreturn]] void NoCurve(std::string_view path)
{
    ThrowFailure(FailureCode::kDqeMtfNoCurve, {std::string(path)});
}

// A whole field as a finite double; nullopt when it is not one.
std::optional<double> Number(std::string_view s)
{
    double x = 0.0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), x);
    if (error != std::errc() || end != s.data() + s.size() || s.empty() || !std::isfinite(x))
        return std::nullopt;
    return x;
}

void CheckRising(const MtfCurve& c, std::string_view path)
{
    if (c.frequency.empty()) NoCurve(path);
    for (std::size_t i = 1; i < c.frequency.size(); ++i)
        if (!(c.frequency[i] > c.frequency[i - 1])) NoCurve(path);
}

// ---- CSV (RFC 4180 as the report writes it) ----

// The fields of the record starting at `at`; `at` moves past it, `line`
// counts the line breaks read.
std::vector<std::string> CsvRecord(std::string_view text, std::size_t& at, std::size_t& line,
                                   std::string_view path)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    const std::size_t startLine = line;
    while (at < text.size()) {
        const char c = text[at++];
        if (quoted) {
            if (c == '"') {
                if (at < text.size() && text[at] == '"') {
                    fields.back() += '"';
                    ++at;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n') ++line;
                fields.back() += c;
            }
        } else if (c == '"' && fields.back().empty()) {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            ++line;
            break;
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    if (quoted) Unreadable(path, startLine);
    return fields;
}

MtfCurve ReadCsv(std::string_view text, std::string_view path)
{
    std::size_t at = 0, line = 1;
    const std::vector<std::string> header = CsvRecord(text, at, line, path);
    std::map<std::string, std::size_t> column;
    for (std::size_t i = 0; i < header.size(); ++i) column.emplace(header[i], i);
    for (const char* key : {"frequency_cy_per_mm", "mtf", "u_mtf"})
        if (!column.count(key)) Unreadable(path, 1);
    const auto file = column.find("file");
    const std::size_t cf = column["frequency_cy_per_mm"], cm = column["mtf"], cu = column["u_mtf"];
    MtfCurve c;
    std::optional<std::string> firstFile;
    while (at < text.size()) {
        const std::size_t here = line;
        const std::vector<std::string> f = CsvRecord(text, at, line, path);
        if (f.size() == 1 && f[0].empty()) continue;  // a blank line
        if (f.size() != header.size()) Unreadable(path, here);
        if (file != column.end()) {
            if (!firstFile) firstFile = f[file->second];
            if (f[file->second] != *firstFile) Unreadable(path, here);  // a second file's MTF
        }
        const std::optional<double> freq = Number(f[cf]), mtf = Number(f[cm]);
        if (!freq || !mtf) Unreadable(path, here);  // also a failed measurement's empty row
        std::optional<double> u;
        if (!f[cu].empty() && !(u = Number(f[cu]))) Unreadable(path, here);
        c.frequency.push_back(*freq);
        c.mtf.push_back(*mtf);
        c.uncertainty.push_back(u ? *u : NAN);
    }
    CheckRising(c, path);
    return c;
}

// ---- JSON: the small part of it the report writes ----

struct Json {
    enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
    double number = 0.0;
    std::string string;
    std::vector<Json> items;
    // An object's members as two lists (a pair would need Json complete here).
    std::vector<std::string> keys;
    std::vector<Json> values;
    const Json* Find(std::string_view key) const
    {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) return &values[i];
        return nullptr;
    }
};

class JsonReader {
public:
    JsonReader(std::string_view text, std::string_view path) : text_(text), path_(path) {}

    Json Document()
    {
        Json j = Value(0);
        Space();
        if (at_ != text_.size()) Fail();
        return j;
    }

private:
    [[noreturn]] void Fail()
    {
        std::size_t line = 1;
        for (std::size_t i = 0; i < std::min(at_, text_.size()); ++i) line += text_[i] == '\n';
        Unreadable(path_, line);
    }
    void Space()
    {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    bool Take(char c)
    {
        Space();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view w)
    {
        if (text_.substr(at_, w.size()) != w) return false;
        at_ += w.size();
        return true;
    }
    std::string String()
    {
        if (!Take('"')) Fail();
        std::string s;
        while (true) {
            if (at_ >= text_.size()) Fail();
            const char c = text_[at_++];
            if (c == '"') return s;
            if (c != '\\') {
                s += c;
                continue;
            }
            if (at_ >= text_.size()) Fail();
            const char e = text_[at_++];
            switch (e) {
                case 'n':
                    s += '\n';
                    break;
                case 't':
                    s += '\t';
                    break;
                case 'r':
                    s += '\r';
                    break;
                case 'b':
                    s += '\b';
                    break;
                case 'f':
                    s += '\f';
                    break;
                case 'u':  // kept as written: only keys and numbers matter here
                    if (at_ + 4 > text_.size()) Fail();
                    s += "\\u";
                    s += text_.substr(at_, 4);
                    at_ += 4;
                    break;
                default:
                    s += e;
            }
        }
    }
    Json Value(int depth)
    {
        if (depth > 64) Fail();  // no report nests this deep
        Space();
        if (at_ >= text_.size()) Fail();
        Json j;
        const char c = text_[at_];
        if (c == '{') {
            ++at_;
            j.kind = Json::Kind::kObject;
            if (Take('}')) return j;
            do {
                std::string key = String();
                if (!Take(':')) Fail();
                Json value = Value(depth + 1);
                j.keys.push_back(std::move(key));
                j.values.push_back(std::move(value));
            } while (Take(','));
            if (!Take('}')) Fail();
        } else if (c == '[') {
            ++at_;
            j.kind = Json::Kind::kArray;
            if (Take(']')) return j;
            do j.items.push_back(Value(depth + 1));
            while (Take(','));
            if (!Take(']')) Fail();
        } else if (c == '"') {
            j.kind = Json::Kind::kString;
            j.string = String();
        } else if (Word("null")) {
        } else if (Word("true") || Word("false")) {
            j.kind = Json::Kind::kBool;
        } else {
            std::size_t end = at_;
            while (end < text_.size() &&
                   std::string_view("+-.0123456789eE").find(text_[end]) != std::string_view::npos)
                ++end;
            const std::optional<double> x = Number(text_.substr(at_, end - at_));
            if (!x) Fail();
            at_ = end;
            j.kind = Json::Kind::kNumber;
            j.number = *x;
        }
        return j;
    }

    std::string_view text_, path_;
    std::size_t at_ = 0;
};

MtfCurve ReadJson(std::string_view text, std::string_view path)
{
    const Json doc = JsonReader(text, path).Document();
    const Json* report = &doc;
    if (doc.kind == Json::Kind::kArray) {
        if (doc.items.size() != 1) NoCurve(path);  // none, or several files' MTFs
        report = &doc.items[0];
    }
    if (report->kind != Json::Kind::kObject) NoCurve(path);
    const Json* status = report->Find("status");
    if (status && (status->kind != Json::Kind::kString || status->string != "ok")) NoCurve(path);
    const Json* points = report->Find("points");
    if (!points || points->kind != Json::Kind::kArray) NoCurve(path);
    MtfCurve c;
    for (const Json& p : points->items) {
        const Json* f = p.Find("frequency_cy_per_mm");
        const Json* m = p.Find("mtf");
        const Json* u = p.Find("u_mtf");
        if (!f || !m || f->kind != Json::Kind::kNumber || m->kind != Json::Kind::kNumber ||
            (u && u->kind != Json::Kind::kNumber && u->kind != Json::Kind::kNull))
            NoCurve(path);
        c.frequency.push_back(f->number);
        c.mtf.push_back(m->number);
        c.uncertainty.push_back(u && u->kind == Json::Kind::kNumber ? u->number : NAN);
    }
    CheckRising(c, path);
    return c;
}

}  // namespace

MtfCurve ReadMtfText(std::string_view text, std::string_view path)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte-order mark
    std::size_t first = 0;
    while (first < text.size() &&
           (text[first] == ' ' || text[first] == '\n' || text[first] == '\r' || text[first] == '\t'))
        ++first;
    if (first < text.size() && (text[first] == '[' || text[first] == '{')) return ReadJson(text, path);
    return ReadCsv(text, path);
}

void CheckMtfCurve(const MtfCurve& curve, std::string_view source)
{
    if (curve.mtf.size() != curve.frequency.size() || curve.uncertainty.size() != curve.frequency.size())
        NoCurve(source);
    for (std::size_t i = 0; i < curve.frequency.size(); ++i)
        if (!std::isfinite(curve.frequency[i]) || !std::isfinite(curve.mtf[i])) NoCurve(source);
    CheckRising(curve, source);
}

MtfCurve ReadMtfFile(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadRegularFile(path, bytes)) ThrowCannotOpen(path);
    return ReadMtfText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path);
}

}  // namespace radmtf

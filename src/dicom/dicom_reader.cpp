#include "dicom/dicom_reader.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "core/failure.h"
#include "core/numtext.h"
#include "dicom/dictionary.h"
#include "dicom/pixel_decoder.h"

namespace radmtf {

namespace {

enum class SequenceState { kNone, kInside, kEnded };

constexpr std::size_t kMaxLongValueListed = 4096;

bool IsUpperLetter(std::uint8_t byte)
{
    return byte >= 'A' && byte <= 'Z';
}

// Trailing blanks and control characters removed.
std::string_view TrimRight(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

// The text before the first backslash; empty when there is none.
std::string FirstPart(std::string_view text)
{
    const std::size_t slash = text.find('\\');
    return slash == std::string_view::npos ? std::string() : std::string(text.substr(0, slash));
}

// Bounds-checked little-endian reading of the file. Every read and skip
// refuses to pass the end instead of reading past it.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t position() const { return pos_; }
    void MoveTo(std::size_t pos) { pos_ = std::min(pos, size_); }
    bool Has(std::size_t count) const { return count <= size_ - pos_; }
    std::uint8_t At(std::size_t offset) const { return data_[pos_ + offset]; }

    bool Read16(std::uint16_t& value)
    {
        if (!Has(2)) return false;
        value = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }
    bool Skip(std::size_t count)
    {
        if (!Has(count)) return false;
        pos_ += count;
        return true;
    }
    bool ReadText(std::size_t count, std::string& text)
    {
        if (!Has(count)) return false;
        text.assign(reinterpret_cast<const char*>(data_ + pos_), count);
        pos_ += count;
        return true;
    }
    void SkipZeros()
    {
        while (pos_ < size_ && data_[pos_] == 0) ++pos_;
    }
    bool Matches(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) const
    {
        return Has(4) && At(0) == b0 && At(1) == b1 && At(2) == b2 && At(3) == b3;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// First offset of needle[0, n) in data[from, last], or npos. `last` bounds
// the offset of the match's final byte.
std::size_t Find(const std::uint8_t* data, std::size_t size, std::size_t from, std::size_t lastByte,
                 const std::uint8_t* needle, std::size_t n)
{
    if (size < n) return std::string_view::npos;
    lastByte = std::min(lastByte, size - 1);
    for (std::size_t i = from; i + n - 1 <= lastByte; ++i)
        if (std::equal(needle, needle + n, data + i)) return i;
    return std::string_view::npos;
}

DicomTableRow& RowAt(DicomHeaderOutput& out, int row)
{
    std::vector<DicomTableRow>& rows = out.table.rows;
    const std::size_t index = static_cast<std::size_t>(row - 1);
    if (rows.size() <= index) rows.resize(index + 1);
    out.rowCount = std::max(out.rowCount, static_cast<int>(rows.size()) + 1);
    return rows[index];
}

// The cells a row can hold, as bits of DicomTableRow::written.
enum : std::uint8_t {
    kNumberCell = 1u << 0,
    kGroupCell = 1u << 1,
    kElementCell = 1u << 2,
    kVrCell = 1u << 3,
    kLengthCell = 1u << 4,
    kNameCell = 1u << 5,
    kValueCell = 1u << 6,
};

void SetVr(DicomTableRow& row, std::string_view vr)
{
    row.vrSize = static_cast<std::uint8_t>(std::min<std::size_t>(vr.size(), 2));
    std::copy_n(vr.data(), row.vrSize, row.vr);
    row.written |= kVrCell;
}

// The names of the listed elements: each distinct tag is looked up once and
// its name enters the table once.
class NameList {
public:
    NameList(std::string_view dictionaryText, DicomTable& table)
        : dictionaryText_(dictionaryText), table_(table)
    {
    }

    std::uint32_t Index(std::uint16_t group, std::uint16_t element)
    {
        const auto [found, added] = indices_.try_emplace((std::uint32_t{group} << 16) | element, 0);
        if (added) {
            std::string name = LookupElementName(dictionaryText_, group, element);
            if (!name.empty()) {
                found->second = static_cast<std::uint32_t>(table_.names.size());
                table_.names.push_back(std::move(name));
            }
        }
        return found->second;
    }

private:
    std::string_view dictionaryText_;
    DicomTable& table_;
    std::unordered_map<std::uint32_t, std::uint32_t> indices_;
};

// The fields of one element as the walk has read them.
struct Element {
    std::uint16_t group = 0;
    std::uint16_t number = 0;
    std::string vr;
    std::uint16_t lengthField = 0;  // shown in "CHR#"
    std::string value;
};

// Replaces 16-bit binary values by their decimal text: every "US" value and,
// in implicit VR, 2-byte values of the groups above 0020, which there are
// mostly US/SS image attributes. Rescale Type (0028,1053) is a text.
void ConvertBinaryNumber(Element& e)
{
    if (e.group == 0x0028 && e.number == 0x1053) return;
    const bool implicitShort = e.vr.empty() && e.value.size() == 2 && e.group > 0x0020;
    if (e.vr != "US" && !implicitShort) return;
    // A 1-byte "US" value reads as if a NUL followed it.
    const auto byte = [&](std::size_t i) {
        return i < e.value.size() ? static_cast<unsigned>(static_cast<unsigned char>(e.value[i])) : 0u;
    };
    const auto word = static_cast<std::int16_t>(static_cast<std::uint16_t>(byte(0) | (byte(1) << 8)));
    e.value = IntToStr(word);
}

// Explicit VRs whose element header has 2 reserved bytes and a 4-byte length.
bool HasFourByteLength(std::string_view vr)
{
    static constexpr std::string_view kLong[] = {"OB", "OD", "OF", "OL", "OV", "OW", "SQ",
                                                 "UC", "UN", "UR", "UT", "SV", "UV"};
    return std::find(std::begin(kLong), std::end(kLong), vr) != std::end(kLong);
}

// The number of a short decimal text such as the walk makes of a "US" value.
std::optional<int> SmallNumber(std::string_view text)
{
    text = TrimRight(text);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The first of a multi-valued text, or the whole text; trimmed.
std::string FirstValue(std::string_view text)
{
    text = TrimRight(text.substr(0, text.find('\\')));
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return std::string(text);
}

// What the measurement needs to know of the samples (DicomImageFacts).
void NoteImageFacts(const Element& e, DicomImageFacts& facts)
{
    switch ((static_cast<std::uint32_t>(e.group) << 16) | e.number) {
        case 0x00280103:
            facts.pixelRepresentation = SmallNumber(e.value);
            break;
        case 0x00280101:
            facts.bitsStored = SmallNumber(e.value);
            break;
        case 0x00280004:
            facts.photometric = FirstValue(e.value);
            break;
        case 0x00080068:
            facts.presentationIntent = FirstValue(e.value);
            break;
        case 0x00181164:
            facts.imagerPixelSpacing = FirstValue(e.value);
            break;
        case 0x00280030:
            facts.pixelSpacing = FirstValue(e.value);
            break;
        default:
            break;
    }
    // The QA fields: the first occurrence counts (a sequence item further on
    // describes something else).
    std::string* qa = nullptr;
    switch ((static_cast<std::uint32_t>(e.group) << 16) | e.number) {
        case 0x00080080:
            qa = &facts.qa.institution;
            break;
        case 0x00080070:
            qa = &facts.qa.manufacturer;
            break;
        case 0x00081090:
            qa = &facts.qa.model;
            break;
        case 0x00181000:
            qa = &facts.qa.serialNumber;
            break;
        case 0x0018700A:
            qa = &facts.qa.detectorId;
            break;
        case 0x00180060:
            qa = &facts.qa.kvp;
            break;
        case 0x00181153:
            qa = &facts.qa.exposureUAs;
            break;
        case 0x00080022:
            qa = &facts.qa.acquisitionDate;
            break;
        case 0x00080023:
            qa = &facts.qa.contentDate;
            break;
        case 0x00080020:
            qa = &facts.qa.studyDate;
            break;
        default:
            break;
    }
    if (qa && qa->empty()) *qa = FirstValue(e.value);
}

bool IsLutSequenceTag(std::uint16_t group, std::uint16_t number)
{
    return group == 0x0028 && (number == 0x3010 || number == 0x3000);
}

// A text's integer, as an edit would read it; none when it is no integer.
std::optional<std::int32_t> IntegerOf(std::string_view text)
{
    try {
        return StrToInt(text);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

std::optional<long double> NumberOf(std::string_view text)
{
    try {
        return StrToFloat(text);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

// The file's own text of a window value, with its number when it is one.
DicomWindowValue WrittenWindowValue(std::string text)
{
    const std::optional<long double> number = NumberOf(text);
    return {number, std::move(text)};
}

// Picks out the values the viewer needs. Throws on a window or rescale text
// that is not a number, before setting the value it would give.
void ApplyElementRules(const Element& e, std::string_view windowWidthBefore, DicomHeaderOutput& out)
{
    NoteImageFacts(e, out.facts);
    const std::uint32_t tag = (static_cast<std::uint32_t>(e.group) << 16) | e.number;
    const auto setSpacing = [&](const char* source) {
        out.pixelSpacingWritten = FirstPart(e.value);
        out.pixelSpacing = NumberOf(*out.pixelSpacingWritten);
        out.pixelSpacingSource = source;
    };
    switch (tag) {
        case 0x00020010: {
            const std::string_view syntax = TrimRight(e.value);
            if (syntax == "1.2.840.10008.1.2" || syntax == "1.2.840.10008.1.2.1") out.swap = false;
            if (syntax == "1.2.840.10008.1.2.2") out.swap = true;
            break;
        }
        case 0x00280010:  // Rows
            out.rows = IntegerOf(e.value);
            break;
        case 0x00280011:  // Columns
            out.columns = IntegerOf(e.value);
            break;
        case 0x00181164:  // Imager Pixel Spacing
            setSpacing("imager");
            break;
        case 0x00187022:  // Detector Element Spacing
            setSpacing("detector");
            break;
        case 0x00280030:  // Pixel Spacing: the row spacing, first of the pair
            setSpacing("pixel");
            break;
        case 0x00181100:  // Reconstruction Diameter
            out.fovWritten = e.value;
            out.fov = NumberOf(e.value);
            break;
        case 0x00281052:  // Rescale Intercept, truncated toward zero
            out.valueOffset = Trunc(StrToFloat(e.value));
            break;
        case 0x00281050: {  // Window Center, possibly "level\width"
            const std::size_t slash = e.value.find('\\');
            if (slash != std::string::npos) {
                out.windowLevel = WrittenWindowValue(e.value.substr(0, slash));
                out.windowWidth = WrittenWindowValue(e.value.substr(slash + 1));
            } else {
                out.windowLevel = DicomWindowValue{static_cast<long double>(Round(StrToFloat(e.value))), {}};
                out.windowWidth = DicomWindowValue{};
            }
            break;
        }
        case 0x00281051: {  // Window Width, unless the centre already gave one
            const bool empty = out.windowWidth
                                   ? !out.windowWidth->number && out.windowWidth->written.value_or("").empty()
                                   : windowWidthBefore.empty();
            if (empty)
                out.windowWidth = DicomWindowValue{static_cast<long double>(Round(StrToFloat(e.value))), {}};
            break;
        }
        default:
            break;
    }
}

void ListElement(Element& e, NameList& names, SequenceState& sequence, SummaryBuilder& summary,
                 DicomHeaderOutput& out)
{
    AddSummaryLine(summary, e.group, e.number, e.value);
    DicomTableRow& row = RowAt(out, out.nextRow);
    row.group = e.group;
    row.element = e.number;
    SetVr(row, e.vr);
    row.length = e.lengthField;
    row.name = names.Index(e.group, e.number);
    row.value = std::move(e.value);
    row.written = kNumberCell | kGroupCell | kElementCell | kVrCell | kLengthCell | kNameCell | kValueCell;
    ++out.nextRow;
    if (sequence == SequenceState::kEnded) {
        SetVr(RowAt(out, out.nextRow), "SQ");
        ++out.nextRow;
        sequence = SequenceState::kNone;
    }
    out.summaryWritten = true;
}

// After a value inside a sequence: steps over an item delimitation and what
// follows it (the next item's header, or the sequence delimitation, which
// ends the sequence). Delimiters cut short by the end of the file end the
// walk after the current element.
void StepOverDelimiters(ByteReader& in, SequenceState& sequence)
{
    if (!in.Matches(0xFE, 0xFF, 0x0D, 0xE0)) return;  // (FFFE,E00D) item delimitation
    if (!in.Skip(8)) {
        in.MoveTo(SIZE_MAX);
        return;
    }
    if (in.Matches(0xFE, 0xFF, 0xDD, 0xE0)) {  // (FFFE,E0DD) sequence delimitation
        sequence = SequenceState::kEnded;
        if (!in.Skip(8)) in.MoveTo(SIZE_MAX);
    } else if (in.Matches(0xFE, 0xFF, 0x00, 0xE0)) {  // (FFFE,E000) next item
        if (!in.Skip(8)) in.MoveTo(SIZE_MAX);
    } else if (!in.Has(4)) {
        in.MoveTo(SIZE_MAX);
    }
    // Anything else is the tag of the element after a sequence of defined
    // length; it is left for the walk to read.
}

void WalkElements(const std::uint8_t* data, std::size_t size, std::size_t start, std::size_t k,
                  std::string_view dictionaryText, std::string_view windowWidthBefore,
                  SummaryBuilder& summary, DicomHeaderOutput& out);

}  // namespace

void ReadDicomHeader(const std::uint8_t* data, std::size_t size, std::string_view dictionaryText,
                     std::string_view windowWidthBefore, DicomHeaderOutput& out)
{
    out = DicomHeaderOutput{};
    out.fovWritten = std::string();
    out.valueOffset = 0;
    if (data == nullptr) size = 0;

    // The Pixel Data tag in little-endian order, ending in the first half of
    // the file; a pixel tag further on is not taken for DICOM.
    static constexpr std::uint8_t kPixelTag[] = {0xE0, 0x7F, 0x10, 0x00};
    const std::size_t k = Find(data, size, 0, size / 2, kPixelTag, 4);
    if (k == std::string_view::npos) return;

    // Explicit VR pixel data ("OB"/"OW") has a 12-byte element header,
    // implicit VR an 8-byte one.
    const bool explicitVr = k + 5 < size && IsUpperLetter(data[k + 4]) && IsUpperLetter(data[k + 5]);
    out.headerOffset = static_cast<std::int64_t>(k + (explicitVr ? 12 : 8));

    out.tableReplaced = true;
    out.table.rows.assign(kDicomTableRowCount - 1, DicomTableRow{});
    // Every listed element takes at least 9 bytes of the header, so this
    // bounds the rows: reserved once (address space only, until written),
    // a header of many tiny elements never copies the table as it grows.
    constexpr std::size_t kMaxReservedRows = std::size_t{1} << 20;
    out.table.rows.reserve(std::min(k / 9 + kDicomTableRowCount, kMaxReservedRows));
    out.rowCount = kDicomTableRowCount;
    out.nextRow = 1;

    // The walk starts at (0002,0002), found after the "UL" of the meta
    // group length; the elements before it are not listed.
    static constexpr std::uint8_t kUl[] = {'U', 'L'};
    static constexpr std::uint8_t kSopClassTag[] = {0x02, 0x00, 0x02, 0x00};
    std::size_t start = Find(data, size, 0, SIZE_MAX, kUl, 2);
    if (start != std::string_view::npos) start = Find(data, size, start + 1, SIZE_MAX, kSopClassTag, 4);

    SummaryBuilder summary;
    try {
        WalkElements(data, size, start, k, dictionaryText, windowWidthBefore, summary, out);
    } catch (...) {
        out.summary = summary.Text();
        throw;
    }
    out.summary = summary.Text();
    out.rowCount = out.nextRow;
}

namespace {

void WalkElements(const std::uint8_t* data, std::size_t size, std::size_t start, std::size_t k,
                  std::string_view dictionaryText, std::string_view windowWidthBefore,
                  SummaryBuilder& summary, DicomHeaderOutput& out)
{
    if (start != std::string_view::npos) {
        ByteReader in(data, size);
        in.MoveTo(start);
        NameList names(dictionaryText, out.table);
        SequenceState sequence = SequenceState::kNone;
        while (in.position() < k + 5) {
            DicomTableRow& row = RowAt(out, out.nextRow);
            row.written &= kNumberCell;
            row.value.clear();

            // Zero padding between elements is stepped over.
            in.SkipZeros();
            Element e;
            if (!in.Read16(e.group)) break;
            row.group = e.group;
            row.written |= kGroupCell;
            if (!in.Read16(e.number)) break;
            if (!in.Has(2)) break;
            if (IsUpperLetter(in.At(0)) && IsUpperLetter(in.At(1))) {
                e.vr = {static_cast<char>(in.At(0)), static_cast<char>(in.At(1))};
                SetVr(row, e.vr);
                in.Skip(2);
            }
            if (!in.Read16(e.lengthField)) break;
            std::size_t length = e.lengthField;
            if (IsLutSequenceTag(e.group, e.number)) out.facts.lutSequence = true;
            // A 4-byte length the reading below would cut to its low half
            // (a long text, a value of 64 KiB or more, an undefined length)
            // is read whole; shorter ones are read as they always were.
            bool fullLength = false;
            bool undefinedLength = false;
            const bool pixelData = e.group == 0x7FE0 && e.number == 0x0010;
            if (e.lengthField == 0 && HasFourByteLength(e.vr) && e.vr != "SQ" && !pixelData && in.Has(4)) {
                const std::uint32_t full = in.At(0) | (in.At(1) << 8) | (std::uint32_t{in.At(2)} << 16) |
                                           (std::uint32_t{in.At(3)} << 24);
                fullLength = (e.vr != "OB" && e.vr != "OW" && e.vr != "UN") || full > 0xFFFF;
                if (fullLength) {
                    in.Skip(4);
                    undefinedLength = full == 0xFFFFFFFFu;
                    e.lengthField = static_cast<std::uint16_t>(full & 0xFFFF);
                    if (!undefinedLength) length = full;
                }
            }
            if (fullLength) {
                // read whole above
            } else if (e.vr == "OB" || e.vr == "OW") {
                // The 2 bytes were the reserved field; the low half of the
                // 4-byte length follows, and the value is read from its upper
                // half on, two bytes early.
                if (!in.Read16(e.lengthField)) break;
                length = std::size_t{e.lengthField} + 2;
            } else if (e.vr.empty()) {
                if (!in.Skip(2)) break;  // upper half of the implicit 4-byte length
            } else if (e.vr == "UN" && length == 0) {
                if (!in.Read16(e.lengthField)) break;
                length = e.lengthField;
                if (!in.Skip(2)) break;
            }

            if (e.vr == "SQ" || undefinedLength) {
                row.element = e.number;
                row.written |= kElementCell;
                ++out.nextRow;
                // The sequence's 4-byte length (read already for another VR
                // of undefined length, whose items hold elements too), the
                // first item's tag and its length: the walk goes on inside
                // the first item.
                if (!in.Skip(undefinedLength ? 8 : 12)) in.MoveTo(SIZE_MAX);
                sequence = SequenceState::kInside;
                continue;
            }
            if (length == 0) continue;  // no row; the next element reuses it

            if (fullLength && length > kMaxLongValueListed) {
                // Only the start of a long value is listed.
                if (!in.Has(length) || !in.ReadText(kMaxLongValueListed, e.value)) break;
                in.Skip(length - kMaxLongValueListed);
            } else if (!in.ReadText(length, e.value)) {
                break;
            }
            if (sequence == SequenceState::kInside) StepOverDelimiters(in, sequence);

            ConvertBinaryNumber(e);
            if (e.group == 0x0002 && e.number == 0x0002)
                while (e.value.size() > 2 && e.value.back() == '\0') e.value.pop_back();

            ApplyElementRules(e, windowWidthBefore, out);
            ListElement(e, names, sequence, summary, out);
        }
    }
}

}  // namespace

namespace {

// Lists the library's elements into a fresh table, applying the walk's rules.
void ListLibraryElements(const std::vector<DicomElement>& elements, std::string_view dictionaryText,
                         std::string_view windowWidthBefore, DicomHeaderOutput& out)
{
    out.tableReplaced = true;
    out.table.rows.assign(kDicomTableRowCount - 1, DicomTableRow{});
    out.rowCount = kDicomTableRowCount;
    out.nextRow = 1;
    NameList names(dictionaryText, out.table);
    SequenceState sequence = SequenceState::kNone;
    SummaryBuilder summary;
    for (const DicomElement& listed : elements) {
        if (listed.sequence) {
            if (IsLutSequenceTag(listed.group, listed.number)) out.facts.lutSequence = true;
            DicomTableRow& row = RowAt(out, out.nextRow);
            row.group = listed.group;
            row.element = listed.number;
            row.written |= kGroupCell | kElementCell;
            SetVr(row, "SQ");
            ++out.nextRow;
            continue;
        }
        if (listed.value.empty()) continue;  // as in the walk: no row
        Element e;
        e.group = listed.group;
        e.number = listed.number;
        e.vr = listed.vr;
        e.lengthField = listed.lengthField;
        e.value = listed.value;
        ConvertBinaryNumber(e);
        if (e.group == 0x0002 && e.number == 0x0002)
            while (e.value.size() > 2 && e.value.back() == '\0') e.value.pop_back();
        ApplyElementRules(e, windowWidthBefore, out);
        ListElement(e, names, sequence, summary, out);
    }
    out.summary = summary.Text();
    out.rowCount = out.nextRow;
}

}  // namespace

std::string FramesSummaryLine(long long frames)
{
    return "Frames : " + IntToStr(frames) + " (first shown)\r\n";
}

void ApplyDecodedImage(const DecodedImage& image, std::string_view dictionaryText,
                       std::string_view windowWidthBefore, DicomHeaderOutput& out)
{
    out.headerOffset = 0;
    out.columns = image.columns;
    out.rows = image.rows;
    out.swap = false;

    DicomHeaderOutput listed;
    const bool fromLibrary = !out.tableReplaced;
    auto merge = [&] {
        if (fromLibrary) {
            out.tableReplaced = listed.tableReplaced;
            out.table = std::move(listed.table);
            out.rowCount = listed.rowCount;
            out.nextRow = listed.nextRow;
            out.summary = std::move(listed.summary);
            out.summaryWritten = listed.summaryWritten;
            out.facts = listed.facts;
            if (listed.pixelSpacingWritten) {
                out.pixelSpacingWritten = listed.pixelSpacingWritten;
                out.pixelSpacing = listed.pixelSpacing;
                out.pixelSpacingSource = listed.pixelSpacingSource;
            }
            if (listed.fovWritten) {
                out.fovWritten = listed.fovWritten;
                out.fov = listed.fov;
            }
            if (listed.valueOffset) out.valueOffset = listed.valueOffset;
            if (listed.windowLevel) out.windowLevel = listed.windowLevel;
            if (listed.windowWidth) out.windowWidth = listed.windowWidth;
        }
        if (image.frames > 1) out.summary += FramesSummaryLine(image.frames);
        if (image.colourToGray) out.summary += "Color : shown as gray (luma)\r\n";
        if (image.frames > 1 || image.colourToGray) out.summaryWritten = true;
    };
    if (fromLibrary) {
        try {
            ListLibraryElements(image.elements, dictionaryText, windowWidthBefore, listed);
        } catch (const Failure&) {
            merge();
            throw;
        }
    }
    merge();
}

}  // namespace radmtf

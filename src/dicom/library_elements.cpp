#include "dicom/library_elements.h"

#include <gdcmDataSet.h>
#include <gdcmReader.h>
#include <gdcmSequenceOfItems.h>
#include <gdcmTrace.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <iterator>
#include <optional>
#include <streambuf>
#include <string_view>

#include "core/file_bytes.h"

namespace radmtf {

namespace {

constexpr std::size_t kMaxListedValueBytes = 4096;

// A read-only stream over bytes in memory, seekable as the library needs.
class MemoryBuffer : public std::streambuf {
public:
    MemoryBuffer(const std::uint8_t* data, std::size_t size)
    {
        char* begin = const_cast<char*>(reinterpret_cast<const char*>(data));
        setg(begin, begin, begin + size);
    }

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir dir, std::ios_base::openmode) override
    {
        off_type base = 0;
        if (dir == std::ios_base::cur) base = gptr() - eback();
        if (dir == std::ios_base::end) base = egptr() - eback();
        return seekpos(pos_type(base + offset), std::ios_base::in);
    }
    pos_type seekpos(pos_type position, std::ios_base::openmode) override
    {
        const off_type p = position;
        if (p < 0 || p > egptr() - eback()) return pos_type(off_type(-1));
        setg(eback(), eback() + p, egptr());
        return position;
    }
};

void Flatten(const gdcm::DataSet& dataSet, std::vector<DicomElement>& out, int depth, bool& pixelDataSeen)
{
    if (depth > 16) return;
    for (const gdcm::DataElement& de : dataSet.GetDES()) {
        if (pixelDataSeen) return;
        DicomElement e;
        e.group = de.GetTag().GetGroup();
        e.number = de.GetTag().GetElement();
        const gdcm::VR vr = de.GetVR();
        if (vr != gdcm::VR::INVALID && vr != gdcm::VR::VR_END) {
            const char* text = gdcm::VR::GetVRString(vr);
            if (text && std::strlen(text) == 2) e.vr = text;
        }
        e.lengthField = static_cast<std::uint16_t>(static_cast<std::uint32_t>(de.GetVL()) & 0xFFFF);
        if (depth == 0 && e.group == 0x7FE0 && e.number == 0x0010) pixelDataSeen = true;
        if (de.IsEmpty()) continue;
        if (const auto* items = dynamic_cast<const gdcm::SequenceOfItems*>(&de.GetValue())) {
            e.sequence = true;
            e.vr = "SQ";
            out.push_back(e);
            for (gdcm::SequenceOfItems::SizeType i = 1; i <= items->GetNumberOfItems(); ++i)
                Flatten(items->GetItem(i).GetNestedDataSet(), out, depth + 1, pixelDataSeen);
            continue;
        }
        if (const gdcm::ByteValue* bytes = de.GetByteValue()) {
            const std::size_t n = std::min<std::size_t>(bytes->GetLength(), kMaxListedValueBytes);
            e.value.assign(bytes->GetPointer(), n);
            out.push_back(std::move(e));
        }
    }
}

// Whether every element of the file meta group (explicit VR little endian
// after the preamble) has a VR of the standard other than SQ, and the group ends where its
// group length says: the library asserts on others while it reads the group,
// and on a data set that starts before or after that end.
bool MetaGroupSound(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::string_view kVrs[] = {
        "AE", "AS", "AT", "CS", "DA", "DS", "DT", "FL", "FD", "IS", "LO", "LT", "OB", "OD", "OF", "OL", "OV",
        "OW", "PN", "SH", "SL", "SQ", "SS", "ST", "SV", "TM", "UC", "UI", "UL", "UN", "UR", "US", "UT", "UV"};
    static constexpr std::string_view kLongVrs = "OB OD OF OL OV OW SQ UC UN UR UT SV UV";
    std::size_t at = 132;
    if (size < at || std::memcmp(data + 128, "DICM", 4) != 0) return true;
    std::optional<std::size_t> groupEnd;
    while (size - at >= 8 && data[at] == 0x02 && data[at + 1] == 0x00) {
        if (data[at + 2] == 0 && data[at + 3] == 0 && data[at + 4] == 'U' && data[at + 5] == 'L' &&
            data[at + 6] == 4 && data[at + 7] == 0 && size - at >= 12)
            groupEnd = at + 12 +
                       (data[at + 8] | (std::size_t{data[at + 9]} << 8) | (std::size_t{data[at + 10]} << 16) |
                        (std::size_t{data[at + 11]} << 24));
        const std::string_view vr(reinterpret_cast<const char*>(data + at + 4), 2);
        // The group holds no sequences; the library asserts on one.
        if (vr == "SQ" || std::find(std::begin(kVrs), std::end(kVrs), vr) == std::end(kVrs)) return false;
        std::size_t length = data[at + 6] | (std::size_t{data[at + 7]} << 8);
        at += 8;
        if (kLongVrs.find(vr) != std::string_view::npos) {
            if (size - at < 4) return false;
            length = data[at] | (std::size_t{data[at + 1]} << 8) | (std::size_t{data[at + 2]} << 16) |
                     (std::size_t{data[at + 3]} << 24);
            at += 4;
        }
        if (length > size - at) return false;
        at += length;
    }
    return !groupEnd || *groupEnd == at;
}

}  // namespace

namespace {

void Put(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string Serialize(const std::vector<DicomElement>& elements)
{
    std::string out;
    for (const DicomElement& e : elements) {
        Put(out, e.group, 2);
        Put(out, e.number, 2);
        Put(out, e.lengthField, 2);
        Put(out, e.sequence ? 1 : 0, 1);
        Put(out, static_cast<std::uint32_t>(e.vr.size()), 1);
        out += e.vr;
        Put(out, static_cast<std::uint32_t>(e.value.size()), 4);
        out += e.value;
    }
    return out;
}

// Reads what Serialize wrote; a cut-short or damaged stream gives what
// came whole before the damage.
std::vector<DicomElement> Deserialize(std::string_view in)
{
    std::vector<DicomElement> elements;
    std::size_t at = 0;
    const auto get = [&](int bytes) {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= std::uint32_t{static_cast<std::uint8_t>(in[at + i])} << (8 * i);
        at += static_cast<std::size_t>(bytes);
        return v;
    };
    while (in.size() - at >= 8) {
        DicomElement e;
        e.group = static_cast<std::uint16_t>(get(2));
        e.number = static_cast<std::uint16_t>(get(2));
        e.lengthField = static_cast<std::uint16_t>(get(2));
        e.sequence = get(1) != 0;
        const std::size_t vrLength = get(1);
        if (in.size() - at < vrLength + 4) break;
        e.vr = std::string(in.substr(at, vrLength));
        at += vrLength;
        const std::size_t valueLength = get(4);
        if (in.size() - at < valueLength) break;
        e.value = std::string(in.substr(at, valueLength));
        at += valueLength;
        elements.push_back(std::move(e));
    }
    return elements;
}

}  // namespace

std::vector<DicomElement> ContainedLibraryElements(const std::uint8_t* data, std::size_t size)
{
    // The library asserts on damaged files in ways no pre-check can foresee;
    // a process of its own keeps such an end from taking the decoded pixels
    // with it: the list is then empty.
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return {};
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(channel[0]);
        close(channel[1]);
        return {};
    }
    if (pid == 0) {
        close(channel[0]);
        const std::string bytes = Serialize(LibraryElements(data, size));
        const bool written =
            WriteAll(channel[1], reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        _exit(written ? 0 : 1);
    }
    close(channel[1]);
    std::string received;
    char buffer[65536];
    while (true) {
        const ssize_t n = read(channel[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    close(channel[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return Deserialize(received);
}

std::vector<DicomElement> LibraryElements(const std::uint8_t* data, std::size_t size)
{
    if (!MetaGroupSound(data, size)) return {};
    MemoryBuffer buffer(data, size);
    std::istream in(&buffer);
    gdcm::Reader reader;
    reader.SetStream(in);
    std::vector<DicomElement> elements;
    try {
        if (!reader.Read()) return elements;
    } catch (...) {
        return elements;
    }
    bool pixelDataSeen = false;
    for (const gdcm::DataElement& de : reader.GetFile().GetHeader().GetDES()) {
        const gdcm::ByteValue* bytes = de.GetByteValue();
        if (de.GetTag().GetElement() < 2 || bytes == nullptr) continue;
        DicomElement e;
        e.group = de.GetTag().GetGroup();
        e.number = de.GetTag().GetElement();
        if (const char* vr = gdcm::VR::GetVRString(de.GetVR()); vr && std::strlen(vr) == 2) e.vr = vr;
        e.lengthField = static_cast<std::uint16_t>(static_cast<std::uint32_t>(de.GetVL()) & 0xFFFF);
        e.value.assign(bytes->GetPointer(), std::min<std::size_t>(bytes->GetLength(), kMaxListedValueBytes));
        elements.push_back(std::move(e));
    }
    Flatten(reader.GetFile().GetDataSet(), elements, 0, pixelDataSeen);
    return elements;
}

void SilenceLibraryMessages()
{
    gdcm::Trace::SetDebug(false);
    gdcm::Trace::SetWarning(false);
    gdcm::Trace::SetError(false);
}

}  // namespace radmtf

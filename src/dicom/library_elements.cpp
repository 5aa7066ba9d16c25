#include "dicom/library_elements.h"

#include <gdcmDataSet.h>
#include <gdcmReader.h>
#include <gdcmSequenceOfItems.h>
#include <gdcmTrace.h>

#include <algorithm>
#include <cstring>
#include <istream>
#include <streambuf>

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

}  // namespace

std::vector<DicomElement> LibraryElements(const std::uint8_t* data, std::size_t size)
{
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

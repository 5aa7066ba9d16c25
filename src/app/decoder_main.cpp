// The decoder library's entry (see decoder_library.h).
#include "app/decoder_library.h"
#include "dicom/dictionary.h"

extern "C" void RadmtfPrepareDicomLoad(const std::uint8_t* data, std::size_t size, radmtf::DicomLoad& out)
{
    out = radmtf::PrepareDicomLoad(data, size, radmtf::DicomDictionaryText(), "");
}

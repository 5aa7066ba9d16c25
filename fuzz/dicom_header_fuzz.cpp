// Any bytes as a file loaded in "DICOM" mode: the walk must stay inside the
// buffer and end; only the program's own failures may come out.
#include <cstddef>
#include <cstdint>

#include "core/failure.h"
#include "dicom/dicom_reader.h"
#include "dicom/dictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    radmtf::DicomHeaderOutput out;
    try {
        radmtf::ReadDicomHeader(data, size, radmtf::DicomDictionaryText(), "", out);
    } catch (const radmtf::Failure&) {
    }
    return 0;
}

// Any bytes as a file handed to the decoder process: its entry, run here in
// process with a 64 MB budget, must stay inside the buffer, within the budget
// and end with a reply. The DICOM library's own assertions, which only the
// process boundary contains in the program, are spared by the same
// pre-checks the decoder runs (layout, stream headers, budget); a finding
// here is a case they miss.
#include <cstddef>
#include <cstdint>

#include "core/failure.h"
#include "dicom/decoder_child.h"
#include "dicom/dicom_reader.h"
#include "dicom/dictionary.h"

// The library's codecs leak on some damaged streams; in the program each
// decode's process ends with it, so only the program's own leaks count here.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libgdcm\nleak:libopenjp2\nleak:libcharls\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    radmtf::DicomHeaderOutput out;
    try {
        radmtf::ReadDicomHeader(data, size, radmtf::DicomDictionaryText(), "", out);
    } catch (const radmtf::Failure&) {
    }
    radmtf::DecodeRequest request;
    request.maxDecodedBytes = std::uint64_t{64} << 20;
    request.walkFoundPixelData = out.headerOffset.has_value();
    radmtf::AnswerDecodeRequest(data, size, request);
    return 0;
}

#include "dicom/dicom_load.h"

#include <cstdlib>

#include "core/failure.h"
#include "dicom/dicom_layout.h"

namespace radmtf {

DicomLoad PrepareDicomLoad(const std::uint8_t* data, std::size_t size, std::string_view dictionaryText,
                           std::string_view windowWidthBefore)
{
    DicomLoad load;
    try {
        ReadDicomHeader(data, size, dictionaryText, windowWidthBefore, load.header);
    } catch (const Failure&) {
        load.headerFailure = std::current_exception();
    }
    const bool walkFoundPixelData = load.header.header && !load.header.header->empty();
    load.decoded = DecodeDicomPixels(data, size, walkFoundPixelData);
    if (load.decoded) {
        try {
            ApplyDecodedImage(*load.decoded, dictionaryText, windowWidthBefore, load.header);
        } catch (const Failure&) {
            if (!load.headerFailure) load.headerFailure = std::current_exception();
        }
    } else if (walkFoundPixelData) {
        // Plain samples of several frames: the first is shown as stored.
        const DicomLayout layout = ScanDicomLayout(data, size);
        const long long frames = std::atoll(layout.numberOfFrames.c_str());
        if (layout.consistent && layout.hasPixelData && frames > 1) {
            load.header.summary += FramesSummaryLine(frames);
            load.header.summaryWritten = true;
        }
    }
    return load;
}

}  // namespace radmtf

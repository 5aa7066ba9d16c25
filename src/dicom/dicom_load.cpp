#include "dicom/dicom_load.h"

#include "core/failure.h"

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
    }
    return load;
}

}  // namespace radmtf

// Everything a DICOM load does to the viewer, worked out before the viewer
// changes: the header walk and, where the pixels need it, their decoding. A
// file that cannot be decoded is refused here, so the image loaded before
// stays loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string_view>

#include "dicom/decoder_process.h"
#include "dicom/dicom_reader.h"
#include "dicom/pixel_decoder.h"

namespace radmtf {

struct DicomLoad {
    DicomHeaderOutput header;
    // The samples that replace the file's bytes in the viewer; nothing when
    // the file's bytes are shown as they are.
    std::optional<DecodedImage> decoded;
    // A window or rescale text that is not a number stops the header there;
    // it is reported once the file is loaded and what was read is shown.
    std::exception_ptr headerFailure;
};

// Pixels the viewer cannot show as stored are decoded in the decoder process
// (DecodeInChild); plain files, and files refused by their layout alone,
// never start it. Throws Failure (nothing changed anywhere) when the file
// needs decoding and cannot be decoded.
DicomLoad PrepareDicomLoad(const std::uint8_t* data, std::size_t size, std::string_view dictionaryText,
                           std::string_view windowWidthBefore, const DecodeOptions& options = {});

}  // namespace radmtf

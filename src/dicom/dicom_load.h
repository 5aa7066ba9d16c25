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
#include "dicom/dicom_layout.h"
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

// Whether the header walk's geometry (pixel offset, columns, rows) is the
// one a strict scan of the file finds; true where the scan cannot tell (an
// inconsistent, encapsulated, big-endian or deflated file, no image, or
// rows and columns more than its pixel data holds).
bool WalkAgreesWithLayout(const DicomHeaderOutput& walk, const DicomLayout& layout);

// Pixels the viewer cannot show as stored are decoded in the decoder process
// (DecodeInChild); plain files, and files refused by their layout alone,
// never start it. A file whose walk disagrees with the strict scan is read as
// the DICOM library reads it (geometry, samples, element list), as when the
// walk finds no pixel data. Throws Failure (nothing changed anywhere) when the file
// needs decoding and cannot be decoded.
DicomLoad PrepareDicomLoad(const std::uint8_t* data, std::size_t size, std::string_view dictionaryText,
                           std::string_view windowWidthBefore, const DecodeOptions& options = {});

}  // namespace radmtf

// What loading an image decides before the viewer shows it: the image size
// (from the header, or asked with a proposal from the file length), the
// bitmap it is shown in, the display window to start with, the pixel spacing
// and where it came from, and the ROI proposed on the view. The viewer and
// the command decide through the same functions, so they agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "dicom/dicom_reader.h"
#include "viewer/view_types.h"

namespace radmtf {

// The side of the square image a file of `fileBytes` bytes may hold: the
// side itself when the length is an exact square of samples, else the
// smallest power of two from 64 up that exceeds the rounded side.
long long ProposedSquareSide(std::size_t fileBytes, bool eightBit);

// The parts of the size prompt's answer, "W H" (split at the first blank)
// or a single "N" for a square, as the texts of the column and row counts.
std::string_view ColumnsPart(std::string_view answer);
std::string_view RowsPart(std::string_view answer);

// How the viewer reads a file (the items of its mode choice).
enum class LoadMode { kRaw8 = 0, kRaw16 = 1, kDicom = 2 };

// What a load starts from.
struct LoadInput {
    LoadMode mode = LoadMode::kRaw16;
    std::size_t sampleBytes = 0;                // the bytes the samples are read from
    const DicomHeaderOutput* header = nullptr;  // a DICOM file's header
    std::string spacingBefore;                  // the pixel spacing the viewer held
    std::optional<std::string> sizeAnswer;      // the size prompt's answer, once asked ("": cancelled)
};

// The four ROI edits: centre and size.
struct RoiEdits {
    std::int64_t centreX = 0;
    std::int64_t centreY = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct ImageLoad {
    // The image size; 0 x 0 for a raw file, whose size the user types later.
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    // Set when the size is to be asked (the header gives none): the
    // proposal the prompt shows. Ask, then decide again with the answer.
    std::optional<std::string> sizeProposal;
    // The answer gave the size: the header length is 0, the magnification 1.
    bool sizeAnswered = false;
    // Offset of the first pixel byte and the value offset; none: the
    // viewer's own stay (a raw file).
    std::optional<std::int64_t> header;
    std::optional<std::int64_t> valueOffset;
    // The bitmap the image is shown in; none when no rendering could show it.
    std::optional<std::int32_t> bitmapWidth;
    std::optional<std::int32_t> bitmapHeight;
    // The display window a load starts with (Auto then finds the image's).
    std::int32_t windowLevel = 512;
    std::int32_t windowWidth = 1024;
    // The pixel spacing after the header (UTF-8, as the viewer's edit holds
    // it) and where it came from: "imager",
    // "detector" or "pixel" (the header's element), "typed" (the viewer's own).
    std::string spacing;
    std::string spacingSource;
    // The spacing is to be asked: it is empty or zero.
    bool spacingPrompt = false;
    // A spacing that is no number fails once the image is shown.
    std::exception_ptr spacingFailure;
    // The ROI proposed on the view at magnification 1; none without an image.
    std::optional<RoiEdits> defaultRoi;

    bool HasImage() const { return columns > 0 && rows > 0; }
};

// The load's decision. With the size still to be asked it returns at once
// with `sizeProposal` set. With the answer, fails (not an integer) on an
// answer that does not give two integers, and on a cancelled prompt.
ImageLoad DecideImageLoad(const LoadInput& input);

// The ROI a load proposes on a view: centred on it, half its size.
RoiEdits DefaultRoiOn(const ViewRect& view, std::int32_t bitmapWidth, std::int32_t bitmapHeight);

}  // namespace radmtf

#include "dicom/dicom_load.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/failure.h"
#include "dicom/codestream.h"
#include "dicom/decode_protocol.h"
#include "dicom/dicom_layout.h"

namespace radmtf {

bool WalkAgreesWithLayout(const DicomHeaderOutput& walk, const DicomLayout& layout)
{
    if (!layout.consistent || layout.deflated || !layout.hasPixelData || layout.encapsulated ||
        layout.encoding == DataSetEncoding::kExplicitBig || layout.rows == 0 || layout.columns == 0)
        return true;
    // Only a scan whose geometry fills its pixel data can tell the walk wrong.
    const std::uint64_t bytesPerSample = std::max<std::uint32_t>(layout.bitsAllocated, 8) / 8;
    const std::uint64_t samples = std::max<std::uint32_t>(layout.samplesPerPixel, 1);
    if (std::uint64_t{layout.rows} * layout.columns * samples * bytesPerSample > layout.pixelLength)
        return true;
    const auto is = [](const auto& number, std::uint64_t value) {
        return number && *number >= 0 && static_cast<std::uint64_t>(*number) == value;
    };
    return is(walk.headerOffset, layout.pixelOffset) && is(walk.columns, layout.columns) &&
           is(walk.rows, layout.rows);
}

namespace {

// DecodeDicomPixels, with what the layout alone settles done here: a file
// that surely loads as stored or whose lengths run past its end, and a
// decode over the budget, start no decoder process.
std::optional<DecodedImage> DecodePixels(const std::uint8_t* data, std::size_t size,
                                         const DicomLayout& layout, bool walkFoundPixelData,
                                         const DecodeOptions& options)
{
    if (data == nullptr || size == 0) return std::nullopt;
    const std::string& uid = layout.transferSyntax;
    const Codec codec = CodecOf(uid);
    if (!layout.consistent) {
        if (RefusedWhenInconsistent(layout))
            ThrowFailure(FailureCode::kUndecodablePixelData, {TransferSyntaxDescription(uid)});
        return std::nullopt;
    }
    if (LoadsAsStoredForSure(layout, walkFoundPixelData)) return std::nullopt;
    std::optional<std::uint64_t> needed;
    const std::uint64_t pixels = std::uint64_t{layout.rows} * layout.columns;
    if (!layout.deflated && layout.hasPixelData && pixels <= std::uint64_t(kMaxDecodedSamples)) {
        needed = DecodeBytesNeeded(pixels, std::max(layout.samplesPerPixel, 1u),
                                   layout.bitsAllocated == 0 ? 16 : layout.bitsAllocated, codec,
                                   layout.encapsulated);
        CheckDecodeBudget(*needed, options.maxDecodedBytes);
    }
    return DecodeInChild(data, size, walkFoundPixelData, options, needed);
}

}  // namespace

DicomLoad PrepareDicomLoad(const std::uint8_t* data, std::size_t size, std::string_view dictionaryText,
                           std::string_view windowWidthBefore, const DecodeOptions& options)
{
    DicomLoad load;
    try {
        ReadDicomHeader(data, size, dictionaryText, windowWidthBefore, load.header);
    } catch (const Failure&) {
        load.headerFailure = std::current_exception();
    }
    bool walkFoundPixelData = load.header.headerOffset.has_value();
    const DicomLayout layout = ScanDicomLayout(data, size);
    bool astray = false;
    if (walkFoundPixelData && !WalkAgreesWithLayout(load.header, layout)) {
        // The walk went astray in a file the strict scan reads: it and its
        // failure are dropped for the library's reading.
        DicomHeaderOutput nothing;
        ReadDicomHeader(nullptr, 0, dictionaryText, windowWidthBefore, nothing);
        load.header = std::move(nothing);
        load.headerFailure = nullptr;
        walkFoundPixelData = false;
        astray = true;
    }
    load.decoded = DecodePixels(data, size, layout, walkFoundPixelData, options);
    if (load.decoded) {
        try {
            ApplyDecodedImage(*load.decoded, dictionaryText, windowWidthBefore, load.header);
        } catch (const Failure&) {
            if (!load.headerFailure) load.headerFailure = std::current_exception();
        }
    } else if (astray) {
        // Samples the library would not decode: at least where they lie.
        load.header.headerOffset = static_cast<std::int64_t>(layout.pixelOffset);
        load.header.columns = static_cast<std::int32_t>(std::min<std::uint32_t>(layout.columns, INT32_MAX));
        load.header.rows = static_cast<std::int32_t>(std::min<std::uint32_t>(layout.rows, INT32_MAX));
    } else if (walkFoundPixelData) {
        // Plain samples of several frames: the first is shown as stored.
        const long long frames = std::atoll(layout.numberOfFrames.c_str());
        if (layout.consistent && layout.hasPixelData && frames > 1) {
            load.header.summary += FramesSummaryLine(frames);
            load.header.summaryWritten = true;
        }
    }
    return load;
}

}  // namespace radmtf

#include "viewer/load_geometry.h"

#include <cmath>

#include "core/failure.h"
#include "core/numtext.h"
#include "viewer/render.h"

namespace radmtf {

long long ProposedSquareSide(std::size_t fileBytes, bool eightBit)
{
    const long double bytesPerSample = eightBit ? 1.0L : 2.0L;
    const long double side = std::sqrt(static_cast<long double>(fileBytes) / bytesPerSample);
    const long long rounded = Round(side);
    if (side - static_cast<long double>(rounded) == 0.0L) return rounded;
    long long proposal = 64;
    while (proposal <= rounded) proposal *= 2;
    return proposal;
}

std::string_view ColumnsPart(std::string_view answer)
{
    return answer.substr(0, answer.find(' '));
}

std::string_view RowsPart(std::string_view answer)
{
    const std::size_t blank = answer.find(' ');
    return blank == std::string_view::npos ? answer : answer.substr(blank + 1);
}

namespace {

std::string TextOf(const std::optional<std::int32_t>& number)
{
    return number ? IntToStr(*number) : std::string();
}

// The image size: the header's columns and rows when it gives both, else
// the answer to the prompt, which shows the header's texts ("W H") or, when
// they say too little, the square the file length proposes. A raw file has
// no size until the user types one.
void DecideSize(const LoadInput& input, ImageLoad& load)
{
    if (!input.header) return;
    const DicomHeaderOutput& header = *input.header;
    if (header.columns && header.rows) {
        load.columns = *header.columns;
        load.rows = *header.rows;
        return;
    }
    if (!input.sizeAnswer) {
        std::string proposal = TextOf(header.columns) + " " + TextOf(header.rows);
        if (proposal.size() < 4) {
            const long long side = ProposedSquareSide(input.sampleBytes, input.mode == LoadMode::kRaw8);
            proposal = IntToStr(side) + " " + IntToStr(side);
        }
        load.sizeProposal = std::move(proposal);
        return;
    }
    // A cancelled prompt leaves one of the sizes empty, which is no integer.
    const std::string_view answer = *input.sizeAnswer;
    load.columns = StrToInt(ColumnsPart(answer));
    load.rows = StrToInt(RowsPart(answer));
    load.sizeAnswered = true;
}

// The header's text (Latin-1, as the viewer shows it) in UTF-8, the
// encoding of the viewer's texts, so a failure names what the edit shows.
std::string Utf8OfLatin1(std::string_view text)
{
    std::string utf8;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

// The header's spacing where it gives one, else the viewer's own; asked
// when empty or zero.
void DecideSpacing(const LoadInput& input, ImageLoad& load)
{
    const DicomHeaderOutput* header = input.header;
    const bool fromHeader = header && header->pixelSpacingWritten;
    load.spacing = fromHeader ? Utf8OfLatin1(*header->pixelSpacingWritten) : input.spacingBefore;
    load.spacingSource = fromHeader && !load.spacing.empty() ? header->pixelSpacingSource : "typed";
    if (load.spacing.empty()) {
        load.spacingPrompt = true;
        return;
    }
    try {
        load.spacingPrompt = StrToFloat(load.spacing) == 0.0L;
    } catch (const Failure&) {
        load.spacingFailure = std::current_exception();
    }
}

}  // namespace

ImageLoad DecideImageLoad(const LoadInput& input)
{
    ImageLoad load;
    DecideSize(input, load);
    if (load.sizeProposal) return load;
    if (input.header) {
        load.header = load.sizeAnswered ? 0 : input.header->headerOffset.value_or(0);
        load.valueOffset = input.header->valueOffset;
    }
    // The bitmap takes the image's size (the rendering then sizes it to the
    // view); a size no rendering could show leaves it empty.
    if (load.columns <= kMaxBitmapSide && load.rows <= kMaxBitmapSide &&
        std::int64_t{load.columns} * load.rows <= kMaxBitmapPixels) {
        load.bitmapWidth = load.columns;
        load.bitmapHeight = load.rows;
    }
    DecideSpacing(input, load);
    if (load.HasImage()) {
        const ViewGeometry view = ShiftViewExtent(ComputeViewExtent(1.0L, load.columns, load.rows), 0, 0);
        load.defaultRoi = DefaultRoiOn(view.view, view.bitmapWidth, view.bitmapHeight);
    }
    return load;
}

RoiEdits DefaultRoiOn(const ViewRect& view, std::int32_t bitmapWidth, std::int32_t bitmapHeight)
{
    // For a wide image the view is its central square, so the centre is
    // offset by the view's first column (and row, when shifted).
    return {std::int64_t{view.left} + bitmapWidth / 2, std::int64_t{view.top} + bitmapHeight / 2,
            bitmapWidth / 2, bitmapHeight / 2};
}

}  // namespace radmtf

#include "measure/object_search.h"

#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

std::vector<FoundObject> FindObjectsStep(const SourceImage& image, const MeasureSettings& settings,
                                         const ObjectSearch& search)
{
    if (image.layout.eightBit || image.layout.width <= 0 || image.layout.height <= 0)
        ThrowFailure(FailureCode::kObjectNotFound);
    // The image's samples as the table reads them (offset and byte order
    // applied), as far as the file holds them.
    SampleReader reader{image.bytes, image.layout, image.offset, image.swap};
    SampleBlock whole;
    whole.cols = image.layout.width;
    whole.rows = image.layout.height;
    const SampleBlock block = ClipToExistingSamples(image.bytes.size(), image.layout, whole);
    if (block.Empty() || block.col0 != 0 || block.row0 != 0) ThrowFailure(FailureCode::kObjectNotFound);
    std::vector<std::uint16_t> samples(static_cast<std::size_t>(block.cols * block.rows));
    std::uint16_t* next = samples.data();
    ForEachSample(reader, block, [&](std::int32_t v) { *next++ = static_cast<std::uint16_t>(v); });

    double spacing = 0.1;
    if (settings.pixelSpacing) {
        spacing = static_cast<double>(*settings.pixelSpacing);
    } else if (image.pixelSpacingText) {
        try {
            spacing = static_cast<double>(StrToFloat(*image.pixelSpacingText));
        } catch (const Failure&) {
        }
    }
    // The spacing the measurement would refuse is refused here, before any search.
    CheckPixelSpacing(spacing);
    const SampleImageView view{samples.data(), !image.layout.unsignedWords,
                               static_cast<std::int32_t>(block.cols), static_cast<std::int32_t>(block.rows),
                               spacing};
    FindSettings find;
    find.area = search.area;
    find.directions = search.directions;

    std::vector<FoundObject> out;
    const auto roiOf = [](const FoundRoi& r) { return RoiSetting{r.centreX, r.centreY, r.width, r.height}; };
    if (settings.method == MeasureMethod::kEdge) {
        for (const FoundEdge& edge : FindEdges(view, find)) out.push_back({roiOf(edge.roi), edge.vertical});
    } else {
        const auto found =
            settings.method == MeasureMethod::kChart ? FindChart(view, find) : FindSlit(view, find);
        if (found) out.push_back({roiOf(found->roi), std::nullopt});
    }
    if (out.empty()) ThrowFailure(FailureCode::kObjectNotFound);
    return out;
}

}  // namespace radmtf

#include "measure/object_search.h"

#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

SearchedImage::SearchedImage(const SampleReader& reader, long double pixelSpacing)
{
    if (reader.layout.eightBit || reader.layout.width <= 0 || reader.layout.height <= 0)
        ThrowFailure(FailureCode::kObjectNotFound);
    SampleBlock whole;
    whole.cols = reader.layout.width;
    whole.rows = reader.layout.height;
    const SampleBlock block = ClipToExistingSamples(reader.buffer.size(), reader.layout, whole);
    if (block.Empty() || block.col0 != 0 || block.row0 != 0) ThrowFailure(FailureCode::kObjectNotFound);
    CheckPixelSpacing(pixelSpacing);
    samples_.resize(static_cast<std::size_t>(block.cols * block.rows));
    std::uint16_t* next = samples_.data();
    ForEachSample(reader, block, [&](std::int32_t v) { *next++ = static_cast<std::uint16_t>(v); });
    view_ = {samples_.data(), !reader.layout.unsignedWords, static_cast<std::int32_t>(block.cols),
             static_cast<std::int32_t>(block.rows), static_cast<double>(pixelSpacing)};
}

std::vector<FoundObject> SearchedImage::Find(MeasureMethod method, const ObjectSearch& search) const
{
    FindSettings find;
    find.area = search.area;
    find.directions = search.directions;
    std::vector<FoundObject> out;
    const auto roiOf = [](const FoundRoi& r) { return RoiSetting{r.centreX, r.centreY, r.width, r.height}; };
    if (method == MeasureMethod::kEdge) {
        for (const FoundEdge& edge : FindEdges(view_, find))
            out.push_back({roiOf(edge.roi), method, edge.vertical});
    } else {
        const auto found = method == MeasureMethod::kChart ? FindChart(view_, find) : FindSlit(view_, find);
        if (found) out.push_back({roiOf(found->roi), method, std::nullopt});
    }
    return out;
}

std::vector<FoundObject> FindAnyObject(const SearchedImage& image)
{
    // A chart's bars and a slit's sides are edges too: they are looked for first.
    for (const MeasureMethod method : {MeasureMethod::kChart, MeasureMethod::kSlit, MeasureMethod::kEdge})
        if (std::vector<FoundObject> found = image.Find(method); !found.empty()) return found;
    ThrowFailure(FailureCode::kObjectNotFound);
}

long double SearchSpacing(const SourceImage& image, const MeasureSettings& settings)
{
    if (settings.pixelSpacing) return *settings.pixelSpacing;
    if (image.pixelSpacingText) {
        try {
            return StrToFloat(*image.pixelSpacingText);
        } catch (const Failure&) {
        }
    }
    return 0.1L;
}

std::vector<FoundObject> FindObjectsStep(const SourceImage& image, const MeasureSettings& settings,
                                         const ObjectSearch& search)
{
    const SearchedImage searched({image.bytes, image.layout, image.offset, image.swap},
                                 SearchSpacing(image, settings));
    std::vector<FoundObject> out = searched.Find(settings.method, search);
    if (out.empty()) ThrowFailure(FailureCode::kObjectNotFound);
    return out;
}

}  // namespace radmtf

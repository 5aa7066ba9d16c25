// The objects a measurement without a typed ROI measures: found in the
// image (see find/object_finding.h), each given as the ROI to measure it in.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "find/object_finding.h"
#include "measure/measurement.h"
#include "measure/settings.h"
#include "viewer/sample_reader.h"

namespace radmtf {

struct ObjectSearch {
    std::optional<SearchArea> area;  // default: the whole image
    EdgeDirections directions = EdgeDirections::kBoth;
};

struct FoundObject {
    RoiSetting roi;
    MeasureMethod method = MeasureMethod::kEdge;  // the method that measures it
    std::optional<bool> edgeVertical;             // edges: the edge runs along the columns
};

// An image's samples as the table reads them (offset and byte order
// applied), searched for objects without reading them again.
class SearchedImage {
public:
    // The samples of a 16-bit image; fails with kObjectNotFound for 8-bit
    // samples or an image the buffer does not hold whole. `pixelSpacing`
    // (mm) sizes the ROIs; outside kMinPixelSpacingMm .. kMaxPixelSpacingMm
    // it is refused (kPixelSpacingRange) before any search.
    SearchedImage(const SampleReader& reader, long double pixelSpacing);
    // The objects `method` measures: every usable edge (vertical ones
    // first), or the one slit or chart. None: empty.
    std::vector<FoundObject> Find(MeasureMethod method, const ObjectSearch& search = {}) const;

private:
    std::vector<std::uint16_t> samples_;
    SampleImageView view_;
};

// What the viewer's Find offers: the bar chart, else the slit, else every
// usable edge. Fails with kObjectNotFound when there is none.
std::vector<FoundObject> FindAnyObject(const SearchedImage& image);

// The pixel spacing a search sizes its ROIs by: the settings', the file's,
// else 0.1 mm (it only sizes the ROIs).
long double SearchSpacing(const SourceImage& image, const MeasureSettings& settings);

// SearchedImage(...).Find for the settings' method, with the spacing above.
// Fails with kObjectNotFound when there is none.
std::vector<FoundObject> FindObjectsStep(const SourceImage& image, const MeasureSettings& settings,
                                         const ObjectSearch& search);

}  // namespace radmtf

// The objects a measurement without a typed ROI measures: found in the
// image (see find/object_finding.h), each given as the ROI to measure it in.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "find/object_finding.h"
#include "measure/measurement.h"
#include "measure/settings.h"

namespace radmtf {

struct ObjectSearch {
    std::optional<SearchArea> area;  // default: the whole image
    EdgeDirections directions = EdgeDirections::kBoth;
};

struct FoundObject {
    RoiSetting roi;
    std::optional<bool> edgeVertical;  // edges: the edge runs along the columns
};

// Every usable edge for the edge method (vertical ones first), the slit or
// the chart for the other methods. The pixel spacing is the settings' or the
// file's (0.1 mm when neither gives one: it only sizes the ROIs). Fails with
// kObjectNotFound when there is none (also for 8-bit samples).
std::vector<FoundObject> FindObjectsStep(const SourceImage& image, const MeasureSettings& settings,
                                         const ObjectSearch& search);

}  // namespace radmtf

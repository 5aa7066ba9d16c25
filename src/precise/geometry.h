// Where a tilted slit, edge or bar chart lies in the pixel table: the
// direction of its lines (along table rows or columns), its position on
// every line and its tilt, from per-line centroids with a straight-line fit.
//
// Each line (a table row when the object's lines are nearly vertical, a
// column otherwise) is searched for the object's feature: the slit's peak, or
// the strongest isolated step of an edge or chart. The feature's position on
// the line is the centroid of the exposure above the line's baseline (slit)
// or of the step's derivative (edge, chart) in a window centred on the
// position predicted by the previous fit; three passes refine the fit.
#pragma once

#include <string>
#include <string_view>

#include "analysis/composite_profile.h"
#include "precise/value_table.h"

namespace radmtf {


enum class FeatureKind { kAny, kPeak, kStep };

struct LineGeometry {
    bool alongRows = true;  // lines are table rows (orientations 1, 2)
    FeatureKind kind = FeatureKind::kPeak;
    int lineCount = 0;    // table rows (alongRows) or columns
    int sampleCount = 0;  // samples per line
    double origin = 0;    // feature position on line 0 (samples from the line's first)
    double slope = 0;     // its move per line (samples)
    double scatter = 0;   // rms distance of the per-line centroids from the fit (samples)

    // M, the lines over which the object moves by one sample (not rounded).
    double LinesPerPixel() const;
    // M as MA-Line# takes it: the nearest integer, within the counter's 1 .. 200.
    int LinesSetting() const;
    // The orientation button that describes the object: 1 moves right (down)
    // line by line, 2 left (up), along rows; 3 and 4 the same along columns.
    ProfileOrientation Orientation() const;
    // Position of sample k of line l relative to the feature (samples).
    double Position(int line, int sample) const { return sample - (origin + slope * line); }
    // Exposure of sample k of line l.
    double Value(const ValueTable& table, int line, int sample) const
    {
        return alongRows ? table.At(line, sample) : table.At(sample, line);
    }
};

// The estimate. Fails with FailureCode::kNoTiltedObject when the table is too
// small, holds no clear feature, or the object is not tilted (M above 1000)
// or tilted by more than half a pixel per line (M below 2).
LineGeometry EstimateGeometry(const ValueTable& exposure, FeatureKind kind = FeatureKind::kAny);

// "M = 17.31, orientation 2": what the Auto button shows.
std::string GeometryText(const LineGeometry& geometry);

// True when the chosen orientation differs from the estimate, or M differs
// from the estimated M by more than 10 %.
bool GeometryDisagrees(const LineGeometry& estimate, ProfileOrientation chosen, double chosenLines);


}  // namespace radmtf

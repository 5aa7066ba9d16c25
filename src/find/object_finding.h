// Where the test objects lie in an image: every usable straight edge of a
// plate, a tilted slit, the bar chart. Each is given as the ROI the methods
// measure it in, in the ROI edits' convention (see RoiSetting): centre x, y,
// width, height, the table block starting one column left of
// centre x − width / 2, at row centre y − height / 2.
//
// Edges are searched on a block-averaged copy of the image (about 400 pixels
// on its longer side): gradients whose size stands out of the noise at their
// grey level (the noise against level comes from the image itself, as the
// median absolute residual per level), grouped by direction into connected
// segments, each fitted with a line. Each segment is then followed at full
// resolution through blocks of lines (the step's half-height crossing), which
// gives its angle and where it ends (corners, the image border, other edges).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "precise/geometry.h"

namespace radmtf {

// 16-bit samples, row by row; read as signed when isSigned.
struct SampleImageView {
    const std::uint16_t* samples = nullptr;
    bool isSigned = false;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    double pixelSpacing = 0.1;  // mm; nothing is found outside 0.001 .. 10
};

// A rectangle of the image: first column and row, size.
struct SearchArea {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The ROI edits: centre x, y, width, height.
struct FoundRoi {
    std::int32_t centreX = 0;
    std::int32_t centreY = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

enum class EdgeDirections { kBoth, kVertical, kHorizontal };

struct FindSettings {
    std::optional<SearchArea> area;  // default: the whole image
    EdgeDirections directions = EdgeDirections::kBoth;
    double lsfHalfWidth = 2.5;  // mm of flat the edge and slit methods keep on each side
    double minLength = 5;       // mm: shorter edges are not usable
    double maxLength = 50;      // mm: longer ones are measured over their middle part
    double minAngle = 0.5;      // degrees, the edge method's range
    double maxAngle = 10;
    // The exposure of a sample value for the geometry estimate of slits and
    // charts (as "ToExp" converts); empty: the values themselves.
    std::function<double(std::int32_t)> exposure;
};

struct FoundEdge {
    bool vertical = true;  // runs along the columns: the edge method measures across x (MTF_u)
    bool rising = true;    // dark to bright along increasing x (y)
    double angle = 0;      // degrees; positive when the edge moves to larger x (y) line by line
    double contrast = 0;   // step in sample values
    // The usable part of the edge, from corner to corner: (x, y) pixels.
    double startX = 0, startY = 0, endX = 0, endY = 0;
    FoundRoi roi;
};

// Every usable edge, vertical ones first, each group from left (top).
// Nothing found: empty.
std::vector<FoundEdge> FindEdges(const SampleImageView& image, const FindSettings& settings = {});

struct FoundLines {
    FoundRoi roi;
    LineGeometry geometry;  // "Auto" on the ROI: orientation and M
};

// The brightest thin tilted line, or nothing.
std::optional<FoundLines> FindSlit(const SampleImageView& image, const FindSettings& settings = {});

// The bar chart (a run of many steps along the profile, its large square
// included), or nothing.
std::optional<FoundLines> FindChart(const SampleImageView& image, const FindSettings& settings = {});

}  // namespace radmtf

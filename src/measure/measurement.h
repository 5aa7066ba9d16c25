// The measurement chain from an image file to its MTF, without any window:
//
//   ReadSourceImage → ReadPixelTable → the analysis session's steps
//   (analysis_session.h): BuildProfile → Smooth → [Extract] → ToExposure →
//   [Truncate] → SlitMtf → [Fit], or LocateChart → ToExposure → ChartMtf → Fit;
//   the precise modes and the edge method on the table in exposure.
//
// The session's steps are the buttons of the analysis window, which runs the
// same session, so the window and the command line give the same results
// digit for digit. Every step fails with a radmtf::Failure where the
// window's action would.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/chart_point.h"
#include "analysis/extraction.h"
#include "analysis/pixel_table.h"
#include "analysis/profile_state.h"
#include "conversion/conversion.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "dicom/dicom_load.h"
#include "measure/settings.h"
#include "mtf/edge.h"
#include "mtf/fitting.h"
#include "mtf/mtf_state.h"
#include "mtf/slit.h"
#include "mtf/swc.h"
#include "precise/mtf_points.h"
#include "viewer/sample_reader.h"
#include "viewer/view_types.h"

namespace radmtf {

// A loaded image and what its file (or the settings) say about it.
struct SourceImage {
    std::shared_ptr<const void> storage;  // keeps `bytes` alive (a mapping or a vector)
    std::span<const std::uint8_t> bytes;  // the whole file
    SampleLayout layout;                  // header, columns, rows, 8-bit or not
    std::int32_t offset = 0;              // value offset
    bool swap = false;
    std::optional<std::string> pixelSpacingText;  // the file's pixel spacing as written there
    // Where pixelSpacingText comes from: "imager" (0018,1164), else "pixel".
    std::string pixelSpacingSource;
    DicomImageFacts facts;    // a DICOM file's signedness, bits, photometric, processing
    std::string acquisition;  // a DICOM file's acquisition summary, lines ended by CR LF
    FileStamp stamp;          // the file read (empty for bytes from elsewhere)
};

// The decoder a load consults for pixels that are not plain 16-bit samples
// (PrepareDicomLoad, perhaps from a library loaded only for such files).
using DicomDecoder = std::function<DicomLoad(std::span<const std::uint8_t> file)>;

// Maps the file whole (its pages are read only where the measurement looks)
// and settles its geometry: a DICOM file's header gives
// size, header length, offset, byte order, signedness (PixelRepresentation)
// and pixel spacing (Imager Pixel Spacing where the file has it: the MTF is
// the detector's, at its plane); the settings override each of them. Fails with kCannotOpen, kNotAFile for a
// folder, and kNoImageSize when no size is known (a DICOM-mode file that is no image). A DICOM file whose
// pixels a load would decode is decoded by `decoder`, and its 16-bit samples stand for the file; without one
// it is refused (kUndecodablePixelData) rather than read as samples it does not hold.
SourceImage ReadSourceImage(const std::string& path, const MeasureSettings& settings,
                            const DicomDecoder& decoder = {});
SourceImage SourceImageFromBytes(std::shared_ptr<const void> storage, std::span<const std::uint8_t> bytes,
                                 const MeasureSettings& settings, const DicomDecoder& decoder = {});

// The ROI a load proposes: centred on the view at magnification 1, half of it.
RoiSetting DefaultRoi(std::int32_t columns, std::int32_t rows);

// The table block behind a ROI (one column left of the ROI, as the viewer reads it).
SampleBlock RoiTableBlock(const RoiSetting& roi);

// The ROI settings of an image rectangle (RoiRectFromEdits turned around).
RoiSetting RoiOfRect(const PixelRect& rect);

// Refuses (kTableTooLarge) a table beyond any detector's size, which would
// only exhaust the memory.
void CheckTableLimits(const SampleBlock& block);

// What makes an image processed (DicomImageFacts::Processed), as the
// warning names it.
std::string ProcessingText(const DicomImageFacts& facts);

// MONOCHROME1 values turned around, v' = (2^B - 1) - v with B the whole bits
// of `bitsStored` (1 .. 31), so that more exposure gives a higher value as the
// conversion to exposure expects. Returns 2^B - 1.
std::int64_t InvertValues(std::vector<std::int32_t>& values, long double bitsStored);

// The pixel table of "toMTF": the block's measured sample values. 16-bit
// images: a block outside the image is refused (kRoiOutsideImage) before the
// limits are checked. An 8-bit image leaves the table's cells empty, as the
// window does.
struct PixelTable {
    std::int64_t columns = 0;
    std::int64_t rows = 0;
    bool filled = false;
    std::vector<std::int32_t> values;  // row-major, rows × columns
    // The cells of a table that is not filled which hold a value all the
    // same (row-major; empty: none), kept from the table before it.
    std::vector<std::uint8_t> kept;
    PixelTableView View() const;
};
PixelTable ReadPixelTable(const SourceImage& image, const SampleBlock& block);
// Its refusals alone, which do not depend on the offset or the byte order.
void CheckTableBlock(const SourceImage& image, const SampleBlock& block);

// The command's conversion to exposure: the curve file's lines when given,
// else the detector model.
struct ExposureInputs {
    std::optional<std::vector<std::string>> curveLines;
    std::string curvePath;  // names the curve file in its failures
    long double latitude = 4.0L;
    long double bitsStored = 12.0L;
    std::int32_t offset = 0;
    // A conversion function chosen in place of the model or the curve file.
    std::optional<Conversion> conversion;
};
// The conversion function of `inputs`.
Conversion ConversionOf(const ExposureInputs& inputs);
// The edge page's settings from `settings` and the pixel spacing (mm), as
// the page reads its edits; kEdgeSettings for a value out of its range.
EdgeSettings EdgeSettingsOf(const MeasureSettings& settings, long double pixelSpacing);

// One MTF point as the window lists it.
struct MtfPoint {
    double frequency = 0.0;  // cycles/mm
    double value = 0.0;
    std::string display;                // the value's text in the window's memo
    std::optional<double> uncertainty;  // standard uncertainty (precise modes, edge method)
    // A chart group: above the Nyquist frequency (its bars alias), not found
    // (no value: NaN), measured at a modulation too low for its uncertainty
    // to hold. Interpolated: read off the curve between measured points.
    bool beyondNyquist = false;
    bool notFound = false;
    bool lowModulation = false;
    bool interpolated = false;
    std::optional<double> fit = std::nullopt;  // the fitted polynomial here, within the fit's range
};

// What marks a chart group's point: its bars lie beyond the Nyquist
// frequency (they alias), or its modulation is below 0.02, too low for its
// value or uncertainty to be trusted.
struct ChartGroupMarks {
    bool beyondNyquist = false;
    bool lowModulation = false;
};
ChartGroupMarks MarkChartGroup(double frequency, double mtf, long double pixelSpacing);

// The chart's bar groups: centres of the square (row 0) and the bar groups
// (rows 1 .. 9), and the last group whose bar spacing matched its frequency.
struct ChartGroups {
    std::array<std::array<std::int32_t, 11>, 10> centres{};
    std::int32_t lastValidGroup = 0;
};

struct MeasureResult {
    MeasureSettings settings;           // as used: the file's values and the defaults filled in
    std::vector<std::int32_t> profile;  // the composite profile the method ran on
    double sampleSpacing = 0.0;         // mm between profile samples
    std::vector<double> lsf;            // the exposure profile (the LSF of a slit)
    std::int32_t peakIndex = 0;
    std::vector<MtfPoint> points;            // the measured MTF
    std::optional<FittingOutput> fit;        // the fitted tables, when fitted
    std::optional<ChartGroups> chartGroups;  // the chart method's groups
    std::string acquisition;                 // the image's acquisition summary (model, kV, mAs ...)
    FileStamp source;                        // the version of the file measured
    DicomQaFields qa;                        // who made the image and with what (a DICOM file's)
    std::optional<double> edgeAngle;         // the edge method's angle (degrees)
    std::optional<bool> edgeVertical;        // the edge method's edge runs along the columns
    std::string geometry;                    // the estimate "Auto" shows, when one was made
    std::string pixelSpacingSource;          // "imager", "pixel" (the file's) or "option"
    // The curve the window's summary and report read where it is not
    // `points`: the precise slit mode's first list, the edge method's fine grid.
    std::vector<std::pair<double, double>> summaryCurve;
    // What the window would warn about on the way (the measurement went on).
    std::vector<Failure> warnings;
};

// The measured points as the command lists them: the precise slit mode's two
// lists as one in frequency order (a frequency in both listed once), the
// precise chart's groups, the edge method's table; with their uncertainties.
std::vector<MtfPoint> MergedPoints(const std::vector<PreciseMtfPoint>& listed,
                                   const std::vector<PreciseMtfPoint>& steps);
std::vector<MtfPoint> MtfPointsOf(const std::vector<PreciseMtfPoint>& precise);
std::vector<MtfPoint> EdgePoints(const EdgeResult& edge);

// What produced a curve, for its report: the file and the settings as the
// measurement used them, what it found and what it warned about. The window
// keeps one from the moment a measurement succeeds; the command makes one per
// file.
struct MeasurementRecord {
    std::string file;
    FileStamp source;                // the version of the file measured
    MeasureSettings settings;        // as used (for a failed file: as asked)
    std::string pixelSpacingSource;  // "imager", "pixel" (the file's) or "option"
    std::vector<MtfPoint> points;
    std::vector<std::pair<double, double>> summaryCurve;  // empty: the points
    std::optional<double> edgeAngle;                      // degrees
    std::string edgeDirection;                            // "vertical" or "horizontal"
    std::string geometry;                                 // the estimate, where one was made
    std::vector<std::string> warnings;                    // their texts
    std::string acquisition;                              // the acquisition summary, lines ended by CR LF
    DicomQaFields qa;
    std::string failure;  // a file that could not be measured: why
};

// The whole chain on a loaded image: the analysis window's session
// (analysis_session.h) driven in the order the windows run it.
// Refuses (kPixelSpacingRange) a pixel spacing, set or the file's, outside
// kMinPixelSpacingMm .. kMaxPixelSpacingMm before anything is measured.
MeasureResult MeasureImage(const SourceImage& image, const MeasureSettings& settings);
// ReadSourceImage, then MeasureImage.
MeasureResult MeasureFile(const std::string& path, const MeasureSettings& settings,
                          const DicomDecoder& decoder = {});

}  // namespace radmtf

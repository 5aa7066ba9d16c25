// The settings of one measurement from image to MTF, as plain values: what
// the two windows hold in their edits, boxes and buttons, without a window.
//
// An empty optional stands for "what the file says" (DICOM) or "the window's
// default"; a measurement fills them in (MeasureResult::settings).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace radmtf {

// The pixel spacings of real detectors (mm). Anything outside is a typing or
// file error, and a tiny one would make every frequency table run away.
inline constexpr long double kMinPixelSpacingMm = 0.001L;
inline constexpr long double kMaxPixelSpacingMm = 10.0L;
// Throws kPixelSpacingRange for a spacing outside them (or NaN).
void CheckPixelSpacing(long double mm);

// New methods are added here and in MethodName/ParseMethod.
enum class MeasureMethod { kSlit, kChart, kEdge };

// The viewer's mode items: " 8bit", "16bit", "DICOM".
enum class ImageFormat { kRaw8 = 0, kRaw16 = 1, kDicom = 2 };

// The ROI as the ROI edits give it: centre and size in image pixels.
struct RoiSetting {
    std::int32_t centreX = 0;
    std::int32_t centreY = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The edge page's edits besides the LSF range (defaults: EdgeSettings).
struct EdgeMethodSettings {
    long double binWidth = 0.1L;           // ESF bin (pixels)
    long double lsfTaper = 0.5L;           // fraction of the LSF range that fades out
    long double coreHalfWidth = 1.0L;      // LSF core ± (mm)
    long double tailCutoff = 2.0L;         // cycles/mm
    long double smoothingInterval = 0.0L;  // MTF averaging interval (cycles/mm)
    // The window that narrows with frequency: ± c / f mm at f, in place of
    // the core and tail weighting; 0: off.
    long double adaptiveWindow = 0.0L;
    // The LSF window fitted to the LSF's reach: this many reaches (within
    // the LSF range); 0: off.
    long double reachFactor = 3.0L;
};

struct MeasureSettings {
    MeasureMethod method = MeasureMethod::kSlit;

    // The image (viewer window).
    ImageFormat format = ImageFormat::kDicom;
    std::optional<std::int32_t> columns;
    std::optional<std::int32_t> rows;
    std::optional<std::int32_t> header;  // bytes before the pixels
    std::optional<std::int32_t> offset;  // value offset
    std::optional<bool> swap;            // samples big-endian
    std::optional<RoiSetting> roi;       // the ROI edits; default: centred on the view, half its size

    // The profile (analysis window).
    int orientation = 1;        // ProfileOrientation 1 .. 4
    std::int32_t maLines = 17;  // MA-Line#: table lines interleaved into the profile
    // "Auto": the orientation button and MA-Line# from the geometry the
    // table shows (a result's settings hold the values it chose).
    bool autoOrientation = false;
    bool autoMaLines = false;
    // The traditional slit and chart first look for their object as Auto
    // does: none found refuses the image, a chosen orientation or MA-Line#
    // unlike the estimate is warned about. Off: measured as given.
    bool checkObject = true;
    std::int32_t smoothing = 1;  // moving-average width
    bool extract = false;        // "Extract" before ToExp

    // The conversion to exposure.
    std::optional<long double> pixelSpacing;  // mm; default: the file's
    long double latitude = 4.0L;              // L: decades over the pixel range
    long double bitsStored = 12.0L;           // B: the pixel range is 2^B
    bool bitsFromFile = false;                // a DICOM file's BitsStored, where it has one, over bitsStored
    std::optional<std::string> curveFile;     // convert through this characteristic-curve file
    // A conversion function of the detector in place of the model: "linear:OFFSET,GAIN",
    // "log:C0,C1[,KREF]" or "file:PATH" (ParseConversion). A result holds the one it used,
    // its numbers written out ("linear:10,2"). Empty: the model, or the curve file.
    std::optional<std::string> conversion;

    // The MTF.
    bool precise = false;                    // the precise slit or chart mode
    long double slitWidth = 0.01L;           // mm, the precise slit mode's aperture
    std::optional<std::int32_t> truncateAt;  // LSF sample picked as the left tail's start, then "Trancation"
    std::int32_t fitDegree = 7;              // degree of the fitted polynomial
    // The fit's highest frequency (cycles/mm), one of kFitFrequencies.
    // Empty: the chart method's own choice; the slit method is then not fitted.
    std::optional<long double> fitUpTo;
    // The LSF kept within ± this distance (mm) of the slit or the edge: the
    // precise slit mode's LSF range, the edge method's.
    long double lsfRange = 2.5L;
    EdgeMethodSettings edge;
};

// Free text a QA report carries besides what the file says: who measured,
// where, and why. The command takes it from options, the window keeps it
// between sessions.
struct ReportNotes {
    std::string institution;
    std::string operatorName;
    std::string note;
};

// The fit frequencies the window offers, by item, as numbers (cycles/mm)
// and as the items read.
inline constexpr long double kFitFrequencies[] = {2.0L, 2.5L, 3.0L, 4.0L, 5.0L, 6.0L};
inline constexpr const char* kFitFrequencyTexts[] = {"2.0", "2.5", "3.0", "4.0", "5.0", "6.0"};
// The item of a fit frequency; empty for one the window does not offer.
std::optional<int> FitItemOf(long double frequency);

// The settings of `measure nnps` and `measure conversion`.
struct NoiseSettings {
    // --conversion as typed: "model", "linear:OFFSET,GAIN", "log:C0,C1[,KREF]",
    // "hdc:FILE" or "file:PATH" (ParseConversion).
    std::string conversion = "model";
    std::optional<long double> kerma;         // µGy at the detector, stated
    std::optional<long double> pixelSpacing;  // mm; default: the file's
    long double latitude = 4.0L;              // the model's L
    long double bitsStored = 12.0L;           // the model's B
    std::optional<std::string> kermaFile;     // conversion: the CSV of "file,kerma"
};

const char* MethodName(MeasureMethod method);
std::optional<MeasureMethod> ParseMethod(const std::string& name);
const char* FormatName(ImageFormat format);
std::optional<ImageFormat> ParseFormat(const std::string& name);

}  // namespace radmtf

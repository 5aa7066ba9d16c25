// The failures that the program reports to the user.
//
// Every failure is an exception carrying a code and the texts that fill the
// message's blanks (a file name, the text that is not a number). The words
// the user reads are made from the code in one catalogue of the application
// (app/messages.h), so they can be translated and so callers tell failures
// apart by code, not by text. Kernels only throw.
#pragma once

#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace radmtf {

enum class FailureCode {
    // The platform's failures (conversion, files, lists, floating point).
    kNotInteger,        // argument: the text
    kNotFloat,          // argument: the text
    kCannotOpen,        // argument: the path
    kCannotCreate,      // argument: the path
    kListIndex,         // argument: the index
    kZeroDivide,        // a nonzero value divided by zero, log of zero
    kInvalidOperation,  // 0/0, log or square root of a negative value
    kOverflow,          // a result beyond the range of a double
    kIntegerDivide,     // integer division by zero
    kOutOfMemory,
    // The program's own refusals.
    kBitmapTooLarge,
    kViewTooFar,
    kTrimEmpty,
    kTrimTooLarge,
    kNothingToTrim,
    kRoiOutsideImage,
    kTableTooLarge,
    kProfileTooLong,
    kNoSignal,
    kChartNotFound,
    kDegreeOutOfRange,
    kNotMeasured,
    kFrequencyRangeTooWide,
    kBadPixelSpacing,
    kPickOutside,
    kStartOutside,
    kStartNotLeftOfPeak,
    kFitRangeTooLong,
    kLeftTailNotFalling,
    kRightTailNotFalling,
    kRightStartNotFound,
    kExtensionTooLong,
    // Measuring a file without the windows.
    kEmptyProfile,
    kEmptyLsf,
    kCurveLineUnreadable,   // arguments: the file, the line number, the field
    kDecodedImageTooLarge,
    kValuesBeyond16Bits,
    kUndecodablePixelData,  // argument: the transfer syntax and its name; empty when none
    kNoImageSize,     // the file gives no image size and none was set
    kNoPixelSpacing,  // the file gives no pixel spacing and none was set
    kNotAFile,        // argument: the path (a folder inside a folder, a device)
    kNoTiltedObject,   // no tilted slit, edge or chart in the ROI
    kNoBackground,     // the precise slit needs background on both sides
    kGeometryMismatch, // argument: the estimate ("M = 17.31, orientation 2")
    kEdgeNotFound,     // no clear edge in the ROI
    kEdgeTwoEdges,     // more than one edge in the ROI
    kEdgeAngle,        // argument: the measured angle in degrees
    kEdgeSettings,     // an edge-method setting out of its range
    kTooManyValues,    // too many distinct pixel values to convert at once
    kSlitWidth,        // arguments: the slit width, its limit (mm), the highest frequency listed
    // What a real detector's file says of its data.
    kProcessedImage,     // a warning: FOR PRESENTATION or a LUT sequence; argument: what the file says
    kInvertedValues,     // a warning: MONOCHROME1 measured as (2^B - 1) - v; argument: 2^B - 1
    kInvertedWithCurve,  // MONOCHROME1 with a curve file, which cannot say which way its values run
    kBitsStoredDiffers,  // a notice: arguments: the file's BitsStored, the analysis window's
    kSpacingsDiffer,     // a notice: arguments: Imager Pixel Spacing, Pixel Spacing (mm)
    kNotRegularTarget,  // argument: the path to write, a device, pipe, folder or socket
    kOutputIsInput,     // argument: the path to write, a file being measured
    kStandardOutput,    // standard output could not be written
    kPixelSpacingRange, // argument: the pixel spacing (mm), outside 0.001 .. 10
    kObjectNotFound,   // no edge, slit or chart found for a measurement without a ROI

    // Noise power spectra and the conversion function.
    kNnpsNoRoi,             // argument: the analysed area in pixels ("100 x 80")
    kNnpsMixedImages,       // argument: the file whose size or pixel spacing differs from the first
    kNnpsNonPositiveKerma,  // arguments: the pixel count, the file
    kNnpsSaturated,         // a warning; arguments: the pixel count, the file
    kNnpsSmallArea,         // a warning; argument: the analysed area in mm ("76.8 x 76.8")
    kNnpsFewPixels,         // a warning; argument: the independent pixel count
    kConversionFewKermas,   // argument: the number of distinct kermas
    kConversionUnreadable,  // arguments: the file, the line number
    kConversionSettings,    // argument: the conversion as typed
    kConversionNoKerma,     // arguments: the image, the kerma file that does not list it
    kDecodeBudgetExceeded,  // arguments: megabytes a decode needs, megabytes allowed
    kDecoderStopped,        // arguments: the file, its transfer syntax (the decoder process died)
    kDecoderTimedOut,       // arguments: the file, its transfer syntax, the time limit (s)

    // Detective quantum efficiency.
    kEdgeDirectionsDiffer,  // argument: the edge image (from 1) whose edge runs the other way
    kDqeNoMtf,              // argument: the direction ("u" or "v") that has no MTF
    kDqeSettings,           // argument: the setting as typed (kerma, SNR^2, quality)
    kDqeMtfUnreadable,      // arguments: the file, the line number
    kDqeKermaMismatch,      // a warning; arguments: the flat fields' mean kerma, the given kerma (uGy)
    kDqeImagesDiffer,       // a warning; argument: the edge image whose size or spacing differs
    kDqeMtfShort,           // a warning; arguments: the direction, the MTF's highest frequency
    kDqeMtfNoCurve,         // argument: the file (no single measurement's rising MTF in it)
};

class Failure : public std::exception {
public:
    explicit Failure(FailureCode code, std::vector<std::string> args = {});
    FailureCode code() const { return code_; }
    const std::vector<std::string>& args() const { return args_; }
    // The code's name and arguments, for logs and test diagnostics; the
    // user's text comes from the catalogue.
    const char* what() const noexcept override { return description_.c_str(); }

private:
    FailureCode code_;
    std::vector<std::string> args_;
    std::string description_;
};

// The code's name, e.g. "NotInteger".
std::string_view FailureCodeName(FailureCode code);

[[noreturn]] void ThrowFailure(FailureCode code, std::vector<std::string> args = {});
[[noreturn]] void ThrowNotInteger(std::string_view text);
[[noreturn]] void ThrowNotFloat(std::string_view text);
[[noreturn]] void ThrowCannotOpen(std::string_view path);
[[noreturn]] void ThrowCannotCreate(std::string_view path);
[[noreturn]] void ThrowListIndex(long long index);
[[noreturn]] void ThrowZeroDivide();
[[noreturn]] void ThrowInvalidOperation();
[[noreturn]] void ThrowOverflow();

// Floating-point operations that fail the way the user expects instead of
// silently producing inf or NaN.
long double CheckedDivide(long double numerator, long double denominator);
double CheckedDivide(double numerator, double denominator);
long double CheckedLog10(long double x);
long double CheckedSqrt(long double x);
// x as a double: the invalid-operation failure for NaN, the overflow failure
// beyond the double range.
double ToDoubleChecked(long double x);
// Throws the invalid-operation failure for NaN and the zero-divide failure
// for an infinity; returns x otherwise.
long double CheckedFinite(long double x);

}  // namespace radmtf

// The conversion function of IEC 62220-1-1: the relation of pixel value PV
// to the air kerma K at the detector surface (uGy), applied to every pixel
// before a noise power spectrum is formed.
//
//   linear  PV = OFFSET + GAIN x K
//   log     PV = C0 + C1 x log10(K / KREF)
//   model   K = 10^(L x (PV + o) / 2^B): the logarithmic detector model of
//           the exposure conversion (L decades over 2^B values, the viewer's
//           value offset o), without its scaling to a peak of 1000
//   curve   the characteristic curve file (hdc.txt): log10 K by linear
//           interpolation in PV between its lines, as the exposure
//           conversion interpolates it
//
// A conversion measured from flat fields is written by WriteConversionFile
// and read by ReadConversionFile as a linear or log conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace radmtf {

class Conversion {
public:
    enum class Kind { kLinear, kLog, kModel, kCurve };

    // Each refuses (kConversionSettings) parameters that give no inverse:
    // GAIN or C1 of zero, KREF <= 0, B outside 1 .. 32, L of zero, numbers
    // that are not finite.
    static Conversion Linear(double offset, double gain);
    static Conversion Log(double c0, double c1, double kref = 1.0);
    static Conversion Model(double latitude, double bits, double offset = 0.0);
    // The lines of a curve file: "log10 K TAB PV" each, PV rising. Like the
    // exposure conversion, the log kermas are taken as evenly spaced with
    // the step of the first two lines; the first line's PV and anything
    // beyond the last line have no kerma (0). Fails with
    // kConversionUnreadable (path, line) for a line that is not two numbers
    // and for fewer than two lines.
    static Conversion Curve(const std::vector<std::string>& lines, std::string_view path);

    Kind kind() const { return kind_; }
    // The parameters as typed back on the command line ("linear:10,2").
    std::string Describe() const;

    // K(PV); 0 where the conversion gives no kerma (a curve's ends), and a
    // non-positive value where the relation gives one (linear below OFFSET).
    double Kerma(double pv) const;
    // K(PV) for many pixel values: each distinct value is converted once.
    void Kerma(const std::int32_t* pv, std::size_t count, double* kerma) const;
    // PV(K), the forward relation (curves: not provided, 0).
    double PixelValue(double kerma) const;

private:
    Kind kind_ = Kind::kLinear;
    double a_ = 0.0;  // OFFSET, C0, L or unused
    double b_ = 1.0;  // GAIN, C1, B
    double c_ = 1.0;  // KREF, the model's offset
    std::vector<double> curveLogK_;
    std::vector<double> curvePv_;
    std::vector<double> curveMax_;  // running maximum of curvePv_ from line 1
    std::string path_;
};

// Parses "model", "linear:OFFSET,GAIN", "log:C0,C1[,KREF]", "hdc:FILE" and
// "file:PATH" (files read through ReadConversionFile or the curve reader).
// `latitude`, `bits` and `offset` are the model's parameters. Fails with
// kConversionSettings naming the text, kCannotOpen for a missing file.
Conversion ParseConversion(std::string_view text, double latitude = 4.0, double bits = 12.0,
                           double offset = 0.0);

// A flat field of the conversion measurement.
struct ConversionSample {
    double kerma = 0.0;      // uGy at the detector surface
    double meanValue = 0.0;  // mean PV of the central 10 mm x 10 mm
    std::string name;
};

struct ConversionFit {
    double offset = 0.0, gain = 0.0, r2Linear = 0.0;     // PV = OFFSET + GAIN K
    double c0 = 0.0, c1 = 0.0, kref = 1.0, r2Log = 0.0;  // PV = C0 + C1 log10(K / KREF)
    bool logChosen = false;                              // the higher R^2
    std::vector<ConversionSample> samples;
    std::vector<double> residualLinear, residualLog;  // measured - fitted PV, per sample
    Conversion Chosen() const;
};

// Ordinary least squares of both models. Refuses fewer than 3 distinct
// kermas (kConversionFewKermas) and kermas <= 0 (kConversionSettings).
ConversionFit FitConversion(const std::vector<ConversionSample>& samples, double kref = 1.0);

// The mean pixel value of the central 10 mm x 10 mm of a row-major image
// (the whole image when smaller; at least one pixel).
double CentralMeanValue(const std::int32_t* values, std::int32_t columns, std::int32_t rows, double dx,
                        double dy);

// The text of a conversion file: "key TAB value" lines, the chosen model
// first, then both fits and the samples with their residuals.
std::string ConversionFileText(const ConversionFit& fit);
// The chosen conversion of such a text; kConversionUnreadable names the
// path and the first line that is missing or not a number.
Conversion ReadConversionText(std::string_view text, std::string_view path);

}  // namespace radmtf

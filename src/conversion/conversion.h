// The conversion function of IEC 62220-1-1: the relation of pixel value PV
// to the air kerma K at the detector surface (uGy, absolute).
//
//   linear  PV = OFFSET + GAIN x K
//   log     PV = C0 + C1 x log10(K / KREF)
//   model   K = 10^(L x (PV + o) / 2^B): the logarithmic detector model
//           (L decades over 2^B values, the viewer's value offset o)
//   curve   the characteristic curve file (hdc.txt): log10 K by linear
//           interpolation in PV between its lines
//
// The MTF chain's exposure step and the noise power spectra both convert
// through this object; the MTF chain then scales its exposures to a peak of
// 1000 in a separate step (analysis/exposure.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace radmtf {

class Conversion {
public:
    enum class Kind { kLinear, kLog, kModel, kCurve };

    // The window's settings at start: the model with L = 4, B = 12, o = 0.
    Conversion() = default;

    // The command's conversions. Each refuses (kConversionSettings)
    // parameters that give no inverse: GAIN or C1 of zero, KREF <= 0, B
    // outside 1 .. 32, L of zero, numbers that are not finite.
    static Conversion Linear(double offset, double gain);
    static Conversion Log(double c0, double c1, double kref = 1.0);
    static Conversion Model(double latitude, double bits, double offset = 0.0);
    // The lines of a curve file: "log10 K TAB PV" each, PV rising, up to the
    // first empty line. Fails with kConversionUnreadable (path, line) for a
    // line that is not two numbers and for fewer than two lines. Otherwise
    // as CurveFile, but a PV beyond the last line has no kerma (0) either.
    static Conversion Curve(const std::vector<std::string>& lines, std::string_view path);

    // The exposure step's conversions, taken as they are: nothing is
    // refused here, the formula fails where it fails (overflow, 0 / 0).
    static Conversion DetectorModel(long double latitude, long double bits, long double offset);
    // The curve file as the exposure step reads it: at most 4096 characters
    // of a line, a line past the last reads as empty; the log kermas are
    // taken as evenly spaced with the step X(1) - X(0); for a PV the first
    // line j >= 1 with V(j) >= PV decides:
    //   j = 1: K = 0;  j >= 2: K = 10^(X(j-1) + (PV - V(j-1)) step / (V(j) - V(j-1))).
    // A line's field is read where a conversion needs it: X(0) and X(1)
    // first, the PVs from line 1 up to the first that is not a number, X(j-1)
    // and X(j) of the line found. A field that is not a number fails with
    // kCurveLineUnreadable (path, line, text), an empty one with the
    // platform's message; a PV beyond the readable PVs fails on the line
    // that stopped them.
    static Conversion CurveFile(std::vector<std::string> lines, std::string path);

    Kind kind() const { return kind_; }
    // The parameters as typed back on the command line ("linear:10,2").
    std::string Describe() const;

    // K(PV); 0 where the conversion gives no kerma (a curve's ends), and a
    // non-positive value where the relation gives one (linear below OFFSET).
    // Model and curve are formed in extended precision and fail with
    // kOverflow for a kerma beyond the range of a double.
    double Kerma(double pv) const;
    // K(PV) for many pixel values, in order: each distinct value is
    // converted once, and a failure happens at the first value that fails;
    // kermas before it are written.
    void Kerma(const std::int32_t* pv, std::size_t count, double* kerma) const;
    // PV(K), the forward relation; NaN where the model or the curve has no
    // pixel value (a kerma <= 0, beyond the curve's lines).
    double PixelValue(double kerma) const;

private:
    struct CurveData;

    Kind kind_ = Kind::kModel;
    // linear: OFFSET, GAIN; log: C0, C1, KREF; model: L, B, o.
    long double a_ = 4.0L;
    long double b_ = 12.0L;
    long double c_ = 0.0L;
    long double levels_ = 4096.0L;  // the model's 2^B
    std::shared_ptr<const CurveData> curve_;
    bool curveEndsHaveNoKerma_ = false;

    long double ModelKerma(long double pv, long double levels) const;
    long double CurveKerma(long double pv) const;
};

}  // namespace radmtf

// A detector with a known presampled MTF, for synthetic radiographs.
//
// The line spread function along the profile is a mixture of a Gaussian
// (standard deviation sigma) and a two-sided exponential (scale b, the
// low-frequency drop of scattered light), with unit area:
//   LSF(u) = (1 - w) phi(u / sigma) / sigma + w exp(-|u| / b) / (2 b).
// Each pixel integrates it over its aperture a along the profile, so the
// true presampled MTF is
//   MTF(f) = [(1 - w) exp(-2 pi^2 sigma^2 f^2) + w / (1 + (2 pi b f)^2)] |sinc(a f)|,
// sinc(x) = sin(pi x) / (pi x).
//
// Responses to objects (a slit, an edge, bars) are convolutions of the LSF
// with rectangles, computed in closed form from the LSF's first and second
// antiderivatives F1 (the edge spread) and F2 (its integral): a rectangle of
// width s convolved with a rectangle of width a is a second difference of F2,
// so nothing is integrated numerically and every value is exact to rounding.
#pragma once

namespace radmtf::synth {

struct DetectorModel {
    double pixelPitch = 0.1;  // mm between pixel centres
    double aperture = 0.1;    // mm, sensitive width of a pixel along the profile
    double sigma = 0.04;      // mm, Gaussian part
    double expScale = 0.15;   // mm, b of the exponential part
    double expWeight = 0.1;   // w, share of the exponential part (0 .. 1)

    // The LSF (1/mm), its first antiderivative (0 .. 1) and the integral of that.
    double Lsf(double u) const;
    double EdgeSpread(double u) const;
    double EdgeSpreadIntegral(double u) const;

    // MTF of the LSF alone, of the pixel aperture alone, and their product:
    // the true presampled MTF.
    double LsfMtf(double f) const;
    double ApertureMtf(double f) const;
    double PresampledMtf(double f) const;

    // Pixel responses, the pixel centre at u (mm) from the object:
    // a slit of width s centred at 0 (area s: the response tends to
    // s × LSF ⊗ aperture for a narrow slit), an edge open for u > 0
    // (0 .. 1), and one bright bar covering [lo, hi] (0 .. 1).
    double SlitResponse(double u, double slitWidth) const;
    double EdgeResponse(double u) const;
    double BarResponse(double u, double lo, double hi) const;

    // Beyond this distance (mm) from an edge the edge response is 0 or 1
    // within 1e-15: what a renderer may skip.
    double Reach() const;
};

// |sin(pi x) / (pi x)|, 1 at 0.
double AbsSinc(double x);

}  // namespace radmtf::synth

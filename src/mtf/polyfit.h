// Least-squares polynomial fit through the normal equations.
//
// The fit works on the shared arrays of MtfState: the caller fills fitX and
// fitY, calls FitPolynomial and reads fitCoefficients. Numbers are stored as
// doubles; every term is evaluated in extended precision before it is added
// to its double running sum, so published reference results are reproduced
// digit for digit.
#pragma once

#include <span>

#include "mtf/mtf_state.h"

namespace radmtf {

// x^q for q >= 0 by repeated products: 1 for q = 0 (also for x = 0).
double IntPower(double x, int q);

// Fits c0 + c1 x + ... + cn x^n to the points (fitX[p], fitY[p]), p = 0 .. m - 1,
// and writes fitCoefficients[0 .. n]; entries above n keep their values.
// Normal equations sum_j S[i + j] c_j = B[i] with S[q] = sum x^q and
// B[i] = sum x^i y, solved by Gauss-Jordan elimination without row exchange.
// A zero pivot fails as the platform does (0/0: invalid operation) and leaves
// the coefficients unchanged. Requires 1 <= n <= 16 and 0 <= m <= 2301.
void FitPolynomial(int n, int m, MtfState& state);

// sum_{k=0..n} fitCoefficients[k] * x^k, f^0 = 1.
double EvaluatePolynomial(const MtfState& state, int n, double x);
// The same with the coefficients c0 .. cn given.
double EvaluatePolynomial(std::span<const double> coefficients, double x);

}  // namespace radmtf

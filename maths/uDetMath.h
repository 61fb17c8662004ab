// Deterministic elementary functions for the coefficient maths (filters, envelopes, gain
// curves). Each is built from IEEE basic operations only (+ - * / and comparisons), in
// double-double arithmetic, so the result is the same bit for bit with every C library,
// compiler and target (32-bit SSE2 and 64-bit alike), and within about half an ulp of the
// exact value (the double-double intermediate carries about 100 bits).
//
// These run in setters, never per sample: a call costs a few hundred nanoseconds.
// Requires -ffp-contract=off (no fused multiply-add may be formed), which orvo_options sets.
#pragma once

#include <cmath>

namespace orvo::detmath
{

/// Sine of x (radians). Accurate for |x| <= 2^30; beyond that still deterministic but the
/// argument reduction loses accuracy; NaN for infinite, NaN or |x| >= 2^62.
double Sin(double x) noexcept;
/// Cosine of x (radians), with the same accuracy range as Sin.
double Cos(double x) noexcept;
/// Sine and cosine of x together (one argument reduction).
void SinCos(double x, double& sine, double& cosine) noexcept;

/// Hyperbolic sine; +-infinity when the result overflows.
double Sinh(double x) noexcept;

/// e^x; +infinity above about 709.78, 0 below about -745.13.
double Exp(double x) noexcept;
/// 2^x.
double Exp2(double x) noexcept;
/// 10^x.
double Exp10(double x) noexcept;

/// Natural logarithm; -infinity for 0, NaN for negative values.
double Log(double x) noexcept;
/// Base-10 logarithm; exact for exact powers of ten.
double Log10(double x) noexcept;

/// base^exponent. For base < 0 the exponent must be an integer (otherwise NaN);
/// 0^0 = 1, 0^negative = +infinity.
double Pow(double base, double exponent) noexcept;

/// Square root: IEEE-exact on every platform, so the standard one is used.
inline double Sqrt(double x) noexcept
{
    return std::sqrt(x);
}

} // namespace orvo::detmath

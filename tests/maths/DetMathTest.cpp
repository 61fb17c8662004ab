#include <gtest/gtest.h>

#include "maths/uDetMath.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>

namespace
{

using orvo::detmath::Cos;
using orvo::detmath::Exp;
using orvo::detmath::Exp10;
using orvo::detmath::Exp2;
using orvo::detmath::Log;
using orvo::detmath::Log10;
using orvo::detmath::Pow;
using orvo::detmath::Sin;
using orvo::detmath::SinCos;
using orvo::detmath::Sinh;

// Error of a double result in units of the last place of the double nearest the reference.
// The long double references (64-bit mantissa) are good to about 1/2000 of a double ulp.
double UlpError(double result, long double reference)
{
    const double nearest = static_cast<double>(reference);
    if (nearest == 0.0)
    {
        return result == 0.0 ? 0.0 : std::fabs(result) / std::numeric_limits<double>::denorm_min();
    }
    const int exponent = std::max(std::ilogb(nearest) - 52, -1074);
    const long double ulp = std::ldexp(1.0L, exponent);
    return static_cast<double>(std::fabs(static_cast<long double>(result) - reference) / ulp);
}

// Largest error of f against reference over `count` points evenly spread on [low, high]
// plus as many uniformly random points (fixed seed).
double MaxUlpError(const std::function<double(double)>& f,
                   const std::function<long double(long double)>& reference, double low,
                   double high, int count)
{
    double worst = 0.0;
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> uniform(low, high);
    for (int i = 0; i < 2 * count; ++i)
    {
        const double x = i < count ? low + (high - low) * i / (count - 1) : uniform(random);
        const double error = UlpError(f(x), reference(static_cast<long double>(x)));
        if (error > worst)
        {
            worst = error;
        }
    }
    return worst;
}

// Half an ulp is the correct rounding; the double-double core adds far less than 1/100.
constexpr double Tolerance = 0.51;

TEST(DetMath, TrigonometryIsCorrectlyRoundedOverTheFilterRange)
{
    const auto sinl = [](long double x) { return std::sin(x); };
    const auto cosl = [](long double x) { return std::cos(x); };
    // w0 = 2 pi f / rate lies in 0..pi.
    EXPECT_LT(MaxUlpError(Sin, sinl, 0.0, 3.141592653589793, 100000), Tolerance);
    EXPECT_LT(MaxUlpError(Cos, cosl, 0.0, 3.141592653589793, 100000), Tolerance);
    EXPECT_LT(MaxUlpError(Sin, sinl, 1e-9, 1e-3, 20000), Tolerance);
    EXPECT_LT(MaxUlpError(Sin, sinl, -1000.0, 1000.0, 50000), Tolerance);
    EXPECT_LT(MaxUlpError(Cos, cosl, -1000.0, 1000.0, 50000), Tolerance);
}

TEST(DetMath, TrigonometryNearMultiplesOfHalfPiKeepsRelativeAccuracy)
{
    // Where the result is tiny, the argument reduction must not lose the leading bits.
    for (int k = 1; k <= 64; ++k)
    {
        const double x = static_cast<double>(k) * 1.5707963267948966;
        EXPECT_LT(UlpError(Sin(x), std::sin(static_cast<long double>(x))), Tolerance) << k;
        EXPECT_LT(UlpError(Cos(x), std::cos(static_cast<long double>(x))), Tolerance) << k;
        const double next = std::nextafter(x, 10.0 * x);
        EXPECT_LT(UlpError(Cos(next), std::cos(static_cast<long double>(next))), Tolerance) << k;
    }
}

TEST(DetMath, SinCosMatchesSinAndCos)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> uniform(-50.0, 50.0);
    for (int i = 0; i < 2000; ++i)
    {
        const double x = uniform(random);
        double s = 0.0;
        double c = 0.0;
        SinCos(x, s, c);
        EXPECT_EQ(s, Sin(x));
        EXPECT_EQ(c, Cos(x));
    }
}

TEST(DetMath, HyperbolicSineIsCorrectlyRounded)
{
    const auto sinhl = [](long double x) { return std::sinh(x); };
    // The band-pass types take sinh of ln2/2 x BW x w0/sn: small to moderate arguments.
    EXPECT_LT(MaxUlpError(Sinh, sinhl, -30.0, 30.0, 50000), Tolerance);
    EXPECT_LT(MaxUlpError(Sinh, sinhl, 1e-12, 1.5, 50000), Tolerance);
    EXPECT_LT(MaxUlpError(Sinh, sinhl, 700.0, 710.4, 2000), Tolerance);
    EXPECT_EQ(Sinh(711.0), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Sinh(-711.0), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::signbit(Sinh(-0.0)));
}

TEST(DetMath, ExponentialsAreCorrectlyRounded)
{
    const auto expl = [](long double x) { return std::exp(x); };
    const auto exp2l = [](long double x) { return std::exp2(x); };
    const auto exp10l = [](long double x) { return std::pow(10.0L, x); };
    // Envelope constants exp(-1/(5 x samplesPerMs)), gains exp(dB x 0.1151...).
    EXPECT_LT(MaxUlpError(Exp, expl, -1.0, 0.0, 50000), Tolerance);
    EXPECT_LT(MaxUlpError(Exp, expl, -12.0, 1.0, 50000), Tolerance);
    EXPECT_LT(MaxUlpError(Exp, expl, -700.0, 709.0, 50000), Tolerance);
    // "Tuning" ratio 2^(-1..1).
    EXPECT_LT(MaxUlpError(Exp2, exp2l, -1.0, 1.0, 50000), Tolerance);
    EXPECT_LT(MaxUlpError(Exp2, exp2l, -1000.0, 1000.0, 20000), Tolerance);
    EXPECT_LT(MaxUlpError(Exp10, exp10l, -5.0, 5.0, 20000), 0.52);
}

TEST(DetMath, ExponentialsAtTheEdgesOfTheRange)
{
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Exp(0.0), 1.0);
    EXPECT_EQ(Exp(710.0), Infinity);
    EXPECT_EQ(Exp(-746.0), 0.0);
    EXPECT_EQ(Exp(-Infinity), 0.0);
    EXPECT_EQ(Exp(Infinity), Infinity);
    EXPECT_TRUE(std::isnan(Exp(std::nan(""))));
    EXPECT_GT(Exp(-740.0), 0.0); // subnormal results do not flush
    EXPECT_LT(UlpError(Exp(709.78), std::exp(static_cast<long double>(709.78))), Tolerance);
    for (int n = -1074; n <= 1023; ++n)
    {
        ASSERT_EQ(Exp2(n), std::ldexp(1.0, n)) << n;
    }
    EXPECT_EQ(Exp2(1024.0), Infinity);
    EXPECT_EQ(Exp10(2.0), 100.0);
    EXPECT_EQ(Exp10(-3.0), 0.001);
}

TEST(DetMath, LogarithmsAreCorrectlyRounded)
{
    const auto logl = [](long double x) { return std::log(x); };
    const auto log10l = [](long double x) { return std::log10(x); };
    EXPECT_LT(MaxUlpError(Log, logl, 0.5, 2.0, 50000), Tolerance);
    EXPECT_LT(MaxUlpError(Log10, log10l, 1e-6, 10.0, 50000), Tolerance);
    // Log-spaced over the whole double range, subnormals included.
    double worstLog = 0.0;
    double worstLog10 = 0.0;
    for (double x = 1e-320; x < 1e300; x *= 1.0137)
    {
        worstLog = std::max(worstLog, UlpError(Log(x), std::log(static_cast<long double>(x))));
        worstLog10 =
            std::max(worstLog10, UlpError(Log10(x), std::log10(static_cast<long double>(x))));
    }
    EXPECT_LT(worstLog, Tolerance);
    EXPECT_LT(worstLog10, Tolerance);
}

TEST(DetMath, LogarithmsOfSpecialValues)
{
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Log(1.0), 0.0);
    EXPECT_EQ(Log(0.0), -Infinity);
    EXPECT_EQ(Log(Infinity), Infinity);
    EXPECT_TRUE(std::isnan(Log(-1.0)));
    EXPECT_TRUE(std::isnan(Log10(-1e-300)));
    for (int n = -300; n <= 300; ++n)
    {
        const std::string text = "1e" + std::to_string(n);
        double power = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), power);
        ASSERT_EQ(Log10(power), n) << n;
    }
}

TEST(DetMath, PowerIsCorrectlyRoundedAndHandlesSigns)
{
    double worst = 0.0;
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> base(0.01, 100.0);
    std::uniform_real_distribution<double> exponent(-40.0, 40.0);
    for (int i = 0; i < 50000; ++i)
    {
        const double b = base(random);
        const double e = exponent(random);
        worst = std::max(worst, UlpError(Pow(b, e), std::pow(static_cast<long double>(b),
                                                             static_cast<long double>(e))));
    }
    EXPECT_LT(worst, Tolerance);
    EXPECT_EQ(Pow(2.0, 10.0), 1024.0);
    EXPECT_EQ(Pow(-2.0, 3.0), -8.0);
    EXPECT_EQ(Pow(-2.0, 2.0), 4.0);
    EXPECT_TRUE(std::isnan(Pow(-2.0, 0.5)));
    EXPECT_EQ(Pow(0.0, 0.0), 1.0);
    EXPECT_EQ(Pow(0.0, 2.0), 0.0);
    EXPECT_EQ(Pow(0.0, -1.0), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Pow(1e10, 40.0), std::numeric_limits<double>::infinity());
}

// Correctly rounded values computed with 300-bit arithmetic; every platform must give these
// exact bits, whatever its C library.
TEST(DetMath, GivesTheSameBitsOnEveryPlatform)
{
    EXPECT_EQ(Exp(1.0), 0x1.5bf0a8b145769p+1);
    EXPECT_EQ(Exp(-1.0 / 220.5), 0x1.fdaeea4026cc9p-1);              // 5 ms attack at 44100 Hz
    EXPECT_EQ(Exp(6.0 * 0.11512925464970228), 0x1.fec982d5bb8b0p+0); // +6 dB
    EXPECT_EQ(Sinh(0.5), 0x1.0acd00fe63b97p-1);
    EXPECT_EQ(Log10(2.0), 0x1.34413509f79ffp-2);
    EXPECT_EQ(Exp2(0.3), 0x1.3b2c47bff8329p+0);
    EXPECT_EQ(Log(3.0), 0x1.193ea7aad030bp+0);
    EXPECT_EQ(Sin(1e6), -0x1.6664b2568d867p-2);
    EXPECT_EQ(Cos(2.5), -0x1.9a2f7ef858b7dp-1);
    const double w0 = 0x1.181e726d8c3cfp-6; // 2 pi 120 / 44100
    EXPECT_EQ(Sin(w0), 0x1.181af412b76e1p-6);
    EXPECT_EQ(Cos(w0), 0x1.ffecd7f4b60d0p-1);
}

TEST(DetMath, LowPassCoefficientsKeepThePublishedFigures)
{
    // Audio EQ Cookbook low-pass, Q = 1/sqrt 2 at 44100 Hz, normalised by a0.
    struct TCase
    {
        double Frequency, B0, B1, A1, A2;
    };
    const TCase cases[] = {{120.0, 7.22031e-05, 1.444062e-04, -1.9758222, 0.9761110},
                           {2000.0, 0.01681915, 0.03363830, -1.6010924, 0.6683690},
                           {8000.0, 0.1772450, 0.3544900, -0.5087175, 0.2176976}};
    for (const TCase& c : cases)
    {
        const double w0 = 2.0 * 3.141592653589793 * c.Frequency * (1.0 / 44100.0);
        double sn = 0.0;
        double cs = 0.0;
        SinCos(w0, sn, cs);
        const double alpha = sn / (2.0 * static_cast<double>(0.70710677f));
        const double k = 1.0 / (1.0 + alpha);
        EXPECT_NEAR((1.0 - cs) / 2.0 * k, c.B0, std::fabs(c.B0) * 1e-6) << c.Frequency;
        EXPECT_NEAR((1.0 - cs) * k, c.B1, std::fabs(c.B1) * 1e-6) << c.Frequency;
        EXPECT_NEAR(-2.0 * cs * k, c.A1, 1e-7) << c.Frequency;
        EXPECT_NEAR((1.0 - alpha) * k, c.A2, 1e-7) << c.Frequency;
    }
}

} // namespace

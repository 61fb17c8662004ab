#include "maths/uDetMath.h"

#include <array>
#include <bit>
#include <cstdint>
#include <limits>

namespace orvo::detmath
{
namespace
{

// A double-double number: the unevaluated sum Hi + Lo with |Lo| <= half an ulp of Hi.
// Every operation below uses error-free transformations (Knuth's two-sum, Dekker's
// two-product by splitting), so only correctly rounded basic operations are needed.
struct TDD
{
    double Hi;
    double Lo;
};

constexpr double Quiet = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

// Constants split into three doubles whose exact sum carries about 160 bits.
constexpr double HalfPi1 = 0x1.921fb54442d18p+0;
constexpr double HalfPi2 = 0x1.1a62633145c07p-54;
constexpr double HalfPi3 = -0x1.f1976b7ed8fbcp-110;
constexpr double TwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double Ln2_1 = 0x1.62e42fefa39efp-1;
constexpr double Ln2_2 = 0x1.abc9e3b39803fp-56;
constexpr double Ln2_3 = 0x1.7b57a079a1934p-111;
constexpr double InvLn2 = 0x1.71547652b82fep+0;
constexpr TDD Ln10 = {0x1.26bb1bbb55516p+1, -0x1.f48ad494ea3e9p-53};
constexpr TDD InvLn10 = {0x1.bcb7b1526e50ep-2, 0x1.95355baaafad3p-57};
constexpr double Sqrt2 = 0x1.6a09e667f3bcdp+0;

// e^x of the reduced argument is evaluated at x / 2^ExpHalvings and squared back.
constexpr int ExpHalvings = 8;
constexpr double ExpHalvingScale = 1.0 / 256.0;

constexpr TDD TwoSum(double a, double b) noexcept
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

constexpr TDD QuickTwoSum(double a, double b) noexcept
{
    const double s = a + b;
    return {s, b - (s - a)};
}

// Dekker's split: a = hi + lo with both halves on 26 bits, so their products are exact.
constexpr void Split(double a, double& hi, double& lo) noexcept
{
    const double t = 134217729.0 * a; // 2^27 + 1
    hi = t - (t - a);
    lo = a - hi;
}

constexpr TDD TwoProduct(double a, double b) noexcept
{
    const double p = a * b;
    double ah = 0.0;
    double al = 0.0;
    double bh = 0.0;
    double bl = 0.0;
    Split(a, ah, al);
    Split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

constexpr TDD Add(TDD a, TDD b) noexcept
{
    TDD s = TwoSum(a.Hi, b.Hi);
    const TDD t = TwoSum(a.Lo, b.Lo);
    s.Lo += t.Hi;
    s = QuickTwoSum(s.Hi, s.Lo);
    s.Lo += t.Lo;
    return QuickTwoSum(s.Hi, s.Lo);
}

constexpr TDD Negate(TDD a) noexcept
{
    return {-a.Hi, -a.Lo};
}

constexpr TDD Mul(TDD a, TDD b) noexcept
{
    TDD p = TwoProduct(a.Hi, b.Hi);
    p.Lo += a.Hi * b.Lo + a.Lo * b.Hi;
    return QuickTwoSum(p.Hi, p.Lo);
}

constexpr TDD Mul(TDD a, double b) noexcept
{
    TDD p = TwoProduct(a.Hi, b);
    p.Lo += a.Lo * b;
    return QuickTwoSum(p.Hi, p.Lo);
}

constexpr TDD Div(TDD a, double b) noexcept
{
    const double q1 = a.Hi / b;
    const TDD r = Add(a, Negate(TwoProduct(q1, b)));
    const double q2 = r.Hi / b;
    return QuickTwoSum(q1, q2);
}

constexpr TDD Div(TDD a, TDD b) noexcept
{
    const double q1 = a.Hi / b.Hi;
    TDD r = Add(a, Negate(Mul(b, q1)));
    const double q2 = r.Hi / b.Hi;
    r = Add(r, Negate(Mul(b, q2)));
    const double q3 = r.Hi / b.Hi;
    return Add(QuickTwoSum(q1, q2), TDD{q3, 0.0});
}

// 1 / d(n) for n = 1..N as double-doubles, evaluated by the compiler with the same IEEE
// operations (so the Taylor loops below multiply instead of divide).
template <int N, class TDenominator>
constexpr std::array<TDD, N> Reciprocals(TDenominator denominator) noexcept
{
    std::array<TDD, N> table{};
    for (int n = 1; n <= N; ++n)
    {
        table[n - 1] = Div(TDD{1.0, 0.0}, denominator(n));
    }
    return table;
}

// 1/n, 1/((2n)(2n+1)) (sine and sinh terms), 1/((2n-1)(2n)) (cosine terms), 1/(2n-1) (atanh).
constexpr auto InverseN = Reciprocals<11>([](int n) { return static_cast<double>(n); });
constexpr auto InverseSineTerm =
    Reciprocals<14>([](int n) { return static_cast<double>((2 * n) * (2 * n + 1)); });
constexpr auto InverseCosineTerm =
    Reciprocals<14>([](int n) { return static_cast<double>((2 * n - 1) * (2 * n)); });
constexpr auto InverseOdd = Reciprocals<23>([](int n) { return static_cast<double>(2 * n - 1); });

// Nearest integer of |t| < 2^62 (halves away from zero), without the C library.
std::int64_t RoundToInt(double t) noexcept
{
    return static_cast<std::int64_t>(t < 0.0 ? t - 0.5 : t + 0.5);
}

double PowerOfTwo(int k) noexcept
{
    return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
}

// v x 2^k for any k, through at most three exact scalings (only the last may round,
// into the subnormal range).
double Scale(double v, int k) noexcept
{
    while (k > 1023)
    {
        v *= PowerOfTwo(1023);
        k -= 1023;
        if (v == Infinity || v == -Infinity)
        {
            return v;
        }
    }
    while (k < -1022)
    {
        v *= PowerOfTwo(-1022);
        k += 1022;
        if (v == 0.0)
        {
            return v;
        }
    }
    return v * PowerOfTwo(k);
}

// e^x = m x 2^k for a double-double x with |x| <= about 750; returns m in [0.7, 1.42].
TDD ExpReduced(TDD x, int& k) noexcept
{
    const std::int64_t n = RoundToInt(x.Hi * InvLn2);
    k = static_cast<int>(n);
    const double nd = static_cast<double>(n);
    TDD r = Add(x, Negate(TwoProduct(nd, Ln2_1)));
    r = Add(r, Negate(TwoProduct(nd, Ln2_2)));
    r = Add(r, TDD{-nd * Ln2_3, 0.0});
    // |r| <= 0.35; scaled by 2^-8 it needs 11 Taylor terms for 2^-110.
    r = {r.Hi * ExpHalvingScale, r.Lo * ExpHalvingScale};
    TDD p = {1.0, 0.0};
    for (int i = 11; i >= 1; --i)
    {
        p = Add(TDD{1.0, 0.0}, Mul(Mul(r, p), InverseN[i - 1]));
    }
    for (int i = 0; i < ExpHalvings; ++i)
    {
        p = Mul(p, p);
    }
    return p;
}

constexpr double ExpOverflow = 709.782712893384;    // ln(largest double)
constexpr double ExpUnderflow = -745.1332191019412; // ln(smallest subnormal / 2)

double ExpOfDD(TDD x) noexcept
{
    if (x.Hi != x.Hi)
    {
        return Quiet;
    }
    if (x.Hi > ExpOverflow + 1.0)
    {
        return Infinity;
    }
    if (x.Hi < ExpUnderflow - 1.0)
    {
        return 0.0;
    }
    int k = 0;
    const TDD m = ExpReduced(x, k);
    return Scale(m.Hi, k);
}

// Natural logarithm of a positive finite x, as a double-double.
TDD LogDD(double x) noexcept
{
    int exponent = 0;
    if (x < 0x1p-1022)
    {
        x *= 0x1p54;
        exponent = -54;
    }
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    exponent += static_cast<int>((bits >> 52) & 0x7ff) - 1023;
    double m = std::bit_cast<double>((bits & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL);
    if (m > Sqrt2)
    {
        m *= 0.5;
        exponent += 1;
    }
    // ln m = 2 atanh(s), s = (m - 1) / (m + 1), |s| <= 0.1716; m - 1 is exact.
    const TDD s = Div(TDD{m - 1.0, 0.0}, TwoSum(m, 1.0));
    const TDD s2 = Mul(s, s);
    TDD series = InverseOdd[22];
    for (int j = 21; j >= 0; --j)
    {
        series = Add(InverseOdd[j], Mul(s2, series));
    }
    TDD result = Mul(Mul(s, series), 2.0);
    if (exponent != 0)
    {
        const double e = static_cast<double>(exponent);
        TDD scaled = Add(TwoProduct(e, Ln2_1), TwoProduct(e, Ln2_2));
        scaled = Add(scaled, TDD{e * Ln2_3, 0.0});
        result = Add(scaled, result);
    }
    return result;
}

// sin and cos of a reduced |r| <= pi/4 (a little more is harmless), by Taylor series.
TDD SinReduced(TDD r) noexcept
{
    const TDD r2 = Mul(r, r);
    TDD p = {1.0, 0.0};
    for (int n = 13; n >= 1; --n)
    {
        p = Add(TDD{1.0, 0.0}, Negate(Mul(Mul(r2, p), InverseSineTerm[n - 1])));
    }
    return Mul(r, p);
}

TDD CosReduced(TDD r) noexcept
{
    const TDD r2 = Mul(r, r);
    TDD p = {1.0, 0.0};
    for (int n = 14; n >= 1; --n)
    {
        p = Add(TDD{1.0, 0.0}, Negate(Mul(Mul(r2, p), InverseCosineTerm[n - 1])));
    }
    return p;
}

constexpr double TrigLimit = 0x1p62;

// x = r + q x pi/2, with q returned modulo 4.
TDD ReduceHalfPi(double x, int& quadrant) noexcept
{
    const std::int64_t n = RoundToInt(x * TwoOverPi);
    quadrant = static_cast<int>(n & 3);
    if (n == 0)
    {
        return {x, 0.0};
    }
    const double nd = static_cast<double>(n);
    TDD r = Add(TDD{x, 0.0}, Negate(TwoProduct(nd, HalfPi1)));
    r = Add(r, Negate(TwoProduct(nd, HalfPi2)));
    return Add(r, TDD{-nd * HalfPi3, 0.0});
}

// sin(r + q pi/2) for the reduced argument r: one series, its sign set by the quadrant.
// cos(x) = sin(x + pi/2), so a cosine is the sine one quadrant further on.
double SineInQuadrant(TDD r, int quadrant) noexcept
{
    switch (quadrant & 3)
    {
    case 0:
        return SinReduced(r).Hi;
    case 1:
        return CosReduced(r).Hi;
    case 2:
        return -SinReduced(r).Hi;
    default:
        return -CosReduced(r).Hi;
    }
}

bool InTrigRange(double x) noexcept
{
    return x > -TrigLimit && x < TrigLimit;
}

} // namespace

void SinCos(double x, double& sine, double& cosine) noexcept
{
    if (!InTrigRange(x))
    {
        sine = Quiet;
        cosine = Quiet;
        return;
    }
    int quadrant = 0;
    const TDD r = ReduceHalfPi(x, quadrant);
    sine = SineInQuadrant(r, quadrant);
    cosine = SineInQuadrant(r, quadrant + 1);
}

double Sin(double x) noexcept
{
    if (!InTrigRange(x))
    {
        return Quiet;
    }
    int quadrant = 0;
    const TDD r = ReduceHalfPi(x, quadrant);
    return SineInQuadrant(r, quadrant);
}

double Cos(double x) noexcept
{
    if (!InTrigRange(x))
    {
        return Quiet;
    }
    int quadrant = 0;
    const TDD r = ReduceHalfPi(x, quadrant);
    return SineInQuadrant(r, quadrant + 1);
}

double Sinh(double x) noexcept
{
    if (x != x || x == 0.0)
    {
        return x;
    }
    const double ax = x < 0.0 ? -x : x;
    double result = 0.0;
    if (ax < 1.0)
    {
        // x (1 + x^2/3! + x^4/5! + ...), 14 terms for 2^-110.
        const TDD x2 = TwoProduct(ax, ax);
        TDD p = {1.0, 0.0};
        for (int n = 14; n >= 1; --n)
        {
            p = Add(TDD{1.0, 0.0}, Mul(Mul(x2, p), InverseSineTerm[n - 1]));
        }
        result = Mul(p, ax).Hi;
    }
    else if (ax > ExpOverflow + 1.0)
    {
        result = Infinity;
    }
    else
    {
        // sinh = (m 2^k - 2^-k / m) / 2 with e^|x| = m 2^k; both terms kept as double-doubles
        // relative to 2^(k-1) so that results near the overflow limit stay finite.
        int k = 0;
        const TDD m = ExpReduced(TDD{ax, 0.0}, k);
        const TDD inverse = Div(TDD{1.0, 0.0}, m);
        const double shift = PowerOfTwo(-2 * k < -1022 ? -1022 : -2 * k);
        const TDD small = {inverse.Hi * shift, inverse.Lo * shift};
        const TDD difference = Add(m, Negate(2 * k > 1022 ? TDD{0.0, 0.0} : small));
        result = Scale(difference.Hi, k - 1);
    }
    return x < 0.0 ? -result : result;
}

double Exp(double x) noexcept
{
    return ExpOfDD(TDD{x, 0.0});
}

double Exp2(double x) noexcept
{
    if (x != x)
    {
        return x;
    }
    if (x > 1025.0)
    {
        return Infinity;
    }
    if (x < -1076.0)
    {
        return 0.0;
    }
    // 2^x = 2^n e^(f ln 2) with n integer and f = x - n exact.
    const std::int64_t n = RoundToInt(x);
    const double f = x - static_cast<double>(n);
    TDD r = Add(TwoProduct(f, Ln2_1), TwoProduct(f, Ln2_2));
    int k = 0;
    const TDD m = ExpReduced(r, k);
    return Scale(m.Hi, k + static_cast<int>(n));
}

double Exp10(double x) noexcept
{
    if (x != x)
    {
        return x;
    }
    if (x > 310.0)
    {
        return Infinity;
    }
    if (x < -330.0)
    {
        return 0.0;
    }
    return ExpOfDD(Mul(Ln10, x));
}

double Log(double x) noexcept
{
    if (x != x || x < 0.0)
    {
        return Quiet;
    }
    if (x == 0.0)
    {
        return -Infinity;
    }
    if (x == Infinity)
    {
        return x;
    }
    return LogDD(x).Hi;
}

double Log10(double x) noexcept
{
    if (x != x || x < 0.0)
    {
        return Quiet;
    }
    if (x == 0.0)
    {
        return -Infinity;
    }
    if (x == Infinity)
    {
        return x;
    }
    return Mul(LogDD(x), InvLn10).Hi;
}

double Pow(double base, double exponent) noexcept
{
    if (exponent == 0.0 || base == 1.0)
    {
        return 1.0;
    }
    if (base != base || exponent != exponent)
    {
        return Quiet;
    }
    double sign = 1.0;
    if (base < 0.0)
    {
        // Only integer exponents have a real result; the sign follows their parity.
        if (exponent > 0x1p53 || exponent < -0x1p53)
        {
            sign = 1.0;
        }
        else
        {
            const std::int64_t n = static_cast<std::int64_t>(exponent);
            if (static_cast<double>(n) != exponent)
            {
                return Quiet;
            }
            sign = (n & 1) != 0 ? -1.0 : 1.0;
        }
        base = -base;
    }
    if (base == 0.0)
    {
        return exponent > 0.0 ? 0.0 : Infinity;
    }
    if (base == Infinity)
    {
        return exponent > 0.0 ? sign * Infinity : sign * 0.0;
    }
    const TDD product = Mul(LogDD(base), exponent);
    return sign * ExpOfDD(product);
}

} // namespace orvo::detmath

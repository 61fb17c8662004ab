#include "tools/artwork/uRaster.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace orvo::art
{

namespace
{

constexpr double Pi = std::numbers::pi;

/// Twice the signed area; positive for contours that run clockwise on screen (y down).
double SignedArea2(const std::vector<TPoint>& contour)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < contour.size(); ++i)
    {
        const TPoint& p = contour[i];
        const TPoint& q = contour[(i + 1) % contour.size()];
        sum += p.X * q.Y - q.X * p.Y;
    }
    return sum;
}

void Orient(std::vector<TPoint>& contour, bool clockwise)
{
    if ((SignedArea2(contour) > 0.0) != clockwise)
    {
        std::reverse(contour.begin(), contour.end());
    }
}

/// Point at `angle` (radians clockwise from 12 o'clock) on an ellipse.
TPoint OnEllipse(double cx, double cy, double rx, double ry, double angle)
{
    return {cx + rx * std::sin(angle), cy - ry * std::cos(angle)};
}

int SegmentsFor(double length)
{
    return std::clamp(static_cast<int>(std::ceil(length / 0.6)), 2, 256);
}

void AppendArc(std::vector<TPoint>& contour, double cx, double cy, double r, double a0, double a1)
{
    const int n = std::max(2, SegmentsFor(std::abs(a1 - a0) * r));
    for (int i = 0; i <= n; ++i)
    {
        contour.push_back(OnEllipse(cx, cy, r, r, a0 + (a1 - a0) * i / n));
    }
}

/// One edge of the signed-area accumulation: adds the edge's contribution to the area
/// left of it in each pixel it crosses (the running sum along a row is the coverage).
void AccumulateEdge(std::vector<double>& acc, int stride, int rows, TPoint p0, TPoint p1)
{
    if (p0.Y == p1.Y)
    {
        return;
    }
    double dir = 1.0;
    if (p0.Y > p1.Y)
    {
        dir = -1.0;
        std::swap(p0, p1);
    }
    const double dxdy = (p1.X - p0.X) / (p1.Y - p0.Y);
    double x = p0.X;
    int y = 0;
    if (p0.Y < 0.0)
    {
        x -= p0.Y * dxdy;
    }
    else
    {
        y = static_cast<int>(std::floor(p0.Y));
    }
    const int yEnd = std::min(rows, static_cast<int>(std::ceil(p1.Y)));
    for (; y < yEnd; ++y)
    {
        double* row = acc.data() + static_cast<std::size_t>(y) * stride;
        const double dy = std::min(y + 1.0, p1.Y) - std::max(static_cast<double>(y), p0.Y);
        const double xNext = x + dxdy * dy;
        const double d = dy * dir;
        const double x0 = std::min(x, xNext);
        const double x1 = std::max(x, xNext);
        const double x0Floor = std::floor(x0);
        const int x0i = static_cast<int>(x0Floor);
        const double x1Ceil = std::ceil(x1);
        const int x1i = static_cast<int>(x1Ceil);
        if (x1i <= x0i + 1)
        {
            const double xmf = 0.5 * (x + xNext) - x0Floor;
            row[x0i] += d - d * xmf;
            row[x0i + 1] += d * xmf;
        }
        else
        {
            const double s = 1.0 / (x1 - x0);
            const double x0f = x0 - x0Floor;
            const double a0 = 0.5 * s * (1.0 - x0f) * (1.0 - x0f);
            const double x1f = x1 - x1Ceil + 1.0;
            const double am = 0.5 * s * x1f * x1f;
            row[x0i] += d * a0;
            if (x1i == x0i + 2)
            {
                row[x0i + 1] += d * (1.0 - a0 - am);
            }
            else
            {
                const double a1 = s * (1.5 - x0f);
                row[x0i + 1] += d * (a1 - a0);
                for (int xi = x0i + 2; xi < x1i - 1; ++xi)
                {
                    row[xi] += d * s;
                }
                const double a2 = a1 + (x1i - x0i - 3) * s;
                row[x1i - 1] += d * (1.0 - a2 - am);
            }
            row[x1i] += d * am;
        }
        x = xNext;
    }
}

/// One pass of a box blur of half-width `half` along rows (step 1) or columns.
void BoxPass(std::vector<float>& values, int width, int height, int half, bool alongRows,
             float outside)
{
    const int lines = alongRows ? height : width;
    const int length = alongRows ? width : height;
    std::vector<float> line(static_cast<std::size_t>(length));
    const double norm = 1.0 / (2 * half + 1);
    for (int l = 0; l < lines; ++l)
    {
        auto at = [&](int i) -> float&
        {
            return alongRows ? values[static_cast<std::size_t>(l) * width + i]
                             : values[static_cast<std::size_t>(i) * width + l];
        };
        auto get = [&](int i) -> float { return (i < 0 || i >= length) ? outside : at(i); };
        double sum = 0.0;
        for (int i = -half; i <= half; ++i)
        {
            sum += get(i);
        }
        for (int i = 0; i < length; ++i)
        {
            line[static_cast<std::size_t>(i)] = static_cast<float>(sum * norm);
            sum += get(i + half + 1) - get(i - half);
        }
        for (int i = 0; i < length; ++i)
        {
            at(i) = line[static_cast<std::size_t>(i)];
        }
    }
}

TColor StopColor(const std::vector<std::pair<double, TColor>>& stops, double t)
{
    if (t <= stops.front().first)
    {
        return stops.front().second;
    }
    for (std::size_t i = 1; i < stops.size(); ++i)
    {
        if (t <= stops[i].first)
        {
            const double span = stops[i].first - stops[i - 1].first;
            const double u = span > 0.0 ? (t - stops[i - 1].first) / span : 1.0;
            return Mix(stops[i - 1].second, stops[i].second, u);
        }
    }
    return stops.back().second;
}

std::uint8_t ToByte(double v)
{
    return static_cast<std::uint8_t>(std::clamp(std::floor(v * 255.0 + 0.5), 0.0, 255.0));
}

} // namespace

TColor Hex(std::uint32_t rgb, float alpha)
{
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
            static_cast<float>((rgb >> 8) & 0xFF) / 255.0f, static_cast<float>(rgb & 0xFF) / 255.0f,
            alpha};
}

TColor Mix(const TColor& a, const TColor& b, double t)
{
    auto m = [t](float u, float v) { return static_cast<float>(u + (v - u) * t); };
    return {m(a.R, b.R), m(a.G, b.G), m(a.B, b.B), m(a.A, b.A)};
}

TColor WithAlpha(const TColor& c, float alpha)
{
    return {c.R, c.G, c.B, alpha};
}

TAffine TAffine::Translation(double dx, double dy)
{
    return {1.0, 0.0, 0.0, 1.0, dx, dy};
}

TAffine TAffine::Scaling(double sx, double sy)
{
    return {sx, 0.0, 0.0, sy, 0.0, 0.0};
}

TAffine TAffine::Rotation(double radians, double cx, double cy)
{
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    return {c, s, -s, c, cx - cx * c + cy * s, cy - cx * s - cy * c};
}

TPoint TAffine::Apply(TPoint p) const
{
    return {A * p.X + C * p.Y + E, B * p.X + D * p.Y + F};
}

TAffine TAffine::After(const TAffine& first) const
{
    return {A * first.A + C * first.B,     B * first.A + D * first.B,
            A * first.C + C * first.D,     B * first.C + D * first.D,
            A * first.E + C * first.F + E, B * first.E + D * first.F + F};
}

std::vector<TPoint>& TPath::Current()
{
    if (FContours.empty())
    {
        FContours.emplace_back();
    }
    return FContours.back();
}

TPath& TPath::MoveTo(double x, double y)
{
    if (FContours.empty() || !FContours.back().empty())
    {
        FContours.emplace_back();
    }
    FContours.back().push_back({x, y});
    return *this;
}

TPath& TPath::LineTo(double x, double y)
{
    Current().push_back({x, y});
    return *this;
}

TPath& TPath::QuadTo(double cx, double cy, double x, double y)
{
    auto& contour = Current();
    const TPoint p0 = contour.empty() ? TPoint{x, y} : contour.back();
    const double length = std::hypot(cx - p0.X, cy - p0.Y) + std::hypot(x - cx, y - cy);
    const int n = SegmentsFor(length);
    for (int i = 1; i <= n; ++i)
    {
        const double t = static_cast<double>(i) / n;
        const double u = 1.0 - t;
        contour.push_back(
            {u * u * p0.X + 2 * u * t * cx + t * t * x, u * u * p0.Y + 2 * u * t * cy + t * t * y});
    }
    return *this;
}

TPath& TPath::CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y)
{
    auto& contour = Current();
    const TPoint p0 = contour.empty() ? TPoint{x, y} : contour.back();
    const double length = std::hypot(c1x - p0.X, c1y - p0.Y) + std::hypot(c2x - c1x, c2y - c1y) +
                          std::hypot(x - c2x, y - c2y);
    const int n = SegmentsFor(length);
    for (int i = 1; i <= n; ++i)
    {
        const double t = static_cast<double>(i) / n;
        const double u = 1.0 - t;
        contour.push_back(
            {u * u * u * p0.X + 3 * u * u * t * c1x + 3 * u * t * t * c2x + t * t * t * x,
             u * u * u * p0.Y + 3 * u * u * t * c1y + 3 * u * t * t * c2y + t * t * t * y});
    }
    return *this;
}

TPath& TPath::Close()
{
    FContours.emplace_back();
    return *this;
}

TPath& TPath::Rect(double x, double y, double w, double h)
{
    FContours.push_back({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}});
    return *this;
}

TPath& TPath::RoundRect(double x, double y, double w, double h, double radius)
{
    const double r = std::min({radius, w / 2, h / 2});
    if (r <= 0.0)
    {
        return Rect(x, y, w, h);
    }
    std::vector<TPoint> contour;
    AppendArc(contour, x + w - r, y + r, r, 0.0, Pi / 2);
    AppendArc(contour, x + w - r, y + h - r, r, Pi / 2, Pi);
    AppendArc(contour, x + r, y + h - r, r, Pi, 1.5 * Pi);
    AppendArc(contour, x + r, y + r, r, 1.5 * Pi, 2 * Pi);
    FContours.push_back(std::move(contour));
    return *this;
}

TPath& TPath::Ellipse(double cx, double cy, double rx, double ry)
{
    const int n = std::max(16, SegmentsFor(2 * Pi * std::max(rx, ry)));
    std::vector<TPoint> contour;
    for (int i = 0; i < n; ++i)
    {
        contour.push_back(OnEllipse(cx, cy, rx, ry, 2 * Pi * i / n));
    }
    FContours.push_back(std::move(contour));
    return *this;
}

TPath& TPath::Circle(double cx, double cy, double r)
{
    return Ellipse(cx, cy, r, r);
}

TPath& TPath::CircleHole(double cx, double cy, double r)
{
    Ellipse(cx, cy, r, r);
    Orient(FContours.back(), false);
    return *this;
}

TPath& TPath::RingSector(double cx, double cy, double r0, double r1, double a0, double a1)
{
    std::vector<TPoint> contour;
    AppendArc(contour, cx, cy, r1, a0, a1);
    AppendArc(contour, cx, cy, r0, a1, a0);
    Orient(contour, true);
    FContours.push_back(std::move(contour));
    return *this;
}

TPath& TPath::Capsule(double x0, double y0, double x1, double y1, double width)
{
    const double r = width / 2;
    // Angle of the segment, measured clockwise from 12 o'clock like every arc here.
    const double a = std::atan2(x1 - x0, -(y1 - y0));
    std::vector<TPoint> contour;
    AppendArc(contour, x1, y1, r, a - Pi / 2, a + Pi / 2);
    AppendArc(contour, x0, y0, r, a + Pi / 2, a + 1.5 * Pi);
    Orient(contour, true);
    FContours.push_back(std::move(contour));
    return *this;
}

TPath& TPath::Append(const TPath& other)
{
    for (const auto& contour : other.FContours)
    {
        if (!contour.empty())
        {
            FContours.push_back(contour);
        }
    }
    return *this;
}

TPath TPath::Transformed(const TAffine& map) const
{
    TPath result;
    for (const auto& contour : FContours)
    {
        std::vector<TPoint> moved;
        moved.reserve(contour.size());
        for (const TPoint& p : contour)
        {
            moved.push_back(map.Apply(p));
        }
        result.FContours.push_back(std::move(moved));
    }
    return result;
}

TMask::TMask(int width, int height)
    : FWidth(width), FHeight(height),
      FValues(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0.0f)
{
}

TMask TMask::FromPath(const TPath& path, int width, int height)
{
    TMask mask(width, height);
    double minX = 1e300;
    double maxX = -1e300;
    for (const auto& contour : path.Contours())
    {
        for (const TPoint& p : contour)
        {
            minX = std::min(minX, p.X);
            maxX = std::max(maxX, p.X);
        }
    }
    if (minX > maxX)
    {
        return mask;
    }
    // The accumulation rows span the path's whole horizontal extent, so edges left of the
    // mask still count; columns outside 0..width are dropped afterwards.
    const int originX = static_cast<int>(std::floor(minX)) - 1;
    const int stride = static_cast<int>(std::ceil(maxX)) - originX + 3;
    std::vector<double> acc(static_cast<std::size_t>(stride) * height, 0.0);
    for (const auto& contour : path.Contours())
    {
        for (std::size_t i = 0; i < contour.size(); ++i)
        {
            TPoint p = contour[i];
            TPoint q = contour[(i + 1) % contour.size()];
            p.X -= originX;
            q.X -= originX;
            AccumulateEdge(acc, stride, height, p, q);
        }
    }
    for (int y = 0; y < height; ++y)
    {
        double sum = 0.0;
        const double* row = acc.data() + static_cast<std::size_t>(y) * stride;
        for (int i = 0; i < stride; ++i)
        {
            sum += row[i];
            const int x = i + originX;
            if (x >= 0 && x < width)
            {
                mask.At(x, y) = static_cast<float>(std::min(1.0, std::abs(sum)));
            }
        }
    }
    return mask;
}

void TMask::Blur(double radius)
{
    // Three box passes approximate a Gaussian whose sigma is about radius / 2.
    const double sigma = radius / 2.0;
    const int half = std::max(
        1, static_cast<int>(std::lround((std::sqrt(4.0 * sigma * sigma + 1.0) - 1.0) / 2.0)));
    for (int pass = 0; pass < 3; ++pass)
    {
        BoxPass(FValues, FWidth, FHeight, half, true, 0.0f);
        BoxPass(FValues, FWidth, FHeight, half, false, 0.0f);
    }
}

void TMask::Shift(int dx, int dy, float fill)
{
    std::vector<float> moved(FValues.size(), fill);
    for (int y = 0; y < FHeight; ++y)
    {
        const int sy = y - dy;
        if (sy < 0 || sy >= FHeight)
        {
            continue;
        }
        for (int x = 0; x < FWidth; ++x)
        {
            const int sx = x - dx;
            if (sx >= 0 && sx < FWidth)
            {
                moved[static_cast<std::size_t>(y) * FWidth + x] = At(sx, sy);
            }
        }
    }
    FValues = std::move(moved);
}

void TMask::Invert()
{
    for (float& v : FValues)
    {
        v = 1.0f - v;
    }
}

void TMask::Multiply(const TMask& other)
{
    for (std::size_t i = 0; i < FValues.size(); ++i)
    {
        FValues[i] *= other.FValues[i];
    }
}

void TMask::Gamma(double gamma)
{
    for (float& v : FValues)
    {
        if (v > 0.0f && v < 1.0f)
        {
            v = static_cast<float>(std::pow(static_cast<double>(v), gamma));
        }
    }
}

TPaint Solid(const TColor& c)
{
    return [c](double, double) { return c; };
}

TPaint LinearGradient(TPoint p0, TPoint p1, std::vector<std::pair<double, TColor>> stops)
{
    const double dx = p1.X - p0.X;
    const double dy = p1.Y - p0.Y;
    const double len2 = dx * dx + dy * dy;
    return [=, stops = std::move(stops)](double x, double y)
    {
        const double t = len2 > 0.0 ? ((x - p0.X) * dx + (y - p0.Y) * dy) / len2 : 0.0;
        return StopColor(stops, t);
    };
}

TPaint RadialGradient(TPoint centre, double radius, std::vector<std::pair<double, TColor>> stops)
{
    return [=, stops = std::move(stops)](double x, double y)
    { return StopColor(stops, std::hypot(x - centre.X, y - centre.Y) / radius); };
}

TPaint ConicGradient(TPoint centre, std::vector<std::pair<double, TColor>> stops)
{
    return [=, stops = std::move(stops)](double x, double y)
    {
        double a = std::atan2(x - centre.X, -(y - centre.Y)) / (2 * Pi);
        if (a < 0.0)
        {
            a += 1.0;
        }
        return StopColor(stops, a);
    };
}

double Noise(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<double>(h) / 4294967295.0 * 2.0 - 1.0;
}

TPaint Grain(TPaint paint, double amount, std::uint32_t seed)
{
    return [paint = std::move(paint), amount, seed](double x, double y)
    {
        TColor c = paint(x, y);
        const auto n = static_cast<float>(
            amount * Noise(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), seed));
        c.R = std::clamp(c.R + n, 0.0f, 1.0f);
        c.G = std::clamp(c.G + n, 0.0f, 1.0f);
        c.B = std::clamp(c.B + n, 0.0f, 1.0f);
        return c;
    };
}

TLayer::TLayer(int width, int height)
    : FWidth(width), FHeight(height),
      FValues(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0.0f)
{
}

TLayer::TLayer(int width, int height, double scale) : TLayer(width, height)
{
    FScale = scale;
}

TLayer TLayer::ForUnits(double width, double height, double scale)
{
    return TLayer(static_cast<int>(std::lrint(width * scale)),
                  static_cast<int>(std::lrint(height * scale)), scale);
}

TMask TLayer::Mask(const TPath& path) const
{
    // At 100 % the path is taken as it is, so that those images stay bit for bit the same.
    if (FScale == 1.0)
    {
        return TMask::FromPath(path, FWidth, FHeight);
    }
    return TMask::FromPath(path.Transformed(TAffine::Scaling(FScale, FScale)), FWidth, FHeight);
}

float* TLayer::PixelRef(int x, int y)
{
    return FValues.data() + (static_cast<std::size_t>(y) * FWidth + x) * 4;
}

const float* TLayer::Pixel(int x, int y) const
{
    return FValues.data() + (static_cast<std::size_t>(y) * FWidth + x) * 4;
}

void TLayer::Fill(const TPath& path, const TPaint& paint, double opacity)
{
    FillMask(Mask(path), paint, opacity);
}

void TLayer::FillMask(const TMask& mask, const TPaint& paint, double opacity)
{
    for (int y = 0; y < FHeight; ++y)
    {
        for (int x = 0; x < FWidth; ++x)
        {
            const float coverage = mask.At(x, y);
            if (coverage <= 0.0f)
            {
                continue;
            }
            const TColor c = FScale == 1.0 ? paint(x + 0.5, y + 0.5)
                                           : paint((x + 0.5) / FScale, (y + 0.5) / FScale);
            const auto a = static_cast<float>(c.A * coverage * opacity);
            float* d = PixelRef(x, y);
            d[0] = c.R * a + d[0] * (1.0f - a);
            d[1] = c.G * a + d[1] * (1.0f - a);
            d[2] = c.B * a + d[2] * (1.0f - a);
            d[3] = a + d[3] * (1.0f - a);
        }
    }
}

void TLayer::DropShadow(const TPath& path, double dx, double dy, double radius, const TColor& c)
{
    TMask mask = Mask(path.Transformed(TAffine::Translation(dx, dy)));
    mask.Blur(radius * FScale);
    FillMask(mask, Solid(c));
}

void TLayer::InnerShadow(const TPath& path, int unitsX, int unitsY, double unitsRadius,
                         const TColor& c)
{
    // On the raster: the offset in whole pixels, the spread at the scale.
    const int dx = static_cast<int>(std::lrint(unitsX * FScale));
    const int dy = static_cast<int>(std::lrint(unitsY * FScale));
    const double radius = unitsRadius * FScale;
    const TPath onRaster =
        FScale == 1.0 ? path : path.Transformed(TAffine::Scaling(FScale, FScale));
    const TMask inside = TMask::FromPath(onRaster, FWidth, FHeight);
    // The outside of the shape, moved and blurred, falls in over the inner edge. The
    // layer is padded so that the canvas border does not act as an edge.
    const int pad =
        static_cast<int>(std::ceil(radius * 2)) + std::max(std::abs(dx), std::abs(dy)) + 2;
    TMask outside = TMask::FromPath(onRaster.Transformed(TAffine::Translation(pad, pad)),
                                    FWidth + 2 * pad, FHeight + 2 * pad);
    outside.Invert();
    outside.Shift(dx, dy, 1.0f);
    outside.Blur(radius);
    TMask shade(FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y)
    {
        for (int x = 0; x < FWidth; ++x)
        {
            shade.At(x, y) = outside.At(x + pad, y + pad) * inside.At(x, y);
        }
    }
    FillMask(shade, Solid(c));
}

void TLayer::Draw(const TLayer& source, int x, int y, double opacity)
{
    for (int sy = 0; sy < source.FHeight; ++sy)
    {
        const int dy = y + sy;
        if (dy < 0 || dy >= FHeight)
        {
            continue;
        }
        for (int sx = 0; sx < source.FWidth; ++sx)
        {
            const int dx = x + sx;
            if (dx < 0 || dx >= FWidth)
            {
                continue;
            }
            const float* s = source.Pixel(sx, sy);
            float* d = PixelRef(dx, dy);
            const auto o = static_cast<float>(opacity);
            const float a = s[3] * o;
            for (int k = 0; k < 3; ++k)
            {
                d[k] = s[k] * o + d[k] * (1.0f - a);
            }
            d[3] = a + d[3] * (1.0f - a);
        }
    }
}

void TLayer::SetAlpha(const TMask& mask)
{
    for (int y = 0; y < FHeight; ++y)
    {
        for (int x = 0; x < FWidth; ++x)
        {
            float* d = PixelRef(x, y);
            const float alpha = mask.At(x, y);
            const float unpremultiply = d[3] > 0.0f ? alpha / d[3] : 0.0f;
            for (int k = 0; k < 3; ++k)
            {
                d[k] *= unpremultiply;
            }
            d[3] = alpha;
        }
    }
}

std::vector<std::uint8_t> TLayer::ToRGBA(bool opaque) const
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(FWidth) * FHeight * 4, 0);
    for (int y = 0; y < FHeight; ++y)
    {
        for (int x = 0; x < FWidth; ++x)
        {
            const float* p = Pixel(x, y);
            std::uint8_t* o = out.data() + (static_cast<std::size_t>(y) * FWidth + x) * 4;
            if (opaque)
            {
                o[0] = ToByte(p[0]);
                o[1] = ToByte(p[1]);
                o[2] = ToByte(p[2]);
                o[3] = 255;
                continue;
            }
            const std::uint8_t m = ToByte(p[3]);
            if (m == 0)
            {
                continue;
            }
            o[0] = ToByte(p[0] / p[3]);
            o[1] = ToByte(p[1] / p[3]);
            o[2] = ToByte(p[2] / p[3]);
            o[3] = m;
        }
    }
    return out;
}

} // namespace orvo::art

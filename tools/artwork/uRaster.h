// The artwork generator's small raster library: vector paths, exact-area anti-aliased
// coverage, float RGBA layers with premultiplied alpha, paints (solid, gradients, any
// function of the pixel position), soft shadows and glows.
//
// Coordinates are top-down pixels; pixel (x, y) covers [x, x+1) x [y, y+1) and is sampled
// at its centre. Everything is plain double/float arithmetic with no time or locale input,
// so the same build reproduces the same pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace orvo::art
{

/// A straight (not premultiplied) colour, each channel 0..1.
struct TColor
{
    float R = 0.0f;
    float G = 0.0f;
    float B = 0.0f;
    float A = 1.0f;
};

/// 0xRRGGBB with an alpha of 0..1.
TColor Hex(std::uint32_t rgb, float alpha = 1.0f);
/// Linear mix: t = 0 gives a, t = 1 gives b (alpha mixed too).
TColor Mix(const TColor& a, const TColor& b, double t);
TColor WithAlpha(const TColor& c, float alpha);

struct TPoint
{
    double X = 0.0;
    double Y = 0.0;
};

/// 2-D affine map: x' = A x + C y + E, y' = B x + D y + F.
struct TAffine
{
    double A = 1.0, B = 0.0, C = 0.0, D = 1.0, E = 0.0, F = 0.0;

    static TAffine Translation(double dx, double dy);
    static TAffine Scaling(double sx, double sy);
    /// Rotation by `radians`, clockwise on screen (y points down), about (cx, cy).
    static TAffine Rotation(double radians, double cx, double cy);
    TPoint Apply(TPoint p) const;
    /// This map applied after `first`.
    TAffine After(const TAffine& first) const;
};

/// Closed contours made of straight edges; curves are flattened when added. Filled with
/// the non-zero rule for contours of equal direction, and contours of opposite direction
/// cut holes (what font outlines and the Ring/RoundRect helpers rely on).
class TPath
{
  public:
    TPath& MoveTo(double x, double y);
    TPath& LineTo(double x, double y);
    TPath& QuadTo(double cx, double cy, double x, double y);
    TPath& CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y);
    TPath& Close();

    TPath& Rect(double x, double y, double w, double h);
    TPath& RoundRect(double x, double y, double w, double h, double radius);
    TPath& Ellipse(double cx, double cy, double rx, double ry);
    TPath& Circle(double cx, double cy, double r);
    /// A hole: the same circle traced the other way.
    TPath& CircleHole(double cx, double cy, double r);
    /// The part of the annulus r0..r1 between two angles (radians, clockwise from 12
    /// o'clock, a0 < a1).
    TPath& RingSector(double cx, double cy, double r0, double r1, double a0, double a1);
    /// A straight stroke of the given width with round ends.
    TPath& Capsule(double x0, double y0, double x1, double y1, double width);
    TPath& Append(const TPath& other);

    TPath Transformed(const TAffine& map) const;
    const std::vector<std::vector<TPoint>>& Contours() const { return FContours; }
    bool Empty() const { return FContours.empty(); }

  private:
    std::vector<TPoint>& Current();
    std::vector<std::vector<TPoint>> FContours;
};

/// Coverage 0..1 per pixel of a Width x Height area.
class TMask
{
  public:
    TMask(int width, int height);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    float At(int x, int y) const { return FValues[static_cast<std::size_t>(y) * FWidth + x]; }
    float& At(int x, int y) { return FValues[static_cast<std::size_t>(y) * FWidth + x]; }

    /// Exact area coverage of `path` (signed-area accumulation over each pixel).
    static TMask FromPath(const TPath& path, int width, int height);
    /// Gaussian-like blur: three box passes whose combined spread is about `radius`.
    void Blur(double radius);
    /// Moves the content by whole pixels; uncovered pixels take `fill`.
    void Shift(int dx, int dy, float fill);
    void Invert();
    void Multiply(const TMask& other);
    /// Raises every value to `gamma` (below 1 thickens thin anti-aliased shapes).
    void Gamma(double gamma);

  private:
    int FWidth;
    int FHeight;
    std::vector<float> FValues;
};

/// A colour as a function of the pixel centre.
using TPaint = std::function<TColor(double x, double y)>;

TPaint Solid(const TColor& c);
/// Colour stops along the line p0 -> p1 (positions 0..1, ascending), clamped at the ends.
TPaint LinearGradient(TPoint p0, TPoint p1, std::vector<std::pair<double, TColor>> stops);
TPaint RadialGradient(TPoint centre, double radius, std::vector<std::pair<double, TColor>> stops);
/// Colour stops by angle around `centre` (0..1 = one turn clockwise from 12 o'clock).
TPaint ConicGradient(TPoint centre, std::vector<std::pair<double, TColor>> stops);
/// Adds a small deterministic per-pixel grain of +-`amount` to the paint's colour.
TPaint Grain(TPaint paint, double amount, std::uint32_t seed);

/// Integer hash noise in -1..1 for a pixel; the same inputs always give the same value.
double Noise(int x, int y, std::uint32_t seed);

/// A float RGBA image with premultiplied alpha, top-down.
///
/// A layer may be drawn at a scale: paths, paints, shadow offsets and blur radii are then
/// given at 100 % (the drawing's units) and land on a raster `scale` times as large, so
/// that an image at 200 % is drawn anew at its size rather than enlarged. Masks, pixels
/// and Draw offsets are in the raster's own pixels.
class TLayer
{
  public:
    TLayer(int width, int height);
    /// A raster of width x height pixels showing the drawing's units at `scale`.
    TLayer(int width, int height, double scale);
    /// A layer for a drawing of width x height units at `scale`: its raster is that size
    /// times the scale, rounded to whole pixels.
    static TLayer ForUnits(double width, double height, double scale);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    double Scale() const { return FScale; }

    /// Coverage of a path given in the drawing's units, on this layer's raster.
    TMask Mask(const TPath& path) const;
    /// Source-over composition of `paint` through the path's coverage.
    void Fill(const TPath& path, const TPaint& paint, double opacity = 1.0);
    /// The mask is the raster's; the paint is sampled in the drawing's units.
    void FillMask(const TMask& mask, const TPaint& paint, double opacity = 1.0);
    /// A soft shadow (or glow) of `path`, moved by (dx, dy) and blurred by `radius`.
    void DropShadow(const TPath& path, double dx, double dy, double radius, const TColor& c);
    /// A shadow cast inside `path` by its edge, as if the shape were recessed.
    void InnerShadow(const TPath& path, int dx, int dy, double radius, const TColor& c);
    /// Source-over composition of another layer placed at raster pixel (x, y).
    void Draw(const TLayer& source, int x, int y, double opacity = 1.0);
    /// Makes the mask the layer's alpha, keeping each pixel's straight colour: for images
    /// whose outline must be exactly the same from frame to frame.
    void SetAlpha(const TMask& mask);

    /// Premultiplied channels of one pixel: R, G, B, A.
    const float* Pixel(int x, int y) const;

    /// Straight 8-bit R, G, B, A, top-down. With `opaque` every alpha becomes 255 (over
    /// the colour already there); otherwise fully transparent pixels come out all zero.
    std::vector<std::uint8_t> ToRGBA(bool opaque) const;

  private:
    float* PixelRef(int x, int y);
    int FWidth;
    int FHeight;
    double FScale = 1.0;
    std::vector<float> FValues;
};

} // namespace orvo::art

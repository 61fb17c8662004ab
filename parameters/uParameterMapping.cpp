#include "parameters/uParameterMapping.h"

#include "parameters/uNumberText.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>

namespace orvo
{
namespace
{
const TParameterScale& ScaleOf(std::int32_t index)
{
    return *InfoOf(index).Scale;
}

/// The scale of a kind's parameters (they share one); a kind no parameter has shows nothing.
const TParameterScale& ScaleOfKind(TParameterKind kind)
{
    for (const TParameterInfo& info : ParameterInfo)
    {
        if (info.Kind == kind)
        {
            return *info.Scale;
        }
    }
    return SilentScale;
}

std::string PieceText(const TDisplayPiece& piece, float x, char separator)
{
    std::string text = piece.Number != nullptr ? FormatFixed2(piece.Number(x), separator)
                                               : std::string(piece.Word);
    text += piece.Unit;
    return text;
}

// Normalised values searched by their bit patterns: for floats of 0 and more, the patterns
// order as the values do, so a bisection over them reaches every float in 0..1 in at most
// 30 steps and never lands between two floats.
constexpr std::uint32_t ZeroBits = 0;
constexpr std::uint32_t OneBits = std::bit_cast<std::uint32_t>(1.0f);

float FromBits(std::uint32_t bits)
{
    return std::bit_cast<float>(bits);
}

/// The first bit pattern in from..to at which holds(x) is true, given that it stays true
/// from there on; to + 1 where it never is.
template <typename THolds>
std::uint32_t FirstHolding(std::uint32_t from, std::uint32_t to, THolds holds)
{
    std::uint32_t low = from;
    std::uint32_t high = to + 1;
    while (low < high)
    {
        const std::uint32_t middle = low + (high - low) / 2;
        if (holds(FromBits(middle)))
        {
            high = middle;
        }
        else
        {
            low = middle + 1;
        }
    }
    return low;
}

/// Text as compared: without blanks, in lower case (ASCII).
std::string Folded(std::string_view text)
{
    std::string folded;
    for (const char c : text)
    {
        if (c != ' ' && c != '\t')
        {
            folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return folded;
}

struct TTypedNumber
{
    double Value;
    /// What follows the number, folded.
    std::string Unit;
};

/// A folded text as a number and a unit: optional sign, digits with at most one decimal
/// sign ('.' or ','), then the rest.
std::optional<TTypedNumber> TypedNumber(const std::string& folded)
{
    std::string number;
    std::size_t end = 0;
    if (!folded.empty() && (folded[0] == '+' || folded[0] == '-'))
    {
        number += folded[0] == '-' ? "-" : "";
        end = 1;
    }
    bool digits = false;
    bool point = false;
    for (; end < folded.size(); ++end)
    {
        const char c = folded[end];
        if (c >= '0' && c <= '9')
        {
            digits = true;
        }
        else if ((c == '.' || c == ',') && !point)
        {
            point = true;
        }
        else
        {
            break;
        }
        number += c == ',' ? '.' : c;
    }
    double value = 0.0;
    const char* last = number.data() + number.size();
    if (!digits || std::from_chars(number.data(), last, value).ptr != last)
    {
        return std::nullopt;
    }
    return TTypedNumber{value, folded.substr(end)};
}

/// The normalised value that a word piece stands for: the end of the range it reaches,
/// which is also where a switch's port puts it (0 off, 1 on), or else its first value.
float WordValue(const TParameterScale& scale, std::size_t piece)
{
    if (piece == 0)
    {
        return 0.0f;
    }
    if (piece + 1 == scale.Pieces.size())
    {
        return 1.0f;
    }
    return FromBits(
        FirstHolding(ZeroBits, OneBits, [&](float x) { return scale.PieceAt(x) >= piece; }));
}

/// Of the values showing number piece `piece`, the one whose number lies nearest to target,
/// preferring one whose display shows target itself; nothing when the piece's numbers end
/// before the target's rounded text.
std::optional<float> NearestInPiece(const TParameterScale& scale, std::size_t piece, double target)
{
    const auto number = scale.Pieces[piece].Number;
    // Pieces follow each other as x rises, and a piece's numbers rise with x: the target
    // lies between the last value below it and the first at or above it. A typed "-0" or
    // "-0.00" means the numbers just below 0 (shown "-0.00"), which this order puts first,
    // and not 0 itself.
    const std::uint32_t above =
        FirstHolding(ZeroBits, OneBits,
                     [&](float x)
                     {
                         const std::size_t at = scale.PieceAt(x);
                         return at > piece || (at == piece && number(x) >= target);
                     });
    const std::string wanted = FormatFixed2(target, '.');
    std::optional<float> nearest;
    bool nearestShowsTarget = false;
    double nearestDistance = 0.0;
    int inPiece = 0;
    for (const std::uint32_t bits : {above - 1, above})
    {
        if (bits > OneBits || scale.PieceAt(FromBits(bits)) != piece)
        {
            continue; // above is 0, beyond 1, or one of the two lies in another piece
        }
        ++inPiece;
        const float x = FromBits(bits);
        const bool showsTarget = FormatFixed2(number(x), '.') == wanted;
        const double distance = std::fabs(number(x) - target);
        if (!nearest || (showsTarget && !nearestShowsTarget) ||
            (showsTarget == nearestShowsTarget && distance < nearestDistance))
        {
            nearest = x;
            nearestShowsTarget = showsTarget;
            nearestDistance = distance;
        }
    }
    // Beyond either end of the piece only a text the end itself shows is taken.
    if (!nearestShowsTarget && inPiece < 2)
    {
        return std::nullopt;
    }
    return nearest;
}

/// Whether a typed unit (folded, maybe empty) may stand beside a piece's number.
bool UnitFits(const std::string& typed, const TDisplayPiece& piece, std::string_view label)
{
    return typed.empty() || typed == Folded(piece.Unit) ||
           (!piece.UnitAlias.empty() && typed == Folded(piece.UnitAlias)) ||
           (!label.empty() && typed == Folded(label));
}
} // namespace

std::optional<std::string> DisplayText(std::int32_t index, float value, char separator)
{
    if (!IsParameterIndex(index))
    {
        return std::string(UndefinedText);
    }
    const TParameterScale& scale = ScaleOf(index);
    if (scale.Pieces.empty())
    {
        return std::nullopt;
    }
    return PieceText(scale.Pieces[scale.PieceAt(value)], value, separator);
}

std::optional<float> ValueOfText(std::int32_t index, std::string_view text)
{
    if (!IsParameterIndex(index))
    {
        return std::nullopt;
    }
    const TParameterScale& scale = ScaleOf(index);
    const std::string_view label = InfoOf(index).Label;
    const std::string typed = Folded(text);
    for (std::size_t piece = 0; piece < scale.Pieces.size(); ++piece)
    {
        const TDisplayPiece& shown = scale.Pieces[piece];
        const std::string word = Folded(shown.Word);
        if (shown.Number == nullptr &&
            (typed == word || typed == word + Folded(shown.Unit) || typed == word + Folded(label)))
        {
            return WordValue(scale, piece);
        }
    }
    const auto number = TypedNumber(typed);
    if (!number)
    {
        return std::nullopt;
    }
    // A number without a unit may be read in any piece that shows numbers: the first that
    // shows it wins ("0" on a band knob is 0 dB, not 0 %TD).
    for (std::size_t piece = 0; piece < scale.Pieces.size(); ++piece)
    {
        if (scale.Pieces[piece].Number != nullptr &&
            UnitFits(number->Unit, scale.Pieces[piece], label))
        {
            if (const auto value = NearestInPiece(scale, piece, number->Value))
            {
                return value;
            }
        }
    }
    return std::nullopt;
}

TPortScale PortScaleOf(TParameterKind kind)
{
    return ScaleOfKind(kind).Port;
}

float PortValue(std::int32_t index, float x)
{
    // + 0.0f: 0 dB at the middle comes out of the level steps as -0.0, shown as "-0".
    return ScaleOf(index).PortValueAt(x) + 0.0f;
}

float NormalisedValue(std::int32_t index, float portValue)
{
    const TParameterScale& scale = ScaleOf(index);
    float v = portValue;
    if (!(v >= scale.Port.Minimum))
    {
        v = scale.Port.Minimum; // below the range, or not a number
    }
    else if (v > scale.Port.Maximum)
    {
        v = scale.Port.Maximum;
    }
    const float x = static_cast<float>(scale.RawNormalised(static_cast<double>(v)));
    // The port value was rounded to float once; of x and its neighbours, the one that
    // shows exactly this port value is the one that was meant.
    for (const float candidate : {x, std::nextafter(x, 0.0f), std::nextafter(x, 1.0f)})
    {
        if (candidate >= 0.0f && candidate <= 1.0f && PortValue(index, candidate) == v)
        {
            return candidate;
        }
    }
    return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
}

std::span<const float> MarkedValues(TParameterKind kind)
{
    return ScaleOfKind(kind).Marks;
}

std::string MarkText(std::int32_t index, float x)
{
    std::string text = DisplayText(index, x, '.').value_or("");
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    const std::string_view label = InfoOf(index).Label;
    if (!label.empty())
    {
        text += ' ';
        text += label;
    }
    return text;
}
} // namespace orvo

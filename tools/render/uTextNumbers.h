// Text helpers of the render tool: trimming, comparing without letter case, and numbers
// to and from text without the process locale (std::from_chars / std::to_chars).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvo
{

[[nodiscard]] std::string_view Trim(std::string_view text) noexcept;
[[nodiscard]] bool SameText(std::string_view a, std::string_view b) noexcept;

struct TLeadingNumber
{
    double Value;
    std::string_view Rest; // what follows the number, untrimmed
};

/// A decimal number at the start of text (leading blanks and a '+' sign allowed).
[[nodiscard]] std::optional<TLeadingNumber> LeadingNumber(std::string_view text) noexcept;
/// A decimal number that is the whole (trimmed) text.
[[nodiscard]] std::optional<double> WholeNumber(std::string_view text) noexcept;
/// A decimal integer that is the whole (trimmed) text.
[[nodiscard]] std::optional<std::int64_t> WholeInteger(std::string_view text) noexcept;

/// A number with at most `decimals` digits after the point, trailing zeros dropped.
[[nodiscard]] std::string FormatNumber(double value, int decimals = 2);
/// A number with exactly `decimals` digits after the point.
[[nodiscard]] std::string FormatFixed(double value, int decimals);

} // namespace orvo

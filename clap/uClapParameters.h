// The effect's parameters as CLAP parameters: every record of the table but the reserved one,
// identified by its index, with the plain values of the record's port scale (dB, %, semitones,
// 0/1 for switches, 0..1 for the bands) and the record's texts both ways.
#pragma once

#include "clap/abi/DClapExtensions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvo::clap
{
/// The parameters a host sees.
std::uint32_t ClapParameterCount() noexcept;
/// The effect's parameter index of a CLAP parameter id; none for an id that names none.
std::optional<std::int32_t> ParameterOfId(clap_id id) noexcept;
/// The description of the parameter at a position 0..ClapParameterCount()-1; false beyond.
bool DescribeParameter(std::uint32_t position, clap_param_info_t& info) noexcept;

/// The plain value a host sees for the effect's normalised value (0..1), and back.
double ClapValue(std::int32_t index, float normalised) noexcept;
float NormalisedValueOf(std::int32_t index, double clapValue) noexcept;

/// The text of a plain value: the effect's display and its label ("50.00 %"), with
/// separator as the decimal sign.
std::string ClapValueText(std::int32_t index, double clapValue, char separator);
/// The plain value of a text, read as the record reads its display (either decimal sign,
/// with or without the unit or the label: "50 %", "-3", "muted"); none for a text that
/// names no value.
std::optional<double> ClapValueOfText(std::int32_t index, std::string_view text);
} // namespace orvo::clap

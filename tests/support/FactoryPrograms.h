// The sixteen factory programs as the embedded bank text holds them, for tests and benchmarks
// that drive the DSP without the effect (link orvo_resources).
#pragma once

#include "parameters/uParameterTable.h"
#include "resources/uFactoryBank.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::test
{
struct TFactoryProgram
{
    std::string Name;
    std::array<float, ParameterCount> Values{};
};

/// The programs in bank order. Reads only the plain "[ProgN]", "Name=" and "ParamK=" lines the
/// bank file is written with.
inline std::vector<TFactoryProgram> FactoryPrograms()
{
    std::vector<TFactoryProgram> programs;
    std::string_view text = resources::FactoryBankText();
    while (!text.empty())
    {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        {
            line.remove_suffix(1);
        }
        if (line.starts_with("[Prog"))
        {
            programs.emplace_back();
        }
        else if (!programs.empty() && line.starts_with("Name="))
        {
            programs.back().Name = line.substr(5);
        }
        else if (!programs.empty() && line.starts_with("Param"))
        {
            const std::size_t equals = line.find('=');
            int index = -1;
            std::from_chars(line.data() + 5, line.data() + equals, index);
            if (index >= 0 && index < ParameterCount)
            {
                std::from_chars(line.data() + equals + 1, line.data() + line.size(),
                                programs.back().Values[static_cast<std::size_t>(index)]);
            }
        }
    }
    return programs;
}
} // namespace orvo::test

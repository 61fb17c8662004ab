// The factory bank reader over arbitrary text, and the number reader over what it finds.
#include "core/uBankReader.h"
#include "parameters/uNumberText.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const orvo::TBankReader bank(text);
    for (int program = 0; program < 17; ++program)
    {
        const std::string section = "Prog" + std::to_string(program);
        if (const auto name = bank.Value(section, "Name"); name && name->size() > size)
        {
            __builtin_trap(); // a value is always a piece of the text
        }
        for (int parameter = 0; parameter < 17; ++parameter)
        {
            if (const auto value = bank.Value(section, "Param" + std::to_string(parameter)))
            {
                orvo::ParseDecimal(*value);
            }
        }
    }
    return 0;
}

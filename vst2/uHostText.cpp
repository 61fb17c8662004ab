#include "vst2/uHostText.h"

#include <cstring>

namespace orvo
{

std::size_t copyHostText(char* destination, std::string_view text, std::size_t capacity) noexcept
{
    if (!destination || capacity == 0)
    {
        return 0;
    }
    const std::size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(destination, text.data(), length);
    destination[length] = '\0';
    return length;
}

} // namespace orvo

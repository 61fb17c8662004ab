// The toolkit's one exception type. Every failure of the image, control, timer and codec
// units raises it with the exact user-facing message text; the editor catches it at its
// boundary and shows the text in a message box.
#pragma once

#include <stdexcept>
#include <string>

namespace orvo
{

class EDIBError : public std::runtime_error
{
  public:
    explicit EDIBError(const std::string& message) : std::runtime_error(message) {}
    explicit EDIBError(const char* message) : std::runtime_error(message) {}
};

} // namespace orvo

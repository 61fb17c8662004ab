#include "platform/posix/TPosixMessageBox.h"

#include <string>
#include <unistd.h>

namespace orvo
{
void TPosixMessageBox::ShowMessage(std::string_view text) const noexcept
{
    try
    {
        std::string line = "Orvo: ";
        line.append(text);
        line.push_back('\n');
        // One write call, so lines of several instances do not interleave.
        const ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
        static_cast<void>(ignored);
    }
    catch (...)
    {
        // Out of memory: the message is lost, the effect goes on.
    }
}
} // namespace orvo

#include "platform/x11/uX11ServerProbe.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace orvo::x11
{
namespace
{
/// The display number of a local display name (":N", ":N.S", "unix:N.S"), or none.
std::optional<unsigned> LocalDisplayNumber(std::string_view display)
{
    if (display.starts_with("unix:"))
    {
        display.remove_prefix(4);
    }
    if (!display.starts_with(":"))
    {
        return std::nullopt;
    }
    unsigned number = 0;
    const char* first = display.data() + 1;
    const char* last = display.data() + display.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc{} || end == first || (end != last && *end != '.'))
    {
        return std::nullopt;
    }
    return number;
}

/// A connected socket to the local server's socket: the abstract name first, then the
/// file, as Xlib tries them on Linux; -1 when neither takes the connection.
int ConnectLocal(unsigned number)
{
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    for (const bool abstract : {true, false})
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
        {
            return -1;
        }
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::size_t offset = abstract ? 1 : 0; // the abstract name starts with a 0
        std::memcpy(address.sun_path + offset, path.data(), path.size());
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0)
        {
            return fd;
        }
        close(fd);
    }
    return -1;
}
} // namespace

bool LocalServerAnswers(std::string_view display, int timeoutMs)
{
    const std::optional<unsigned> number = LocalDisplayNumber(display);
    if (!number)
    {
        return true;
    }
    const int fd = ConnectLocal(*number);
    if (fd < 0)
    {
        return true; // nothing listens: XOpenDisplay fails at once by itself
    }
    // A connection setup in this machine's byte order, protocol 11.0, without
    // authorisation. Any answer (success, failure or a request to authenticate) shows that
    // the server answers; what it says is XOpenDisplay's business.
    const std::uint16_t probe = 1;
    std::uint8_t littleEndian = 0;
    std::memcpy(&littleEndian, &probe, 1);
    const std::uint8_t setup[12] = {static_cast<std::uint8_t>(littleEndian == 1 ? 'l' : 'B'),
                                    0,
                                    littleEndian == 1 ? std::uint8_t{11} : std::uint8_t{0},
                                    littleEndian == 1 ? std::uint8_t{0} : std::uint8_t{11},
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0};
    bool answered = false;
    if (send(fd, setup, sizeof setup, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof setup))
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;)
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            pollfd reply{fd, POLLIN, 0};
            const int ready = poll(&reply, 1, static_cast<int>(std::max<long long>(left, 0)));
            if (ready < 0 && errno == EINTR && left > 0)
            {
                continue;
            }
            // A hang-up counts as an answer too: XOpenDisplay will fail quickly.
            answered = ready > 0;
            break;
        }
    }
    close(fd);
    return answered;
}
} // namespace orvo::x11

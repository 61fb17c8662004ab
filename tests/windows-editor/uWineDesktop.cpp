#include "tests/windows-editor/uWineDesktop.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace orvo::wine
{
namespace
{
void DispatchWaiting()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

// One SendInput move to the normalised coordinates nx, ny (0..65535 over the primary screen).
void SendAbsoluteMove(LONG nx, LONG ny)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = nx;
    input.mi.dy = ny;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// ---- PNG writing: stored deflate blocks, no compression library needed ----

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = []
    {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n)
        {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
            {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            entries[n] = c;
        }
        return entries;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
    {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data)
{
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian(out, Crc32(body.data(), body.size()));
}
} // namespace

void PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;)
    {
        DispatchWaiting();
        if (done())
        {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
        {
            return done();
        }
        const DWORD wait = static_cast<DWORD>(deadline - now < 10 ? deadline - now : 10);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

namespace
{
// The system maps n to n x size / 65536: aim at the middle of the pixel.
LONG Normalised(LONG coordinate, LONG size)
{
    return static_cast<LONG>((static_cast<long long>(coordinate) * 65536 + 32768) / size);
}
} // namespace

void SendPointerMove(POINT screen)
{
    SendAbsoluteMove(Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN)),
                     Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN)));
}

bool MovePointerTo(POINT screen)
{
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    // Corrected by what arrived, should a system round differently.
    LONG nx = Normalised(screen.x, width);
    LONG ny = Normalised(screen.y, height);
    for (int attempt = 0; attempt < 4; ++attempt)
    {
        SendAbsoluteMove(nx, ny);
        POINT at{};
        PumpUntil([&] { return GetCursorPos(&at) && SamePoint(at, screen); }, 100);
        if (SamePoint(at, screen))
        {
            PumpFor(20);
            return true;
        }
        nx += static_cast<LONG>((screen.x - at.x) * 65536 / width);
        ny += static_cast<LONG>((screen.y - at.y) * 65536 / height);
    }
    return false;
}

void SendButton(int button, bool down)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    switch (button)
    {
    case VK_RBUTTON:
        input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
        break;
    case VK_MBUTTON:
        input.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
        break;
    default:
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        break;
    }
    SendInput(1, &input, sizeof input);
    PumpFor(30);
}

void SendKey(WORD key, bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    PumpFor(20);
}

std::vector<std::uint8_t> CaptureClient(HWND window, int& width, int& height)
{
    RECT client{};
    GetClientRect(window, &client);
    width = client.right;
    height = client.bottom;
    std::vector<std::uint8_t> pixels;
    if (width <= 0 || height <= 0)
    {
        return pixels;
    }
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (surface != nullptr && bits != nullptr)
    {
        HGDIOBJ previous = SelectObject(memory, surface);
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const std::uint8_t*>(bits);
        pixels.assign(first, first + static_cast<std::size_t>(width) * height * 4);
        for (std::size_t i = 3; i < pixels.size(); i += 4)
        {
            pixels[i] = 0;
        }
        SelectObject(memory, previous);
        DeleteObject(surface);
    }
    DeleteDC(memory);
    ReleaseDC(window, source);
    return pixels;
}

bool WritePng(const wchar_t* path, const std::vector<std::uint8_t>& pixels, int width, int height)
{
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * height * 4)
    {
        return false;
    }
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(width * 3 + 1) * height);
    for (int y = 0; y < height; ++y)
    {
        raw.push_back(0); // filter: none
        const std::uint8_t* row = pixels.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x)
        {
            raw.push_back(row[x * 4 + 2]);
            raw.push_back(row[x * 4 + 1]);
            raw.push_back(row[x * 4]);
        }
    }
    std::vector<std::uint8_t> zlib{0x78, 0x01};
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw)
    {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0;)
    {
        const std::size_t size = std::min<std::size_t>(raw.size() - at, 65535);
        const bool last = at + size == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<std::uint8_t>(size));
        zlib.push_back(static_cast<std::uint8_t>(size >> 8));
        zlib.push_back(static_cast<std::uint8_t>(~size));
        zlib.push_back(static_cast<std::uint8_t>(~size >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        if (last)
        {
            break;
        }
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::vector<std::uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", zlib);
    PutChunk(file, "IEND", {});

    FILE* out = _wfopen(path, L"wb");
    if (out == nullptr)
    {
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

std::thread AnswerMenu(HWND target, std::vector<WPARAM> keys)
{
    return std::thread(
        [target, keys]
        {
            for (int wait = 0; wait < 300; ++wait)
            {
                HWND menu = FindWindowW(L"#32768", nullptr);
                if (menu != nullptr && IsWindowVisible(menu))
                {
                    break;
                }
                Sleep(10);
            }
            Sleep(50);
            for (const WPARAM key : keys)
            {
                PostMessageW(target, WM_KEYDOWN, key, 0);
                Sleep(30);
            }
        });
}
} // namespace orvo::wine

// What the Windows editor tests need of the desktop they run on (wine on an Xvfb display):
// a message pump with time limits, real input through SendInput, and the pixels a window
// shows.
#pragma once

#include <cstdint>
#include <functional>
#include <thread>
#include <vector>
#include <windows.h>

namespace orvo::wine
{
/// Dispatches the thread's messages for milliseconds.
void PumpFor(DWORD milliseconds);
/// Dispatches messages until done() holds or milliseconds pass; done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds);

/// Moves the pointer to a screen point with an absolute SendInput move, then lets the
/// messages it causes arrive. True when the pointer got there.
bool MovePointerTo(POINT screen);
/// One absolute SendInput move to a screen point, without waiting for it to arrive (for
/// drags, where the program moves the pointer back at once).
void SendPointerMove(POINT screen);
/// Presses or releases a mouse button where the pointer is (VK_LBUTTON, VK_RBUTTON).
void SendButton(int button, bool down);
/// Presses or releases a key (VK_SHIFT, VK_CONTROL, ...).
void SendKey(WORD key, bool down);

/// Answers the next pop-up menu of this process: once a menu shows (or after three seconds),
/// posts keys (VK_DOWN, VK_RETURN, ...) to target's thread, where the menu's own loop reads
/// them. Start it before the call that opens the menu; join it afterwards.
std::thread AnswerMenu(HWND target, std::vector<WPARAM> keys);

/// The client area of window as the screen shows it: top-down rows, 4 bytes per pixel
/// (blue, green, red, 0). Empty when it cannot be read.
std::vector<std::uint8_t> CaptureClient(HWND window, int& width, int& height);

/// Writes top-down BGRx pixels as an 8-bit RGB PNG file (stored, uncompressed blocks).
bool WritePng(const wchar_t* path, const std::vector<std::uint8_t>& pixels, int width, int height);
} // namespace orvo::wine

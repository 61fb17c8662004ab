// What an editor window offers the plug-in format's glue that owns it, and the values it
// shows: the glue writes them from any thread, the window reads them on its refresh timer.
#pragma once

#include "parameters/uParameterTable.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace orvo
{
/// The 16 parameter values the window shows, by parameter index. Owned by the glue, which
/// writes them from any thread (relaxed atomics, each value whole), so that a copy on the
/// processing thread never touches a window that close is destroying on the user-interface
/// thread: the window only reads them, on its refresh timer.
using TEditorValues = std::array<std::atomic<float>, ParameterCount>;
static_assert(std::atomic<float>::is_always_lock_free);

/// What the glue needs of an editor window. Created on the user-interface thread as a child
/// of the host's window, destroyed there.
class TEditorWindow
{
  public:
    virtual ~TEditorWindow() = default;
    virtual std::int16_t ClientWidth() const = 0;
    virtual std::int16_t ClientHeight() const = 0;
    /// Repaints at once, enables the refresh timer and runs one refresh, so the controls
    /// show the glue's values before the first timer tick.
    virtual void ShowCurrentValues() = 0;
    /// Runs the window system's pending events, timers and paints (effEditIdle). May end
    /// the window (a handler in which the host closes the editor).
    virtual void Idle() {}
    /// Ends the window that the glue lets go of (self is this window). Here it is destroyed
    /// at once. A window whose handler is still running (the host closed the editor, or the
    /// effect, from the modal loop of one of its menus or message boxes) must not go under
    /// that handler: it may keep itself and go when the handler returns, touching neither
    /// the effect nor the glue after this call.
    virtual void Close(std::unique_ptr<TEditorWindow> self) { self.reset(); }
};

} // namespace orvo

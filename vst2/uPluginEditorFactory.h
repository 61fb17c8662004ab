// The VST 2 editor glue with TPluginEditorWindow as its window, on a given window system.
#pragma once

#include "platform/ui/IUIPlatform.h"
#include "vst2/uPluginEditor.h"

#include <memory>

namespace orvo
{
/// Builds TPluginEditorWindow on platform for the glue: a child of the host's window at
/// 0, 0, talking to the glue's effect and showing the glue's values. platform must outlive
/// every window made (one closed from its own modal loop may outlive the glue).
TEditorWindowFactory EditorWindowFactory(IUIPlatform& platform);

/// The editor glue for effect with its windows on platform, which must outlive the glue
/// and its windows; without a platform the editor reports its size but opens no window.
TEditorParts MakePluginEditor(APlugin& effect, IUIPlatform* platform);

/// Makes a window system for one editor.
using TUIPlatformMaker = std::unique_ptr<IUIPlatform> (*)();

/// The editor glue for effect with its windows on a window system that makePlatform makes
/// at the first open, on the user-interface thread, and that the glue keeps for its life.
/// When makePlatform gives none (no display), effEditOpen answers 0 and opens nothing; the
/// next open tries again.
TEditorParts MakePluginEditorWithPlatform(APlugin& effect, TUIPlatformMaker makePlatform);

} // namespace orvo

// TOrvoEffect: the event queue and its sample-accurate dispatch, MIDI thru, CC mapping and
// learning, the editor's MIDI menu commands and the map file.
#include "core/uOrvoEffect.h"

#include <algorithm>
#include <vector>

namespace orvo
{
namespace
{
/// Stands for every negative frame in the queue: due before the block's first frame.
constexpr std::int32_t DueAtBlockStart = -1;

constexpr std::uint8_t NoteOff = 0x80;
constexpr std::uint8_t NoteOn = 0x90;
constexpr std::uint8_t ControlChange = 0xB0;
} // namespace

// --- Queueing and dispatch (processing thread) ---

bool TOrvoEffect::QueueMidi(std::int32_t frame, const TMidiBytes& message) noexcept
{
    TQueuedEvent event;
    event.Frame = frame;
    event.Midi = message;
    return queueEvent(event);
}

bool TOrvoEffect::queueEvent(const TQueuedEvent& event) noexcept
{
    if (FEventCount >= EventQueueSize)
    {
        return false;
    }
    // The lowest free slot: the queue's order is the slots' order.
    const auto end = FQueue.begin() + FEventEnd;
    auto slot = std::find_if(FQueue.begin(), end,
                             [](const TQueuedEvent& s) { return s.Frame == FreeSlot; });
    if (slot == end)
    {
        ++FEventEnd;
    }
    ++FEventCount;
    *slot = event;
    // Every negative frame is due at the block's start (a frame of -99 would otherwise
    // read as a free slot).
    slot->Frame = std::max(event.Frame, DueAtBlockStart);
    // Merged with what is already pending: a second delivery before the block is processed
    // keeps the first one's events in view.
    FNextDue = std::min(FNextDue, slot->Frame);
    return true;
}

void TOrvoEffect::startBlock() noexcept
{
    applyPendingMapCommand();
    if (FNextDue < 0)
    {
        dispatchDue(DueAtBlockStart, 0);
    }
}

void TOrvoEffect::finishBlock(std::int32_t frames) noexcept
{
    // Nothing outlives the block that follows its delivery: events beyond the block's end
    // are handled now, in slot order, at the block's last frame.
    if (FEventCount > 0)
    {
        dispatchDue(NeverDue, frames > 0 ? frames - 1 : 0);
    }
}

void TOrvoEffect::dispatchDue(std::int32_t limit, std::int32_t stamp) noexcept
{
    std::int32_t next = NeverDue;
    // The end is read anew each step: a host may queue events from inside a handler.
    for (std::int32_t i = 0; i < FEventEnd; ++i)
    {
        TQueuedEvent& slot = FQueue[static_cast<std::size_t>(i)];
        const std::int32_t due = slot.Frame;
        if (due == FreeSlot)
        {
            continue;
        }
        if (due > limit)
        {
            next = std::min(next, due);
            continue;
        }
        --FEventCount;
        handleMidiMessage(slot.Midi, stamp);
        slot.Frame = FreeSlot;
    }
    while (FEventEnd > 0 && FQueue[static_cast<std::size_t>(FEventEnd - 1)].Frame == FreeSlot)
    {
        --FEventEnd;
    }
    FNextDue = next;
}

void TOrvoEffect::handleMidiMessage(const TMidiBytes& message, std::int32_t stamp) noexcept
{
    const std::uint8_t status = message[0];
    const std::uint32_t length = ChannelMessageLength(status);
    if (length == 0)
    {
        return; // system messages and stray data bytes are consumed silently
    }
    const auto kind = static_cast<std::uint8_t>(status & 0xF0);
    TMidiBytes thru{status, static_cast<std::uint8_t>(message[1] & 0x7F),
                    length == 3 ? static_cast<std::uint8_t>(message[2] & 0x7F) : std::uint8_t{0}};
    if (kind == NoteOn && thru[2] == 0)
    {
        thru[0] = static_cast<std::uint8_t>(NoteOff | (status & 0x0F)); // leaves as a note-off
    }
    // The message leaves at the frame it was handled at, so the host places it where the
    // incoming one stood in the block.
    if (FOutput != nullptr)
    {
        FOutput->MidiThru(stamp, thru);
    }
    if (kind == ControlChange)
    {
        handleControlChange(thru[1], thru[2]);
    }
}

// --- CC mapping and learning ---

void TOrvoEffect::handleControlChange(std::int32_t cc, std::int32_t value) noexcept
{
    applyPendingMapCommand();
    std::int32_t learning = FLearnParam.load(std::memory_order_acquire);
    if (IsParameterIndex(learning))
    {
        auto& previousCc = FParamToCc[static_cast<std::size_t>(learning)];
        if (const std::int32_t old = previousCc.load(std::memory_order_relaxed); old >= 0)
        {
            FCcToParam[static_cast<std::size_t>(old)].store(NoBinding, std::memory_order_relaxed);
        }
        // The parameter that this CC drove loses it in both tables, so they stay inverses.
        const std::int32_t robbed =
            FCcToParam[static_cast<std::size_t>(cc)].load(std::memory_order_relaxed);
        if (IsParameterIndex(robbed) &&
            FParamToCc[static_cast<std::size_t>(robbed)].load(std::memory_order_relaxed) == cc)
        {
            FParamToCc[static_cast<std::size_t>(robbed)].store(NoBinding,
                                                               std::memory_order_relaxed);
        }
        FCcToParam[static_cast<std::size_t>(cc)].store(learning, std::memory_order_relaxed);
        previousCc.store(cc, std::memory_order_relaxed);
        // Learning ends with this CC, unless the editor has meanwhile chosen another parameter.
        FLearnParam.compare_exchange_strong(learning, NoBinding, std::memory_order_acq_rel);
    }
    const std::int32_t parameter =
        FCcToParam[static_cast<std::size_t>(cc)].load(std::memory_order_relaxed);
    if (IsParameterIndex(parameter))
    {
        const auto value01 = static_cast<float>(value / 127.0);
        SetParameter(parameter, value01);
        if (FOutput != nullptr)
        {
            FOutput->ParameterMovedByController(parameter, value01);
        }
    }
}

void TOrvoEffect::applyPendingMapCommand() noexcept
{
    std::uint8_t command = FPendingMapCommand.load(std::memory_order_acquire);
    if (command == mcNone)
    {
        return;
    }
    storeMidiMap(command == mcReset ? TMidiMap::Empty() : TMidiMap::Default());
    // Cleared only after the tables are rewritten, so MidiMap() on another thread answers
    // from the command, never from half-written tables. A newer command stays pending.
    FPendingMapCommand.compare_exchange_strong(command, mcNone, std::memory_order_acq_rel);
}

void TOrvoEffect::storeMidiMap(const TMidiMap& map) noexcept
{
    for (std::size_t cc = 0; cc < FCcToParam.size(); ++cc)
    {
        FCcToParam[cc].store(map.CcToParam[cc], std::memory_order_relaxed);
    }
    for (std::size_t p = 0; p < FParamToCc.size(); ++p)
    {
        FParamToCc[p].store(map.ParamToCc[p], std::memory_order_relaxed);
    }
}

// --- The editor's MIDI menu (user-interface thread) ---

void TOrvoEffect::StartMidiLearn(std::int32_t parameter) noexcept
{
    if (parameter == NoBinding || IsParameterIndex(parameter))
    {
        FLearnParam.store(parameter, std::memory_order_release);
    }
}

std::int32_t TOrvoEffect::MidiLearnParameter() const noexcept
{
    return FLearnParam.load(std::memory_order_acquire);
}

void TOrvoEffect::ResetMidiMap() noexcept
{
    FLearnParam.store(NoBinding, std::memory_order_release);
    FPendingMapCommand.store(mcReset, std::memory_order_release);
}

void TOrvoEffect::RestoreDefaultMidiMap() noexcept
{
    FLearnParam.store(NoBinding, std::memory_order_release);
    FPendingMapCommand.store(mcRestoreDefault, std::memory_order_release);
}

void TOrvoEffect::ReplaceMidiMap(const TMidiMap& map) noexcept
{
    FLearnParam.store(NoBinding, std::memory_order_release);
    FPendingMapCommand.store(mcNone, std::memory_order_release);
    storeMidiMap(map);
}

TMidiMap TOrvoEffect::MidiMap() const noexcept
{
    switch (FPendingMapCommand.load(std::memory_order_acquire))
    {
    case mcReset:
        return TMidiMap::Empty();
    case mcRestoreDefault:
        return TMidiMap::Default();
    default:
        break;
    }
    TMidiMap map;
    for (std::size_t cc = 0; cc < FCcToParam.size(); ++cc)
    {
        map.CcToParam[cc] = FCcToParam[cc].load(std::memory_order_relaxed);
    }
    for (std::size_t p = 0; p < FParamToCc.size(); ++p)
    {
        map.ParamToCc[p] = FParamToCc[p].load(std::memory_order_relaxed);
    }
    return map;
}

std::string TOrvoEffect::MidiMapReport() const
{
    return orvo::MidiMapReport(MidiMap(), MidiLearnParameter());
}

// --- The map file ---
//
// OrvoMIDI.txt lives beside the module, or in the user's configuration folder when the
// module's folder cannot be written (a system-wide install). A copy in the user's folder
// wins: it holds what this user learned last.

std::string TOrvoEffect::moduleMapPath() const
{
    const std::string path = FServices.ModuleFile.ModulePath();
    const std::size_t folderEnd = path.find_last_of("/\\");
    return folderEnd == std::string::npos
               ? std::string()
               : path.substr(0, folderEnd + 1) + std::string(MidiMapFileName);
}

std::string TOrvoEffect::userMapPath() const
{
    const std::string folder = FServices.UserFolder.ConfigFolder();
    return folder.empty() ? std::string() : folder + std::string(MidiMapFileName);
}

void TOrvoEffect::loadMidiMap()
{
    // No file in either place, or a file that cannot be read: the default map. (An
    // unreadable file is left alone; the write at destruction replaces it if it can.)
    TMidiMap map = TMidiMap::Default();
    for (const std::string& path : {userMapPath(), moduleMapPath()})
    {
        if (!path.empty() && FServices.FileSystem.FileExists(path))
        {
            std::vector<std::string> lines;
            if (FServices.FileSystem.ReadLines(path, lines))
            {
                map = ParseMidiMap(lines);
            }
            break;
        }
    }
    storeMidiMap(map);
    FLearnParam.store(NoBinding, std::memory_order_relaxed);
}

void TOrvoEffect::saveMidiMap() noexcept
{
    try
    {
        const std::string userPath = userMapPath();
        const std::string modulePath = moduleMapPath();
        const bool userFileExists = !userPath.empty() && FServices.FileSystem.FileExists(userPath);
        // The file the next instance reads: the user's copy shadows the module's, so once
        // there is one, the bindings go there even when the module's folder is writable.
        const std::string& readPath = userFileExists ? userPath : modulePath;
        if (readPath.empty() && userPath.empty())
        {
            return;
        }
        const TMidiMap map = MidiMap();
        // A file that already holds these bindings is left as it is: no disk write when
        // nothing changed (a read-only install keeps reading its shipped map).
        std::vector<std::string> existing;
        if (!readPath.empty() && FServices.FileSystem.FileExists(readPath) &&
            FServices.FileSystem.ReadLines(readPath, existing) && existing == MidiMapLines(map))
        {
            return;
        }
        const std::string text = FormatMidiMap(map);
        // A write that fails (a read-only folder, a full disk) leaves the old file whole;
        // then the user's folder, made when needed, takes the bindings.
        if (!readPath.empty() && FServices.FileSystem.WriteFileAtomically(readPath, text))
        {
            return;
        }
        if (!userFileExists && !userPath.empty() && FServices.UserFolder.MakeConfigFolder())
        {
            FServices.FileSystem.WriteFileAtomically(userPath, text);
        }
    }
    catch (...)
    {
        // Out of memory: the old file stays.
    }
}
} // namespace orvo

// APlugin: the MIDI queue and its sample-accurate dispatch, MIDI thru, CC mapping and
// learning, the editor's MIDI menu commands and the map file.
#include "plugin/uPlugin.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace orvo
{
namespace
{
/// Kept in reserved1 of every queued copy.
constexpr char QueuedMark = 99;
/// Stands for every negative offset in the queue: due before the next block's first frame.
/// (A host's own -99 would otherwise read as a free slot.)
constexpr std::int32_t DueAtBlockStart = -1;

constexpr std::uint8_t NoteOff = 0x80;
constexpr std::uint8_t NoteOn = 0x90;
constexpr std::uint8_t PolyPressure = 0xA0;
constexpr std::uint8_t ControlChange = 0xB0;
constexpr std::uint8_t ProgramChange = 0xC0;
constexpr std::uint8_t ChannelPressure = 0xD0;
constexpr std::uint8_t PitchBend = 0xE0;
} // namespace

// --- Queueing and dispatch (processing thread) ---

VstInt32 APlugin::processEvents(VstEvents* events) noexcept
{
    if (events == nullptr)
    {
        return 1;
    }
    std::int32_t earliest = NeverDue;
    VstEvent* const* list = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i)
    {
        const VstEvent* event = list[i];
        if (event == nullptr || event->type != kVstMidiType || FMidiQueueCount >= MidiQueueSize)
        {
            continue; // not MIDI, or the queue is full: dropped
        }
        // The lowest free slot, as before: the queue's order is the slots' order.
        const auto end = FMidiQueue.begin() + FMidiQueueEnd;
        const auto slot = std::find_if(FMidiQueue.begin(), end, [](const VstMidiEvent& s)
                                       { return s.deltaFrames == FreeSlot; });
        if (slot == end)
        {
            if (FMidiQueueEnd >= MidiQueueSize)
            {
                continue;
            }
            ++FMidiQueueEnd;
        }
        ++FMidiQueueCount;
        std::memcpy(&*slot, event, sizeof(VstMidiEvent));
        slot->reserved1 = QueuedMark;
        slot->deltaFrames = std::max(slot->deltaFrames, DueAtBlockStart);
        earliest = std::min(earliest, slot->deltaFrames);
    }
    // Merged with what is already pending: a second delivery before the block is processed
    // keeps the first one's events in view.
    FNextMidiPos = std::min(FNextMidiPos, earliest);
    return 1;
}

void APlugin::startMidiBlock() noexcept
{
    applyPendingMapCommand();
    if (FNextMidiPos < 0)
    {
        dispatchDue(DueAtBlockStart, 0);
    }
}

void APlugin::finishMidiBlock(std::int32_t sampleFrames) noexcept
{
    // Nothing outlives the block that follows its delivery: events beyond the block's end
    // are handled now, in slot order, at the block's last frame.
    if (FMidiQueueCount > 0)
    {
        dispatchDue(NeverDue, sampleFrames > 0 ? sampleFrames - 1 : 0);
    }
}

void APlugin::dispatchMidiAt(std::int32_t pos) noexcept
{
    dispatchDue(pos, pos);
}

void APlugin::dispatchDue(std::int32_t limit, std::int32_t stamp) noexcept
{
    std::int32_t next = NeverDue;
    // The end is read anew each step: a host may queue events from inside a handler.
    for (std::int32_t i = 0; i < FMidiQueueEnd; ++i)
    {
        VstMidiEvent& slot = FMidiQueue[static_cast<std::size_t>(i)];
        const std::int32_t due = slot.deltaFrames;
        if (due == FreeSlot)
        {
            continue;
        }
        if (due > limit)
        {
            next = std::min(next, due);
            continue;
        }
        --FMidiQueueCount;
        handleMidiMessage(slot, stamp);
        slot.deltaFrames = FreeSlot;
    }
    while (FMidiQueueEnd > 0 &&
           FMidiQueue[static_cast<std::size_t>(FMidiQueueEnd - 1)].deltaFrames == FreeSlot)
    {
        --FMidiQueueEnd;
    }
    FNextMidiPos = next;
}

void APlugin::handleMidiMessage(const VstMidiEvent& event, std::int32_t stamp) noexcept
{
    const auto status = static_cast<std::uint8_t>(event.midiData[0]);
    const auto kind = static_cast<std::uint8_t>(status & 0xF0);
    const auto channel = static_cast<std::uint8_t>(status & 0x0F);
    const auto data1 = static_cast<std::uint8_t>(event.midiData[1] & 0x7F);
    const auto data2 = static_cast<std::uint8_t>(event.midiData[2] & 0x7F);
    switch (kind)
    {
    case NoteOn:
        if (data2 > 0)
        {
            thruNoteOn(channel, data1, data2, stamp);
        }
        else
        {
            thruNoteOff(channel, data1, data2, stamp); // velocity 0 leaves as a note-off
        }
        break;
    case NoteOff:
        thruNoteOff(channel, data1, data2, stamp);
        break;
    case PolyPressure:
        thruPolyPressure(channel, data1, data2, stamp);
        break;
    case ControlChange:
        thruControlChange(channel, data1, data2, stamp);
        handleControlChange(data1, data2);
        break;
    case ProgramChange:
        thruProgramChange(channel, data1, stamp);
        break;
    case ChannelPressure:
        thruChannelPressure(channel, data1, stamp);
        break;
    case PitchBend:
        thruPitchBend(channel, data1, data2, stamp);
        break;
    default:
        break; // system messages and stray data bytes are consumed silently
    }
}

// --- Thru ---

void APlugin::thruNoteOff(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity,
                          std::int32_t pos) noexcept
{
    sendThru(NoteOff | channel, note, velocity, pos);
}

void APlugin::thruNoteOn(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity,
                         std::int32_t pos) noexcept
{
    sendThru(NoteOn | channel, note, velocity, pos);
}

void APlugin::thruPolyPressure(std::uint8_t channel, std::uint8_t note, std::uint8_t pressure,
                               std::int32_t pos) noexcept
{
    sendThru(PolyPressure | channel, note, pressure, pos);
}

void APlugin::thruControlChange(std::uint8_t channel, std::uint8_t cc, std::uint8_t value,
                                std::int32_t pos) noexcept
{
    sendThru(ControlChange | channel, cc, value, pos);
}

void APlugin::thruProgramChange(std::uint8_t channel, std::uint8_t program, std::int32_t pos) noexcept
{
    sendThru(ProgramChange | channel, program, 0, pos);
}

void APlugin::thruChannelPressure(std::uint8_t channel, std::uint8_t pressure,
                                  std::int32_t pos) noexcept
{
    sendThru(ChannelPressure | channel, pressure, 0, pos);
}

void APlugin::thruPitchBend(std::uint8_t channel, std::uint8_t lsb, std::uint8_t msb,
                            std::int32_t pos) noexcept
{
    sendThru(PitchBend | channel, lsb, msb, pos);
}

void APlugin::sendThru(std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                       std::int32_t pos) noexcept
{
    FThruEvent.midiData[0] = static_cast<char>(status);
    FThruEvent.midiData[1] = static_cast<char>(data1);
    FThruEvent.midiData[2] = static_cast<char>(data2);
    // The message leaves at the position it was handled at, so the host places it where
    // the incoming one stood in the block.
    FThruEvent.deltaFrames = pos;
    sendVstEventsToHost(&FThruEvents);
}

// --- CC mapping and learning ---

void APlugin::handleControlChange(std::int32_t cc, std::int32_t value) noexcept
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
        const std::int32_t robbed = FCcToParam[static_cast<std::size_t>(cc)].load(std::memory_order_relaxed);
        if (IsParameterIndex(robbed) &&
            FParamToCc[static_cast<std::size_t>(robbed)].load(std::memory_order_relaxed) == cc)
        {
            FParamToCc[static_cast<std::size_t>(robbed)].store(NoBinding, std::memory_order_relaxed);
        }
        FCcToParam[static_cast<std::size_t>(cc)].store(learning, std::memory_order_relaxed);
        previousCc.store(cc, std::memory_order_relaxed);
        // Learning ends with this CC, unless the editor has meanwhile chosen another parameter.
        FLearnParam.compare_exchange_strong(learning, NoBinding, std::memory_order_acq_rel);
    }
    const std::int32_t parameter = FCcToParam[static_cast<std::size_t>(cc)].load(std::memory_order_relaxed);
    if (IsParameterIndex(parameter))
    {
        setParameterAutomated(parameter, static_cast<float>(value / 127.0));
    }
}

void APlugin::applyPendingMapCommand() noexcept
{
    std::uint8_t command = FPendingMapCommand.load(std::memory_order_acquire);
    if (command == mcNone)
    {
        return;
    }
    storeMidiMap(command == mcReset ? TMidiMap::Empty() : TMidiMap::Default());
    // Cleared only after the tables are rewritten, so midiMap() on another thread answers
    // from the command, never from half-written tables. A newer command stays pending.
    FPendingMapCommand.compare_exchange_strong(command, mcNone, std::memory_order_acq_rel);
}

void APlugin::storeMidiMap(const TMidiMap& map) noexcept
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

void APlugin::startMidiLearn(std::int32_t parameter) noexcept
{
    if (parameter == NoBinding || IsParameterIndex(parameter))
    {
        FLearnParam.store(parameter, std::memory_order_release);
    }
}

std::int32_t APlugin::midiLearnParameter() const noexcept
{
    return FLearnParam.load(std::memory_order_acquire);
}

void APlugin::resetMidiMap() noexcept
{
    FLearnParam.store(NoBinding, std::memory_order_release);
    FPendingMapCommand.store(mcReset, std::memory_order_release);
}

void APlugin::restoreDefaultMidiMap() noexcept
{
    FLearnParam.store(NoBinding, std::memory_order_release);
    FPendingMapCommand.store(mcRestoreDefault, std::memory_order_release);
}

void APlugin::replaceMidiMap(const TMidiMap& map) noexcept
{
    FLearnParam.store(NoBinding, std::memory_order_release);
    FPendingMapCommand.store(mcNone, std::memory_order_release);
    storeMidiMap(map);
}

TMidiMap APlugin::midiMap() const noexcept
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

std::string APlugin::midiMapReport() const
{
    return MidiMapReport(midiMap(), midiLearnParameter());
}

// --- The map file ---

std::string APlugin::moduleFolder() const
{
    const std::string path = FServices.ModuleFile.ModulePath();
    const std::size_t folderEnd = path.find_last_of("/\\");
    return folderEnd == std::string::npos ? std::string() : path.substr(0, folderEnd + 1);
}

void APlugin::loadMidiMap()
{
    // No module folder, no file, or a file that cannot be read: the default map. (An
    // unreadable file is left alone; the write at destruction replaces it if it can.)
    TMidiMap map = TMidiMap::Default();
    const std::string folder = moduleFolder();
    if (!folder.empty())
    {
        const std::string path = folder + std::string(MidiMapFileName);
        std::vector<std::string> lines;
        if (FServices.FileSystem.FileExists(path) && FServices.FileSystem.ReadLines(path, lines))
        {
            map = ParseMidiMap(lines);
        }
    }
    storeMidiMap(map);
    FLearnParam.store(NoBinding, std::memory_order_relaxed);
}

void APlugin::saveMidiMap() noexcept
{
    try
    {
        const std::string folder = moduleFolder();
        if (folder.empty())
        {
            return;
        }
        const std::string path = folder + std::string(MidiMapFileName);
        const TMidiMap map = midiMap();
        // A file that already holds these bindings is left as it is: no disk write when
        // nothing changed.
        std::vector<std::string> existing;
        if (FServices.FileSystem.FileExists(path) && FServices.FileSystem.ReadLines(path, existing) &&
            existing == MidiMapLines(map))
        {
            return;
        }
        // A write that fails (a read-only folder, a full disk) leaves the old file whole.
        FServices.FileSystem.WriteFileAtomically(path, FormatMidiMap(map));
    }
    catch (...)
    {
        // Out of memory: the old file stays.
    }
}
} // namespace orvo

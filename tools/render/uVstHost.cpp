#include "tools/render/uVstHost.h"

#include "tools/render/uModuleLibrary.h"
#include "tools/render/uTextNumbers.h"

#include <algorithm>
#include <cstring>

namespace orvo
{

namespace
{

using TEntry = AEffect*(VSTCALL*)(audioMasterCallback);

/// The VST version this host speaks (2.4).
constexpr VstIntPtr HostVstVersion = 2400;
constexpr const char* HostVendor = "Quorvane";
constexpr const char* HostProduct = "orvo-render";
/// Text buffers handed to the effect: far beyond the published 8/24/64-character limits,
/// because effects (Orvo among them) write longer texts than those.
constexpr std::size_t TextBufferSize = 512;

/// audioMasterGetAutomationState: automation is neither read nor written by the host.
constexpr VstIntPtr AutomationOff = 1;
/// audioMasterGetLanguage: English.
constexpr VstIntPtr LanguageEnglish = 1;

// The instance under construction on this thread: the entry function calls the host
// (version, vendor, product) before the host knows the record it will return.
thread_local TVstPlugin* tLoading = nullptr;

void CopyText(const char* text, void* buffer, std::size_t size)
{
    auto* out = static_cast<char*>(buffer);
    const std::size_t length = std::min(std::strlen(text), size - 1);
    std::memcpy(out, text, length);
    out[length] = '\0';
}

} // namespace

std::unique_ptr<TVstPlugin> TVstPlugin::Load(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
    {
        // An LV2 bundle is a folder holding manifest.ttl; a VST 2 module is one file.
        throw EVstHost(std::filesystem::exists(path / "manifest.ttl", ec)
                           ? path.string() + " is an LV2 bundle; orvo-render hosts VST 2 "
                                             "plug-ins: give the module file (such as Orvo.so)"
                           : path.string() + " is a folder, not a VST 2 plug-in module");
    }
    if (!std::filesystem::is_regular_file(path, ec))
    {
        throw EVstHost("plug-in not found: " + path.string());
    }
    std::unique_ptr<TVstPlugin> plugin(new TVstPlugin());
    plugin->FPath = path;
    plugin->FDirectory = std::filesystem::absolute(path, ec).parent_path().string();

    std::string reason;
    plugin->FLibrary = TModuleLibrary::Open(path, reason);
    if (!plugin->FLibrary)
    {
        throw EVstHost(path.string() + " is not a loadable plug-in module (" + reason + ")");
    }
    void* symbol = plugin->FLibrary->Symbol("VSTPluginMain");
    if (symbol == nullptr)
    {
        symbol = plugin->FLibrary->Symbol("main");
    }
    if (symbol == nullptr)
    {
        throw EVstHost(path.string() +
                       " is not a VST 2 plug-in: it exports neither VSTPluginMain nor main");
    }
    const auto entry = reinterpret_cast<TEntry>(symbol);

    tLoading = plugin.get();
    AEffect* effect = entry(&TVstPlugin::HostCallback);
    tLoading = nullptr;
    if (effect == nullptr)
    {
        throw EVstHost(path.string() + " refused to create an effect instance");
    }
    if (effect->magic != kEffectMagic || effect->dispatcher == nullptr)
    {
        // Not a record we can talk to, so it cannot be closed either: it is abandoned.
        throw EVstHost(path.string() + " is not a VST 2 effect (its record is not one)");
    }
    plugin->FEffect = effect;
    // resvd1 is the host's field of the record: it leads host calls back to this object.
    effect->resvd1 = reinterpret_cast<VstIntPtr>(plugin.get());
    if ((effect->flags & effFlagsCanReplacing) == 0 && effect->process == nullptr)
    {
        plugin->Dispatch(effClose);
        plugin->FEffect = nullptr;
        throw EVstHost(path.string() + " is a VST 2 effect without a processing function");
    }
    plugin->Dispatch(effOpen);
    return plugin;
}

TVstPlugin::~TVstPlugin()
{
    if (FEffect != nullptr)
    {
        Stop();
        Dispatch(effClose);
    }
}

VstIntPtr TVstPlugin::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) noexcept
{
    return FEffect->dispatcher(FEffect, opcode, index, value, ptr, opt);
}

std::string TVstPlugin::TextOpcode(VstInt32 opcode, VstInt32 index)
{
    std::array<char, TextBufferSize> buffer{};
    Dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

std::string TVstPlugin::EffectName()
{
    std::string name = TextOpcode(effGetEffectName, 0);
    if (name.empty())
    {
        name = TextOpcode(effGetProductString, 0);
    }
    return name.empty() ? FPath.stem().string() : name;
}

std::string TVstPlugin::VendorName()
{
    return TextOpcode(effGetVendorString, 0);
}

std::string TVstPlugin::ParameterName(std::int32_t index)
{
    return TextOpcode(effGetParamName, index);
}

std::string TVstPlugin::ParameterLabel(std::int32_t index)
{
    return TextOpcode(effGetParamLabel, index);
}

std::string TVstPlugin::ParameterDisplay(std::int32_t index)
{
    return TextOpcode(effGetParamDisplay, index);
}

std::int32_t TVstPlugin::FindParameter(std::string_view name)
{
    for (std::int32_t i = 0; i < NumParameters(); ++i)
    {
        if (SameText(ParameterName(i), name))
        {
            return i;
        }
    }
    return -1;
}

float TVstPlugin::Parameter(std::int32_t index) noexcept
{
    return FEffect->getParameter(FEffect, index);
}

void TVstPlugin::SetParameter(std::int32_t index, float value) noexcept
{
    FEffect->setParameter(FEffect, index, value);
}

std::int32_t TVstPlugin::Program() noexcept
{
    return static_cast<std::int32_t>(Dispatch(effGetProgram));
}

void TVstPlugin::SetProgram(std::int32_t program) noexcept
{
    Dispatch(effBeginSetProgram);
    Dispatch(effSetProgram, 0, program);
    Dispatch(effEndSetProgram);
}

std::string TVstPlugin::ProgramName()
{
    return TextOpcode(effGetProgramName, 0);
}

std::string TVstPlugin::ProgramNameIndexed(std::int32_t program)
{
    std::array<char, TextBufferSize> buffer{};
    if (Dispatch(effGetProgramNameIndexed, program, 0, buffer.data()) != 0)
    {
        buffer.back() = '\0';
        return buffer.data();
    }
    const std::int32_t current = Program();
    if (program == current)
    {
        return ProgramName();
    }
    SetProgram(program);
    std::string name = ProgramName();
    SetProgram(current);
    return name;
}

VstIntPtr TVstPlugin::CanDo(const char* text) noexcept
{
    return Dispatch(effCanDo, 0, 0, const_cast<char*>(text));
}

void TVstPlugin::Start(double sampleRate, std::int32_t maxBlockSize, TProcessLevel level)
{
    Stop();
    FSampleRate = sampleRate;
    FMaxBlock = std::max<std::int32_t>(1, maxBlockSize);
    FProcessLevel = level;

    const auto channels = [this](std::int32_t count, std::vector<std::vector<float>>& buffers,
                                 std::vector<float*>& pointers)
    {
        buffers.assign(static_cast<std::size_t>(std::max<std::int32_t>(count, 0)),
                       std::vector<float>(static_cast<std::size_t>(FMaxBlock), 0.0f));
        pointers.clear();
        for (auto& buffer : buffers)
        {
            pointers.push_back(buffer.data());
        }
        // Never hand the effect a null channel array, even with no channels.
        pointers.push_back(nullptr);
    };
    channels(NumInputs(), FInputBuffers, FInputPointers);
    channels(NumOutputs(), FOutputBuffers, FOutputPointers);

    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(effSetBlockSize, 0, FMaxBlock);
    Dispatch(effMainsChanged, 0, 1);
    Dispatch(effStartProcess);
    FStarted = true;
    FPosition = 0;
}

void TVstPlugin::Stop() noexcept
{
    if (!FStarted)
    {
        return;
    }
    Dispatch(effStopProcess);
    Dispatch(effMainsChanged, 0, 0);
    FStarted = false;
}

void TVstPlugin::ClearReceived() noexcept
{
    FMidiReceived.clear();
    FAutomations.clear();
    FTouches.clear();
}

void TVstPlugin::Process(const float* const inputs[2], float* const outputs[2], std::int64_t frames,
                         std::span<const TMidiMessage> events)
{
    if (!FStarted)
    {
        throw EVstHost("processing before the effect was started");
    }
    std::int64_t done = 0;
    auto next = events.begin();
    while (done < frames)
    {
        const auto block =
            static_cast<std::int32_t>(std::min<std::int64_t>(FMaxBlock, frames - done));
        auto end = next;
        while (end != events.end() && end->Frame < done + block)
        {
            ++end;
        }
        if (end != next)
        {
            SendEvents({next, end}, done);
            next = end;
        }
        ProcessBlock(inputs, outputs, done, block);
        done += block;
        FPosition += block;
    }
}

void TVstPlugin::SendEvents(std::span<const TMidiMessage> events, std::int64_t blockStart)
{
    if (FEventStore.size() < events.size())
    {
        FEventStore.resize(events.size());
        const std::size_t header = offsetof(VstEvents, events) / sizeof(VstIntPtr);
        FEventList.assign(header + std::max<std::size_t>(events.size(), 2), 0);
    }
    auto* list = reinterpret_cast<VstEvents*>(FEventList.data());
    auto** slots = reinterpret_cast<VstEvent**>(FEventList.data() +
                                                offsetof(VstEvents, events) / sizeof(VstIntPtr));
    list->numEvents = static_cast<VstInt32>(events.size());
    list->reserved = 0;
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        VstMidiEvent& event = FEventStore[i];
        event = VstMidiEvent{};
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = static_cast<VstInt32>(events[i].Frame - blockStart);
        for (std::size_t b = 0; b < 3; ++b)
        {
            event.midiData[b] = static_cast<char>(events[i].Bytes[b]);
        }
        slots[i] = reinterpret_cast<VstEvent*>(&event);
    }
    Dispatch(effProcessEvents, 0, 0, list);
}

void TVstPlugin::ProcessBlock(const float* const inputs[2], float* const outputs[2],
                              std::int64_t offset, std::int32_t frames)
{
    const auto count = static_cast<std::size_t>(frames);
    const float* left = inputs[0] + offset;
    const float* right = inputs[1] + offset;
    // The effect may write into its inputs, so it gets copies.
    if (FInputBuffers.size() == 1)
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            FInputBuffers[0][i] = 0.5f * (left[i] + right[i]);
        }
    }
    else
    {
        for (std::size_t c = 0; c < FInputBuffers.size(); ++c)
        {
            float* buffer = FInputBuffers[c].data();
            if (c < 2)
            {
                std::copy_n(c == 0 ? left : right, count, buffer);
            }
            else
            {
                std::fill_n(buffer, count, 0.0f);
            }
        }
    }
    const bool replacing =
        (FEffect->flags & effFlagsCanReplacing) != 0 && FEffect->processReplacing != nullptr;
    if (!replacing)
    {
        for (auto& buffer : FOutputBuffers)
        {
            std::fill_n(buffer.data(), count, 0.0f);
        }
    }
    (replacing ? FEffect->processReplacing : FEffect->process)(FEffect, FInputPointers.data(),
                                                               FOutputPointers.data(), frames);

    for (std::size_t c = 0; c < 2; ++c)
    {
        float* out = outputs[c] + offset;
        if (FOutputBuffers.empty())
        {
            std::fill_n(out, count, 0.0f);
        }
        else
        {
            const std::size_t source = std::min(c, FOutputBuffers.size() - 1);
            std::copy_n(FOutputBuffers[source].data(), count, out);
        }
    }
}

VstIntPtr VSTCALL TVstPlugin::HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float opt)
{
    if (opcode == audioMasterVersion)
    {
        return HostVstVersion;
    }
    TVstPlugin* host = effect != nullptr ? reinterpret_cast<TVstPlugin*>(effect->resvd1) : nullptr;
    if (host == nullptr)
    {
        host = tLoading;
    }
    return host != nullptr ? host->Answer(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr TVstPlugin::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) noexcept
{
    const bool ownThread = std::this_thread::get_id() == FOwner;
    switch (opcode)
    {
    case audioMasterAutomate:
        if (ownThread)
        {
            try
            {
                FAutomations.push_back({FPosition, index, opt});
                FTouches.push_back({'a', index});
            }
            catch (...)
            {
                // Out of memory while recording: the report is lost, the change is not.
            }
        }
        return 0;
    case audioMasterWantMidi:
        FWantsMidi = true;
        return 1;
    case audioMasterProcessEvents:
        if (ownThread && ptr != nullptr)
        {
            ReceiveEvents(static_cast<const VstEvents*>(ptr));
        }
        return 1;
    case audioMasterPinConnected:
        // The published answer is inverted: 0 means connected. Both stereo pins are.
        return index < 2 ? 0 : 1;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(FSampleRate);
    case audioMasterGetBlockSize:
        return FMaxBlock;
    case audioMasterWillReplaceOrAccumulate:
        return 1;
    case audioMasterGetCurrentProcessLevel:
        return FStarted ? FProcessLevel : 0;
    case audioMasterGetAutomationState:
        return AutomationOff;
    case audioMasterGetVendorString:
        if (ptr != nullptr)
        {
            CopyText(HostVendor, ptr, kVstMaxVendorStrLen + 1);
        }
        return 1;
    case audioMasterGetProductString:
        if (ptr != nullptr)
        {
            CopyText(HostProduct, ptr, kVstMaxProductStrLen + 1);
        }
        return 1;
    case audioMasterGetVendorVersion:
        return 1;
    case audioMasterCanDo:
        if (ptr != nullptr)
        {
            const std::string_view text = static_cast<const char*>(ptr);
            for (const char* known :
                 {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
            {
                if (text == known)
                {
                    return 1;
                }
            }
        }
        return 0;
    case audioMasterGetLanguage:
        return LanguageEnglish;
    case audioMasterGetDirectory:
        return reinterpret_cast<VstIntPtr>(FDirectory.c_str());
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        if (ownThread)
        {
            try
            {
                FTouches.push_back({opcode == audioMasterBeginEdit ? 'b' : 'e', index});
            }
            catch (...)
            {
                // Out of memory while recording: the report is lost.
            }
        }
        return 1;
    default:
        // Time info, window sizing, file selectors, offline tasks: not offered.
        static_cast<void>(value);
        return 0;
    }
}

void TVstPlugin::ReceiveEvents(const VstEvents* events) noexcept
{
    // Recording grows a vector: the render host runs offline, so this is allowed here.
    try
    {
        auto* const* slots = reinterpret_cast<VstEvent* const*>(
            reinterpret_cast<const std::byte*>(events) + offsetof(VstEvents, events));
        for (VstInt32 i = 0; i < events->numEvents; ++i)
        {
            const VstEvent* event = slots[i];
            if (event == nullptr || event->type != kVstMidiType)
            {
                continue;
            }
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
            TMidiMessage message;
            message.Frame = FPosition + midi->deltaFrames;
            for (std::size_t b = 0; b < 3; ++b)
            {
                message.Bytes[b] = static_cast<std::uint8_t>(midi->midiData[b]);
            }
            FMidiReceived.push_back(message);
        }
    }
    catch (...)
    {
        // Out of memory while recording: the event is lost, the effect is not.
    }
}

} // namespace orvo

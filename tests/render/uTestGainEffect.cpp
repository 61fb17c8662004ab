// A small VST 2 effect written directly against the published records, for testing the
// render host with a module that is not Orvo. Two parameters: "Gain" (-24..+24 dB,
// label "dB") and "Polarity" ("Normal"/"Inverted"); three programs. Every MIDI channel
// message is sent back to the host at its own sample offset (deltaFrames kept), and CC 7
// sets Gain at exactly that sample.
#include "vst2/DAEffect.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace
{

constexpr VstInt32 NumParameters = 2;
constexpr VstInt32 NumPrograms = 3;
constexpr std::size_t QueueSize = 256;
constexpr unsigned char GainController = 7;

struct TProgram
{
    const char* Name;
    float Gain;
    float Polarity;
};
constexpr std::array<TProgram, NumPrograms> Programs{
    {{"Unity", 0.5f, 0.0f}, {"Quiet", 0.25f, 0.0f}, {"Loud", 0.75f, 0.0f}}};

struct TGainEffect
{
    AEffect Record{};
    audioMasterCallback Host = nullptr;
    std::array<float, NumParameters> Values{0.5f, 0.0f};
    VstInt32 Program = 0;
    std::array<VstMidiEvent, QueueSize> Queue{};
    std::size_t Queued = 0;
    VstMidiEvent Thru{};
    VstEvents ThruList{};

    float Gain() const
    {
        const float sign = Values[1] >= 0.5f ? -1.0f : 1.0f;
        return sign * std::pow(10.0f, (Values[0] * 48.0f - 24.0f) / 20.0f);
    }
};

TGainEffect* Self(AEffect* effect)
{
    return static_cast<TGainEffect*>(effect->object);
}

void Copy(void* ptr, const char* text)
{
    std::strcpy(static_cast<char*>(ptr), text);
}

VstIntPtr VSTCALL Dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                             void* ptr, float)
{
    TGainEffect* self = Self(effect);
    switch (opcode)
    {
    case effClose:
        delete self;
        return 1;
    case effSetProgram:
        if (value >= 0 && value < NumPrograms)
        {
            self->Program = static_cast<VstInt32>(value);
            self->Values = {Programs[self->Program].Gain, Programs[self->Program].Polarity};
        }
        return 0;
    case effGetProgram:
        return self->Program;
    case effGetProgramName:
        Copy(ptr, Programs[self->Program].Name);
        return 0;
    case effGetProgramNameIndexed:
        if (index < 0 || index >= NumPrograms)
        {
            return 0;
        }
        Copy(ptr, Programs[index].Name);
        return 1;
    case effGetParamName:
        Copy(ptr, index == 0 ? "Gain" : index == 1 ? "Polarity" : "");
        return 0;
    case effGetParamLabel:
        Copy(ptr, index == 0 ? "dB" : "");
        return 0;
    case effGetParamDisplay:
        if (index == 0)
        {
            std::snprintf(static_cast<char*>(ptr), 16, "%.2f", self->Values[0] * 48.0 - 24.0);
        }
        else if (index == 1)
        {
            Copy(ptr, self->Values[1] >= 0.5f ? "Inverted" : "Normal");
        }
        return 0;
    case effProcessEvents:
    {
        const auto* events = static_cast<const VstEvents*>(ptr);
        auto* const* slots = reinterpret_cast<VstEvent* const*>(
            reinterpret_cast<const char*>(events) + offsetof(VstEvents, events));
        for (VstInt32 i = 0; i < events->numEvents && self->Queued < QueueSize; ++i)
        {
            if (slots[i]->type == kVstMidiType)
            {
                std::memcpy(&self->Queue[self->Queued++], slots[i], sizeof(VstMidiEvent));
            }
        }
        return 1;
    }
    case effGetEffectName:
        Copy(ptr, "Test Gain");
        return 1;
    case effGetVendorString:
        Copy(ptr, "Orvo tests");
        return 1;
    case effCanDo:
        return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? 1 : -1;
    case effMainsChanged:
        if (value != 0)
        {
            self->Host(effect, audioMasterWantMidi, 0, 1, nullptr, 0.0f);
        }
        return 0;
    default:
        return 0;
    }
}

void VSTCALL SetParameter(AEffect* effect, VstInt32 index, float value)
{
    if (index >= 0 && index < NumParameters)
    {
        Self(effect)->Values[static_cast<std::size_t>(index)] = value;
    }
}

float VSTCALL GetParameter(AEffect* effect, VstInt32 index)
{
    return index >= 0 && index < NumParameters
               ? Self(effect)->Values[static_cast<std::size_t>(index)]
               : 0.0f;
}

/// Handles the queued events due at offset: thru to the host, CC 7 sets Gain.
void Dispatch(TGainEffect* self, VstInt32 offset)
{
    for (std::size_t i = 0; i < self->Queued; ++i)
    {
        VstMidiEvent& event = self->Queue[i];
        if (event.deltaFrames != offset)
        {
            continue;
        }
        self->Thru = event;
        self->ThruList.numEvents = 1;
        self->ThruList.events[0] = reinterpret_cast<VstEvent*>(&self->Thru);
        self->Host(&self->Record, audioMasterProcessEvents, 0, 0, &self->ThruList, 0.0f);
        const auto status = static_cast<unsigned char>(event.midiData[0]);
        if ((status & 0xF0) == 0xB0 && event.midiData[1] == GainController)
        {
            const float value = static_cast<float>(event.midiData[2]) / 127.0f;
            self->Values[0] = value;
            self->Host(&self->Record, audioMasterAutomate, 0, 0, nullptr, value);
        }
    }
}

template <bool Accumulate>
void Process(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    TGainEffect* self = Self(effect);
    for (VstInt32 i = 0; i < frames; ++i)
    {
        Dispatch(self, i);
        const float gain = self->Gain();
        for (int c = 0; c < 2; ++c)
        {
            const float out = inputs[c][i] * gain;
            outputs[c][i] = Accumulate ? outputs[c][i] + out : out;
        }
    }
    self->Queued = 0;
}

void VSTCALL ProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    Process<false>(effect, inputs, outputs, frames);
}

void VSTCALL ProcessAccumulating(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    Process<true>(effect, inputs, outputs, frames);
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host)
{
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
    {
        return nullptr;
    }
    auto* self = new (std::nothrow) TGainEffect();
    if (self == nullptr)
    {
        return nullptr;
    }
    AEffect& record = self->Record;
    self->Host = host;
    record.magic = kEffectMagic;
    record.dispatcher = Dispatcher;
    record.process = ProcessAccumulating;
    record.setParameter = SetParameter;
    record.getParameter = GetParameter;
    record.processReplacing = ProcessReplacing;
    record.numPrograms = NumPrograms;
    record.numParams = NumParameters;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = effFlagsCanReplacing;
    record.ioRatio = 1.0f;
    record.object = self;
    record.uniqueID = fourCharCode('T', 'g', 'a', 'n');
    record.version = 1;
    return &record;
}

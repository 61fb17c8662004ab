// A small effect and editor for driving the framework through the record. Each logs the
// operations the framework reaches, with their arguments, into a log that outlives them.
#pragma once

#include "vst2/AEffEditor.h"
#include "vst2/DAudioEffectX.h"
#include "vst2/uHostText.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace orvo::test
{

struct TCallLog
{
    std::vector<std::string> Calls;
    int EffectsDestroyed = 0;
    int EditorsDestroyed = 0;

    void Add(std::string call) { Calls.push_back(std::move(call)); }
    bool Has(const std::string& call) const
    {
        for (const std::string& entry : Calls)
        {
            if (entry == call)
            {
                return true;
            }
        }
        return false;
    }
};

inline std::string Args(std::initializer_list<long long> values)
{
    std::string text;
    for (long long value : values)
    {
        text += ' ' + std::to_string(value);
    }
    return text;
}

class TTestEditor : public AEffEditor
{
  public:
    TTestEditor(AudioEffect* owner, TCallLog& log) : AEffEditor(owner), FLog(log) {}
    ~TTestEditor() override { ++FLog.EditorsDestroyed; }

    bool getRect(ERect** rect) override
    {
        FRectSeen = *rect;
        *rect = &FRect;
        return true;
    }
    bool open(void* ptr) override
    {
        if (FThrowOnOpen)
        {
            throw std::runtime_error("no window");
        }
        FLog.Add("editor open");
        return AEffEditor::open(ptr) || ptr != nullptr;
    }
    void close() override { FLog.Add("editor close"); }
    void idle() override { FLog.Add("editor idle"); }
    bool onKeyDown(VstKeyCode& key) override
    {
        FLog.Add("keyDown" + Args({key.character, key.virt, key.modifier}));
        return true;
    }
    bool onKeyUp(VstKeyCode& key) override
    {
        FLog.Add("keyUp" + Args({key.character, key.virt, key.modifier}));
        return false;
    }
    bool setKnobMode(VstInt32 mode) override
    {
        FLog.Add("knobMode" + Args({mode}));
        return true;
    }

    ERect FRect{0, 0, 300, 700};
    ERect* FRectSeen = nullptr;
    bool FThrowOnOpen = false;

  private:
    TCallLog& FLog;
};

class TTestEffect : public AudioEffectX
{
  public:
    TTestEffect(audioMasterCallback host, TCallLog& log, VstInt32 programCount = 16)
        : AudioEffectX(host, programCount, 4), FLog(log)
    {
    }
    ~TTestEffect() override { ++FLog.EffectsDestroyed; }

    using AudioEffect::callHost;

    void open() noexcept override { FLog.Add("open"); }
    void close() noexcept override { FLog.Add("close"); }
    void suspend() noexcept override { FLog.Add("suspend"); }
    void resume() noexcept override
    {
        FLog.Add("resume");
        AudioEffectX::resume();
    }
    void processReplacing(float** /*inputs*/, float** outputs,
                          VstInt32 sampleFrames) noexcept override
    {
        for (VstInt32 i = 0; i < sampleFrames; ++i)
        {
            outputs[0][i] = 1.0f;
        }
    }
    void setParameter(VstInt32 index, float value) noexcept override
    {
        FLog.Add("setParameter" + Args({index}) + " " + std::to_string(value));
    }
    float getParameter(VstInt32 index) noexcept override { return 0.25f * float(index); }
    void setProgram(VstInt32 program) noexcept override
    {
        FLog.Add("setProgram" + Args({program}));
        AudioEffectX::setProgram(program);
    }
    void setSampleRate(float rate) noexcept override
    {
        FLog.Add("setSampleRate " + std::to_string(rate));
        AudioEffectX::setSampleRate(rate);
    }
    void getParameterName(VstInt32 index, char* text) noexcept override
    {
        copyHostText(text, "Param" + std::to_string(index), kVstMaxParamStrLen + 1);
    }
    VstInt32 getChunk(void** data, bool isPreset) noexcept override
    {
        FLog.Add("getChunk" + Args({data != nullptr, isPreset}));
        return 0;
    }
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) noexcept override
    {
        FLog.Add("setChunk" + Args({data != nullptr, byteSize, isPreset}));
        return 7;
    }
    float getVu() noexcept override { return FVu; }
    VstInt32 processEvents(VstEvents* events) noexcept override
    {
        FLog.Add("processEvents" + Args({events ? events->numEvents : -1}));
        return 1;
    }
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) noexcept override
    {
        FLog.Add("getProgramNameIndexed" + Args({category, index}));
        return copyHostText(text, "Prog", kVstMaxProgNameLen + 1) > 0;
    }
    void inputConnected(VstInt32 index, bool state) noexcept override
    {
        FLog.Add("inputConnected" + Args({index, state}));
    }
    bool offlineNotify(VstAudioFile* ptr, VstInt32 count, bool start) noexcept override
    {
        FLog.Add("offlineNotify" + Args({ptr != nullptr, count, start}));
        return true;
    }
    bool setSpeakerArrangement(VstSpeakerArrangement* input,
                               VstSpeakerArrangement* output) noexcept override
    {
        FLog.Add("setSpeakerArrangement" +
                 Args({input ? input->numChannels : -1, output ? output->numChannels : -1}));
        return true;
    }
    bool setPanLaw(VstInt32 type, float value) noexcept override
    {
        FLog.Add("setPanLaw" + Args({type}) + " " + std::to_string(value));
        return true;
    }
    bool setBypass(bool onOff) noexcept override
    {
        FLog.Add("setBypass" + Args({onOff}));
        return false;
    }
    VstInt32 canDo(char* text) noexcept override
    {
        return std::string(text) == "receiveVstMidiEvent" && FReceivesMidi ? 1 : -1;
    }
    bool keysRequired() noexcept override { return FKeysRequired; }

    float FVu = 0.0f;
    bool FReceivesMidi = true;
    bool FKeysRequired = false;

  private:
    TCallLog& FLog;
};

} // namespace orvo::test

// AudioEffect: the base effect object. It embeds the AEffect record that the host holds,
// routes the record's static functions to virtual operations, decodes opcodes 0..24 and
// wraps the host callback. Every operation has a framework default; effects override some.
#pragma once

#include "vst2/DAEffect.h"

#include <atomic>

namespace orvo
{

class AEffEditor;

class AudioEffect
{
  public:
    /// Fills the record: the host callback, the program and parameter counts, the static
    /// functions, the default identity ("NoEf", 1 input, 2 outputs, replacing processing).
    AudioEffect(audioMasterCallback host, VstInt32 programCount, VstInt32 paramCount);
    /// Destroys the installed editor object, if any.
    virtual ~AudioEffect();

    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    // Virtual operations, in the order of their slots.
    virtual void setSampleRate(float newSampleRate) noexcept;
    virtual void setBlockSize(VstInt32 newBlockSize) noexcept;
    /// Opcodes 0..24; every other opcode answers 0.
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) noexcept;
    virtual void open() noexcept;
    virtual void close() noexcept;
    virtual void suspend() noexcept;
    virtual void resume() noexcept;
    /// Replaces outputs[0..1][0..sampleFrames-1]; runs on the host's processing thread.
    virtual void processReplacing(float** inputs, float** outputs,
                                  VstInt32 sampleFrames) noexcept = 0;
    virtual void processDoubleReplacing(double** inputs, double** outputs,
                                        VstInt32 sampleFrames) noexcept;
    virtual void setParameter(VstInt32 index, float value) noexcept;
    virtual float getParameter(VstInt32 index) noexcept;
    /// setParameter, then tells the host (audioMasterAutomate).
    virtual void setParameterAutomated(VstInt32 index, float value) noexcept;
    virtual VstInt32 getProgram() noexcept;
    virtual void setProgram(VstInt32 program) noexcept;
    virtual void setProgramName(char* name) noexcept;
    virtual void getProgramName(char* name) noexcept;
    virtual void getParameterLabel(VstInt32 index, char* label) noexcept;
    virtual void getParameterDisplay(VstInt32 index, char* text) noexcept;
    virtual void getParameterName(VstInt32 index, char* text) noexcept;
    virtual VstInt32 getChunk(void** data, bool isPreset = false) noexcept;
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) noexcept;
    virtual void setUniqueID(VstInt32 iD) noexcept;
    virtual void setNumInputs(VstInt32 inputs) noexcept;
    virtual void setNumOutputs(VstInt32 outputs) noexcept;
    virtual void canProcessReplacing(bool state = true) noexcept;
    virtual void canDoubleReplacing(bool state = true) noexcept;
    virtual void programsAreChunks(bool state = true) noexcept;
    virtual void setInitialDelay(VstInt32 delay) noexcept;
    /// The host's VST version; 1 when the host answers 0 or there is no host.
    virtual VstInt32 getMasterVersion() noexcept;
    virtual VstInt32 getCurrentUniqueId() noexcept;
    virtual void masterIdle() noexcept;
    /// Accumulating processing: adds to outputs.
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept;
    virtual float getVu() noexcept;
    virtual void hasVu(bool state = true) noexcept;
    virtual void hasClip(bool state = true) noexcept;
    virtual void canMono(bool state = true) noexcept;
    virtual void setRealtimeQualities(VstInt32 qualities) noexcept;
    virtual void setOfflineQualities(VstInt32 qualities) noexcept;
    virtual bool isInputConnected(VstInt32 input) noexcept;
    virtual bool isOutputConnected(VstInt32 output) noexcept;

    /// Installs (and owns) the editor object; sets effFlagsHasEditor when it is not null,
    /// clears it otherwise. A previously installed editor is not destroyed here.
    void setEditor(AEffEditor* newEditor) noexcept;
    AEffEditor* getEditor() const noexcept { return editor; }
    /// The record the host holds; its address is what the entry returns.
    AEffect* getAeffect() noexcept { return &cEffect; }

  protected:
    /// Calls the host with this record; answers fallback when there is no callback.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f, VstIntPtr fallback = 0) noexcept;
    /// Sets or clears one effFlags* bit of the record.
    void setFlag(VstInt32 flag, bool state) noexcept;

    audioMasterCallback audioMaster;
    AEffect cEffect;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    /// Written by program selection on the host's thread, read on any thread.
    std::atomic<VstInt32> curProgram{0};
};

} // namespace orvo

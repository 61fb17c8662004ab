#include "vst2/DAudioEffect.h"

#include "vst2/AEffEditor.h"
#include "vst2/uHostRounding.h"

#include <cstdint>
#include <cstring>

namespace orvo
{

namespace
{

constexpr VstInt32 BaseUniqueID = fourCharCode('N', 'o', 'E', 'f');
constexpr VstInt32 IdentifyAnswer = fourCharCode('N', 'v', 'E', 'f');
constexpr VstInt32 LastBaseOpcode = effSetChunk;
constexpr double VuScale = 32767.0;

AudioEffect* effectOf(AEffect* record) noexcept
{
    return record ? static_cast<AudioEffect*>(record->object) : nullptr;
}

// The record's static functions: each forwards to the object stored in the record.

VstIntPtr VSTCALL recordDispatcher(AEffect* record, VstInt32 opcode, VstInt32 index,
                                   VstIntPtr value, void* ptr, float opt) noexcept
{
    AudioEffect* effect = effectOf(record);
    if (!effect)
    {
        return 0;
    }
    const VstIntPtr result = effect->dispatcher(opcode, index, value, ptr, opt);
    if (opcode == effClose)
    {
        // The record lives inside the object: it is gone after this.
        delete effect;
        return 1;
    }
    return result;
}

void VSTCALL recordProcess(AEffect* record, float** inputs, float** outputs,
                           VstInt32 sampleFrames) noexcept
{
    if (AudioEffect* effect = effectOf(record))
    {
        effect->process(inputs, outputs, sampleFrames);
    }
}

void VSTCALL recordProcessReplacing(AEffect* record, float** inputs, float** outputs,
                                    VstInt32 sampleFrames) noexcept
{
    if (AudioEffect* effect = effectOf(record))
    {
        effect->processReplacing(inputs, outputs, sampleFrames);
    }
}

void VSTCALL recordProcessDoubleReplacing(AEffect* record, double** inputs, double** outputs,
                                          VstInt32 sampleFrames) noexcept
{
    if (AudioEffect* effect = effectOf(record))
    {
        effect->processDoubleReplacing(inputs, outputs, sampleFrames);
    }
}

void VSTCALL recordSetParameter(AEffect* record, VstInt32 index, float value) noexcept
{
    if (AudioEffect* effect = effectOf(record))
    {
        effect->setParameter(index, value);
    }
}

float VSTCALL recordGetParameter(AEffect* record, VstInt32 index) noexcept
{
    AudioEffect* effect = effectOf(record);
    return effect ? effect->getParameter(index) : 0.0f;
}

// Writes an empty text into a host buffer that may be null.
void clearText(char* text) noexcept
{
    if (text)
    {
        text[0] = '\0';
    }
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback host, VstInt32 programCount, VstInt32 paramCount)
    : audioMaster(host), numPrograms(programCount), numParams(paramCount)
{
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = recordDispatcher;
    cEffect.process = recordProcess;
    cEffect.setParameter = recordSetParameter;
    cEffect.getParameter = recordGetParameter;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = BaseUniqueID;
    cEffect.version = 1;
    cEffect.processReplacing = recordProcessReplacing;
    canProcessReplacing();
    cEffect.processDoubleReplacing = recordProcessDoubleReplacing;
}

AudioEffect::~AudioEffect()
{
    delete editor;
    editor = nullptr;
}

void AudioEffect::setSampleRate(float newSampleRate) noexcept
{
    sampleRate = newSampleRate;
}

void AudioEffect::setBlockSize(VstInt32 newBlockSize) noexcept
{
    blockSize = newBlockSize;
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) noexcept
{
    if (opcode < 0 || opcode > LastBaseOpcode)
    {
        return 0;
    }
    auto* text = static_cast<char*>(ptr);
    switch (opcode)
    {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        // Values beyond the 32-bit range are ignored rather than truncated into a valid index.
        if (value < numPrograms && value >= INT32_MIN)
        {
            setProgram(static_cast<VstInt32>(value));
        }
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (text)
        {
            setProgramName(text);
        }
        return 0;
    case effGetProgramName:
        if (text)
        {
            getProgramName(text);
        }
        return 0;
    case effGetParamLabel:
        if (text)
        {
            getParameterLabel(index, text);
        }
        return 0;
    case effGetParamDisplay:
        if (text)
        {
            getParameterDisplay(index, text);
        }
        return 0;
    case effGetParamName:
        if (text)
        {
            getParameterName(index, text);
        }
        return 0;
    case effGetVu:
        return roundToInt32(static_cast<double>(getVu()) * VuScale);
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
        {
            suspend();
        }
        else
        {
            resume();
        }
        return 0;
    case effIdentify:
        return IdentifyAnswer;
    case effGetChunk:
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
        break;
    }

    // Editor opcodes: 0 without an editor. The editor may throw (a window that cannot be
    // created); no exception may cross into the host, so it becomes the answer 0.
    if (!editor)
    {
        return 0;
    }
    try
    {
        switch (opcode)
        {
        case effEditGetRect:
        {
            if (!ptr)
            {
                return 0;
            }
            auto** hostRect = static_cast<ERect**>(ptr);
            ERect* rect = *hostRect;
            const bool answer = editor->getRect(&rect);
            *hostRect = rect;
            return answer ? 1 : 0;
        }
        case effEditOpen:
            return editor->open(ptr) ? 1 : 0;
        case effEditClose:
            editor->close();
            return 0;
        case effEditIdle:
            editor->idle();
            return 0;
        default:
            return 0; // draw, mouse, key, top, sleep: nothing
        }
    }
    catch (...)
    {
        return 0;
    }
}

void AudioEffect::open() noexcept
{
}

void AudioEffect::close() noexcept
{
}

void AudioEffect::suspend() noexcept
{
}

void AudioEffect::resume() noexcept
{
}

void AudioEffect::processDoubleReplacing(double** /*inputs*/, double** /*outputs*/,
                                         VstInt32 /*sampleFrames*/) noexcept
{
}

void AudioEffect::setParameter(VstInt32 /*index*/, float /*value*/) noexcept
{
}

float AudioEffect::getParameter(VstInt32 /*index*/) noexcept
{
    return 0.0f;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) noexcept
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getProgram() noexcept
{
    return curProgram.load();
}

void AudioEffect::setProgram(VstInt32 program) noexcept
{
    curProgram.store(program);
}

void AudioEffect::setProgramName(char* /*name*/) noexcept
{
}

void AudioEffect::getProgramName(char* name) noexcept
{
    clearText(name);
}

void AudioEffect::getParameterLabel(VstInt32 /*index*/, char* label) noexcept
{
    clearText(label);
}

void AudioEffect::getParameterDisplay(VstInt32 /*index*/, char* text) noexcept
{
    clearText(text);
}

void AudioEffect::getParameterName(VstInt32 /*index*/, char* text) noexcept
{
    clearText(text);
}

VstInt32 AudioEffect::getChunk(void** /*data*/, bool /*isPreset*/) noexcept
{
    return 0;
}

VstInt32 AudioEffect::setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/) noexcept
{
    return 0;
}

void AudioEffect::setUniqueID(VstInt32 iD) noexcept
{
    cEffect.uniqueID = iD;
}

void AudioEffect::setNumInputs(VstInt32 inputs) noexcept
{
    cEffect.numInputs = inputs;
}

void AudioEffect::setNumOutputs(VstInt32 outputs) noexcept
{
    cEffect.numOutputs = outputs;
}

void AudioEffect::canProcessReplacing(bool state) noexcept
{
    setFlag(effFlagsCanReplacing, state);
}

void AudioEffect::canDoubleReplacing(bool state) noexcept
{
    setFlag(effFlagsCanDoubleReplacing, state);
}

void AudioEffect::programsAreChunks(bool state) noexcept
{
    setFlag(effFlagsProgramChunks, state);
}

void AudioEffect::setInitialDelay(VstInt32 delay) noexcept
{
    cEffect.initialDelay = delay;
}

VstInt32 AudioEffect::getMasterVersion() noexcept
{
    const VstIntPtr version = callHost(audioMasterVersion);
    return version == 0 ? 1 : static_cast<VstInt32>(version);
}

VstInt32 AudioEffect::getCurrentUniqueId() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() noexcept
{
    callHost(audioMasterIdle);
}

void AudioEffect::process(float** /*inputs*/, float** /*outputs*/,
                          VstInt32 /*sampleFrames*/) noexcept
{
}

float AudioEffect::getVu() noexcept
{
    return 0.0f;
}

void AudioEffect::hasVu(bool state) noexcept
{
    setFlag(effFlagsHasVu, state);
}

void AudioEffect::hasClip(bool state) noexcept
{
    setFlag(effFlagsHasClip, state);
}

void AudioEffect::canMono(bool state) noexcept
{
    setFlag(effFlagsCanMono, state);
}

void AudioEffect::setRealtimeQualities(VstInt32 qualities) noexcept
{
    cEffect.realQualities = qualities;
}

void AudioEffect::setOfflineQualities(VstInt32 qualities) noexcept
{
    cEffect.offQualities = qualities;
}

bool AudioEffect::isInputConnected(VstInt32 input) noexcept
{
    // The host answers 0 for a connected pin.
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) noexcept
{
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::setEditor(AEffEditor* newEditor) noexcept
{
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt, VstIntPtr fallback) noexcept
{
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : fallback;
}

void AudioEffect::setFlag(VstInt32 flag, bool state) noexcept
{
    if (state)
    {
        cEffect.flags |= flag;
    }
    else
    {
        cEffect.flags &= ~flag;
    }
}

} // namespace orvo

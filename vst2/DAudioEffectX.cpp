#include "vst2/DAudioEffectX.h"

#include "vst2/AEffEditor.h"
#include "vst2/uHostRounding.h"

#include <cstdlib>
#include <cstring>

namespace orvo
{

namespace
{

constexpr VstInt32 FirstExtendedOpcode = effProcessEvents;
constexpr VstInt32 LastExtendedOpcode = effGetNumMidiOutputChannels;
constexpr VstInt32 FrameworkVstVersion = 2400;

// A speaker arrangement record: 8 bytes of header, then 112 bytes per speaker.
constexpr std::size_t ArrangementHeaderSize = offsetof(VstSpeakerArrangement, speakers);
// More channels than any speaker layout has; keeps the size computation far from overflow.
constexpr VstInt32 MaxArrangementChannels = 4096;

VstIntPtr answerOf(bool state) noexcept
{
    return state ? 1 : 0;
}

} // namespace

VstSpeakerProperties* arrangementSpeaker(VstSpeakerArrangement* arrangement,
                                         VstInt32 index) noexcept
{
    // Addressed from the record's start: the speakers may run past the declared array.
    return reinterpret_cast<VstSpeakerProperties*>(
        reinterpret_cast<char*>(arrangement) + ArrangementHeaderSize +
        sizeof(VstSpeakerProperties) * static_cast<std::size_t>(index));
}

AudioEffectX::AudioEffectX(audioMasterCallback host, VstInt32 programCount, VstInt32 paramCount)
    : AudioEffect(host, programCount, paramCount)
{
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) noexcept
{
    if (opcode < FirstExtendedOpcode || opcode > LastExtendedOpcode)
    {
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
    auto* text = static_cast<char*>(ptr);
    switch (opcode)
    {
    case effProcessEvents:
        return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
        return answerOf(canParameterBeAutomated(index));
    case effString2Parameter:
        return answerOf(string2parameter(index, text));
    case effGetNumProgramCategories:
        return getNumCategories();
    case effGetProgramNameIndexed:
        return text ? answerOf(getProgramNameIndexed(static_cast<VstInt32>(value), index, text))
                    : 0;
    case effCopyProgram:
        return answerOf(copyProgram(index));
    case effConnectInput:
        inputConnected(index, value != 0);
        return 1;
    case effConnectOutput:
        outputConnected(index, value != 0);
        return 1;
    case effGetInputProperties:
        return ptr ? answerOf(getInputProperties(index, static_cast<VstPinProperties*>(ptr))) : 0;
    case effGetOutputProperties:
        return ptr ? answerOf(getOutputProperties(index, static_cast<VstPinProperties*>(ptr))) : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetCurrentPosition:
        return reportCurrentPosition();
    case effGetDestinationBuffer:
        return reinterpret_cast<VstIntPtr>(reportDestinationBuffer());
    case effOfflineNotify:
        return answerOf(offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<VstInt32>(value),
                                      index != 0));
    case effOfflinePrepare:
        return answerOf(
            offlinePrepare(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)));
    case effOfflineRun:
        return answerOf(
            offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)));
    case effProcessVarIo:
        return answerOf(processVariableIo(static_cast<VstVariableIo*>(ptr)));
    case effSetSpeakerArrangement:
        return answerOf(setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                              static_cast<VstSpeakerArrangement*>(ptr)));
    case effSetBlockSizeAndSampleRate:
        setBlockSizeAndSampleRate(static_cast<VstInt32>(value), opt);
        return 1;
    case effSetBypass:
        return answerOf(setBypass(value != 0));
    case effGetEffectName:
        return text ? answerOf(getEffectName(text)) : 0;
    case effGetErrorText:
        return text ? answerOf(getErrorText(text)) : 0;
    case effGetVendorString:
        return text ? answerOf(getVendorString(text)) : 0;
    case effGetProductString:
        return text ? answerOf(getProductString(text)) : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return text ? canDo(text) : 0;
    case effGetTailSize:
        return getGetTailSize();
    case effIdle:
        fxIdle();
        return 0;
    case effGetIcon:
        return reinterpret_cast<VstIntPtr>(getIcon());
    case effSetViewPosition:
        return answerOf(setViewPosition(index, static_cast<VstInt32>(value)));
    case effGetParameterProperties:
        return ptr ? answerOf(
                         getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)))
                   : 0;
    case effKeysRequired:
        return answerOf(!keysRequired());
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
    case effSetEditKnobMode:
        break; // editor opcodes, below
    case effGetMidiProgramName:
        return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged:
        return answerOf(hasMidiProgramsChanged(index));
    case effGetMidiKeyName:
        return answerOf(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
    case effBeginSetProgram:
        return answerOf(beginSetProgram());
    case effEndSetProgram:
        return answerOf(endSetProgram());
    case effGetSpeakerArrangement:
        return answerOf(getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                              static_cast<VstSpeakerArrangement**>(ptr)));
    case effShellGetNextPlugin:
        return text ? getNextShellPlugin(text) : 0;
    case effStartProcess:
        return startProcess();
    case effStopProcess:
        return stopProcess();
    case effSetTotalSampleToProcess:
        return setTotalSampleToProcess(static_cast<VstInt32>(value));
    case effSetPanLaw:
        return answerOf(setPanLaw(static_cast<VstInt32>(value), opt));
    case effBeginLoadBank:
        return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram:
        return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision:
        return answerOf(setProcessPrecision(static_cast<VstInt32>(value)));
    case effGetNumMidiInputChannels:
        return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
        return getNumMidiOutputChannels();
    default:
        return 0;
    }

    // Editor opcodes: 0 without an editor; an exception from the editor becomes 0.
    if (!editor)
    {
        return 0;
    }
    try
    {
        if (opcode == effSetEditKnobMode)
        {
            return answerOf(editor->setKnobMode(static_cast<VstInt32>(value)));
        }
        VstKeyCode key{};
        key.character = index;
        key.virt = static_cast<unsigned char>(static_cast<std::uintptr_t>(value) & 0xFF);
        key.modifier = roundedLowByte(static_cast<double>(opt));
        return answerOf(opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key));
    }
    catch (...)
    {
        return 0;
    }
}

void AudioEffectX::resume() noexcept
{
    char receiveMidi[] = "receiveVstMidiEvent";
    if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo(receiveMidi) == 1)
    {
        wantEvents(1);
    }
    AudioEffect::resume();
}

bool AudioEffectX::canParameterBeAutomated(VstInt32 /*index*/) noexcept
{
    return true;
}

bool AudioEffectX::string2parameter(VstInt32 /*index*/, char* /*text*/) noexcept
{
    return false;
}

bool AudioEffectX::getParameterProperties(VstInt32 /*index*/,
                                          VstParameterProperties* /*p*/) noexcept
{
    return false;
}

bool AudioEffectX::beginEdit(VstInt32 index) noexcept
{
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index) noexcept
{
    return callHost(audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/,
                                         char* /*text*/) noexcept
{
    return false;
}

bool AudioEffectX::beginSetProgram() noexcept
{
    return false;
}

bool AudioEffectX::endSetProgram() noexcept
{
    return false;
}

VstInt32 AudioEffectX::beginLoadBank(VstPatchChunkInfo* /*ptr*/) noexcept
{
    return 0;
}

VstInt32 AudioEffectX::beginLoadProgram(VstPatchChunkInfo* /*ptr*/) noexcept
{
    return 0;
}

bool AudioEffectX::ioChanged() noexcept
{
    return callHost(audioMasterIOChanged) != 0;
}

double AudioEffectX::updateSampleRate() noexcept
{
    const VstIntPtr rate = callHost(audioMasterGetSampleRate);
    if (rate > 0)
    {
        sampleRate = static_cast<float>(rate);
    }
    return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() noexcept
{
    const VstIntPtr size = callHost(audioMasterGetBlockSize);
    if (size > 0 && size <= INT32_MAX)
    {
        blockSize = static_cast<VstInt32>(size);
    }
    return blockSize;
}

VstInt32 AudioEffectX::getInputLatency() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterGetInputLatency));
}

VstInt32 AudioEffectX::getOutputLatency() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

bool AudioEffectX::getInputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) noexcept
{
    return false;
}

bool AudioEffectX::getOutputProperties(VstInt32 /*index*/,
                                       VstPinProperties* /*properties*/) noexcept
{
    return false;
}

bool AudioEffectX::setSpeakerArrangement(VstSpeakerArrangement* /*pluginInput*/,
                                         VstSpeakerArrangement* /*pluginOutput*/) noexcept
{
    return false;
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                         VstSpeakerArrangement** pluginOutput) noexcept
{
    // A host may pass null for either out pointer; only real ones are written.
    if (pluginInput)
    {
        *pluginInput = nullptr;
    }
    if (pluginOutput)
    {
        *pluginOutput = nullptr;
    }
    return false;
}

bool AudioEffectX::setBypass(bool /*onOff*/) noexcept
{
    return false;
}

bool AudioEffectX::setPanLaw(VstInt32 /*type*/, float /*val*/) noexcept
{
    return false;
}

bool AudioEffectX::setProcessPrecision(VstInt32 /*precision*/) noexcept
{
    return false;
}

VstInt32 AudioEffectX::getNumMidiInputChannels() noexcept
{
    return 0;
}

VstInt32 AudioEffectX::getNumMidiOutputChannels() noexcept
{
    return 0;
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) noexcept
{
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::getCurrentProcessLevel() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::processEvents(VstEvents* /*events*/) noexcept
{
    return 0;
}

bool AudioEffectX::sendVstEventsToHost(VstEvents* events) noexcept
{
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

VstInt32 AudioEffectX::startProcess() noexcept
{
    return 0;
}

VstInt32 AudioEffectX::stopProcess() noexcept
{
    return 0;
}

bool AudioEffectX::processVariableIo(VstVariableIo* /*varIo*/) noexcept
{
    return false;
}

VstInt32 AudioEffectX::setTotalSampleToProcess(VstInt32 value) noexcept
{
    return value;
}

bool AudioEffectX::getHostVendorString(char* text) noexcept
{
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text) noexcept
{
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 lArg1, VstIntPtr lArg2, void* ptrArg,
                                           float floatArg) noexcept
{
    return callHost(audioMasterVendorSpecific, lArg1, lArg2, ptrArg, floatArg);
}

VstInt32 AudioEffectX::canHostDo(char* text) noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterCanDo, 0, 0, text));
}

void AudioEffectX::isSynth(bool state) noexcept
{
    setFlag(effFlagsIsSynth, state);
}

void AudioEffectX::noTail(bool state) noexcept
{
    setFlag(effFlagsNoSoundInStop, state);
}

VstInt32 AudioEffectX::getGetTailSize() noexcept
{
    return 0;
}

void* AudioEffectX::getDirectory() noexcept
{
    return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

bool AudioEffectX::getEffectName(char* /*name*/) noexcept
{
    return false;
}

bool AudioEffectX::getVendorString(char* /*text*/) noexcept
{
    return false;
}

bool AudioEffectX::getProductString(char* text) noexcept
{
    if (text)
    {
        text[0] = '\0';
    }
    return false;
}

VstInt32 AudioEffectX::getVendorVersion() noexcept
{
    return 0;
}

VstIntPtr AudioEffectX::vendorSpecific(VstInt32 /*lArg*/, VstIntPtr /*lArg2*/, void* /*ptrArg*/,
                                       float /*floatArg*/) noexcept
{
    return 0;
}

VstInt32 AudioEffectX::canDo(char* /*text*/) noexcept
{
    return 0;
}

VstInt32 AudioEffectX::getVstVersion() noexcept
{
    return FrameworkVstVersion;
}

VstPlugCategory AudioEffectX::getPlugCategory() noexcept
{
    return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

VstInt32 AudioEffectX::getMidiProgramName(VstInt32 /*channel*/,
                                          MidiProgramName* /*midiProgramName*/) noexcept
{
    return 0;
}

VstInt32 AudioEffectX::getCurrentMidiProgram(VstInt32 /*channel*/,
                                             MidiProgramName* /*currentProgram*/) noexcept
{
    return -1;
}

VstInt32 AudioEffectX::getMidiProgramCategory(VstInt32 /*channel*/,
                                              MidiProgramCategory* /*category*/) noexcept
{
    return 0;
}

bool AudioEffectX::hasMidiProgramsChanged(VstInt32 /*channel*/) noexcept
{
    return false;
}

bool AudioEffectX::getMidiKeyName(VstInt32 /*channel*/, MidiKeyName* /*keyName*/) noexcept
{
    return false;
}

bool AudioEffectX::updateDisplay() noexcept
{
    return callHost(audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) noexcept
{
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::openFileSelector(VstFileSelect* ptr) noexcept
{
    return ptr && callHost(audioMasterOpenFileSelector, 0, 0, ptr) != 0;
}

bool AudioEffectX::closeFileSelector(VstFileSelect* ptr) noexcept
{
    return ptr && callHost(audioMasterCloseFileSelector, 0, 0, ptr) != 0;
}

VstInt32 AudioEffectX::getNextShellPlugin(char* name) noexcept
{
    if (name)
    {
        name[0] = '\0';
    }
    return 0;
}

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement,
                                       VstInt32 nbChannels) noexcept
{
    if (!arrangement || nbChannels < 0 || nbChannels > MaxArrangementChannels)
    {
        return false;
    }
    deallocateArrangement(arrangement);
    // Never smaller than the declared record (8 speakers), so copying it whole stays in bounds.
    const std::size_t size =
        ArrangementHeaderSize + sizeof(VstSpeakerProperties) * static_cast<std::size_t>(nbChannels);
    void* memory =
        std::calloc(1, size < sizeof(VstSpeakerArrangement) ? sizeof(VstSpeakerArrangement) : size);
    if (!memory)
    {
        return false;
    }
    *arrangement = static_cast<VstSpeakerArrangement*>(memory);
    (*arrangement)->numChannels = nbChannels;
    return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) noexcept
{
    if (!arrangement)
    {
        return false;
    }
    std::free(*arrangement);
    *arrangement = nullptr;
    return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) noexcept
{
    if (!to || !from)
    {
        return false;
    }
    std::memcpy(to, from, sizeof(VstSpeakerProperties));
    return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to,
                                    VstSpeakerArrangement* from) noexcept
{
    if (!to || !from || *to == from)
    {
        return false;
    }
    if (!allocateArrangement(to, from->numChannels))
    {
        return false;
    }
    (*to)->type = from->type;
    for (VstInt32 channel = 0; channel < from->numChannels; ++channel)
    {
        copySpeaker(arrangementSpeaker(*to, channel), arrangementSpeaker(from, channel));
    }
    return true;
}

bool AudioEffectX::offlineRead(VstOfflineTask* offline, VstInt32 option, bool readSource) noexcept
{
    return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool AudioEffectX::offlineWrite(VstOfflineTask* offline, VstInt32 option) noexcept
{
    return callHost(audioMasterOfflineWrite, 0, option, offline) != 0;
}

bool AudioEffectX::offlineStart(VstAudioFile* ptr, VstInt32 numAudioFiles,
                                VstInt32 numNewAudioFiles) noexcept
{
    return callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, ptr) != 0;
}

VstInt32 AudioEffectX::offlineGetCurrentPass() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterOfflineGetCurrentPass));
}

VstInt32 AudioEffectX::offlineGetCurrentMetaPass() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterOfflineGetCurrentMetaPass));
}

bool AudioEffectX::offlineNotify(VstAudioFile* /*ptr*/, VstInt32 /*numAudioFiles*/,
                                 bool /*start*/) noexcept
{
    return false;
}

bool AudioEffectX::offlinePrepare(VstOfflineTask* /*offline*/, VstInt32 /*count*/) noexcept
{
    return false;
}

bool AudioEffectX::offlineRun(VstOfflineTask* /*offline*/, VstInt32 /*count*/) noexcept
{
    return false;
}

VstInt32 AudioEffectX::offlineGetNumPasses() noexcept
{
    return 0;
}

VstInt32 AudioEffectX::offlineGetNumMetaPasses() noexcept
{
    return 0;
}

void AudioEffectX::wantEvents(VstInt32 filter) noexcept
{
    callHost(audioMasterWantMidi, 0, filter);
}

VstInt32 AudioEffectX::tempoAt(VstInt32 pos) noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterTempoAt, 0, pos));
}

VstInt32 AudioEffectX::getNumAutomatableParameters() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 AudioEffectX::getParameterQuantization() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterGetParameterQuantization));
}

VstInt32 AudioEffectX::getNumCategories() noexcept
{
    return 1;
}

bool AudioEffectX::copyProgram(VstInt32 /*destination*/) noexcept
{
    return false;
}

bool AudioEffectX::needIdle() noexcept
{
    return callHost(audioMasterNeedIdle) != 0;
}

AEffect* AudioEffectX::getPreviousPlug() noexcept
{
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::getNextPlug() noexcept
{
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug));
}

void AudioEffectX::inputConnected(VstInt32 /*index*/, bool /*state*/) noexcept
{
}

void AudioEffectX::outputConnected(VstInt32 /*index*/, bool /*state*/) noexcept
{
}

VstInt32 AudioEffectX::willProcessReplacing() noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterWillReplaceOrAccumulate));
}

void AudioEffectX::wantAsyncOperation(bool state) noexcept
{
    setFlag(effFlagsExtIsAsync, state);
}

void AudioEffectX::hasExternalBuffer(bool state) noexcept
{
    setFlag(effFlagsExtHasBuffer, state);
}

VstInt32 AudioEffectX::reportCurrentPosition() noexcept
{
    return 0;
}

float* AudioEffectX::reportDestinationBuffer() noexcept
{
    return nullptr;
}

bool AudioEffectX::setOutputSamplerate(float samplerate) noexcept
{
    return callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, samplerate) != 0;
}

VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement() noexcept
{
    return reinterpret_cast<VstSpeakerArrangement*>(
        callHost(audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement() noexcept
{
    return reinterpret_cast<VstSpeakerArrangement*>(
        callHost(audioMasterGetOutputSpeakerArrangement));
}

VstInt32 AudioEffectX::openWindow(VstWindow* window) noexcept
{
    return static_cast<VstInt32>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::closeWindow(VstWindow* window) noexcept
{
    return callHost(audioMasterCloseWindow, 0, 0, window) != 0;
}

void AudioEffectX::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) noexcept
{
    blockSize = newBlockSize;
    sampleRate = newSampleRate;
}

bool AudioEffectX::getErrorText(char* /*text*/) noexcept
{
    return false;
}

void* AudioEffectX::getIcon() noexcept
{
    return nullptr;
}

bool AudioEffectX::setViewPosition(VstInt32 /*x*/, VstInt32 /*y*/) noexcept
{
    return false;
}

bool AudioEffectX::fxIdle() noexcept
{
    return false;
}

bool AudioEffectX::keysRequired() noexcept
{
    return false;
}

bool AudioEffectX::getChunkFile(void* nativePath) noexcept
{
    return nativePath && callHost(audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}

} // namespace orvo

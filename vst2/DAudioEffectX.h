// AudioEffectX: the extended effect object. Adds the operations of opcodes 25..79 and the
// extended host calls; its dispatcher handles 25..79 and hands every other opcode to
// AudioEffect's.
#pragma once

#include "vst2/DAudioEffect.h"

namespace orvo
{

/// Speaker number index of an arrangement record, which may hold more speakers than the 8
/// it is declared with (allocateArrangement sizes it for its channel count).
VstSpeakerProperties* arrangementSpeaker(VstSpeakerArrangement* arrangement,
                                         VstInt32 index) noexcept;

class AudioEffectX : public AudioEffect
{
  public:
    AudioEffectX(audioMasterCallback host, VstInt32 programCount, VstInt32 paramCount);

    /// Opcodes 25..79, then AudioEffect's table.
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) noexcept override;
    /// Asks the host for MIDI (wantEvents) when the effect is a synth or can receive MIDI.
    void resume() noexcept override;

    // Virtual operations, in the order of their slots (after AudioEffect's).
    virtual bool canParameterBeAutomated(VstInt32 index) noexcept;
    virtual bool string2parameter(VstInt32 index, char* text) noexcept;
    virtual bool getParameterProperties(VstInt32 index, VstParameterProperties* p) noexcept;
    virtual bool beginEdit(VstInt32 index) noexcept;
    virtual bool endEdit(VstInt32 index) noexcept;
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) noexcept;
    virtual bool beginSetProgram() noexcept;
    virtual bool endSetProgram() noexcept;
    virtual VstInt32 beginLoadBank(VstPatchChunkInfo* ptr) noexcept;
    virtual VstInt32 beginLoadProgram(VstPatchChunkInfo* ptr) noexcept;
    virtual bool ioChanged() noexcept;
    /// Asks the host; a positive answer becomes sampleRate. Returns sampleRate.
    virtual double updateSampleRate() noexcept;
    /// Asks the host; a positive answer becomes blockSize. Returns blockSize.
    virtual VstInt32 updateBlockSize() noexcept;
    virtual VstInt32 getInputLatency() noexcept;
    virtual VstInt32 getOutputLatency() noexcept;
    virtual bool getInputProperties(VstInt32 index, VstPinProperties* properties) noexcept;
    virtual bool getOutputProperties(VstInt32 index, VstPinProperties* properties) noexcept;
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* pluginInput,
                                       VstSpeakerArrangement* pluginOutput) noexcept;
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                       VstSpeakerArrangement** pluginOutput) noexcept;
    virtual bool setBypass(bool onOff) noexcept;
    virtual bool setPanLaw(VstInt32 type, float val) noexcept;
    virtual bool setProcessPrecision(VstInt32 precision) noexcept;
    virtual VstInt32 getNumMidiInputChannels() noexcept;
    virtual VstInt32 getNumMidiOutputChannels() noexcept;
    virtual VstTimeInfo* getTimeInfo(VstInt32 filter) noexcept;
    virtual VstInt32 getCurrentProcessLevel() noexcept;
    virtual VstInt32 processEvents(VstEvents* events) noexcept;
    /// audioMasterProcessEvents; true only when the host answers 1.
    virtual bool sendVstEventsToHost(VstEvents* events) noexcept;
    virtual VstInt32 startProcess() noexcept;
    virtual VstInt32 stopProcess() noexcept;
    virtual bool processVariableIo(VstVariableIo* varIo) noexcept;
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value) noexcept;
    virtual bool getHostVendorString(char* text) noexcept;
    virtual bool getHostProductString(char* text) noexcept;
    virtual VstInt32 getHostVendorVersion() noexcept;
    virtual VstIntPtr hostVendorSpecific(VstInt32 lArg1, VstIntPtr lArg2, void* ptrArg,
                                         float floatArg) noexcept;
    virtual VstInt32 canHostDo(char* text) noexcept;
    virtual void isSynth(bool state = true) noexcept;
    virtual void noTail(bool state = true) noexcept;
    virtual VstInt32 getGetTailSize() noexcept;
    virtual void* getDirectory() noexcept;
    virtual bool getEffectName(char* name) noexcept;
    virtual bool getVendorString(char* text) noexcept;
    virtual bool getProductString(char* text) noexcept;
    virtual VstInt32 getVendorVersion() noexcept;
    virtual VstIntPtr vendorSpecific(VstInt32 lArg, VstIntPtr lArg2, void* ptrArg,
                                     float floatArg) noexcept;
    virtual VstInt32 canDo(char* text) noexcept;
    virtual VstInt32 getVstVersion() noexcept;
    virtual VstPlugCategory getPlugCategory() noexcept;
    virtual VstInt32 getMidiProgramName(VstInt32 channel,
                                        MidiProgramName* midiProgramName) noexcept;
    virtual VstInt32 getCurrentMidiProgram(VstInt32 channel,
                                           MidiProgramName* currentProgram) noexcept;
    virtual VstInt32 getMidiProgramCategory(VstInt32 channel,
                                            MidiProgramCategory* category) noexcept;
    virtual bool hasMidiProgramsChanged(VstInt32 channel) noexcept;
    virtual bool getMidiKeyName(VstInt32 channel, MidiKeyName* keyName) noexcept;
    virtual bool updateDisplay() noexcept;
    virtual bool sizeWindow(VstInt32 width, VstInt32 height) noexcept;
    virtual bool openFileSelector(VstFileSelect* ptr) noexcept;
    virtual bool closeFileSelector(VstFileSelect* ptr) noexcept;
    virtual VstInt32 getNextShellPlugin(char* name) noexcept;
    /// Replaces *arrangement by a zeroed record of nbChannels speakers (freed with
    /// deallocateArrangement).
    virtual bool allocateArrangement(VstSpeakerArrangement** arrangement,
                                     VstInt32 nbChannels) noexcept;
    virtual bool deallocateArrangement(VstSpeakerArrangement** arrangement) noexcept;
    virtual bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) noexcept;
    /// Replaces *to by a copy of from (type, channel count and every speaker).
    virtual bool matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) noexcept;
    virtual bool offlineRead(VstOfflineTask* offline, VstInt32 option,
                             bool readSource = true) noexcept;
    virtual bool offlineWrite(VstOfflineTask* offline, VstInt32 option) noexcept;
    virtual bool offlineStart(VstAudioFile* ptr, VstInt32 numAudioFiles,
                              VstInt32 numNewAudioFiles) noexcept;
    virtual VstInt32 offlineGetCurrentPass() noexcept;
    virtual VstInt32 offlineGetCurrentMetaPass() noexcept;
    virtual bool offlineNotify(VstAudioFile* ptr, VstInt32 numAudioFiles, bool start) noexcept;
    virtual bool offlinePrepare(VstOfflineTask* offline, VstInt32 count) noexcept;
    virtual bool offlineRun(VstOfflineTask* offline, VstInt32 count) noexcept;
    virtual VstInt32 offlineGetNumPasses() noexcept;
    virtual VstInt32 offlineGetNumMetaPasses() noexcept;
    /// audioMasterWantMidi with value = filter (1 asks for MIDI).
    virtual void wantEvents(VstInt32 filter = 1) noexcept;
    virtual VstInt32 tempoAt(VstInt32 pos) noexcept;
    virtual VstInt32 getNumAutomatableParameters() noexcept;
    virtual VstInt32 getParameterQuantization() noexcept;
    virtual VstInt32 getNumCategories() noexcept;
    virtual bool copyProgram(VstInt32 destination) noexcept;
    virtual bool needIdle() noexcept;
    virtual AEffect* getPreviousPlug() noexcept;
    virtual AEffect* getNextPlug() noexcept;
    virtual void inputConnected(VstInt32 index, bool state) noexcept;
    virtual void outputConnected(VstInt32 index, bool state) noexcept;
    virtual VstInt32 willProcessReplacing() noexcept;
    virtual void wantAsyncOperation(bool state = true) noexcept;
    virtual void hasExternalBuffer(bool state = true) noexcept;
    virtual VstInt32 reportCurrentPosition() noexcept;
    virtual float* reportDestinationBuffer() noexcept;
    virtual bool setOutputSamplerate(float samplerate) noexcept;
    virtual VstSpeakerArrangement* getInputSpeakerArrangement() noexcept;
    virtual VstSpeakerArrangement* getOutputSpeakerArrangement() noexcept;
    virtual VstInt32 openWindow(VstWindow* window) noexcept;
    virtual bool closeWindow(VstWindow* window) noexcept;
    virtual void setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) noexcept;
    virtual bool getErrorText(char* text) noexcept;
    virtual void* getIcon() noexcept;
    virtual bool setViewPosition(VstInt32 x, VstInt32 y) noexcept;
    virtual bool fxIdle() noexcept;
    /// True when the effect needs no keyboard input (effKeysRequired answers the inverse).
    virtual bool keysRequired() noexcept;
    virtual bool getChunkFile(void* nativePath) noexcept;
};

} // namespace orvo

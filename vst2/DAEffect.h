// The VST 2.4 binary interface between a host and an effect: the effect record, the
// event records, the opcode numbers and flags, with the published names and layouts.
// Written from the published record layouts; used by the plug-in and by our own hosts.
#pragma once

#include <cstddef>
#include <cstdint>

// Every function exchanged with the host uses the platform's C calling convention.
#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALL __cdecl
#else
#define VSTCALL
#endif

struct AEffect;

using VstIntPtr = std::intptr_t;
using VstInt32 = std::int32_t;

using audioMasterCallback = VstIntPtr(VSTCALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr(VSTCALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                  VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void(VSTCALL*)(AEffect* effect, float** inputs, float** outputs,
                                          VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void(VSTCALL*)(AEffect* effect, double** inputs, double** outputs,
                                                VstInt32 sampleFrames);
using AEffectSetParameterProc = void(VSTCALL*)(AEffect* effect, VstInt32 index, float value);
using AEffectGetParameterProc = float(VSTCALL*)(AEffect* effect, VstInt32 index);

/// Four characters packed big-endian, first character in the most significant byte.
constexpr VstInt32 fourCharCode(char a, char b, char c, char d)
{
    return static_cast<VstInt32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                 (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                 (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                 static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr VstInt32 kEffectMagic = fourCharCode('V', 's', 't', 'P');

/// The effect record. 144 bytes in a 32-bit build, 192 in a 64-bit build.
struct AEffect
{
    VstInt32 magic;                                  // 0   / 0    kEffectMagic
    AEffectDispatcherProc dispatcher;                // 4   / 8
    AEffectProcessProc process;                      // 8   / 16   accumulating
    AEffectSetParameterProc setParameter;            // 12  / 24
    AEffectGetParameterProc getParameter;            // 16  / 32
    VstInt32 numPrograms;                            // 20  / 40
    VstInt32 numParams;                              // 24  / 44
    VstInt32 numInputs;                              // 28  / 48
    VstInt32 numOutputs;                             // 32  / 52
    VstInt32 flags;                                  // 36  / 56   effFlags*
    VstIntPtr resvd1;                                // 40  / 64
    VstIntPtr resvd2;                                // 44  / 72
    VstInt32 initialDelay;                           // 48  / 80
    VstInt32 realQualities;                          // 52  / 84
    VstInt32 offQualities;                           // 56  / 88
    float ioRatio;                                   // 60  / 92
    void* object;                                    // 64  / 96   the effect object
    void* user;                                      // 68  / 104
    VstInt32 uniqueID;                               // 72  / 112
    VstInt32 version;                                // 76  / 116
    AEffectProcessProc processReplacing;             // 80  / 120
    AEffectProcessDoubleProc processDoubleReplacing; // 84  / 128
    char future[56];                                 // 88  / 136
};

static_assert(sizeof(void*) != 4 || sizeof(AEffect) == 144, "32-bit AEffect layout");
static_assert(sizeof(void*) != 8 || sizeof(AEffect) == 192, "64-bit AEffect layout");
static_assert(offsetof(AEffect, flags) == (sizeof(void*) == 4 ? 36 : 56));
static_assert(offsetof(AEffect, resvd1) == (sizeof(void*) == 4 ? 40 : 64));
static_assert(offsetof(AEffect, ioRatio) == (sizeof(void*) == 4 ? 60 : 92));
static_assert(offsetof(AEffect, object) == (sizeof(void*) == 4 ? 64 : 96));
static_assert(offsetof(AEffect, uniqueID) == (sizeof(void*) == 4 ? 72 : 112));
static_assert(offsetof(AEffect, processReplacing) == (sizeof(void*) == 4 ? 80 : 120));
static_assert(offsetof(AEffect, future) == (sizeof(void*) == 4 ? 88 : 136));

/// Flags of AEffect::flags.
enum VstAEffectFlags : VstInt32
{
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,
    effFlagsHasVu = 1 << 2,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,
    effFlagsExtHasBuffer = 1 << 11,
    effFlagsCanDoubleReplacing = 1 << 12,
};

/// Opcodes the host sends through AEffect::dispatcher (index, value, ptr, opt as noted).
enum AEffectOpcodes : VstInt32
{
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2, // value: program
    effGetProgram = 3,
    effSetProgramName = 4,  // ptr: text
    effGetProgramName = 5,  // ptr: text buffer
    effGetParamLabel = 6,   // index, ptr: text buffer
    effGetParamDisplay = 7, // index, ptr: text buffer
    effGetParamName = 8,    // index, ptr: text buffer
    effGetVu = 9,
    effSetSampleRate = 10, // opt: rate
    effSetBlockSize = 11,  // value: size
    effMainsChanged = 12,  // value: 0 suspend, else resume
    effEditGetRect = 13,   // ptr: ERect** out
    effEditOpen = 14,      // ptr: parent window
    effEditClose = 15,
    effEditDraw = 16,
    effEditMouse = 17,
    effEditKey = 18,
    effEditIdle = 19,
    effEditTop = 20,
    effEditSleep = 21,
    effIdentify = 22,
    effGetChunk = 23,       // ptr: void** out, index: preset
    effSetChunk = 24,       // ptr: data, value: size, index: preset
    effProcessEvents = 25,  // ptr: VstEvents*
    effCanBeAutomated = 26, // index
    effString2Parameter = 27,
    effGetNumProgramCategories = 28,
    effGetProgramNameIndexed = 29, // index, value: category, ptr: text buffer
    effCopyProgram = 30,
    effConnectInput = 31,
    effConnectOutput = 32,
    effGetInputProperties = 33,  // index, ptr: VstPinProperties*
    effGetOutputProperties = 34, // index, ptr: VstPinProperties*
    effGetPlugCategory = 35,
    effGetCurrentPosition = 36,
    effGetDestinationBuffer = 37,
    effOfflineNotify = 38,
    effOfflinePrepare = 39,
    effOfflineRun = 40,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effSetBlockSizeAndSampleRate = 43,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetErrorText = 46,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51, // ptr: text
    effGetTailSize = 52,
    effIdle = 53,
    effGetIcon = 54,
    effSetViewPosition = 55,
    effGetParameterProperties = 56,
    effKeysRequired = 57,
    effGetVstVersion = 58,
    effEditKeyDown = 59, // index: character, value: virtual key, opt: modifiers
    effEditKeyUp = 60,
    effSetEditKnobMode = 61,
    effGetMidiProgramName = 62,
    effGetCurrentMidiProgram = 63,
    effGetMidiProgramCategory = 64,
    effHasMidiProgramsChanged = 65,
    effGetMidiKeyName = 66,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetTotalSampleToProcess = 73,
    effSetPanLaw = 74,
    effBeginLoadBank = 75,
    effBeginLoadProgram = 76,
    effSetProcessPrecision = 77,
    effGetNumMidiInputChannels = 78,
    effGetNumMidiOutputChannels = 79,
};

/// Opcodes the effect sends through audioMasterCallback.
enum AudioMasterOpcodes : VstInt32
{
    audioMasterAutomate = 0, // index: parameter, opt: value
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8, // ptr: VstEvents*
    audioMasterSetTime = 9,
    audioMasterTempoAt = 10,
    audioMasterGetNumAutomatableParameters = 11,
    audioMasterGetParameterQuantization = 12,
    audioMasterIOChanged = 13,
    audioMasterNeedIdle = 14,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetPreviousPlug = 20,
    audioMasterGetNextPlug = 21,
    audioMasterWillReplaceOrAccumulate = 22,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterOfflineStart = 25,
    audioMasterOfflineRead = 26,
    audioMasterOfflineWrite = 27,
    audioMasterOfflineGetCurrentPass = 28,
    audioMasterOfflineGetCurrentMetaPass = 29,
    audioMasterSetOutputSampleRate = 30,
    audioMasterGetOutputSpeakerArrangement = 31,
    audioMasterGetVendorString = 32,  // ptr: buffer of kVstMaxVendorStrLen + 1
    audioMasterGetProductString = 33, // ptr: buffer of kVstMaxProductStrLen + 1
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterSetIcon = 36,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterOpenWindow = 39,
    audioMasterCloseWindow = 40,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
    audioMasterOpenFileSelector = 45,
    audioMasterCloseFileSelector = 46,
    audioMasterEditFile = 47,
    audioMasterGetChunkFile = 48,
    audioMasterGetInputSpeakerArrangement = 49,
};

/// Text limits of the published interface (host buffers hold at least this plus the zero).
enum VstStringConstants : VstInt32
{
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32,
    kVstMaxLabelLen = 64,
    kVstMaxShortLabelLen = 8,
};

enum VstEventTypes : VstInt32
{
    kVstMidiType = 1,
    kVstSysExType = 6,
};

/// Common header of every event kind.
struct VstEvent
{
    VstInt32 type;
    VstInt32 byteSize;    // size of the record minus type and byteSize
    VstInt32 deltaFrames; // sample offset inside the current block
    VstInt32 flags;
    char data[16];
};

enum VstMidiEventFlags : VstInt32
{
    kVstMidiEventIsRealtime = 1,
};

/// A MIDI channel message. 32 bytes on every platform.
struct VstMidiEvent
{
    VstInt32 type;                 // 0  kVstMidiType
    VstInt32 byteSize;             // 4  24
    VstInt32 deltaFrames;          // 8
    VstInt32 flags;                // 12
    VstInt32 noteLength;           // 16
    VstInt32 noteOffset;           // 20
    char midiData[4];              // 24 status, data1, data2, 0
    signed char detune;            // 28
    unsigned char noteOffVelocity; // 29
    char reserved1;                // 30
    char reserved2;                // 31
};
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(sizeof(VstEvent) == 32);

/// The events of one delivery; hosts allocate as many pointers as they send.
struct VstEvents
{
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2];
};

enum VstPinPropertiesFlags : VstInt32
{
    kVstPinIsActive = 1 << 0,
    kVstPinIsStereo = 1 << 1,
    kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties
{
    char label[kVstMaxLabelLen];
    VstInt32 flags;
    VstInt32 arrangementType;
    char shortLabel[kVstMaxShortLabelLen];
    char future[48];
};
static_assert(sizeof(VstPinProperties) == 128);

/// The editor's rectangle in pixels.
struct ERect
{
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};

struct VstKeyCode
{
    VstInt32 character;
    unsigned char virt;
    unsigned char modifier;
};

struct VstSpeakerProperties
{
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    VstInt32 type;
    char future[28];
};
static_assert(sizeof(VstSpeakerProperties) == 112);

struct VstSpeakerArrangement
{
    VstInt32 type;
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};

enum VstPlugCategory : VstInt32
{
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

// Published records that the framework only passes through (never reads or writes), so
// only their names are needed here.
struct VstParameterProperties;
struct VstPatchChunkInfo;
struct VstTimeInfo;
struct VstVariableIo;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;
struct VstFileSelect;
struct VstOfflineTask;
struct VstAudioFile;
struct VstWindow;

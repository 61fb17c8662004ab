// Orvo.dll loaded the way a Windows host loads it: LoadLibrary on a copy in a plug-in
// folder of its own (not the program's folder), the exported entry, then only the record.
// Checks the record, the dispatcher's answers, parameter texts with the user's decimal
// separator, programs, MIDI thru and learn, and the map and ".ini" files beside the DLL.
//
//   orvo-conformance.exe ORVO_DLL SCRATCH_FOLDER SEPARATOR
//
// SEPARATOR is the decimal separator the user's locale should give ("." or ","). The
// scratch folder must exist and be empty; the program writes its plug-in folders there.
#include "tests/support/TEventList.h"
#include "tests/windows/uChecks.h"
#include "vst2/DAEffect.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>
#include <windows.h>

namespace
{
using TEntry = AEffect*(VSTCALL*)(audioMasterCallback);

// ---- the stand-in host ---------------------------------------------------------------

struct THostCall
{
    AEffect* Effect;
    VstInt32 Opcode;
    VstInt32 Index;
    VstIntPtr Value;
    float Opt;
};

struct TSentMidi
{
    unsigned char Status, Data1, Data2;
    VstInt32 DeltaFrames;
};

struct THost
{
    VstIntPtr VersionAnswer = 2400;
    std::vector<THostCall> Calls;
    std::vector<TSentMidi> Midi;

    int Count(VstInt32 opcode) const
    {
        int n = 0;
        for (const THostCall& call : Calls)
        {
            n += call.Opcode == opcode ? 1 : 0;
        }
        return n;
    }
    const THostCall* Last(VstInt32 opcode) const
    {
        for (auto it = Calls.rbegin(); it != Calls.rend(); ++it)
        {
            if (it->Opcode == opcode)
            {
                return &*it;
            }
        }
        return nullptr;
    }
    void Clear()
    {
        Calls.clear();
        Midi.clear();
    }
};

THost gHost;

VstIntPtr VSTCALL HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt)
{
    gHost.Calls.push_back({effect, opcode, index, value, opt});
    switch (opcode)
    {
    case audioMasterVersion:
        return gHost.VersionAnswer;
    case audioMasterGetVendorString:
        std::strcpy(static_cast<char*>(ptr), "Wine Test Host");
        return 1;
    case audioMasterProcessEvents:
    {
        const auto* events = static_cast<const VstEvents*>(ptr);
        for (VstInt32 i = 0; i < events->numEvents; ++i)
        {
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(events->events[i]);
            if (midi->type == kVstMidiType)
            {
                gHost.Midi.push_back({static_cast<unsigned char>(midi->midiData[0]),
                                      static_cast<unsigned char>(midi->midiData[1]),
                                      static_cast<unsigned char>(midi->midiData[2]),
                                      midi->deltaFrames});
            }
        }
        return 1;
    }
    default:
        return 0;
    }
}

// ---- files ---------------------------------------------------------------------------

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileText(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        return "<missing>";
    }
    std::string text;
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0)
    {
        text.append(buffer, count);
    }
    CloseHandle(file);
    return text;
}

void WriteFileText(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

/// The default map file: CC 20..35 bound to parameters 0..15, one "CC: parameter" line each.
std::string DefaultMapText()
{
    std::string text;
    for (int i = 0; i < 16; ++i)
    {
        text += std::to_string(20 + i) + ": " + std::to_string(i) + "\r\n";
    }
    return text;
}

// ---- the module ----------------------------------------------------------------------

/// A copy of the DLL in a folder of its own, loaded with LoadLibrary.
class TModule
{
  public:
    TModule(const std::wstring& source, const std::wstring& folder) : FFolder(folder)
    {
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring copy = folder + L"\\Orvo.dll";
        CopyFileW(source.c_str(), copy.c_str(), FALSE);
        FLibrary = LoadLibraryW(copy.c_str());
        if (FLibrary != nullptr)
        {
            Entry = reinterpret_cast<TEntry>(
                reinterpret_cast<void*>(GetProcAddress(FLibrary, "VSTPluginMain")));
            Main = reinterpret_cast<void*>(GetProcAddress(FLibrary, "main"));
        }
    }
    ~TModule()
    {
        if (FLibrary != nullptr)
        {
            FreeLibrary(FLibrary);
        }
    }
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;

    std::wstring File(const wchar_t* name) const { return FFolder + L"\\" + name; }
    AEffect* Open() const { return Entry != nullptr ? Entry(&HostCallback) : nullptr; }

    HMODULE FLibrary = nullptr;
    TEntry Entry = nullptr;
    void* Main = nullptr;

  private:
    std::wstring FFolder;
};

VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr, float opt = 0.0f)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string Text(AEffect* effect, VstInt32 opcode, VstInt32 index = 0)
{
    char buffer[256] = {};
    Dispatch(effect, opcode, index, 0, buffer);
    return buffer;
}

VstMidiEvent MidiEvent(VstInt32 deltaFrames, unsigned char status, unsigned char data1,
                       unsigned char data2)
{
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

/// Hands the events to the effect in one effProcessEvents call.
VstIntPtr SendEvents(AEffect* effect, std::vector<VstMidiEvent>& events)
{
    orvo::test::TEventList list(events);
    return Dispatch(effect, effProcessEvents, 0, 0, list.Get());
}

void Process(AEffect* effect, std::vector<float>& left, std::vector<float>& right,
             std::vector<float>& outLeft, std::vector<float>& outRight)
{
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    effect->processReplacing(effect, inputs, outputs, static_cast<VstInt32>(left.size()));
}

// ---- the checks ----------------------------------------------------------------------

void CheckEntry(const TModule& module, const std::wstring& folder)
{
    orvo::wine::TChecks::Instance().Group("entry");
    CHECK(module.FLibrary != nullptr);
    CHECK(module.Entry != nullptr);
    CHECK(module.Main == reinterpret_cast<void*>(module.Entry));

    gHost.Clear();
    gHost.VersionAnswer = 0;
    CHECK(module.Open() == nullptr);
    CHECK_EQ(gHost.Count(audioMasterVersion), 1);
    CHECK_EQ(gHost.Calls.size(), std::size_t{1});
    CHECK(!Exists(folder + L"\\OrvoMIDI.txt"));
    gHost.VersionAnswer = 2400;
}

void CheckRecord(AEffect* effect)
{
    orvo::wine::TChecks::Instance().Group("record");
    CHECK_EQ(effect->magic, fourCharCode('V', 's', 't', 'P'));
    CHECK_EQ(effect->uniqueID, fourCharCode('O', 'r', 'v', 'o'));
    CHECK_EQ(effect->numPrograms, 16);
    CHECK_EQ(effect->numParams, 16);
    CHECK_EQ(effect->numInputs, 2);
    CHECK_EQ(effect->numOutputs, 2);
    CHECK_EQ(effect->flags, 0x19);
    CHECK_EQ(effect->initialDelay, 0);
    CHECK_EQ(effect->realQualities, 0);
    CHECK_EQ(effect->offQualities, 0);
    CHECK_EQ(effect->ioRatio, 1.0f);
    CHECK_EQ(effect->version, 1);
    CHECK_EQ(effect->resvd2, VstIntPtr{0});
    CHECK(effect->object != nullptr);
    CHECK(effect->user == nullptr);
    CHECK(effect->process != nullptr && effect->processReplacing != nullptr);
    CHECK(effect->processDoubleReplacing != nullptr);
    bool futureClear = true;
    for (char byte : effect->future)
    {
        futureClear = futureClear && byte == 0;
    }
    CHECK(futureClear);

    // Construction asked for the host's version, vendor and product, nothing else.
    CHECK_EQ(gHost.Count(audioMasterGetVendorString), 1);
    CHECK_EQ(gHost.Count(audioMasterGetProductString), 1);
    CHECK(gHost.Calls.front().Opcode == audioMasterVersion &&
          gHost.Calls.front().Effect == nullptr);
}

void CheckOpcodes(AEffect* effect)
{
    orvo::wine::TChecks::Instance().Group("dispatcher answers");
    CHECK_EQ(Dispatch(effect, effGetVstVersion), VstIntPtr{2400});
    CHECK_EQ(Dispatch(effect, effIdentify), VstIntPtr{fourCharCode('N', 'v', 'E', 'f')});
    CHECK_EQ(Dispatch(effect, effKeysRequired), VstIntPtr{1});
    CHECK_EQ(Dispatch(effect, effGetPlugCategory), VstIntPtr{0});
    CHECK_EQ(Dispatch(effect, effCanBeAutomated, 3), VstIntPtr{1});
    CHECK_EQ(Dispatch(effect, effCanBeAutomated, 16), VstIntPtr{1});
    CHECK_EQ(Dispatch(effect, effGetNumProgramCategories), VstIntPtr{1});
    CHECK_EQ(Dispatch(effect, effGetVendorVersion), VstIntPtr{1});
    CHECK_EQ(Dispatch(effect, effGetVu), VstIntPtr{0});
    CHECK_EQ(Dispatch(effect, effConnectInput, 0, 1), VstIntPtr{1});
    CHECK_EQ(Dispatch(effect, effSetBlockSizeAndSampleRate, 0, 512, nullptr, 44100.0f),
             VstIntPtr{1});
    CHECK_EQ(Dispatch(effect, effGetTailSize), VstIntPtr{0});
    CHECK_EQ(Dispatch(effect, effGetCurrentMidiProgram), VstIntPtr{-1});
    CHECK_EQ(Dispatch(effect, effSetTotalSampleToProcess, 0, 4321), VstIntPtr{4321});
    CHECK_EQ(Dispatch(effect, effSetBypass, 0, 1), VstIntPtr{0});
    CHECK_EQ(Dispatch(effect, 80), VstIntPtr{0});
    CHECK_EQ(Dispatch(effect, -1), VstIntPtr{0});

    char chunkProbe[8] = {'x'};
    void* chunk = chunkProbe;
    CHECK_EQ(Dispatch(effect, effGetChunk, 0, 0, &chunk), VstIntPtr{0});
    CHECK(chunk == chunkProbe);

    CHECK_EQ(Text(effect, effGetEffectName), std::string("Orvo"));
    CHECK_EQ(Text(effect, effGetVendorString), std::string("Quorvane"));
    CHECK_EQ(Text(effect, effGetProductString), std::string("Orvo"));

    char canDo[] = "receiveVstMidiEvent";
    CHECK_EQ(Dispatch(effect, effCanDo, 0, 0, canDo), VstIntPtr{1});
    char sendEvents[] = "sendVstEvents";
    CHECK_EQ(Dispatch(effect, effCanDo, 0, 0, sendEvents), VstIntPtr{1});
    char timeInfo[] = "receiveVstTimeInfo";
    CHECK_EQ(Dispatch(effect, effCanDo, 0, 0, timeInfo), VstIntPtr{-1});
    char wrongCase[] = "ReceiveVstEvents";
    CHECK_EQ(Dispatch(effect, effCanDo, 0, 0, wrongCase), VstIntPtr{-1});

    VstPinProperties pin{};
    CHECK_EQ(Dispatch(effect, effGetInputProperties, 1, 0, &pin), VstIntPtr{1});
    CHECK_EQ(std::string(pin.label), std::string("Input #2"));
    CHECK_EQ(pin.flags, 3);
    CHECK_EQ(Dispatch(effect, effGetOutputProperties, 2, 0, &pin), VstIntPtr{0});

    ERect* rect = nullptr;
    CHECK_EQ(Dispatch(effect, effEditGetRect, 0, 0, &rect), VstIntPtr{1});
    CHECK(rect != nullptr && rect->right - rect->left == 700 && rect->bottom - rect->top == 300);

    // Resuming asks the host for MIDI.
    gHost.Clear();
    Dispatch(effect, effMainsChanged, 0, 1);
    const THostCall* wantMidi = gHost.Last(audioMasterWantMidi);
    CHECK(wantMidi != nullptr && wantMidi->Value == 1);
}

void CheckParameterTexts(AEffect* effect, char separator)
{
    orvo::wine::TChecks::Instance().Group(std::string("parameter texts, separator ") + separator);
    const auto display = [effect](VstInt32 index, float value)
    {
        effect->setParameter(effect, index, value);
        return Text(effect, effGetParamDisplay, index);
    };
    const auto number = [separator](const char* text)
    {
        std::string shown(text);
        for (char& c : shown)
        {
            c = c == '.' ? separator : c;
        }
        return shown;
    };
    CHECK_EQ(Text(effect, effGetParamName, 0), std::string("Lo"));
    CHECK_EQ(Text(effect, effGetParamName, 15), std::string("Reserved for Quorvane"));
    CHECK_EQ(Text(effect, effGetParamName, 16), std::string("undefined"));
    CHECK_EQ(Text(effect, effGetParamLabel, 11), std::string("SemiTones"));
    CHECK_EQ(Text(effect, effGetParamLabel, 12), std::string("dB"));

    CHECK_EQ(display(0, 0.25f), number("-24.00dB"));
    CHECK_EQ(display(0, 0.5f), number("0.00dB"));
    CHECK_EQ(display(0, 0.0f), std::string("-oodB"));
    CHECK_EQ(display(3, 1.7f), number("100.00%TD"));
    CHECK_EQ(effect->getParameter(effect, 3), 1.0f);
    CHECK_EQ(display(1, 0.75f), number("50.00%TD"));
    CHECK_EQ(display(6, 0.5f), std::string("Muted"));
    CHECK_EQ(display(6, 0.0f), std::string("Open"));
    CHECK_EQ(display(10, 0.0f), number("-100.00"));
    CHECK_EQ(display(11, 1.0f), number("12.00"));
    CHECK_EQ(display(12, 1.0f), number("6.00"));
    CHECK_EQ(display(13, 0.0f), std::string("   -oo  "));
    CHECK_EQ(display(14, 0.49f), std::string("Host Rate Processing"));
    CHECK_EQ(display(14, 0.5f), std::string("Oversampling On"));

    char untouched[16] = "abc";
    Dispatch(effect, effGetParamDisplay, 15, 0, untouched);
    CHECK_EQ(std::string(untouched), std::string("abc"));

    effect->setParameter(effect, 16, 0.3f);
    CHECK_EQ(effect->getParameter(effect, 16), 0.0f);
}

void CheckPrograms(AEffect* effect)
{
    orvo::wine::TChecks::Instance().Group("programs");
    CHECK_EQ(Dispatch(effect, effGetProgram), VstIntPtr{0});
    CHECK_EQ(Text(effect, effGetProgramName), std::string("Flat"));
    CHECK_EQ(effect->getParameter(effect, 11), 0.5f);

    char name[64] = {};
    CHECK_EQ(Dispatch(effect, effGetProgramNameIndexed, 15, 0, name), VstIntPtr{1});
    CHECK_EQ(std::string(name), std::string("Spare"));
    CHECK_EQ(Dispatch(effect, effGetProgramNameIndexed, 16, 0, name), VstIntPtr{0});

    Dispatch(effect, effSetProgram, 0, 13);
    CHECK_EQ(Dispatch(effect, effGetProgram), VstIntPtr{13});
    CHECK_EQ(Text(effect, effGetProgramName), std::string("ExcitingSub"));
    CHECK_EQ(effect->getParameter(effect, 10), 0.347f);
    CHECK_EQ(Text(effect, effGetParamDisplay, 8), std::string("Muted"));

    Dispatch(effect, effSetProgram, 0, 16);
    CHECK_EQ(Dispatch(effect, effGetProgram), VstIntPtr{13});

    Dispatch(effect, effSetProgram, 0, 2);
    effect->setParameter(effect, 0, 0.9f);
    Dispatch(effect, effSetProgram, 0, 5);
    CHECK_EQ(Text(effect, effGetProgramName), std::string("MiddleAgeSpread"));
    Dispatch(effect, effSetProgram, 0, 2);
    CHECK_EQ(effect->getParameter(effect, 0), 0.9f);

    char mine[] = "Mine";
    Dispatch(effect, effSetProgramName, 0, 0, mine);
    CHECK_EQ(Text(effect, effGetProgramName), std::string("Mine"));
    CHECK_EQ(Dispatch(effect, effGetProgramNameIndexed, 3, 0, name), VstIntPtr{1});
    CHECK_EQ(std::string(name), std::string("TranSister"));
}

void CheckMidi(AEffect* effect)
{
    orvo::wine::TChecks::Instance().Group("MIDI thru and control changes");
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effect, effSetBlockSize, 0, 256);
    Dispatch(effect, effMainsChanged, 0, 1);
    effect->setParameter(effect, 14, 0.0f);
    effect->setParameter(effect, 13, 0.5f); // OutGain at 0 dB: the text checks left it silent

    std::vector<VstMidiEvent> events = {
        MidiEvent(0, 0x93, 60, 0),    // note-on, velocity 0: leaves as a note-off
        MidiEvent(5, 0xC5, 7, 0),     // program change: thru only
        MidiEvent(10, 0xB4, 22, 100), // CC 22 drives "Mid" by the default map
        MidiEvent(12, 0xF8, 0, 0),    // a system message: consumed
    };
    gHost.Clear();
    CHECK_EQ(SendEvents(effect, events), VstIntPtr{1});

    std::vector<float> left(256), right(256), outLeft(256), outRight(256);
    for (std::size_t i = 0; i < left.size(); ++i)
    {
        left[i] = 0.5f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
        right[i] = -left[i];
    }
    Process(effect, left, right, outLeft, outRight);

    CHECK_EQ(gHost.Midi.size(), std::size_t{3});
    if (gHost.Midi.size() == 3)
    {
        CHECK(gHost.Midi[0].Status == 0x83 && gHost.Midi[0].Data1 == 60 &&
              gHost.Midi[0].Data2 == 0);
        CHECK(gHost.Midi[1].Status == 0xC5 && gHost.Midi[1].Data1 == 7 && gHost.Midi[1].Data2 == 0);
        CHECK(gHost.Midi[2].Status == 0xB4 && gHost.Midi[2].Data1 == 22 &&
              gHost.Midi[2].Data2 == 100);
        // Thru leaves at the position it was handled at, where the host placed it.
        CHECK_EQ(gHost.Midi[2].DeltaFrames, 10);
    }
    const THostCall* automate = gHost.Last(audioMasterAutomate);
    CHECK(automate != nullptr && automate->Index == 2 && automate->Opt == 100.0f / 127.0f);
    CHECK_EQ(effect->getParameter(effect, 2), 100.0f / 127.0f);

    bool finite = true;
    bool sounding = false;
    for (std::size_t i = 0; i < outLeft.size(); ++i)
    {
        finite = finite && std::isfinite(outLeft[i]) && std::isfinite(outRight[i]);
        sounding = sounding || outLeft[i] != 0.0f;
    }
    CHECK(finite);
    CHECK(sounding);

    // The double-precision entry does nothing: the outputs keep what they held.
    std::vector<double> doubles(16, 0.25), doubleOut(16, 7.0);
    double* dIn[2] = {doubles.data(), doubles.data()};
    double* dOut[2] = {doubleOut.data(), doubleOut.data()};
    effect->processDoubleReplacing(effect, dIn, dOut, 16);
    CHECK_EQ(doubleOut[15], 7.0);
}

void CheckMapFiles(const std::wstring& dll, const std::wstring& scratch)
{
    orvo::wine::TChecks::Instance().Group("map file and .ini beside the DLL");
    // A plug-in folder with letters outside ASCII: the path must survive the module lookup.
    const std::wstring folder = scratch + L"\\Pl\u00fcg-ins \u00e9t\u00e9";
    const std::string ini = "[Prog0]\r\nName=Other\r\nParam0=0.1\r\n";
    {
        TModule module(dll, folder);
        WriteFileText(module.File(L"Orvo.ini"), ini);
        AEffect* effect = module.Open();
        CHECK(effect != nullptr);
        if (effect == nullptr)
        {
            return;
        }
        CHECK_EQ(Text(effect, effGetProgramName), std::string("Flat"));
        CHECK_EQ(effect->getParameter(effect, 0), 0.5f);
        CHECK_EQ(Dispatch(effect, effClose), VstIntPtr{1});
        CHECK_EQ(ReadFileText(module.File(L"OrvoMIDI.txt")), DefaultMapText());
        CHECK_EQ(ReadFileText(module.File(L"Orvo.ini")), ini);

        // A map file is read back: CC 7 drives InGain, CC 20 drives nothing now.
        WriteFileText(module.File(L"OrvoMIDI.txt"), "7: 12\r\nx: 3\r\n200: 1\r\n9:40\r\n");
        effect = module.Open();
        CHECK(effect != nullptr);
        if (effect == nullptr)
        {
            return;
        }
        Dispatch(effect, effMainsChanged, 0, 1);
        std::vector<VstMidiEvent> events = {MidiEvent(0, 0xB0, 7, 127), MidiEvent(1, 0xB0, 20, 0)};
        SendEvents(effect, events);
        std::vector<float> silence(64), outLeft(64), outRight(64);
        std::vector<float> silenceRight(64);
        Process(effect, silence, silenceRight, outLeft, outRight);
        CHECK_EQ(effect->getParameter(effect, 12), 1.0f);
        CHECK_EQ(effect->getParameter(effect, 0), 0.5f);
        CHECK_EQ(Dispatch(effect, effClose), VstIntPtr{1});
        CHECK_EQ(ReadFileText(module.File(L"OrvoMIDI.txt")), std::string("0: 3\r\n7: 12\r\n"));
    }
    // Nothing landed beside the program or in its working folder.
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring exeFolder(exe);
    exeFolder.resize(exeFolder.find_last_of(L"\\/"));
    CHECK(!Exists(exeFolder + L"\\OrvoMIDI.txt"));
    CHECK(!Exists(L"OrvoMIDI.txt"));
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
    {
        std::fputs("usage: orvo-conformance ORVO_DLL SCRATCH_FOLDER SEPARATOR\n", stderr);
        return 2;
    }
    const std::wstring dll = argv[1];
    const std::wstring scratch = argv[2];
    const char separator = static_cast<char>(argv[3][0]);
    static_assert(sizeof(AEffect) == (sizeof(void*) == 4 ? 144 : 192));

    {
        const std::wstring folder = scratch + L"\\plugins";
        TModule module(dll, folder);
        CheckEntry(module, folder);
        if (module.Entry != nullptr)
        {
            gHost.Clear();
            AEffect* effect = module.Open();
            CHECK(effect != nullptr);
            if (effect != nullptr)
            {
                CheckRecord(effect);
                CheckPrograms(effect);
                CheckOpcodes(effect);
                CheckParameterTexts(effect, separator);
                CheckMidi(effect);

                // A second instance is independent of the first.
                AEffect* second = module.Open();
                CHECK(second != nullptr && second != effect);
                if (second != nullptr)
                {
                    CHECK_EQ(second->getParameter(second, 0), 0.5f);
                    CHECK_EQ(Dispatch(second, effClose), VstIntPtr{1});
                }
                CHECK_EQ(Dispatch(effect, effClose), VstIntPtr{1});
            }
        }
    }
    CheckMapFiles(dll, scratch);
    return orvo::wine::TChecks::Instance().Summary();
}

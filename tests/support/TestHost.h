// TestHost: a stand-in host for driving an effect through its record. Its callback records
// every call the effect makes and answers from a per-opcode table. Several hosts can live
// at once: calls are routed by the effect record (bind it with Attach), and the entry's
// version call (null record) goes to the most recently created host.
#pragma once

#include "host/DAEffect.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace orvo::test
{

/// One call of the effect into the host.
struct THostCall
{
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    /// For audioMasterProcessEvents: a copy of every MIDI event delivered, in order.
    std::vector<VstMidiEvent> midiEvents;
};

class TestHost
{
public:
    TestHost();
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    /// The callback to hand to an effect or to the entry.
    static VstIntPtr VSTCALL Callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                      VstIntPtr value, void* ptr, float opt);

    /// Routes later calls that carry this record to this host.
    void Attach(AEffect* effect);
    /// Forgets a record (after effClose).
    void Detach(AEffect* effect);

    /// Sets the answer for an opcode (default: 2400 for audioMasterVersion, 0 otherwise).
    void SetAnswer(VstInt32 opcode, VstIntPtr answer);
    /// Texts written into ptr for audioMasterGetVendorString / GetProductString (the
    /// answer is then 1). Empty by default, with answer 0 and the buffer left alone.
    void SetVendorString(std::string text);
    void SetProductString(std::string text);

    /// Every call so far, in order.
    std::vector<THostCall> Calls() const;
    /// Calls with one opcode, in order.
    std::vector<THostCall> CallsOf(VstInt32 opcode) const;
    /// Every MIDI event sent with audioMasterProcessEvents, in order.
    std::vector<VstMidiEvent> SentMidiEvents() const;
    void ClearCalls();

private:
    VstIntPtr Answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                     void* ptr, float opt);

    mutable std::mutex FMutex;
    std::vector<THostCall> FCalls;
    std::map<VstInt32, VstIntPtr> FAnswers;
    std::string FVendor;
    std::string FProduct;
};

} // namespace orvo::test

// TestHost: a stand-in host for driving an effect through its record. Its callback records
// every call the effect makes and answers from a per-opcode table. Several hosts can live
// at once: calls are routed by the effect record. A record no host knows yet (the entry's
// version call with a null record, the calls an effect makes while it is being built) goes
// to the current host, which is the one created last or the one made current; a non-null
// record is then bound to it for good.
#pragma once

#include "vst2/DAEffect.h"

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

    /// Makes this host the one that receives calls from records no host knows yet.
    void MakeCurrent();
    /// Routes later calls that carry this record to this host.
    void Attach(AEffect* effect);
    /// Forgets a record (after effClose).
    void Detach(AEffect* effect);

    /// Sets the answer for an opcode (default: 2400 for audioMasterVersion, 0 otherwise).
    void SetAnswer(VstInt32 opcode, VstIntPtr answer);
    /// Texts written into ptr for audioMasterGetVendorString / GetProductString, cut to 64
    /// characters plus the zero (the answer is then 1). An empty text makes the host answer
    /// 0 and leave the buffer alone. Defaults: "Test Vendor", "Test Host".
    void SetVendorString(std::string text);
    void SetProductString(std::string text);

    /// Every call so far, in order.
    std::vector<THostCall> Calls() const;
    /// Calls with one opcode, in order.
    std::vector<THostCall> CallsOf(VstInt32 opcode) const;
    /// Every MIDI event sent with audioMasterProcessEvents, in order.
    std::vector<VstMidiEvent> SentMidiEvents() const;
    /// The editor's gestures so far, one word per call: "b2" for beginEdit (2), "a2" for an
    /// automation of parameter 2, "e2" for endEdit (2); "b5 a5 e5" for one click.
    std::string Gestures() const;
    void ClearCalls();

  private:
    VstIntPtr Answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt);

    mutable std::mutex FMutex;
    std::vector<THostCall> FCalls;
    std::map<VstInt32, VstIntPtr> FAnswers;
    std::string FVendor = "Test Vendor";
    std::string FProduct = "Test Host";
};

} // namespace orvo::test

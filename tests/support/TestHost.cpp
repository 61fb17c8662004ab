#include "tests/support/TestHost.h"

#include <algorithm>
#include <cstring>

namespace orvo::test
{

namespace
{

// Which host receives the calls of which record; shared by every TestHost.
struct THostRegistry
{
    std::mutex Mutex;
    std::map<AEffect*, TestHost*> Hosts;
    std::vector<TestHost*> Live; // in creation order; the back one is current
};

THostRegistry& Registry()
{
    static THostRegistry registry;
    return registry;
}

TestHost* HostFor(AEffect* effect)
{
    THostRegistry& registry = Registry();
    std::lock_guard lock(registry.Mutex);
    if (effect)
    {
        if (auto found = registry.Hosts.find(effect); found != registry.Hosts.end())
        {
            return found->second;
        }
    }
    if (registry.Live.empty())
    {
        return nullptr;
    }
    TestHost* current = registry.Live.back();
    if (effect)
    {
        registry.Hosts[effect] = current;
    }
    return current;
}

// Copies text into a host-string buffer of kVstMaxVendorStrLen characters plus the zero.
void WriteHostString(void* ptr, const std::string& text)
{
    auto* buffer = static_cast<char*>(ptr);
    const std::size_t length = std::min<std::size_t>(text.size(), kVstMaxVendorStrLen);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

} // namespace

TestHost::TestHost()
{
    FAnswers[audioMasterVersion] = 2400;
    THostRegistry& registry = Registry();
    std::lock_guard lock(registry.Mutex);
    registry.Live.push_back(this);
}

TestHost::~TestHost()
{
    THostRegistry& registry = Registry();
    std::lock_guard lock(registry.Mutex);
    std::erase(registry.Live, this);
    std::erase_if(registry.Hosts, [this](const auto& entry) { return entry.second == this; });
}

VstIntPtr VSTCALL TestHost::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                     VstIntPtr value, void* ptr, float opt)
{
    TestHost* host = HostFor(effect);
    return host ? host->Answer(effect, opcode, index, value, ptr, opt) : 0;
}

void TestHost::MakeCurrent()
{
    THostRegistry& registry = Registry();
    std::lock_guard lock(registry.Mutex);
    std::erase(registry.Live, this);
    registry.Live.push_back(this);
}

void TestHost::Attach(AEffect* effect)
{
    THostRegistry& registry = Registry();
    std::lock_guard lock(registry.Mutex);
    registry.Hosts[effect] = this;
}

void TestHost::Detach(AEffect* effect)
{
    THostRegistry& registry = Registry();
    std::lock_guard lock(registry.Mutex);
    if (auto found = registry.Hosts.find(effect);
        found != registry.Hosts.end() && found->second == this)
    {
        registry.Hosts.erase(found);
    }
}

void TestHost::SetAnswer(VstInt32 opcode, VstIntPtr answer)
{
    std::lock_guard lock(FMutex);
    FAnswers[opcode] = answer;
}

void TestHost::SetVendorString(std::string text)
{
    std::lock_guard lock(FMutex);
    FVendor = std::move(text);
}

void TestHost::SetProductString(std::string text)
{
    std::lock_guard lock(FMutex);
    FProduct = std::move(text);
}

std::vector<THostCall> TestHost::Calls() const
{
    std::lock_guard lock(FMutex);
    return FCalls;
}

std::vector<THostCall> TestHost::CallsOf(VstInt32 opcode) const
{
    std::lock_guard lock(FMutex);
    std::vector<THostCall> calls;
    std::copy_if(FCalls.begin(), FCalls.end(), std::back_inserter(calls),
                 [opcode](const THostCall& call) { return call.opcode == opcode; });
    return calls;
}

std::string TestHost::Gestures() const
{
    std::string words;
    for (const THostCall& call : Calls())
    {
        const char kind = call.opcode == audioMasterBeginEdit  ? 'b'
                          : call.opcode == audioMasterEndEdit  ? 'e'
                          : call.opcode == audioMasterAutomate ? 'a'
                                                               : '\0';
        if (kind != '\0')
        {
            if (!words.empty())
            {
                words += ' ';
            }
            words += kind;
            words += std::to_string(call.index);
        }
    }
    return words;
}

std::vector<VstMidiEvent> TestHost::SentMidiEvents() const
{
    std::lock_guard lock(FMutex);
    std::vector<VstMidiEvent> events;
    for (const THostCall& call : FCalls)
    {
        events.insert(events.end(), call.midiEvents.begin(), call.midiEvents.end());
    }
    return events;
}

void TestHost::ClearCalls()
{
    std::lock_guard lock(FMutex);
    FCalls.clear();
}

VstIntPtr TestHost::Answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                           void* ptr, float opt)
{
    std::lock_guard lock(FMutex);
    THostCall call{effect, opcode, index, value, ptr, opt, {}};
    if (opcode == audioMasterProcessEvents && ptr)
    {
        const auto* events = static_cast<const VstEvents*>(ptr);
        for (VstInt32 i = 0; i < events->numEvents; ++i)
        {
            const VstEvent* event = events->events[i];
            if (event && event->type == kVstMidiType)
            {
                VstMidiEvent midi;
                std::memcpy(&midi, event, sizeof(midi));
                call.midiEvents.push_back(midi);
            }
        }
    }
    FCalls.push_back(std::move(call));

    if ((opcode == audioMasterGetVendorString || opcode == audioMasterGetProductString) && ptr)
    {
        const std::string& text = opcode == audioMasterGetVendorString ? FVendor : FProduct;
        if (text.empty())
        {
            return 0;
        }
        WriteHostString(ptr, text);
        return 1;
    }
    const auto answer = FAnswers.find(opcode);
    return answer != FAnswers.end() ? answer->second : 0;
}

} // namespace orvo::test

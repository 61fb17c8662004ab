// A plug-in module built from the framework's entry and a minimal effect, for the tests that
// load it with dlopen. The effect asks the host for its vendor version while being built:
// the answer 666 makes the factory throw, 667 makes it answer null. Its destructor calls
// audioMasterIdle, so that a test can count destructions through the host.

#include "vst2/DAudioEffectX.h"
#include "vst2/uVstEntry.h"

#include <stdexcept>

namespace
{

constexpr VstIntPtr ThrowAnswer = 666;
constexpr VstIntPtr NullAnswer = 667;

class TModuleEffect : public orvo::AudioEffectX
{
  public:
    explicit TModuleEffect(audioMasterCallback host) : AudioEffectX(host, 1, 1)
    {
        setUniqueID(fourCharCode('T', 'e', 's', 't'));
        setNumInputs(2);
    }
    ~TModuleEffect() override { masterIdle(); }

    void processReplacing(float** /*inputs*/, float** /*outputs*/,
                          VstInt32 /*sampleFrames*/) noexcept override
    {
    }
};

} // namespace

orvo::AudioEffect* orvo::createEffectInstance(audioMasterCallback audioMaster)
{
    auto effect = new TModuleEffect(audioMaster);
    const VstInt32 vendorVersion = effect->getHostVendorVersion();
    if (vendorVersion == ThrowAnswer || vendorVersion == NullAnswer)
    {
        delete effect;
        if (vendorVersion == ThrowAnswer)
        {
            throw std::runtime_error("construction failed");
        }
        return nullptr;
    }
    return effect;
}

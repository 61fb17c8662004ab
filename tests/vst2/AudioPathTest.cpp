// The processing calls allocate nothing: the real chains on both paths, settings taken over
// from the host between blocks, MIDI thru, mapped controllers (the oversampling switch
// among them), learning and map commands included. Counts every operator new of the
// program while a probe lives.
#include "tests/support/AllocationProbe.h"
#include "tests/vst2/TPluginFixture.h"

namespace orvo::test
{
namespace
{
// A host that keeps nothing, so only the effect's own allocations are counted.
VstIntPtr VSTCALL QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(AudioPath, ProcessingAllocatesNothing)
{
    TTempFolder folder;
    TFakeModuleFile moduleFile;
    moduleFile.Path = (folder.Path() / "Orvo.so").string();
    const TFakeResources resources;
    const TPosixFileSystem fileSystem;
    const TFixedLocale locale;
    const TRecordingMessageBox messageBox;
    auto* plugin = new APlugin(&QuietHost, {moduleFile, resources, fileSystem, locale, messageBox},
                               &MakePluginEditor);
    AEffect* effect = plugin->getAeffect();

    std::vector<VstMidiEvent> events;
    for (int i = 0; i < 40; ++i)
    {
        events.push_back(MidiEvent(i * 37 - 20, static_cast<std::uint8_t>(0x80 + (i % 7) * 0x10),
                                   static_cast<std::uint8_t>(20 + i % 16),
                                   static_cast<std::uint8_t>(i)));
    }
    test::TEventList eventList(events);
    VstEvents* list = eventList.Get();
    std::vector<float> in(1024, 0.5f);
    std::vector<float> out(1024, 0.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    effect->processReplacing(effect, inputs, outputs, 1024); // the first block may prepare

    const TAllocationProbe probe;
    for (int block = 0; block < 4; ++block)
    {
        // New crossover coefficients, a transient band, a Tube curve and a chain switch,
        // taken over by the next call on the processing thread.
        effect->setParameter(effect, prTuning, 0.2f * static_cast<float>(block));
        effect->setParameter(effect, prHi, 0.9f - 0.2f * static_cast<float>(block));
        effect->setParameter(effect, prTube, 0.3f * static_cast<float>(block % 3));
        effect->setParameter(effect, prOverSample, static_cast<float>(block % 2));
        effect->dispatcher(effect, effMainsChanged, 0, block % 2, nullptr, 0.0f);
        if (block == 1)
        {
            plugin->effect().StartMidiLearn(prTube);
        }
        if (block == 2)
        {
            plugin->effect().ResetMidiMap();
        }
        if (block == 3)
        {
            plugin->effect().RestoreDefaultMidiMap();
        }
        effect->dispatcher(effect, effProcessEvents, 0, 0, list, 0.0f);
        effect->processReplacing(effect, inputs, outputs, 1024);
        effect->dispatcher(effect, effProcessEvents, 0, 0, list, 0.0f);
        effect->process(effect, inputs, outputs, 1000);
    }
    EXPECT_EQ(probe.Count(), 0u);
    EXPECT_NE(out, in); // the chain ran
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
} // namespace
} // namespace orvo::test

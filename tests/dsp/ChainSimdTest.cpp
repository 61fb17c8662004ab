#include <gtest/gtest.h>

#include "dsp/simd/uVectorFilterKernels.h"
#include "dsp/uOrvoChain.h"
#include "parameters/uParameterTable.h"
#include "tests/dsp/DspTestSupport.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace
{

using orvo::TOrvoChain;
using orvo::TSimdLevel;
using orvo::test::TScriptedMidiClock;

// One step of a random program: host-side changes before a block, the block itself, and
// parameter changes arriving as MIDI at positions inside it.
struct TProgramStep
{
    struct TChange
    {
        std::int32_t Index;
        float Value;
    };
    std::vector<TChange> HostChanges;
    float SampleRate = 0.0f; // 0: unchanged
    bool Suspend = false;
    bool Adding = false;
    std::int32_t Frames = 0;
    std::vector<std::pair<std::int32_t, TChange>> MidiChanges;
};

std::vector<TProgramStep> RandomProgram(std::mt19937& random, int steps)
{
    std::vector<TProgramStep> program;
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float rates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f};
    for (int s = 0; s < steps; ++s)
    {
        TProgramStep step;
        const unsigned shape = random() % 10;
        step.Frames = shape == 0   ? 1 + static_cast<std::int32_t>(random() % 8)
                      : shape == 1 ? 8192
                                   : 1 + static_cast<std::int32_t>(random() % 700);
        for (unsigned c = random() % 4; c > 0; --c)
        {
            // "Tuning" and the band knobs most often: they start glides.
            const unsigned pick = random() % 8;
            const std::int32_t index = pick < 3 ? 11 : static_cast<std::int32_t>(random() % 15);
            step.HostChanges.push_back({index, unit(random)});
        }
        if (random() % 25 == 0)
        {
            step.SampleRate = rates[random() % 4];
        }
        step.Suspend = random() % 40 == 0;
        step.Adding = random() % 3 == 0;
        for (unsigned m = random() % 5; m > 0; --m)
        {
            const std::int32_t pos = static_cast<std::int32_t>(random() % step.Frames);
            const std::int32_t index =
                random() % 2 == 0 ? 11 : static_cast<std::int32_t>(random() % 15);
            step.MidiChanges.push_back({pos, {index, unit(random)}});
        }
        program.push_back(step);
    }
    return program;
}

// Music-like input with silent stretches (where the filters decay into the flush range)
// and a few loud bursts.
void FillInput(std::mt19937& random, orvo::test::TStereo& buffer)
{
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    const unsigned kind = random() % 6;
    for (std::size_t i = 0; i < buffer.L.size(); ++i)
    {
        const float scale = kind == 0 ? 0.0f : kind == 1 ? 1e-20f : kind == 2 ? 3.0f : 0.5f;
        buffer.L[i] = scale * noise(random);
        buffer.R[i] = scale * noise(random);
    }
}

class TChainRun
{
  public:
    explicit TChainRun(const orvo::TFilterKernels& kernels) : FChain(std::make_unique<TOrvoChain>())
    {
        FChain->SetFilterKernels(kernels);
    }

    void Run(const TProgramStep& step, orvo::test::TStereo& input, orvo::test::TStereo& output)
    {
        if (step.SampleRate > 0.0f)
        {
            FChain->SetSampleRate(step.SampleRate);
        }
        if (step.Suspend)
        {
            FChain->Suspend();
        }
        for (const auto& change : step.HostChanges)
        {
            FChain->SetParameter(change.Index, change.Value);
        }
        TScriptedMidiClock clock;
        for (const auto& [pos, midiChange] : step.MidiChanges)
        {
            TOrvoChain* chain = FChain.get();
            const auto previous = clock.Events[pos];
            // A copy: clang before 16 cannot capture a structured binding.
            const auto change = midiChange;
            clock.Events[pos] = [chain, previous, change]()
            {
                if (previous)
                {
                    previous();
                }
                chain->SetParameter(change.Index, change.Value);
            };
        }
        if (step.Adding)
        {
            FChain->ProcessAdding(input.In(), output.Out(), step.Frames, &clock);
        }
        else
        {
            FChain->ProcessReplacing(input.In(), output.Out(), step.Frames, &clock);
        }
    }

    const TOrvoChain& Chain() const { return *FChain; }

  private:
    std::unique_ptr<TOrvoChain> FChain;
};

bool SameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST(ChainSimd, EveryVectorPathGivesTheScalarSamplesOnLongRandomPrograms)
{
    for (TSimdLevel level : {orvo::slSse2, orvo::slAvx2, orvo::slAvx512})
    {
        if (!orvo::SimdLevelSupported(level))
        {
            continue;
        }
        std::mt19937 random(1234 + level);
        const std::vector<TProgramStep> program = RandomProgram(random, 250);
        TChainRun scalar(orvo::ScalarFilterKernels);
        TChainRun vector(orvo::FilterKernelsFor(level));
        for (std::size_t s = 0; s < program.size(); ++s)
        {
            const TProgramStep& step = program[s];
            orvo::test::TStereo input(static_cast<std::size_t>(step.Frames));
            FillInput(random, input);
            orvo::test::TStereo scalarOut(input.L.size(), 0.25f);
            orvo::test::TStereo vectorOut(input.L.size(), 0.25f);
            scalar.Run(step, input, scalarOut);
            vector.Run(step, input, vectorOut);
            ASSERT_TRUE(SameBits(scalarOut.L, vectorOut.L) && SameBits(scalarOut.R, vectorOut.R))
                << orvo::SimdLevelName(level) << ", step " << s << " of " << step.Frames
                << " frames";
        }
        for (int f = 0; f < 12; ++f)
        {
            const auto& a = scalar.Chain().Filter(f).Core();
            const auto& b = vector.Chain().Filter(f).Core();
            EXPECT_EQ(0, std::memcmp(a.FState.data(), b.FState.data(), sizeof(a.FState)))
                << orvo::SimdLevelName(level) << ", filter " << f;
            EXPECT_EQ(0, std::memcmp(a.FCoef.data(), b.FCoef.data(), sizeof(a.FCoef)))
                << orvo::SimdLevelName(level) << ", filter " << f;
        }
    }
}

// A quiet burst, then silence long enough for the transient bands' envelopes to decay through
// their floor, where each must become 0 exactly as on the scalar path (the vector paths
// follow the envelopes without the floor and must notice when it would have acted).
TEST(ChainSimd, EnvelopesDecayingThroughTheFloorMatchTheScalarPath)
{
    for (const auto& [level, overSample] :
         {std::pair{orvo::slSse2, 0.0f}, std::pair{orvo::slAvx2, 0.0f},
          std::pair{orvo::slAvx512, 0.0f}, std::pair{orvo::slAvx2, 1.0f},
          std::pair{orvo::slAvx512, 1.0f}})
    {
        if (!orvo::SimdLevelSupported(level))
        {
            continue;
        }
        TChainRun scalar(orvo::ScalarFilterKernels);
        TChainRun vector(orvo::FilterKernelsFor(level));
        TProgramStep step;
        step.Frames = 256;
        for (std::int32_t band = orvo::prLo; band <= orvo::prHi; ++band)
        {
            step.HostChanges.push_back({band, 0.8f}); // transient mode
        }
        step.HostChanges.push_back({orvo::prInGain, 0.75f});
        step.HostChanges.push_back({orvo::prOutGain, 0.75f});
        step.HostChanges.push_back({orvo::prOverSample, overSample});
        std::mt19937 random(99);
        std::uniform_real_distribution<float> noise(-1e-20f, 1e-20f);
        std::array<bool, 5> rose{};
        for (int block = 0; block < 60; ++block)
        {
            orvo::test::TStereo input(static_cast<std::size_t>(step.Frames));
            for (std::size_t i = 0; block == 0 && i < input.L.size(); ++i)
            {
                input.L[i] = noise(random);
                input.R[i] = noise(random);
            }
            orvo::test::TStereo scalarOut(input.L.size());
            orvo::test::TStereo vectorOut(input.L.size());
            scalar.Run(step, input, scalarOut);
            vector.Run(step, input, vectorOut);
            step.HostChanges.clear();
            ASSERT_TRUE(SameBits(scalarOut.L, vectorOut.L) && SameBits(scalarOut.R, vectorOut.R))
                << orvo::SimdLevelName(level) << " x" << 1 + overSample << ", block " << block;
            for (int band = 0; band < 5; ++band)
            {
                const double expected = scalar.Chain().Dispersion(band).Envelope();
                ASSERT_EQ(std::bit_cast<std::uint64_t>(expected),
                          std::bit_cast<std::uint64_t>(vector.Chain().Dispersion(band).Envelope()))
                    << orvo::SimdLevelName(level) << " x" << 1 + overSample << ", block " << block
                    << ", band " << band;
                rose[static_cast<std::size_t>(band)] |= expected > 0.0;
            }
        }
        for (int band = 0; band < 5; ++band)
        {
            EXPECT_TRUE(rose[static_cast<std::size_t>(band)] &&
                        scalar.Chain().Dispersion(band).Envelope() == 0.0)
                << "band " << band << " did not rise and fall back to 0";
        }
    }
}

} // namespace

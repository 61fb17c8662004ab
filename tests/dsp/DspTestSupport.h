// Helpers shared by the DSP tests: a scripted MIDI clock, stereo buffers and a frequency
// response evaluated from a filter's coefficients.
#pragma once

#include "dsp/uOrvoChain.h"
#include "dsp/uRBJFilter.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace orvo::test
{

/// Events at host-rate positions; each dispatch runs the action given for its position and
/// records the position it was called with.
class TScriptedMidiClock final : public IMidiClock
{
  public:
    std::map<std::int32_t, std::function<void()>> Events;
    std::vector<std::int32_t> Dispatched;

    std::int32_t NextMidiPos() const noexcept override
    {
        return Events.empty() ? NoMidiDue : Events.begin()->first;
    }
    void DispatchMidiAt(std::int32_t pos) noexcept override
    {
        Dispatched.push_back(pos);
        auto it = Events.find(pos);
        if (it != Events.end())
        {
            auto action = it->second;
            Events.erase(it);
            if (action)
            {
                action();
            }
        }
    }
};

struct TStereo
{
    std::vector<float> L;
    std::vector<float> R;

    explicit TStereo(std::size_t frames, float value = 0.0f) : L(frames, value), R(frames, value) {}
    const float* const* In()
    {
        FIn[0] = L.data();
        FIn[1] = R.data();
        return FIn;
    }
    float* const* Out()
    {
        FOut[0] = L.data();
        FOut[1] = R.data();
        return FOut;
    }

  private:
    const float* FIn[2]{};
    float* FOut[2]{};
};

/// |H(e^jw)| of the settled coefficients, w = 2 pi f / rate.
inline double Magnitude(const TBiquadCore& core, double frequency, double rate)
{
    const auto& c = core.FCoefTarget;
    const std::complex<double> z1 =
        std::polar(1.0, -2.0 * 3.14159265358979323846 * frequency / rate);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((c[0] + c[1] * z1 + c[2] * z2) / (1.0 + c[4] * z1 + c[5] * z2));
}

inline double ToDecibels(double gain)
{
    return 20.0 * std::log10(gain);
}

} // namespace orvo::test

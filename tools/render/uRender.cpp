#include "tools/render/uRender.h"

#include <algorithm>
#include <cmath>

namespace orvo
{

namespace
{

/// Pulls input frames: returns how many it wrote (fewer than asked at the end).
using TSource = std::function<std::int64_t(float* left, float* right, std::int64_t count)>;
using TSink = std::function<void(const float* left, const float* right, std::int64_t count)>;

void RenderStream(TVstPlugin& plugin, double rate, std::int64_t inputFrames,
                  const TSource& source, const TSink& sink, const TRenderSettings& settings,
                  const TProgress& progress, const std::atomic<bool>* cancel)
{
    const std::int32_t block = std::max<std::int32_t>(1, settings.BlockSize);
    const auto tailFrames =
        static_cast<std::int64_t>(std::llround(std::max(0.0, settings.TailSeconds) * rate));
    const std::int64_t total = inputFrames + tailFrames;
    const std::vector<TMidiMessage> midi = MidiAtFrames(settings.Midi, rate);

    std::vector<float> inLeft(static_cast<std::size_t>(block));
    std::vector<float> inRight(inLeft.size());
    std::vector<float> outLeft(inLeft.size());
    std::vector<float> outRight(inLeft.size());
    std::vector<TMidiMessage> due;
    auto nextEvent = midi.begin();

    plugin.Start(rate, block);
    bool sourceDone = false;
    std::int64_t done = 0;
    while (done < total)
    {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
        {
            plugin.Stop();
            throw ECancelled();
        }
        const std::int64_t count = std::min<std::int64_t>(block, total - done);
        std::int64_t read = 0;
        if (!sourceDone)
        {
            read = source(inLeft.data(), inRight.data(), count);
            sourceDone = read < count;
        }
        std::fill(inLeft.begin() + read, inLeft.begin() + count, 0.0f);
        std::fill(inRight.begin() + read, inRight.begin() + count, 0.0f);

        due.clear();
        while (nextEvent != midi.end() && nextEvent->Frame < done + count)
        {
            due.push_back({nextEvent->Frame - done, nextEvent->Bytes});
            ++nextEvent;
        }
        const float* inputs[2] = {inLeft.data(), inRight.data()};
        float* outputs[2] = {outLeft.data(), outRight.data()};
        plugin.Process(inputs, outputs, count, due);
        sink(outLeft.data(), outRight.data(), count);
        done += count;
        if (progress)
        {
            progress(done, total);
        }
    }
    plugin.Stop();
}

} // namespace

std::vector<TMidiMessage> MidiAtFrames(const std::vector<TTimedMidi>& midi, double rate)
{
    std::vector<TMidiMessage> frames;
    frames.reserve(midi.size());
    for (const TTimedMidi& event : midi)
    {
        const double frame = std::nearbyint(std::max(0.0, event.Seconds) * rate);
        frames.push_back({static_cast<std::int64_t>(frame), event.Bytes});
    }
    std::stable_sort(frames.begin(), frames.end(),
                     [](const TMidiMessage& a, const TMidiMessage& b) { return a.Frame < b.Frame; });
    return frames;
}

TStereoAudio RenderAudio(TVstPlugin& plugin, const TStereoAudio& input,
                         const TRenderSettings& settings)
{
    TStereoAudio output;
    output.SampleRate = input.SampleRate;
    std::int64_t read = 0;
    const TSource source = [&](float* left, float* right, std::int64_t count) {
        const std::int64_t n = std::min(count, input.Frames() - read);
        std::copy_n(input.Left.begin() + read, n, left);
        std::copy_n(input.Right.begin() + read, n, right);
        read += n;
        return n;
    };
    const TSink sink = [&](const float* left, const float* right, std::int64_t count) {
        output.Left.insert(output.Left.end(), left, left + count);
        output.Right.insert(output.Right.end(), right, right + count);
    };
    RenderStream(plugin, input.SampleRate, input.Frames(), source, sink, settings, {}, nullptr);
    return output;
}

TFileRenderReport RenderFile(TVstPlugin& plugin, const std::filesystem::path& input,
                             const std::filesystem::path& output, const TRenderSettings& settings,
                             const TProgress& progress, const std::atomic<bool>* cancel)
{
    TAudioReader reader(input);
    TAudioWriter writer(output, reader.SampleRate(),
                        settings.Bits != 0 ? SampleEncodingForBits(settings.Bits) : reader.Format(),
                        settings.Bits != 0);
    TFileRenderReport report;
    report.SampleRate = reader.SampleRate();
    report.InputChannels = reader.Channels();
    report.InputCutShort = reader.CutShort();
    report.OutputFrames =
        reader.Frames() +
        static_cast<std::int64_t>(std::llround(std::max(0.0, settings.TailSeconds) * reader.SampleRate()));
    writer.CheckRoomFor(report.OutputFrames);
    const TSource source = [&](float* left, float* right, std::int64_t count) {
        std::int64_t got = 0;
        while (got < count)
        {
            const std::int64_t n = reader.Read(left + got, right + got, count - got);
            if (n == 0)
            {
                break;
            }
            got += n;
        }
        report.InputFrames += got;
        return got;
    };
    const TSink sink = [&](const float* left, const float* right, std::int64_t count) {
        writer.Write(left, right, count);
    };
    RenderStream(plugin, reader.SampleRate(), reader.Frames(), source, sink, settings, progress,
                 cancel);
    writer.Commit();
    // A file that held fewer frames than it said (a stream cut short) counts as cut short.
    report.InputCutShort = report.InputCutShort || report.InputFrames < reader.Frames();
    report.Peak = writer.Peak();
    report.IntegerOutput = writer.IntegerSamples();
    report.Clipped = writer.IntegerSamples() ? writer.OverFullScale() : 0;
    report.OutputEncoding = writer.EncodingName();
    return report;
}

} // namespace orvo

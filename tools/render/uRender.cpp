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

struct TStreamCounts
{
    std::int64_t InputFrames = 0;
    std::int64_t OutputFrames = 0;
    std::int64_t MidiNotSent = 0;
};

/// Runs the source through the effect until the source ends, then the tail. expected is
/// the source's length for the progress (negative when it is not known).
TStreamCounts RenderStream(TVstPlugin& plugin, double rate, std::int64_t expected,
                           const TSource& source, const TSink& sink,
                           const TRenderSettings& settings, const TProgress& progress,
                           const std::atomic<bool>* cancel)
{
    const std::int32_t block = std::max<std::int32_t>(1, settings.BlockSize);
    const auto tailFrames =
        static_cast<std::int64_t>(std::llround(std::max(0.0, settings.TailSeconds) * rate));
    const std::int64_t total = expected >= 0 ? expected + tailFrames : 0;
    const std::vector<TMidiMessage> midi = MidiAtFrames(settings.Midi, rate);

    std::vector<float> inLeft(static_cast<std::size_t>(block));
    std::vector<float> inRight(inLeft.size());
    std::vector<float> outLeft(inLeft.size());
    std::vector<float> outRight(inLeft.size());
    std::vector<TMidiMessage> due;
    auto nextEvent = midi.begin();

    plugin.Start(rate, block);
    TStreamCounts counts;
    bool sourceDone = false;
    std::int64_t tailLeft = tailFrames;
    std::int64_t& done = counts.OutputFrames;
    while (true)
    {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
        {
            plugin.Stop();
            throw ECancelled();
        }
        std::int64_t read = 0;
        if (!sourceDone)
        {
            read = source(inLeft.data(), inRight.data(), block);
            sourceDone = read < block;
            counts.InputFrames += read;
        }
        // The block in which the input ends is filled up with the tail's first frames.
        const std::int64_t tail = std::min<std::int64_t>(block - read, sourceDone ? tailLeft : 0);
        tailLeft -= tail;
        const std::int64_t count = read + tail;
        if (count == 0)
        {
            break;
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
            progress(done, std::max(total, done));
        }
    }
    plugin.Stop();
    counts.MidiNotSent = midi.end() - nextEvent;
    return counts;
}

} // namespace

std::vector<TMidiMessage> MidiAtFrames(const std::vector<TTimedMidi>& midi, double rate)
{
    std::vector<TMidiMessage> frames;
    frames.reserve(midi.size());
    for (const TTimedMidi& event : midi)
    {
        frames.push_back({FrameAt(event.Seconds, rate), event.Bytes});
    }
    std::stable_sort(frames.begin(), frames.end(),
                     [](const TMidiMessage& a, const TMidiMessage& b)
                     { return a.Frame < b.Frame; });
    return frames;
}

TStereoAudio RenderAudio(TVstPlugin& plugin, const TStereoAudio& input,
                         const TRenderSettings& settings)
{
    TStereoAudio output;
    output.SampleRate = input.SampleRate;
    std::int64_t read = 0;
    const TSource source = [&](float* left, float* right, std::int64_t count)
    {
        const std::int64_t n = std::min(count, input.Frames() - read);
        std::copy_n(input.Left.begin() + read, n, left);
        std::copy_n(input.Right.begin() + read, n, right);
        read += n;
        return n;
    };
    const TSink sink = [&](const float* left, const float* right, std::int64_t count)
    {
        output.Left.insert(output.Left.end(), left, left + count);
        output.Right.insert(output.Right.end(), right, right + count);
    };
    static_cast<void>(RenderStream(plugin, input.SampleRate, input.Frames(), source, sink, settings,
                                   {}, nullptr));
    return output;
}

TFileRenderReport RenderFile(TVstPlugin& plugin, const std::filesystem::path& input,
                             const std::filesystem::path& output, const TRenderSettings& settings,
                             const TProgress& progress, const std::atomic<bool>* cancel)
{
    TAudioReader reader(input);
    TAudioWriter writer(output, reader.SampleRate(),
                        settings.Bits != 0 ? SampleEncodingForBits(settings.Bits) : reader.Format(),
                        settings.Bits != 0, settings.OutputType);
    TFileRenderReport report;
    report.SampleRate = reader.SampleRate();
    report.InputChannels = reader.Channels();
    const auto tailFrames = static_cast<std::int64_t>(
        std::llround(std::max(0.0, settings.TailSeconds) * reader.SampleRate()));
    if (reader.LengthKnown())
    {
        writer.CheckRoomFor(reader.Frames() + tailFrames);
    }
    const TSource source = [&](float* left, float* right, std::int64_t count)
    {
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
        return got;
    };
    const TSink sink = [&](const float* left, const float* right, std::int64_t count)
    { writer.Write(left, right, count); };
    const TStreamCounts counts =
        RenderStream(plugin, reader.SampleRate(), reader.LengthKnown() ? reader.Frames() : -1,
                     source, sink, settings, progress, cancel);
    writer.Commit();
    report.InputFrames = counts.InputFrames;
    report.OutputFrames = counts.OutputFrames;
    report.MidiPastEnd = counts.MidiNotSent;
    report.InputCutShort = reader.CutShort();
    report.Peak = writer.Peak();
    report.IntegerOutput = writer.IntegerSamples();
    report.Clipped = writer.IntegerSamples() ? writer.OverFullScale() : 0;
    report.OutputEncoding = writer.EncodingName();
    return report;
}

} // namespace orvo

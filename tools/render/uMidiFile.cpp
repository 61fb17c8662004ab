#include "tools/render/uMidiFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <string>

namespace orvo
{

namespace
{

/// Tempo until the first tempo event: 120 beats per minute, in microseconds per beat.
constexpr std::uint32_t DefaultTempo = 500000;
/// A variable-length quantity has at most four bytes (28 bits).
constexpr int MaxQuantityBytes = 4;

struct TReader
{
    std::span<const std::uint8_t> Bytes;
    std::size_t Pos = 0;

    [[nodiscard]] bool AtEnd() const { return Pos >= Bytes.size(); }
    std::uint8_t Byte()
    {
        if (AtEnd())
        {
            throw EMidiFile("unexpected end of data at byte " + std::to_string(Pos));
        }
        return Bytes[Pos++];
    }
    std::uint32_t BigEndian(int count)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i)
        {
            value = (value << 8) | Byte();
        }
        return value;
    }
    std::uint32_t Quantity()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < MaxQuantityBytes; ++i)
        {
            const std::uint8_t b = Byte();
            value = (value << 7) | (b & 0x7Fu);
            if ((b & 0x80u) == 0)
            {
                return value;
            }
        }
        throw EMidiFile("variable-length number longer than four bytes at byte " +
                        std::to_string(Pos));
    }
    void Skip(std::size_t count)
    {
        if (count > Bytes.size() - Pos)
        {
            throw EMidiFile("unexpected end of data at byte " + std::to_string(Pos));
        }
        Pos += count;
    }
};

struct TTickEvent
{
    std::uint64_t Tick;
    std::array<std::uint8_t, 3> Bytes;
};

struct TTempoChange
{
    std::uint64_t Tick;
    std::uint32_t MicrosecondsPerBeat;
};

/// Number of data bytes after a channel status byte.
int DataBytes(std::uint8_t status)
{
    const std::uint8_t kind = status & 0xF0u;
    return (kind == 0xC0u || kind == 0xD0u) ? 1 : 2;
}

void ReadTrack(TReader track, std::vector<TTickEvent>& events, std::vector<TTempoChange>& tempi)
{
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (!track.AtEnd())
    {
        tick += track.Quantity();
        std::uint8_t status = track.Byte();
        if (status < 0x80u)
        {
            if (running == 0)
            {
                throw EMidiFile("data byte without a status byte at byte " +
                                std::to_string(track.Pos - 1));
            }
            --track.Pos; // running status: this byte is the first data byte
            status = running;
        }
        if (status == 0xFFu)
        {
            const std::uint8_t type = track.Byte();
            const std::uint32_t length = track.Quantity();
            const std::size_t start = track.Pos;
            track.Skip(length);
            running = 0;
            if (type == 0x2Fu)
            {
                return; // end of track
            }
            if (type == 0x51u && length == 3)
            {
                const auto* d = track.Bytes.data() + start;
                const std::uint32_t tempo =
                    (std::uint32_t{d[0]} << 16) | (std::uint32_t{d[1]} << 8) | d[2];
                tempi.push_back({tick, tempo == 0 ? 1u : tempo});
            }
            continue;
        }
        if (status == 0xF0u || status == 0xF7u)
        {
            track.Skip(track.Quantity());
            running = 0;
            continue;
        }
        if (status > 0xF0u)
        {
            throw EMidiFile("system real-time or common message inside a track at byte " +
                            std::to_string(track.Pos - 1));
        }
        running = status;
        TTickEvent event{tick, {status, 0, 0}};
        for (int i = 0; i < DataBytes(status); ++i)
        {
            event.Bytes[static_cast<std::size_t>(i) + 1] = track.Byte() & 0x7Fu;
        }
        events.push_back(event);
    }
}

} // namespace

std::vector<TTimedMidi> ParseMidiFile(std::span<const std::uint8_t> bytes)
{
    TReader file{bytes};
    if (bytes.size() < 14 || file.BigEndian(4) != 0x4D546864u) // "MThd"
    {
        throw EMidiFile("not a Standard MIDI File (no MThd header)");
    }
    const std::uint32_t headerLength = file.BigEndian(4);
    if (headerLength < 6)
    {
        throw EMidiFile("MIDI file header too short");
    }
    const std::uint32_t format = file.BigEndian(2);
    const std::uint32_t trackCount = file.BigEndian(2);
    const std::uint32_t division = file.BigEndian(2);
    file.Skip(headerLength - 6);
    if (format > 1)
    {
        throw EMidiFile("MIDI file format " + std::to_string(format) +
                        " is not supported (only formats 0 and 1)");
    }

    // Seconds per tick: metrical division scales with the tempo, SMPTE division does not.
    const bool smpte = (division & 0x8000u) != 0;
    double secondsPerTickFixed = 0.0;
    if (smpte)
    {
        const int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        const std::uint32_t ticksPerFrame = division & 0xFFu;
        if (framesPerSecond <= 0 || ticksPerFrame == 0)
        {
            throw EMidiFile("MIDI file has an invalid time division");
        }
        // 29 stands for 29.97 frames per second (drop-frame).
        const double rate = framesPerSecond == 29 ? 30000.0 / 1001.0 : framesPerSecond;
        secondsPerTickFixed = 1.0 / (rate * ticksPerFrame);
    }
    else if (division == 0)
    {
        throw EMidiFile("MIDI file has an invalid time division of 0");
    }

    std::vector<TTickEvent> events;
    std::vector<TTempoChange> tempi;
    std::uint32_t tracksRead = 0;
    while (!file.AtEnd() && tracksRead < trackCount)
    {
        const std::uint32_t id = file.BigEndian(4);
        const std::uint32_t length = file.BigEndian(4);
        if (length > bytes.size() - file.Pos)
        {
            throw EMidiFile("MIDI track " + std::to_string(tracksRead) +
                            " is longer than the file");
        }
        if (id == 0x4D54726Bu) // "MTrk"
        {
            // Each track's events come out in time order; the stable sort below keeps
            // track order for equal times.
            ReadTrack(TReader{bytes.subspan(file.Pos, length)}, events, tempi);
            ++tracksRead;
        }
        file.Skip(length);
    }
    if (tracksRead == 0)
    {
        throw EMidiFile("MIDI file has no track");
    }

    std::stable_sort(events.begin(), events.end(),
                     [](const TTickEvent& a, const TTickEvent& b) { return a.Tick < b.Tick; });
    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const TTempoChange& a, const TTempoChange& b) { return a.Tick < b.Tick; });

    std::vector<TTimedMidi> timed;
    timed.reserve(events.size());
    std::size_t nextTempo = 0;
    std::uint64_t segmentTick = 0;
    double segmentSeconds = 0.0;
    double secondsPerTick = smpte ? secondsPerTickFixed : DefaultTempo * 1e-6 / division;
    for (const TTickEvent& event : events)
    {
        if (!smpte)
        {
            while (nextTempo < tempi.size() && tempi[nextTempo].Tick <= event.Tick)
            {
                segmentSeconds +=
                    static_cast<double>(tempi[nextTempo].Tick - segmentTick) * secondsPerTick;
                segmentTick = tempi[nextTempo].Tick;
                secondsPerTick = tempi[nextTempo].MicrosecondsPerBeat * 1e-6 / division;
                ++nextTempo;
            }
        }
        timed.push_back(
            {segmentSeconds + static_cast<double>(event.Tick - segmentTick) * secondsPerTick,
             event.Bytes});
    }
    return timed;
}

std::int64_t FrameAt(double seconds, double rate) noexcept
{
    constexpr auto LastFrame = std::numeric_limits<std::int64_t>::max();
    const double frame = std::nearbyint(std::max(0.0, seconds) * rate);
    return frame < static_cast<double>(LastFrame) ? static_cast<std::int64_t>(frame) : LastFrame;
}

std::vector<TTimedMidi> LoadMidiFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
    {
        throw EMidiFile("MIDI file " + path.string() + " is a folder");
    }
    const std::string tooLarge = path.string() + " is larger than " +
                                 std::to_string(MaxMidiFileBytes >> 20) +
                                 " MiB: not a Standard MIDI File for a render";
    // A regular file is judged by its size before anything is read; anything else (a
    // pipe, a device) by what it gives, up to one byte beyond the limit.
    if (std::filesystem::is_regular_file(path, ec) &&
        std::filesystem::file_size(path, ec) > MaxMidiFileBytes && !ec)
    {
        throw EMidiFile(tooLarge);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        throw EMidiFile("cannot open MIDI file " + path.string());
    }
    constexpr std::size_t ChunkBytes = 65536;
    std::vector<std::uint8_t> bytes;
    while (in)
    {
        const std::size_t had = bytes.size();
        bytes.resize(had + ChunkBytes);
        in.read(reinterpret_cast<char*>(bytes.data() + had),
                static_cast<std::streamsize>(ChunkBytes));
        bytes.resize(had + static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > MaxMidiFileBytes)
        {
            throw EMidiFile(tooLarge);
        }
    }
    if (in.bad())
    {
        throw EMidiFile("cannot read MIDI file " + path.string());
    }
    try
    {
        return ParseMidiFile(bytes);
    }
    catch (const EMidiFile& error)
    {
        throw EMidiFile(path.string() + ": " + error.what());
    }
}

} // namespace orvo

// A reader of Standard MIDI Files (formats 0 and 1): the channel messages of every track,
// merged in time order, with their times in seconds from the file's tempo map.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <vector>

namespace orvo
{

/// A file that is not a Standard MIDI File or is damaged; the message says where.
class EMidiFile : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

struct TTimedMidi
{
    double Seconds = 0.0;
    /// Status byte, then one or two data bytes (unused bytes are 0).
    std::array<std::uint8_t, 3> Bytes{};
};

/// Parses the bytes of a Standard MIDI File. System exclusive and meta events other than
/// tempo changes are skipped. Events at the same time keep the order of their tracks,
/// then their order within the track.
[[nodiscard]] std::vector<TTimedMidi> ParseMidiFile(std::span<const std::uint8_t> bytes);

/// The sample frame of a time in seconds at rate, rounded to the nearest; times before 0
/// are frame 0, and times past the largest frame number (a file at the slowest tempo
/// reaches 1e14 s) are held at that number instead of overflowing the conversion.
[[nodiscard]] std::int64_t FrameAt(double seconds, double rate) noexcept;

/// Largest MIDI file read: a Standard MIDI File of the controllers for one render is a
/// few kilobytes; 16 MiB holds millions of events. Larger files (or endless ones, such as
/// a device) are refused before they fill the memory.
constexpr std::size_t MaxMidiFileBytes = std::size_t{16} << 20;
/// Reads and parses a MIDI file of at most MaxMidiFileBytes; the messages name the file.
[[nodiscard]] std::vector<TTimedMidi> LoadMidiFile(const std::filesystem::path& path);

} // namespace orvo

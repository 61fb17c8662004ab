#include "tools/render/uDemo.h"

#include "parameters/uParameterTable.h"
#include "tools/render/uDemoPiece.h"
#include "tools/render/uEditorShot.h"
#include "tools/render/uPicture.h"
#include "tools/render/uPluginSetup.h"
#include "tools/render/uRender.h"
#include "tools/render/uSignalStats.h"
#include "tools/render/uTextNumbers.h"
#include "tools/render/uVstHost.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>
#include <optional>

namespace orvo
{

namespace
{

constexpr std::int32_t DemoBlockSize = 512;

constexpr TColour White{255, 255, 255};
constexpr TColour Frame{200, 200, 200};
constexpr TColour Grid{232, 232, 232};
constexpr TColour Ink{60, 60, 60};
constexpr TColour Processed{42, 111, 219, 190};
constexpr TColour DryOutline{30, 30, 30};

// Waveform picture: the whole piece above, a half-second zoom on a snare and a kick below;
// the amplitude scale in the wider left margin.
constexpr int WaveWidth = 960;
constexpr int WavePanelHeight = 150;
constexpr int WaveMargin = 14;
constexpr int WaveScaleMargin = 36;
constexpr double ZoomStart = 0.48;
constexpr double ZoomSeconds = 0.5;

// Frequency response picture: one panel per Tuning setting.
constexpr int ResponseWidth = 960;
constexpr int ResponsePanelHeight = 230;
constexpr double LowestFrequency = 20.0;
constexpr double HighestFrequency = 20000.0;
constexpr double TopDb = 6.0;
constexpr double BottomDb = -36.0;
constexpr int ResponsePoints = 240;
/// Silence before the impulse, so that mute fades settle (10 ms fades at 44.1 kHz).
constexpr std::int64_t PreRollFrames = 8192;
constexpr std::int64_t ImpulseResponseFrames = 8192;
/// Small enough that the Tube curve and the soft clipper stay close to linear.
constexpr float ImpulseLevel = 0.1f;

/// The editor's band colours (its artwork palette), low band to high.
constexpr std::array<TColour, 5> BandColours{{{0xe8, 0x70, 0x4e},
                                              {0xe9, 0xa6, 0x40},
                                              {0xc8, 0xd2, 0x5c},
                                              {0x5c, 0xc6, 0xb2},
                                              {0x64, 0xa2, 0xea}}};
constexpr TColour SumColour{0, 0, 0};
/// Silence rendered before the piece and dropped, so that each program starts from rest:
/// the fades and glides of a program change end inside it.
constexpr std::int64_t ProgramPreRollFrames = 4410;
struct TTuningSetting
{
    float Value;
    const char* Label;
};
constexpr std::array<TTuningSetting, 3> TuningSettings{
    {{0.0f, "-12 st"}, {0.5f, "0 st"}, {1.0f, "+12 st"}}};

std::string FileSafe(const std::string& name)
{
    std::string safe;
    for (const char c : name)
    {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        safe += plain ? c : '_';
    }
    return safe.empty() ? "program" : safe;
}

std::string Html(const std::string& text)
{
    std::string escaped;
    for (const char c : text)
    {
        switch (c)
        {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string TwoDigits(std::int32_t n)
{
    // Appended, not operator+ on a literal (a GCC 12 -O3 -Wrestrict false positive).
    std::string text = n < 10 ? "0" : "";
    text += std::to_string(n);
    return text;
}

/// Highest and lowest sample of both channels over frames [first, last).
std::pair<float, float> Extent(const TStereoAudio& audio, std::int64_t first, std::int64_t last)
{
    float high = 0.0f;
    float low = 0.0f;
    for (std::int64_t i = std::max<std::int64_t>(first, 0); i < std::min(last, audio.Frames()); ++i)
    {
        const auto n = static_cast<std::size_t>(i);
        high = std::max({high, audio.Left[n], audio.Right[n]});
        low = std::min({low, audio.Left[n], audio.Right[n]});
    }
    return {high, low};
}

void DrawWavePanel(TCanvas& canvas, int top, const TStereoAudio& dry, const TStereoAudio& wet,
                   double startSeconds, double seconds, double labelEvery)
{
    const int left = WaveScaleMargin;
    const int width = canvas.Width() - WaveScaleMargin - WaveMargin;
    const int middle = top + WavePanelHeight / 2;
    const double half = WavePanelHeight / 2.0 - 1.0;
    const auto row = [&](float sample)
    { return middle - static_cast<int>(std::lround(std::clamp(sample, -1.0f, 1.0f) * half)); };
    canvas.FillRect(left, top, width, WavePanelHeight, {250, 250, 250});
    // The amplitude scale: full scale at the panel's edges, half scale between.
    for (const float level : {1.0f, 0.5f, 0.0f, -0.5f, -1.0f})
    {
        canvas.FillRect(left, row(level), width, 1, level == 0.0f ? Frame : Grid);
        const std::string label = FormatNumber(level, 1);
        canvas.FillRect(left - 4, row(level), 4, 1, Ink);
        canvas.Text(left - 6 - TCanvas::TextWidth(label),
                    std::clamp(row(level) - 3, top, top + WavePanelHeight - 7), label, Ink);
    }

    const double rate = dry.SampleRate;
    const double framesPerColumn = seconds * rate / width;
    const auto firstFrame = [&](int column) {
        return static_cast<std::int64_t>(
            std::floor((startSeconds * rate) + column * framesPerColumn));
    };
    int lastHigh = middle;
    int lastLow = middle;
    for (int column = 0; column < width; ++column)
    {
        const std::int64_t first = firstFrame(column);
        const std::int64_t last = std::max(first + 1, firstFrame(column + 1));
        const auto [wetHigh, wetLow] = Extent(wet, first, last);
        canvas.VerticalSpan(left + column, row(wetHigh), row(wetLow), Processed);
        const auto [dryHigh, dryLow] = Extent(dry, first, last);
        const int high = row(dryHigh);
        const int low = row(dryLow);
        if (column > 0)
        {
            canvas.Line(left + column - 1, lastHigh, left + column, high, DryOutline);
            canvas.Line(left + column - 1, lastLow, left + column, low, DryOutline);
        }
        lastHigh = high;
        lastLow = low;
    }
    for (double t = 0.0; t <= seconds + 1e-9; t += labelEvery)
    {
        const int x = left + static_cast<int>(std::lround(t / seconds * (width - 1)));
        const std::string label = FormatNumber(startSeconds + t, 2) + "s";
        const int textX = std::clamp(x + 2, left + 2, left + width - 2 - TCanvas::TextWidth(label));
        canvas.FillRect(x, top + WavePanelHeight - 6, 1, 6, Ink);
        canvas.Text(textX, top + WavePanelHeight - 10, label, Ink);
    }
    canvas.Line(left, top, left + width - 1, top, Frame);
    canvas.Line(left, top + WavePanelHeight - 1, left + width - 1, top + WavePanelHeight - 1,
                Frame);
}

void WriteWaveformPicture(const std::filesystem::path& path, const TStereoAudio& dry,
                          const TStereoAudio& wet)
{
    TCanvas canvas(WaveWidth + WaveScaleMargin - WaveMargin, 3 * WaveMargin + 2 * WavePanelHeight,
                   White);
    const double seconds = static_cast<double>(dry.Frames()) / dry.SampleRate;
    DrawWavePanel(canvas, WaveMargin, dry, wet, 0.0, seconds, seconds > 2.0 ? 1.0 : 0.25);
    const double zoomStart = std::min(ZoomStart, std::max(0.0, seconds - ZoomSeconds));
    const double zoom = std::min(ZoomSeconds, seconds);
    DrawWavePanel(canvas, 2 * WaveMargin + WavePanelHeight, dry, wet, zoomStart, zoom, 0.1);
    canvas.Save(path);
}

struct TSplitParameters
{
    std::array<std::int32_t, 5> Bands{};
    std::array<std::int32_t, 5> Mutes{};
    std::int32_t Tuning = -1, Tube = -1, InGain = -1, OutGain = -1, OverSample = -1;
};

/// The parameters the response measurement needs; false when the effect lacks one.
bool FindSplitParameters(TVstPlugin& plugin, TSplitParameters& found)
{
    bool all = true;
    const auto find = [&](TParameter parameter)
    {
        const std::int32_t index = plugin.FindParameter(InfoOf(parameter).Name);
        all = all && index >= 0;
        return index;
    };
    for (std::size_t b = 0; b < BandNames.size(); ++b)
    {
        found.Bands[b] = find(BandParameters[b]);
        found.Mutes[b] = find(MuteParameters[b]);
    }
    found.Tuning = find(prTuning);
    found.Tube = find(prTube);
    found.InGain = find(prInGain);
    found.OutGain = find(prOutGain);
    found.OverSample = find(prOverSample);
    return all;
}

/// Magnitude response in dB at the picture's frequencies, from an impulse response.
std::vector<double> MagnitudeDb(const std::vector<double>& impulse, double rate)
{
    std::vector<double> db(ResponsePoints);
    for (int k = 0; k < ResponsePoints; ++k)
    {
        const double frequency =
            LowestFrequency * std::pow(HighestFrequency / LowestFrequency,
                                       static_cast<double>(k) / (ResponsePoints - 1));
        const double omega = 2.0 * 3.14159265358979323846 * frequency / rate;
        const std::complex<double> step(std::cos(omega), -std::sin(omega));
        std::complex<double> rotation(1.0, 0.0);
        std::complex<double> sum(0.0, 0.0);
        for (const double h : impulse)
        {
            sum += h * rotation;
            rotation *= step;
        }
        db[static_cast<std::size_t>(k)] = 20.0 * std::log10(std::max(std::abs(sum), 1e-9));
    }
    return db;
}

/// The impulse response of the effect in its current state (left channel).
std::vector<double> ImpulseResponse(TVstPlugin& plugin, double rate)
{
    TStereoAudio input;
    input.SampleRate = rate;
    input.Resize(PreRollFrames + ImpulseResponseFrames);
    input.Left[PreRollFrames] = ImpulseLevel;
    input.Right[PreRollFrames] = ImpulseLevel;
    TRenderSettings settings;
    settings.BlockSize = DemoBlockSize;
    const TStereoAudio output = RenderAudio(plugin, input, settings);
    std::vector<double> impulse(static_cast<std::size_t>(ImpulseResponseFrames));
    for (std::size_t i = 0; i < impulse.size(); ++i)
    {
        impulse[i] = output.Left[static_cast<std::size_t>(PreRollFrames) + i] / ImpulseLevel;
    }
    return impulse;
}

void DrawResponsePanel(TCanvas& canvas, int top, const char* title,
                       const std::vector<std::vector<double>>& bands,
                       const std::vector<double>& sum)
{
    const int left = 56;
    const int right = canvas.Width() - 16;
    const int plotTop = top + 22;
    const int plotBottom = top + ResponsePanelHeight - 26;
    const auto x = [&](double fraction) { return left + fraction * (right - left); };
    const auto y = [&](double db)
    {
        const double clamped = std::clamp(db, BottomDb - 3.0, TopDb);
        return plotTop + (TopDb - clamped) / (TopDb - BottomDb) * (plotBottom - plotTop);
    };
    const auto frequencyX = [&](double frequency) {
        return x(std::log(frequency / LowestFrequency) /
                 std::log(HighestFrequency / LowestFrequency));
    };

    canvas.Text(left, top + 6, title, Ink, 2);
    for (double db = TopDb; db >= BottomDb; db -= 6.0)
    {
        const int row = static_cast<int>(std::lround(y(db)));
        canvas.FillRect(left, row, right - left, 1, Grid);
        if (static_cast<int>(db) % 12 == 0)
        {
            const std::string label = FormatNumber(db, 0);
            canvas.Text(left - 8 - TCanvas::TextWidth(label), row - 3, label, Ink);
        }
    }
    canvas.Text(left - 8 - TCanvas::TextWidth("dB"), plotTop - 14, "dB", Ink);
    for (double decade = 10.0; decade <= HighestFrequency; decade *= 10.0)
    {
        for (int m = 1; m <= 9; ++m)
        {
            const double frequency = decade * m;
            if (frequency < LowestFrequency || frequency > HighestFrequency)
            {
                continue;
            }
            const int column = static_cast<int>(std::lround(frequencyX(frequency)));
            canvas.FillRect(column, plotTop, 1, plotBottom - plotTop, m == 1 ? Frame : Grid);
            if (m == 1)
            {
                const std::string label = frequency >= 1000.0
                                              ? FormatNumber(frequency / 1000.0, 0) + "k"
                                              : FormatNumber(frequency, 0);
                canvas.Text(column - TCanvas::TextWidth(label) / 2, plotBottom + 6, label, Ink);
            }
        }
    }
    canvas.Text(right - TCanvas::TextWidth("Hz"), plotBottom + 6, "Hz", Ink);

    const auto curve = [&](const std::vector<double>& db, TColour colour, int thickness)
    {
        for (std::size_t k = 1; k < db.size(); ++k)
        {
            const double f0 = static_cast<double>(k - 1) / (db.size() - 1);
            const double f1 = static_cast<double>(k) / (db.size() - 1);
            canvas.Line(x(f0), y(db[k - 1]), x(f1), y(db[k]), colour, thickness);
        }
    };
    for (std::size_t b = 0; b < bands.size(); ++b)
    {
        curve(bands[b], BandColours[b], 2);
    }
    // The sum last and thickest: where the bands add back to the input it lies along 0 dB.
    curve(sum, SumColour, 3);
}

/// Measures each band alone and all together at three Tuning settings, through the
/// host-rate or the oversampled chain, and draws them. Returns false (and writes nothing)
/// when the effect lacks the parameters.
bool WriteResponsePicture(TVstPlugin& plugin, const std::filesystem::path& path, double rate,
                          bool oversampled)
{
    TSplitParameters p;
    if (!FindSplitParameters(plugin, p))
    {
        return false;
    }
    TCanvas canvas(ResponseWidth, static_cast<int>(TuningSettings.size()) * ResponsePanelHeight,
                   White);
    int top = 0;
    for (const auto& tuning : TuningSettings)
    {
        // Level mode at 0 dB for every band, neutral Tube and gains, the chosen chain.
        const auto setup = [&](int soloBand)
        {
            for (std::size_t b = 0; b < BandNames.size(); ++b)
            {
                plugin.SetParameter(p.Bands[b], 0.5f);
                plugin.SetParameter(p.Mutes[b],
                                    soloBand < 0 || static_cast<int>(b) == soloBand ? 0.0f : 1.0f);
            }
            plugin.SetParameter(p.Tube, 0.5f);
            plugin.SetParameter(p.InGain, 0.5f);
            plugin.SetParameter(p.OutGain, 0.5f);
            plugin.SetParameter(p.OverSample, oversampled ? 1.0f : 0.0f);
            plugin.SetParameter(p.Tuning, tuning.Value);
        };
        std::vector<std::vector<double>> bands;
        for (int b = 0; b < static_cast<int>(BandNames.size()); ++b)
        {
            setup(b);
            bands.push_back(MagnitudeDb(ImpulseResponse(plugin, rate), rate));
        }
        setup(-1);
        const std::vector<double> sum = MagnitudeDb(ImpulseResponse(plugin, rate), rate);
        DrawResponsePanel(canvas, top, tuning.Label, bands, sum);
        top += ResponsePanelHeight;
    }
    canvas.Save(path);
    return true;
}

struct TProgramResult
{
    std::int32_t Number = 0;
    std::string Name;
    std::string Sound;
    std::string Matched; // the sound at the dry piece's RMS level, for listening
    double MatchGainDb = 0.0;
    std::string Picture;
    std::string Summary; // what the program does, in one line
    TSignalStats Stats;
};

/// The number a display shows, when it shows one.
std::optional<double> DisplayNumber(const std::string& display)
{
    const auto number = LeadingNumber(display);
    return number ? std::optional<double>(number->Value) : std::nullopt;
}

/// One line on what the current settings do, from the parameters' displays: which bands
/// punch (transient mode), which are raised, cut or muted, Tube, Tuning and the gains.
/// Empty for an effect without Orvo's parameters.
std::string DescribeSettings(TVstPlugin& plugin)
{
    TSplitParameters p;
    if (!FindSplitParameters(plugin, p))
    {
        return {};
    }
    std::vector<std::string> punch;
    std::vector<std::string> raised;
    std::vector<std::string> cut;
    std::vector<std::string> muted;
    for (std::size_t b = 0; b < BandNames.size(); ++b)
    {
        const std::string name(BandNames[b]);
        const std::string display = std::string(Trim(plugin.ParameterDisplay(p.Bands[b])));
        const auto number = DisplayNumber(display);
        if (plugin.ParameterDisplay(p.Mutes[b]) == "Muted")
        {
            muted.push_back(name);
        }
        else if (display.find("%TD") != std::string::npos)
        {
            punch.push_back(name + " " + FormatNumber(number.value_or(0.0), 0) + " %");
        }
        else if (!number)
        {
            cut.push_back(name + " to silence");
        }
        else if (*number >= 0.05)
        {
            raised.push_back(name + " +" + FormatNumber(*number, 1) + " dB");
        }
        else if (*number <= -0.05)
        {
            cut.push_back(name + " " + FormatNumber(*number, 1) + " dB");
        }
    }
    std::vector<std::string> parts;
    const auto list = [&](const char* verb, const std::vector<std::string>& items)
    {
        if (items.empty())
        {
            return;
        }
        std::string part = verb;
        for (std::size_t i = 0; i < items.size(); ++i)
        {
            part += (i == 0 ? " " : (i + 1 == items.size() ? " and " : ", ")) + items[i];
        }
        parts.push_back(part);
    };
    list("punches", punch);
    list("raises", raised);
    list("cuts", cut);
    list("mutes", muted);
    const auto signedValue = [&](std::int32_t index, const char* what, const char* unit)
    {
        const auto number = DisplayNumber(plugin.ParameterDisplay(index));
        if (number && std::fabs(*number) >= 0.05)
        {
            parts.push_back(std::string(what) + " " + (*number > 0 ? "+" : "") +
                            FormatNumber(*number, 1) + unit);
        }
        else if (!number)
        {
            parts.push_back(std::string(what) + " " +
                            std::string(Trim(plugin.ParameterDisplay(index))) + unit);
        }
    };
    signedValue(p.Tube, "Tube", " %");
    signedValue(p.Tuning, "Tuning", " semitones");
    signedValue(p.InGain, "input", " dB");
    signedValue(p.OutGain, "output", " dB");
    if (parts.empty())
    {
        // The output stage's soft clipper (tanh-like) acts in every program.
        return "Every band at 0 dB, no Tube, no Tuning; only the output's soft clipper acts: "
               "it rounds peaks (-6 dBFS comes out near -6.7 dBFS) and adds faint odd "
               "harmonics, which grow with the level";
    }
    std::string line;
    for (const std::string& part : parts)
    {
        line += (line.empty() ? "" : "; ") + part;
    }
    line[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    return line;
}

/// Renders the piece through the current settings from rest: a short silence first lets
/// the glides from the instance's first settings to the program's end, and is then dropped.
TStereoAudio RenderFromRest(TVstPlugin& plugin, const TStereoAudio& dry,
                            const TRenderSettings& settings)
{
    TStereoAudio input;
    input.SampleRate = dry.SampleRate;
    input.Resize(ProgramPreRollFrames + dry.Frames());
    std::copy(dry.Left.begin(), dry.Left.end(), input.Left.begin() + ProgramPreRollFrames);
    std::copy(dry.Right.begin(), dry.Right.end(), input.Right.begin() + ProgramPreRollFrames);
    TStereoAudio output = RenderAudio(plugin, input, settings);
    output.Left.erase(output.Left.begin(), output.Left.begin() + ProgramPreRollFrames);
    output.Right.erase(output.Right.begin(), output.Right.begin() + ProgramPreRollFrames);
    return output;
}

/// The dry piece's RMS level over the processed sound's, in dB (0 for silence).
double LoudnessMatchDb(const TSignalStats& dry, const TSignalStats& wet)
{
    return wet.Rms > 0.0 && dry.Rms > 0.0 ? dry.RmsDb() - wet.RmsDb() : 0.0;
}

TStereoAudio Scaled(const TStereoAudio& audio, double gainDb)
{
    TStereoAudio scaled = audio;
    const auto gain = static_cast<float>(std::pow(10.0, gainDb / 20.0));
    for (auto* channel : {&scaled.Left, &scaled.Right})
    {
        for (float& sample : *channel)
        {
            sample *= gain;
        }
    }
    return scaled;
}

void WriteIndex(const std::filesystem::path& path, const std::string& effect, double seconds,
                const TSignalStats& dryStats, const std::vector<TProgramResult>& results,
                const std::string& response, const std::string& responseOversampled,
                const std::string& editor)
{
    std::ofstream html(path);
    const auto player = [](const std::string& sound)
    { return "<audio controls preload=\"none\" src=\"" + Html(sound) + "\"></audio>"; };
    html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         << "<title>" << Html(effect) << " demo</title>\n<style>\n"
         << "body{font-family:sans-serif;max-width:1040px;margin:2em auto;padding:0 "
            "1em;color:#222}\n"
         << "table{border-collapse:collapse}td,th{padding:4px 8px;border-bottom:1px solid #ddd;"
            "text-align:right;vertical-align:top}td:nth-child(2),th:nth-child(2){text-align:left}\n"
         << ".what{display:block;font-size:85%;color:#555;max-width:20em}\n"
         << "img{max-width:100%;border:1px solid #ddd}audio{height:28px}\n"
         << ".key span{display:inline-block;width:1.5em;height:0.6em;margin:0 0.3em 0 1em}\n"
         << "</style>\n</head>\n<body>\n"
         << "<h1>" << Html(effect) << " demo</h1>\n"
         << "<p>A synthesised piece of " << FormatNumber(seconds, 2)
         << " seconds (drums with sharp transients, a bass line and a pad, 44100 Hz) rendered "
            "through each of the "
         << results.size() << " programs of " << Html(effect)
         << ", each from rest (no sound of the program before).</p>\n"
         << "<h2>Dry</h2>\n<p>" << player("dry.wav") << "</p>\n";
    if (!editor.empty())
    {
        html << "<h2>The editor</h2>\n<p><img src=\"" << Html(editor)
             << "\" alt=\"The editor window showing the first program\"></p>\n";
    }
    if (!response.empty())
    {
        html << "<h2>The five-band split</h2>\n"
             << "<p class=\"key\">Each band measured alone (the other four muted) and all bands "
                "together, every band at 0 dB, Tuning at -12, 0 and +12 semitones:";
        for (std::size_t b = 0; b < BandNames.size(); ++b)
        {
            const TColour c = BandColours[b];
            html << "<span style=\"background:rgb(" << int{c.R} << "," << int{c.G} << ","
                 << int{c.B} << ")\"></span>" << BandNames[b];
        }
        html << "<span style=\"background:#000;height:3px\"></span>all bands together (along "
                "0 dB where they add back to the input)</p>\n";
        if (!responseOversampled.empty())
        {
            html << "<h3>Oversampled 2x (the default)</h3>\n<p><img src=\""
                 << Html(responseOversampled)
                 << "\" alt=\"Frequency response of the five bands, oversampled chain\"></p>\n";
        }
        html << "<h3>At the host rate</h3>\n<p><img src=\"" << Html(response)
             << "\" alt=\"Frequency response of the five bands, host-rate chain\"></p>\n";
    }
    html << "<h2>Programs</h2>\n"
         << "<p>The players play each program level-matched to the dry piece (same RMS level; "
            "the gain applied is in the table), so that a comparison hears the processing, not "
            "the loudness. The program's own output, as it leaves "
         << Html(effect)
         << ", is the download link.</p>\n<table>\n<tr><th>#</th><th>Program</th><th>Peak dBFS</th>"
            "<th>RMS dBFS</th><th>Crest dB</th><th>Matched by</th><th>Listen (matched)</th>"
            "<th>As rendered</th><th></th></tr>\n";
    html << "<tr><td></td><td>dry</td><td>" << FormatFixed(dryStats.PeakDb(), 1) << "</td><td>"
         << FormatFixed(dryStats.RmsDb(), 1) << "</td><td>" << FormatFixed(dryStats.CrestDb(), 1)
         << "</td><td></td><td>" << player("dry.wav") << "</td><td><a href=\"dry.wav\" download>"
         << "dry.wav</a></td><td></td></tr>\n";
    for (const auto& result : results)
    {
        html << "<tr><td>" << result.Number << "</td><td>" << Html(result.Name);
        if (!result.Summary.empty())
        {
            html << "<span class=\"what\">" << Html(result.Summary) << "</span>";
        }
        html << "</td><td>" << FormatFixed(result.Stats.PeakDb(), 1) << "</td><td>"
             << FormatFixed(result.Stats.RmsDb(), 1) << "</td><td>"
             << FormatFixed(result.Stats.CrestDb(), 1) << "</td><td>"
             << (result.MatchGainDb >= 0.0 ? "+" : "") << FormatFixed(result.MatchGainDb, 1)
             << " dB</td><td>" << player(result.Matched) << "</td><td><a href=\""
             << Html(result.Sound) << "\" download>" << Html(result.Sound)
             << "</a></td><td><a href=\"#" << Html(result.Picture) << "\">waveform</a></td></tr>\n";
    }
    html << "</table>\n<h2>Before and after</h2>\n"
         << "<p>Blue: the processed sound as rendered (not level-matched); black outline: the dry "
            "piece; the scale is the sample value, 1 being full scale. Above the whole piece, "
            "below half a second around a snare and a kick.</p>\n";
    for (const auto& result : results)
    {
        html << "<h3 id=\"" << Html(result.Picture) << "\">" << result.Number << " "
             << Html(result.Name) << "</h3>\n";
        if (!result.Summary.empty())
        {
            html << "<p>" << Html(result.Summary) << "</p>\n";
        }
        html << "<p><img src=\"" << Html(result.Picture) << "\" alt=\"Waveform of "
             << Html(result.Name) << " against the dry piece\"></p>\n";
    }
    html << "</body>\n</html>\n";
    html.close();
    if (!html)
    {
        throw EAudioFile("cannot write " + path.string());
    }
}

} // namespace

TDemoFiles WriteDemo(TVstPlugin& plugin, const std::filesystem::path& folder, double seconds,
                     bool quiet)
{
    std::filesystem::create_directories(folder);
    TDemoFiles files;
    const TStereoAudio dry = SynthesiseDemoPiece(seconds);
    files.Dry = "dry.wav";
    WriteAudioFile(folder / files.Dry, dry, AudioPcm16);

    TRenderSettings settings;
    settings.BlockSize = DemoBlockSize;
    const TSignalStats dryStats = MeasureSignal(dry);
    std::vector<TProgramResult> results;
    const auto render = [&](TVstPlugin& instance, TProgramResult& result, const std::string& stem)
    {
        result.Sound = stem + ".wav";
        result.Matched = stem + "-matched.wav";
        result.Picture = stem + ".png";
        result.Summary = DescribeSettings(instance);
        const TStereoAudio wet = RenderFromRest(instance, dry, settings);
        result.Stats = MeasureSignal(wet);
        result.MatchGainDb = LoudnessMatchDb(dryStats, result.Stats);
        WriteAudioFile(folder / result.Sound, wet, AudioPcm16);
        // Float samples: a quiet program raised to the dry level may pass full scale.
        WriteAudioFile(folder / result.Matched, Scaled(wet, result.MatchGainDb), AudioFloat);
        WriteWaveformPicture(folder / result.Picture, dry, wet);
        files.Programs.push_back(result.Sound);
        files.Matched.push_back(result.Matched);
        files.Waveforms.push_back(result.Picture);
        results.push_back(result);
    };
    for (std::int32_t program = 0; program < plugin.NumPrograms(); ++program)
    {
        // A new instance for each program: nothing of the program before carries over.
        const auto fresh = TVstPlugin::Load(plugin.Path());
        fresh->SetProgram(program);
        TProgramResult result;
        result.Number = program;
        result.Name = plugin.ProgramNameIndexed(program);
        if (!quiet)
        {
            std::printf("program %d/%d %s\n", program + 1, plugin.NumPrograms(),
                        result.Name.c_str());
            std::fflush(stdout);
        }
        std::string stem = TwoDigits(program);
        stem += "-";
        stem += FileSafe(result.Name);
        render(*fresh, result, stem);
    }
    if (plugin.NumPrograms() == 0)
    {
        // An effect without programs: its current settings stand in for one.
        TProgramResult result;
        result.Name = "current settings";
        render(plugin, result, "00-current");
    }

    if (WriteResponsePicture(plugin, folder / "crossover.png", dry.SampleRate, false))
    {
        files.Response = "crossover.png";
        if (WriteResponsePicture(plugin, folder / "crossover-oversampled.png", dry.SampleRate,
                                 true))
        {
            files.ResponseOversampled = "crossover-oversampled.png";
        }
    }
    if (IsOrvo(plugin) && plugin.NumPrograms() > 0)
    {
        // A fresh instance: the response sweeps above leave Tuning and the gains of the
        // plug-in moved, and the page calls this picture the first program.
        const auto fresh = TVstPlugin::Load(plugin.Path());
        fresh->SetProgram(0);
        files.Editor = "editor.png";
        WriteEditorPicture(*fresh, folder / files.Editor);
    }
    files.Index = "index.html";
    WriteIndex(folder / files.Index, plugin.EffectName(), seconds, dryStats, results,
               files.Response, files.ResponseOversampled, files.Editor);
    return files;
}

int RunDemo(const TOptions& options)
{
    auto plugin = LoadPlugin(options.Plugin);
    const TDemoFiles files =
        WriteDemo(*plugin, options.DemoFolder, options.DemoSeconds, options.Quiet);
    if (!options.Quiet)
    {
        std::printf("demo written: %s\n",
                    (std::filesystem::path(options.DemoFolder) / files.Index).string().c_str());
    }
    return 0;
}

} // namespace orvo

// orvo-render --bench: the processing cost of the effect's chains (host rate and
// oversampled) on synthesised material, in thread CPU time, optionally side by side with
// another VST 2 module run interleaved on the same material.
#pragma once

#include "tools/render/uOptions.h"

#include <string>
#include <vector>

namespace orvo
{

/// Timings of one thing measured, over every repeat.
struct TBenchSubject
{
    std::string Name;
    std::string Module;
    std::vector<double> NsPerFrame; // one per repeat
    [[nodiscard]] double Median() const;
    [[nodiscard]] double Lowest() const;
    [[nodiscard]] double Highest() const;
};

struct TBenchReport
{
    double MaterialSeconds = 0.0;
    double SampleRate = 0.0;
    std::int32_t BlockSize = 0;
    std::int32_t Repeats = 0;
    std::vector<TBenchSubject> Subjects;
    bool Versus = false; // the last subject is the --vs module
};

/// Runs the measurements the options ask for.
[[nodiscard]] TBenchReport MeasureBench(const TOptions& options);
[[nodiscard]] std::string BenchText(const TBenchReport& report);
[[nodiscard]] std::string BenchJson(const TBenchReport& report);

int RunBench(const TOptions& options);

} // namespace orvo

// A minimal check harness for the programs run under wine (no test framework is built for
// Windows): CHECK and CHECK_EQ record a failure with its place and go on; a group names
// the cases that follow; Summary prints the closing line "N passed, N failed".
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace orvo::wine
{
class TChecks
{
  public:
    static TChecks& Instance()
    {
        static TChecks checks;
        return checks;
    }

    void Group(std::string_view name)
    {
        std::printf("-- %.*s\n", static_cast<int>(name.size()), name.data());
    }

    bool Record(bool ok, const char* file, int line, const std::string& what)
    {
        if (ok)
        {
            ++FPassed;
        }
        else
        {
            ++FFailed;
            std::printf("FAILED %s:%d: %s\n", file, line, what.c_str());
        }
        return ok;
    }

    /// Prints the closing line; the program's exit status.
    int Summary() const
    {
        std::printf("%d passed, %d failed\n", FPassed, FFailed);
        std::fflush(stdout);
        return FFailed == 0 ? 0 : 1;
    }

  private:
    int FPassed = 0;
    int FFailed = 0;
};

inline std::string Show(const std::string& value)
{
    return "\"" + value + "\"";
}
inline std::string Show(const char* value)
{
    return value != nullptr ? Show(std::string(value)) : std::string("null");
}
inline std::string Show(float value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}
inline std::string Show(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}
template <typename T> std::string Show(const T& value)
{
    return std::to_string(value);
}

template <typename A, typename B>
bool CheckEqual(const A& actual, const B& expected, const char* actualText, const char* file,
                int line)
{
    const bool ok = actual == expected;
    return TChecks::Instance().Record(ok, file, line,
                                      ok ? std::string()
                                         : std::string(actualText) + " is " + Show(actual) +
                                               ", expected " + Show(expected));
}
} // namespace orvo::wine

#define CHECK(condition)                                                                           \
    ::orvo::wine::TChecks::Instance().Record(static_cast<bool>(condition), __FILE__, __LINE__,     \
                                             #condition)
#define CHECK_EQ(actual, expected)                                                                 \
    ::orvo::wine::CheckEqual((actual), (expected), #actual, __FILE__, __LINE__)

#include "core/uPresetLabels.h"

#include <algorithm>
#include <map>

namespace orvo
{
std::vector<std::string> UniquePresetLabels(const std::vector<std::string>& names)
{
    std::map<std::string, int> seen;
    std::vector<std::string> labels;
    labels.reserve(names.size());
    for (const std::string& name : names)
    {
        if (std::count(names.begin(), names.end(), name) == 1)
        {
            labels.push_back(name);
            continue;
        }
        labels.push_back(name + " " + std::to_string(++seen[name]));
    }
    return labels;
}
} // namespace orvo

// A loadable module that exports an entry whose record is not a VST 2 effect record:
// what a host meets when someone points it at the wrong plug-in.
#include "vst2/DAEffect.h"

namespace
{
AEffect NotARecord{};
}

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback)
{
    return &NotARecord; // magic stays 0
}

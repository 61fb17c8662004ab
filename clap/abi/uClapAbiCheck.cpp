// Compiles the CLAP declarations in every build, the Windows cross builds included, so that
// their static asserts check the record layouts for each ABI the project targets (the
// plug-in itself is built for Linux only).
#include "clap/abi/DClapExtensions.h"
#include "clap/abi/DClapPresetDiscovery.h"

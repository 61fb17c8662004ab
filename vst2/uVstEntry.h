// The exported entry and the factory it calls.
#pragma once

#include "vst2/DAEffect.h"

namespace orvo
{

class AudioEffect;

/// Builds one effect instance for the host. Defined by the module's composition root (and by
/// test modules); may throw or answer null when construction fails.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

/// What both exported names (VSTPluginMain and main) run: asks the host for its version
/// (null record), answers null on 0, otherwise builds the effect through
/// createEffectInstance and answers its record, or null if construction failed.
AEffect* vstPluginMain(audioMasterCallback audioMaster) noexcept;

} // namespace orvo

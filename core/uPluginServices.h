// What the effect is given by a binary's composition root: the platform services, and the
// listener through which the editor hears of parameter changes. Tests hand in their own.
#pragma once

#include "platform/IFileSystem.h"
#include "platform/ILocale.h"
#include "platform/IMessageBox.h"
#include "platform/IModuleFile.h"
#include "platform/IResources.h"

namespace orvo
{
/// The platform services; each must outlive every effect that uses it.
struct TPluginServices
{
    const IModuleFile& ModuleFile;
    const IResources& Resources;
    const IFileSystem& FileSystem;
    const ILocale& Locale;
    const IMessageBox& MessageBox;
};

/// The editor as the effect sees it: told after every parameter change. Called on whichever
/// thread changed the parameter (the processing thread included), so it must be cheap and
/// must not block.
class TParameterListener
{
public:
    virtual void parametersChanged() noexcept = 0;

protected:
    ~TParameterListener() = default;
};
} // namespace orvo

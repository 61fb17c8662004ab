// What the effect is given by a binary's composition root: the platform services, and the
// listener through which the editor hears of parameter changes. Tests hand in their own.
#pragma once

#include "platform/IFileSystem.h"
#include "platform/ILocale.h"
#include "platform/IMessageBox.h"
#include "platform/IModuleFile.h"
#include "platform/IResources.h"
#include "platform/IUserFolder.h"

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
    /// The plug-in module's composition roots hand in the user's folder; binaries that keep
    /// nothing for a user (tools, tests, the LV2 bundle, whose host keeps its state) may
    /// leave it out, so that a set of services written before it existed still builds.
    const IUserFolder& UserFolder = NoUserFolder();
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

// What the effect is given by the module's composition root: the platform services and a
// factory for its editor object. Tests hand in their own.
#pragma once

#include "platform/IFileSystem.h"
#include "platform/ILocale.h"
#include "platform/IMessageBox.h"
#include "platform/IModuleFile.h"
#include "platform/IResources.h"

namespace orvo
{
class AEffEditor;
class APlugin;

/// The platform services; each must outlive every effect that uses it.
struct TPluginServices
{
    const IModuleFile& ModuleFile;
    const IResources& Resources;
    const IFileSystem& FileSystem;
    const ILocale& Locale;
    const IMessageBox& MessageBox;
};

/// The editor as the effect sees it besides the framework's AEffEditor: told after every
/// parameter change. Called on whichever thread changed the parameter (the processing
/// thread included), so it must be cheap and must not block.
class TParameterListener
{
public:
    virtual void parametersChanged() noexcept = 0;

protected:
    ~TParameterListener() = default;
};

/// The editor object a factory made for an effect: the framework's view of it (installed
/// with setEditor, which hands over ownership) and the parameter listener (the same object).
struct TEditorParts
{
    AEffEditor* Editor = nullptr;
    TParameterListener* Listener = nullptr;
};

/// Makes the editor object for an effect under construction; null makes an effect without
/// editor.
using TEditorFactory = TEditorParts (*)(APlugin& effect);
} // namespace orvo

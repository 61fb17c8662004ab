// The non-user-interface services for an effect that lives only inside this process for a
// moment (a picture of its editor, a reference to compare a real window with): it has no
// module file, so it looks for no files beside one; the factory bank is the built-in copy;
// numbers are written with '.'; messages go nowhere.
#pragma once

#include "platform/IFileSystem.h"
#include "platform/ILocale.h"
#include "platform/IMessageBox.h"
#include "platform/IModuleFile.h"
#include "platform/IResources.h"

namespace orvo
{
/// No file is there and none can be removed; a write is accepted and dropped (the effect
/// saves its MIDI map when it is destroyed, and a throwaway instance has nothing to keep).
class THeadlessFileSystem final : public IFileSystem
{
  public:
    bool FileExists(const std::string& path) const override;
    bool DeleteFile(const std::string& path) const override;
    bool ReadLines(const std::string& path, std::vector<std::string>& lines) const override;
    bool WriteFileAtomically(const std::string& path, std::string_view text) const override;
};

/// An empty module path: the effect finds no folder and so no map or ".ini" file.
class THeadlessModuleFile final : public IModuleFile
{
  public:
    std::string ModulePath() const override;
};

/// The factory bank embedded into this program.
class THeadlessResources final : public IResources
{
  public:
    std::string_view FactoryBank() const override;
};

/// '.', whatever the user's settings.
class THeadlessLocale final : public ILocale
{
  public:
    char DecimalSeparator() const override;
};

class THeadlessMessageBox final : public IMessageBox
{
  public:
    void ShowMessage(std::string_view text) const noexcept override;
};

/// All five, to be handed to the effect together.
struct THeadlessServices
{
    THeadlessModuleFile ModuleFile;
    THeadlessResources Resources;
    THeadlessFileSystem FileSystem;
    THeadlessLocale Locale;
    THeadlessMessageBox MessageBox;
};
} // namespace orvo

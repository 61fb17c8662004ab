// An effect instance with its editor glue on the headless window system, without test
// framework (the benchmarks use it too): fake platform services that keep the MIDI map in
// memory, and the recording test host.
#pragma once

#include "editor/uEditor.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessServices.h"
#include "tests/support/TestHost.h"
#include "vst2/uPlugin.h"
#include "vst2/uPluginEditor.h"
#include "vst2/uPluginEditorFactory.h"

#include <map>
#include <string>
#include <vector>

namespace orvo::test
{

/// Files in memory: the map file is never found, writes are kept.
class TMemoryFileSystem final : public IFileSystem
{
  public:
    bool FileExists(const std::string& path) const override { return Files.count(path) != 0; }
    bool DeleteFile(const std::string& path) const override { return Files.erase(path) != 0; }
    bool ReadLines(const std::string&, std::vector<std::string>& lines) const override
    {
        lines.clear();
        return false;
    }
    bool WriteFileAtomically(const std::string& path, std::string_view text) const override
    {
        Files[path] = std::string(text);
        return true;
    }
    mutable std::map<std::string, std::string> Files;
};

class TNoModuleFile final : public IModuleFile
{
  public:
    std::string ModulePath() const override { return "/plugins/Orvo.so"; }
};

/// The platform the next effect's editor is built on (the effect's editor factory is a
/// plain function).
inline THeadlessPlatform* EditorPlatform = nullptr;

inline TEditorParts MakeHeadlessEditor(APlugin& effect)
{
    return MakePluginEditor(effect, EditorPlatform);
}

/// One effect instance with its editor glue on a headless platform.
class TEditorInstance
{
  public:
    /// platform null: an editor without window system, as the module has on Linux.
    TEditorInstance(THeadlessPlatform* platform, TestHost& host)
    {
        EditorPlatform = platform;
        const TPluginServices services{ModuleFile, Headless.Resources, Files, Headless.Locale,
                                       Headless.MessageBox};
        auto* plugin = new APlugin(&TestHost::Callback, services, &MakeHeadlessEditor);
        EditorPlatform = nullptr;
        Effect = plugin->getAeffect();
        host.Attach(Effect);
        FHost = &host;
    }
    ~TEditorInstance() { Close(); }
    /// effClose, once: the effect is destroyed.
    void Close()
    {
        if (Effect != nullptr)
        {
            AEffect* effect = Effect;
            Effect = nullptr;
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
            FHost->Detach(effect);
        }
    }
    TEditorInstance(const TEditorInstance&) = delete;
    TEditorInstance& operator=(const TEditorInstance&) = delete;

    APlugin& Plugin() { return *static_cast<APlugin*>(Effect->object); }
    APluginEditor& Glue() { return *static_cast<APluginEditor*>(Plugin().getEditor()); }
    TPluginEditorWindow* Window()
    {
        return dynamic_cast<TPluginEditorWindow*>(Glue().editorWindow());
    }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        return Effect->dispatcher(Effect, opcode, index, value, ptr, opt);
    }

    AEffect* Effect = nullptr;

  private:
    // The built-in bank, '.' and no messages; the map file is kept in memory beside a module
    // path of its own.
    THeadlessServices Headless;
    TNoModuleFile ModuleFile;
    TMemoryFileSystem Files;
    TestHost* FHost = nullptr;
};

} // namespace orvo::test

// An effect with its editor on the headless window system: the recording test host, fake
// platform services that keep the MIDI map in memory, and helpers that find controls and
// drive them with synthetic input and the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "editor/uEditor.h"
#include "editor/uPluginEditor.h"
#include "platform/headless/HeadlessPlatform.h"
#include "plugin/uPlugin.h"
#include "resources/uFactoryBank.h"
#include "tests/support/TestHost.h"

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

class TBankResources final : public IResources
{
public:
    std::string_view FactoryBank() const override { return resources::FactoryBankText(); }
};

class TPointLocale final : public ILocale
{
public:
    char DecimalSeparator() const override { return '.'; }
};

class TSilentMessageBox final : public IMessageBox
{
public:
    void ShowMessage(std::string_view) const noexcept override {}
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
        const TPluginServices services{ModuleFile, Resources, Files, Locale, Messages};
        auto* plugin = new APlugin(&TestHost::Callback, services, &MakeHeadlessEditor);
        EditorPlatform = nullptr;
        Effect = plugin->getAeffect();
        host.Attach(Effect);
        FHost = &host;
    }
    ~TEditorInstance()
    {
        Effect->dispatcher(Effect, effClose, 0, 0, nullptr, 0.0f);
        FHost->Detach(Effect);
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
    TNoModuleFile ModuleFile;
    TBankResources Resources;
    TMemoryFileSystem Files;
    TPointLocale Locale;
    TSilentMessageBox Messages;
    TestHost* FHost = nullptr;
};

class TEditorFixture : public ::testing::Test
{
protected:
    TEditorFixture() { Host.MakeCurrent(); }

    /// Opens the editor in a made-up host window and delivers its first paints.
    void Open()
    {
        ASSERT_EQ(Instance.Dispatch(effEditOpen, 0, 0, HostWindow), 1);
        Platform.DeliverPaints();
        Host.ClearCalls();
    }

    APlugin& Plugin() { return Instance.Plugin(); }
    TPluginEditorWindow& Window() { return *Instance.Window(); }
    THeadlessWindow& Screen() { return *Platform.LastWindow(); }
    TDIBKnob& Knob(std::int32_t parameter) { return *Window().KnobOf(parameter); }
    TDIBGlyphButton& Button(std::int32_t parameter) { return *Window().ButtonOf(parameter); }

    /// The centre of a control, in client pixels.
    static TPoint Centre(const TCustomDIBControl& control)
    {
        return TPoint{control.Left() + control.Width() / 2, control.Top() + control.Height() / 2};
    }

    void Press(const TCustomDIBControl& control, TMouseButton button = mbLeft,
               TShiftState modifiers = ssNone)
    {
        const TPoint p = Centre(control);
        Platform.SetModifiers(modifiers);
        Screen().MouseMove(p.X, p.Y);
        Screen().MouseDown(button, p.X, p.Y);
    }
    void Release(const TCustomDIBControl& control, TMouseButton button = mbLeft)
    {
        const TPoint p = Centre(control);
        Screen().MouseUp(button, p.X, p.Y);
        Platform.SetModifiers(ssNone);
    }
    void Click(const TCustomDIBControl& control, TMouseButton button = mbLeft,
               TShiftState modifiers = ssNone)
    {
        Press(control, button, modifiers);
        Release(control, button);
    }
    /// Right-clicks control and chooses the menu item at captionPath.
    void ChooseFromMenu(const TCustomDIBControl& control, std::vector<std::string> captionPath)
    {
        Platform.QueueMenuAnswer(std::move(captionPath));
        Click(control, mbRight);
    }
    /// A left-button drag on a knob: press at its centre, then `steps` moves of `pixels`
    /// upwards each (negative: downwards), then release.
    void Drag(const TCustomDIBControl& knob, std::int32_t pixels, std::int32_t steps = 1,
              TShiftState modifiers = ssNone)
    {
        Press(knob, mbLeft, modifiers);
        const TPoint p = Centre(knob);
        for (std::int32_t i = 0; i < steps; ++i)
        {
            Screen().MouseMove(p.X, p.Y - pixels);
        }
        Screen().MouseUp(mbLeft, p.X, p.Y - pixels);
        Platform.SetModifiers(ssNone);
    }

    /// The (index, value) of every audioMasterAutomate call since the last ClearCalls.
    std::vector<std::pair<std::int32_t, float>> Automations() const
    {
        std::vector<std::pair<std::int32_t, float>> calls;
        for (const THostCall& call : Host.CallsOf(audioMasterAutomate))
        {
            calls.emplace_back(call.index, call.opt);
        }
        return calls;
    }

    void SetParameter(std::int32_t index, float value)
    {
        Instance.Effect->setParameter(Instance.Effect, index, value);
    }
    float Parameter(std::int32_t index)
    {
        return Instance.Effect->getParameter(Instance.Effect, index);
    }

    THeadlessPlatform Platform;
    TestHost Host;
    TEditorInstance Instance{&Platform, Host};
    int HostWindowStandIn = 0;
    void* HostWindow = &HostWindowStandIn;
};

} // namespace orvo::test

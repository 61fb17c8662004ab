// The Linux editor on a real X display (run under Xvfb, or on the desktop): from
// effEditOpen to the first complete picture in the host's window (the server has drawn it),
// and an effEditIdle call with nothing to do, which hosts make every 10 to 50 ms.
#include <benchmark/benchmark.h>

#include "editor/uEditor.h"
#include "platform/headless/HeadlessServices.h"
#include "platform/x11/TX11UIPlatform.h"
#include "tests/support/TestHost.h"
#include "vst2/uPlugin.h"
#include "vst2/uPluginEditorFactory.h"

#include <X11/Xlib.h>

#include <memory>

namespace orvo::test
{
namespace
{

TX11UIPlatform* EditorPlatform = nullptr;

TEditorParts MakeX11Editor(APlugin& effect)
{
    return MakePluginEditor(effect, EditorPlatform);
}

/// An effect whose editor lives on an X11 window system of the benchmark's, and a host
/// window on a connection of the host's own.
class TX11Bench
{
  public:
    TX11Bench()
    {
        FHostDisplay = XOpenDisplay(nullptr);
        FPlatform = TX11UIPlatform::Open();
        if (FHostDisplay == nullptr || !FPlatform)
        {
            return;
        }
        FHostWindow = XCreateSimpleWindow(FHostDisplay, DefaultRootWindow(FHostDisplay), 0, 0, 700,
                                          300, 0, 0, 0);
        XMapWindow(FHostDisplay, FHostWindow);
        XSync(FHostDisplay, False);
        FHost.MakeCurrent();
        EditorPlatform = FPlatform.get();
        const TPluginServices services{FServices.ModuleFile, FServices.Resources,
                                       FServices.FileSystem, FServices.Locale,
                                       FServices.MessageBox};
        Effect = (new APlugin(&TestHost::Callback, services, &MakeX11Editor))->getAeffect();
        EditorPlatform = nullptr;
        FHost.Attach(Effect);
    }
    ~TX11Bench()
    {
        if (Effect != nullptr)
        {
            Effect->dispatcher(Effect, effClose, 0, 0, nullptr, 0.0f);
        }
        FPlatform.reset();
        if (FHostDisplay != nullptr)
        {
            XCloseDisplay(FHostDisplay);
        }
    }
    TX11Bench(const TX11Bench&) = delete;
    TX11Bench& operator=(const TX11Bench&) = delete;

    bool Valid() const { return Effect != nullptr; }
    VstIntPtr Dispatch(VstInt32 opcode, void* ptr = nullptr)
    {
        return Effect->dispatcher(Effect, opcode, 0, 0, ptr, 0.0f);
    }
    void* HostWindow() const { return reinterpret_cast<void*>(FHostWindow); }
    /// Waits until the server has carried out everything the editor sent.
    void Sync() { XSync(FPlatform->XDisplay(), False); }

    AEffect* Effect = nullptr;

  private:
    Display* FHostDisplay = nullptr;
    Window FHostWindow = 0;
    std::unique_ptr<TX11UIPlatform> FPlatform;
    TestHost FHost;
    THeadlessServices FServices;
};

void X11EditorOpenToFirstPaint(benchmark::State& state)
{
    TX11Bench bench;
    if (!bench.Valid())
    {
        state.SkipWithError("no X display");
        return;
    }
    for (auto _ : state)
    {
        bench.Dispatch(effEditOpen, bench.HostWindow());
        bench.Sync();
        state.PauseTiming();
        bench.Dispatch(effEditClose);
        bench.Sync();
        state.ResumeTiming();
    }
}
BENCHMARK(X11EditorOpenToFirstPaint)->Unit(benchmark::kMillisecond);

void X11EditorIdleWithNothingToDo(benchmark::State& state)
{
    TX11Bench bench;
    if (!bench.Valid())
    {
        state.SkipWithError("no X display");
        return;
    }
    bench.Dispatch(effEditOpen, bench.HostWindow());
    bench.Sync();
    bench.Dispatch(effEditIdle);
    for (auto _ : state)
    {
        bench.Dispatch(effEditIdle);
    }
    bench.Dispatch(effEditClose);
}
BENCHMARK(X11EditorIdleWithNothingToDo)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvo::test

// OrvoUI.so from the built LV2 bundle on a real X server (Xvfb), driven as an LV2 host
// drives it: the host makes a window and passes it as ui:parent, pumps the idle interface
// every 20 ms, records what the UI writes to the ports and tells it of port values. User
// input comes through XTest.
// GoogleTest comes before the X11 headers, whose macros (None, Bool) it cannot take.
// clang-format off
#include <gtest/gtest.h>

#include "lv2/uLv2Messages.h"
#include "platform/ui/UIGeometry.h"
#include "lv2/uLv2Ports.h"
#include "core/uMidiMap.h"
#include "parameters/uParameterMapping.h"
#include "tests/support/TUridMap.h"
#include "tests/x11/TX11TestDesktop.h"
// clang-format on

#include <X11/keysym.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include <array>
#include <cstring>
#include <dlfcn.h>
#include <functional>
#include <string>
#include <vector>

namespace orvo::test
{
namespace
{
constexpr int HostX = 100; // where TX11TestDesktop puts the host window
constexpr int HostY = 100;
constexpr int IdleInterval = 20;
/// The low band's mute key (237, 226, 44 x 20) and the OverSample key's centre.
constexpr int LoMuteLeft = 237;
constexpr int LoMuteTop = 226;
constexpr int OverSampleX = 45 + 36;
constexpr int OverSampleY = 269 + 10;
/// lblHint and its shadow: the value text, which a fresh UI does not show.
constexpr TRect ValueLabels{291, 269, 293 + 119, 271 + 20};

/// What the UI wrote to one port.
struct TWrite
{
    std::uint32_t Port;
    std::uint32_t Protocol;
    std::vector<std::uint8_t> Bytes;

    float Float() const
    {
        float value = 0.0f;
        std::memcpy(&value, Bytes.data(), std::min(Bytes.size(), sizeof value));
        return value;
    }
};

class Lv2UI : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(Desktop.Valid()) << "no X display";
        Library = dlopen(ORVO_LV2_UI_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(Library, nullptr) << dlerror();
        const auto entry =
            reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(Library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        Descriptor = entry(0);
        ASSERT_NE(Descriptor, nullptr);
        EXPECT_STREQ(Descriptor->URI, "urn:quorvane:orvo:ui");
        EXPECT_EQ(entry(1), nullptr);
        IdleInterface = static_cast<const LV2UI_Idle_Interface*>(
            Descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(IdleInterface, nullptr);

        Desktop.MoveTo(5, 5); // off the editor: no value text
        Handle = Descriptor->instantiate(Descriptor, "urn:quorvane:orvo", ORVO_LV2_BUNDLE, &Write,
                                         this, &Widget, Features);
        ASSERT_NE(Handle, nullptr);
        // A new UI asks the instance for the values it holds, before any other write.
        ASSERT_EQ(SentCommand().Command, lv2::mmSendControlValues);
        Writes.clear();
        PumpFor(100);
    }
    void TearDown() override
    {
        if (Handle != nullptr)
        {
            Descriptor->cleanup(Handle);
        }
        if (Library != nullptr)
        {
            dlclose(Library);
        }
    }

    static void Write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                      std::uint32_t protocol, const void* buffer)
    {
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        static_cast<Lv2UI*>(controller)->Writes.push_back({port, protocol, {bytes, bytes + size}});
    }
    static void Touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed)
    {
        static_cast<Lv2UI*>(handle)->Touches += (grabbed ? " t" : " u") + std::to_string(port);
    }
    static int Resize(LV2UI_Feature_Handle handle, int width, int height)
    {
        static_cast<Lv2UI*>(handle)->Size = {width, height};
        return 0;
    }

    void Idle() { IdleInterface->idle(Handle); }
    bool PumpUntil(const std::function<bool()>& done)
    {
        return TX11TestDesktop::PumpUntil([this] { Idle(); }, done, 3000, IdleInterval);
    }
    void PumpFor(int milliseconds)
    {
        TX11TestDesktop::PumpFor([this] { Idle(); }, milliseconds, IdleInterval);
    }
    void Click(int x, int y, unsigned int button = Button1)
    {
        Desktop.MoveTo(HostX + x, HostY + y);
        Desktop.Press(button);
        Desktop.Release(button);
    }
    void PortEvent(std::uint32_t port, float value)
    {
        Descriptor->port_event(Handle, port, sizeof value, 0, &value);
    }
    std::vector<std::uint32_t> LoMuteKey() const
    {
        return Desktop.ScreenPixels(HostX + LoMuteLeft, HostY + LoMuteTop, 44, 20);
    }

    /// Runs the user's actions on a connection of their own while the host idles; the
    /// longest idle call in milliseconds.
    double AsUser(const std::function<void(TX11TestDesktop&)>& actions)
    {
        return TX11TestDesktop::AsUser([this] { Idle(); }, actions, IdleInterval);
    }
    /// Picks item (0: "MIDI Learn", 1: "Show MIDI CC Config") from the OverSample key's menu.
    static void PickFromMidiMenu(TX11TestDesktop& user, int item)
    {
        user.MoveTo(HostX + OverSampleX, HostY + OverSampleY);
        user.Press(Button3);
        user.Release(Button3);
        const auto menu = user.WaitForPopup(true);
        user.LetHostIdle();
        user.MoveTo(menu[0] + 20, menu[1] + 3 + 17 * item + 8);
        user.Press(Button1);
        user.Release(Button1);
    }
    lv2::TMidiMenuMessage SentCommand()
    {
        for (const TWrite& write : Writes)
        {
            if (write.Port == lv2::MidiIn && write.Protocol == Urids.EventTransfer)
            {
                return lv2::ReadCommand(Urids,
                                        *reinterpret_cast<const LV2_Atom*>(write.Bytes.data()));
            }
        }
        return {};
    }

    TX11TestDesktop Desktop{700, 300};
    void* Library = nullptr;
    const LV2UI_Descriptor* Descriptor = nullptr;
    const LV2UI_Idle_Interface* IdleInterface = nullptr;
    LV2UI_Handle Handle = nullptr;
    LV2UI_Widget Widget = nullptr;

    std::vector<TWrite> Writes;
    std::string Touches;
    std::pair<int, int> Size{0, 0};

    TUridMap Uris;
    LV2_URID_Map& UridMap = Uris.Map;
    lv2::TMessageUrids Urids{UridMap};
    LV2UI_Touch TouchFeature{this, &Touch};
    LV2UI_Resize ResizeFeature{this, &Resize};
    LV2_Feature Parent{LV2_UI__parent, reinterpret_cast<void*>(Desktop.HostWindow())};
    LV2_Feature MapFeature{LV2_URID__map, &UridMap};
    LV2_Feature TouchEntry{LV2_UI__touch, &TouchFeature};
    LV2_Feature ResizeEntry{LV2_UI__resize, &ResizeFeature};
    LV2_Feature IdleEntry{LV2_UI__idleInterface, nullptr};
    const LV2_Feature* Features[6] = {&Parent,      &MapFeature, &TouchEntry,
                                      &ResizeEntry, &IdleEntry,  nullptr};
};

TEST_F(Lv2UI, EmbedsItsWindowInTheParentAndReportsItsSize)
{
    EXPECT_EQ(Desktop.HostChildren(), std::vector<Window>{reinterpret_cast<Window>(Widget)});
    EXPECT_EQ(Size, (std::pair<int, int>{700, 300}));
}

TEST_F(Lv2UI, OpensAtTheHostsScaleFactor)
{
    for (const auto& [factor, size] :
         {std::pair{2.0f, std::pair{1400, 600}}, std::pair{1.5f, std::pair{1050, 450}}})
    {
        const LV2_Options_Option options[] = {
            {LV2_OPTIONS_INSTANCE, 0, UridMap.map(UridMap.handle, LV2_UI__scaleFactor),
             sizeof(float), UridMap.map(UridMap.handle, LV2_ATOM__Float), &factor},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
        };
        LV2_Feature optionsEntry{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
        const LV2_Feature* features[] = {&Parent, &MapFeature, &ResizeEntry, &optionsEntry,
                                         nullptr};
        LV2UI_Widget widget = nullptr;
        LV2UI_Handle handle = Descriptor->instantiate(
            Descriptor, "urn:quorvane:orvo", ORVO_LV2_BUNDLE, &Write, this, &widget, features);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(Size, size) << factor;
        Descriptor->cleanup(handle);
    }
}

TEST_F(Lv2UI, MuteKeyClickIsAPortWriteOfOneBetweenTouches)
{
    Click(LoMuteLeft + 22, LoMuteTop + 10);
    ASSERT_TRUE(PumpUntil([&] { return !Writes.empty(); }));
    ASSERT_EQ(Writes.size(), 1U);
    EXPECT_EQ(Writes[0].Port, 5U); // lo_mute
    EXPECT_EQ(Writes[0].Protocol, 0U);
    EXPECT_EQ(Writes[0].Bytes.size(), sizeof(float));
    EXPECT_EQ(Writes[0].Float(), 1.0f);
    EXPECT_EQ(Touches, " t5 u5");
}

TEST_F(Lv2UI, PortEventMovesTheWindow)
{
    const auto open = LoMuteKey();
    PortEvent(5, 1.0f);
    PumpFor(150);
    EXPECT_NE(LoMuteKey(), open);
    // The window now holds the band muted: a click opens it.
    Click(LoMuteLeft + 22, LoMuteTop + 10);
    ASSERT_TRUE(PumpUntil([&] { return !Writes.empty(); }));
    EXPECT_EQ(Writes[0].Float(), 0.0f);
}

TEST_F(Lv2UI, ASoloShowsWhatTheHostHoldsWithoutAnEcho)
{
    // The host echoes nothing: the window must show the solo from its own writes.
    Desktop.KeyDown(XK_Shift_L);
    Click(LoMuteLeft + 22, LoMuteTop + 10);
    Desktop.KeyUp(XK_Shift_L);
    ASSERT_TRUE(PumpUntil([&] { return Writes.size() == 5; }));
    Desktop.MoveTo(5, 5);
    PumpFor(150);
    const auto shown = Desktop.ScreenPixels(HostX, HostY, 700, 300);

    // A fresh UI told the values the host holds.
    Descriptor->cleanup(Handle);
    const std::vector<TWrite> held = Writes;
    Handle = Descriptor->instantiate(Descriptor, "urn:quorvane:orvo", ORVO_LV2_BUNDLE, &Write, this,
                                     &Widget, Features);
    ASSERT_NE(Handle, nullptr);
    for (const TWrite& write : held)
    {
        EXPECT_EQ(write.Float(), write.Port == 5 ? 0.0f : 1.0f) << write.Port;
        PortEvent(write.Port, write.Float());
    }
    PumpFor(150);
    const auto expected = Desktop.ScreenPixels(HostX, HostY, 700, 300);
    int differences = 0;
    for (int y = 0; y < 300; ++y)
    {
        for (int x = 0; x < 700; ++x)
        {
            const auto at = static_cast<std::size_t>(y * 700 + x);
            differences += !ValueLabels.Contains(TPoint{x, y}) && shown[at] != expected[at] ? 1 : 0;
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST_F(Lv2UI, TheInstancesControlValuesMoveTheWindow)
{
    // As after a preset the host restored without a port event (Qtractor): only the
    // instance's message on its MIDI output tells of the new values.
    const auto open = LoMuteKey();
    lv2::TControlValues values{};
    for (const TParameterInfo& info : ParameterInfo)
    {
        values[static_cast<std::size_t>(info.Index)] = PortValue(info.Index, info.Default);
    }
    values[prLoMute] = 1.0f;
    alignas(LV2_Atom) std::uint8_t message[256];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &UridMap);
    lv2_atom_forge_set_buffer(&forge, message, sizeof message);
    ASSERT_TRUE(lv2::ForgeControlValues(forge, Urids, values));
    const auto& atom = *reinterpret_cast<const LV2_Atom*>(message);
    Descriptor->port_event(Handle, lv2::MidiOut, sizeof(LV2_Atom) + atom.size, Urids.EventTransfer,
                           message);
    PumpFor(150);
    EXPECT_NE(LoMuteKey(), open);
    Click(LoMuteLeft + 22, LoMuteTop + 10);
    ASSERT_TRUE(PumpUntil([&] { return !Writes.empty(); }));
    EXPECT_EQ(Writes[0].Float(), 0.0f);
}

TEST_F(Lv2UI, MidiMenuSendsCommandsAndShowsTheInstancesReport)
{
    EXPECT_LT(AsUser([](TX11TestDesktop& user) { PickFromMidiMenu(user, 0); }), IdleLimitMs);
    EXPECT_EQ(SentCommand().Command, lv2::mmLearn);
    EXPECT_EQ(SentCommand().Parameter, 14); // OverSample
    Writes.clear();

    // The report request goes out; the box opens when the instance's reply comes back.
    AsUser([](TX11TestDesktop& user) { PickFromMidiMenu(user, 1); });
    EXPECT_EQ(SentCommand().Command, lv2::mmReport);

    alignas(LV2_Atom) std::uint8_t reply[1024];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &UridMap);
    lv2_atom_forge_set_buffer(&forge, reply, sizeof reply);
    ASSERT_TRUE(lv2::ForgeMidiMapReply(forge, Urids, TMidiMap::Default(), NoBinding));
    const auto& atom = *reinterpret_cast<const LV2_Atom*>(reply);
    Descriptor->port_event(Handle, lv2::MidiOut, sizeof(LV2_Atom) + atom.size, Urids.EventTransfer,
                           reply);
    std::vector<int> box;
    const double longestIdle = AsUser([&, host = Desktop.HostWindow()](TX11TestDesktop& user)
                                      { box = user.AnswerMessageBox(host); });
    EXPECT_LT(longestIdle, IdleLimitMs);
    ASSERT_EQ(box.size(), 4U);
    EXPECT_GT(box[3], 23 + 12 * 16); // the report's 16 lines and the button
}
TEST(Lv2Messages, AReplyCutShortAnywhereIsRefused)
{
    TUridMap uris;
    const lv2::TMessageUrids urids{uris.Map};
    alignas(LV2_Atom) std::uint8_t reply[1024];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &uris.Map);
    lv2_atom_forge_set_buffer(&forge, reply, sizeof reply);
    ASSERT_TRUE(lv2::ForgeMidiMapReply(forge, urids, TMidiMap::Default(), NoBinding));
    auto& atom = *reinterpret_cast<LV2_Atom*>(reply);
    const std::uint32_t whole = atom.size;
    TMidiMap map{};
    std::int32_t learning = 0;
    EXPECT_TRUE(lv2::ReadMidiMapReply(urids, atom, map, learning));
    // The bytes past the shortened size stay in the buffer: nothing may read them.
    for (std::uint32_t size = 0; size < whole; ++size)
    {
        atom.size = size;
        EXPECT_FALSE(lv2::ReadMidiMapReply(urids, atom, map, learning)) << size;
    }
}

TEST_F(Lv2UI, UIsOpenIdleAndCloseOnTwoThreadsAtOnce)
{
    // Only the parent: the shared map and the recording callbacks are not for two threads.
    const LV2_Feature* parentOnly[2] = {&Parent, nullptr};
    const auto ignore = [](LV2UI_Controller, std::uint32_t, std::uint32_t, std::uint32_t,
                           const void*) {};
    std::array<int, 2> opened{};
    RunOnTwoThreads(
        [&](int thread)
        {
            for (int cycle = 0; cycle < EditorCycles; ++cycle)
            {
                LV2UI_Widget widget = nullptr;
                LV2UI_Handle ui =
                    Descriptor->instantiate(Descriptor, "urn:quorvane:orvo", ORVO_LV2_BUNDLE,
                                            ignore, nullptr, &widget, parentOnly);
                if (ui == nullptr)
                {
                    continue;
                }
                ++opened[static_cast<std::size_t>(thread)];
                for (int idle = 0; idle < 3; ++idle)
                {
                    IdleInterface->idle(ui);
                }
                Descriptor->cleanup(ui);
            }
        });
    EXPECT_EQ(opened, (std::array<int, 2>{EditorCycles, EditorCycles}));
}
TEST(Lv2UIServerDeath, TheHostLivesOnAndIdleReportsTheUIClosed)
{
    TDoomedXServer server;
    ASSERT_TRUE(server.Valid()) << "no Xvfb of the test's own";
    void* library = dlopen(ORVO_LV2_UI_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const LV2UI_Descriptor* descriptor =
        reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"))(0);
    const auto* idle =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(server.HostWindow())};
    const LV2_Feature* features[2] = {&parent, nullptr};
    const auto ignore = [](LV2UI_Controller, std::uint32_t, std::uint32_t, std::uint32_t,
                           const void*) {};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle ui = descriptor->instantiate(descriptor, "urn:quorvane:orvo", ORVO_LV2_BUNDLE,
                                              ignore, nullptr, &widget, features);
    ASSERT_NE(ui, nullptr);
    TX11TestDesktop::PumpFor([&] { EXPECT_EQ(idle->idle(ui), 0); }, 100, IdleInterval);
    server.Kill();
    const float value = 0.25f;
    int closed = 0;
    TX11TestDesktop::PumpFor(
        [&]
        {
            descriptor->port_event(ui, 0, sizeof value, 0, &value);
            closed = idle->idle(ui);
        },
        250, IdleInterval);
    EXPECT_EQ(closed, 1);
    descriptor->cleanup(ui);
    dlclose(library);
    EXPECT_GE(server.HostLosses(), 1);
}
} // namespace
} // namespace orvo::test

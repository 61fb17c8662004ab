#include <gtest/gtest.h>

#include "platform/headless/HeadlessFont.h"
#include "platform/headless/HeadlessPlatform.h"

#include <set>
#include <vector>

namespace orvo::test
{
namespace
{

struct TCanvas
{
    TCanvas(std::int32_t width, std::int32_t height)
        : Width(width), Height(height), Bytes(static_cast<std::size_t>(width * height * 4), 0)
    {
    }
    TPixelView View() { return TPixelView{Bytes.data(), Width * 4, Width, Height}; }
    bool Ink(std::int32_t x, std::int32_t y) const
    {
        return Bytes[static_cast<std::size_t>((y * Width + x) * 4 + 3)] != 0;
    }
    /// The rows as text, '#' for ink.
    std::vector<std::string> Art() const
    {
        std::vector<std::string> rows;
        for (std::int32_t y = 0; y < Height; ++y)
        {
            rows.emplace_back();
            for (std::int32_t x = 0; x < Width; ++x)
            {
                rows.back() += Ink(x, y) ? '#' : '.';
            }
        }
        return rows;
    }

    std::int32_t Width;
    std::int32_t Height;
    std::vector<std::uint8_t> Bytes;
};

TEST(HeadlessFont, EveryPrintableGlyphIsDistinctAndInked)
{
    std::set<std::vector<std::uint8_t>> shapes;
    for (char c = 33; c < 127; ++c)
    {
        std::vector<std::uint8_t> rows;
        int ink = 0;
        for (std::int32_t r = 0; r < THeadlessFont::GlyphRows; ++r)
        {
            rows.push_back(THeadlessFont::GlyphRow(c, r));
            ink += rows.back() != 0;
        }
        EXPECT_GT(ink, 0) << c;
        EXPECT_TRUE(shapes.insert(rows).second) << "glyph of '" << c << "' repeats another";
    }
    for (std::int32_t r = 0; r < THeadlessFont::GlyphRows; ++r)
    {
        EXPECT_EQ(THeadlessFont::GlyphRow(' ', r), 0);
        EXPECT_EQ(THeadlessFont::GlyphRow('\x01', r), THeadlessFont::GlyphRow('?', r));
    }
}

TEST(HeadlessText, DrawsGlyphsWhereAlignedAndOnlyInsideTheClip)
{
    THeadlessPlatform platform;
    IUITextRenderer& text = platform.TextRenderer();
    TCanvas canvas(20, 11);
    TTextFormat right;
    right.Alignment = taRightJustify;
    text.DrawText(canvas.View(), TRect{0, 0, 20, 11}, TRect{0, 0, 20, 11}, "T", TUIFont{},
                  MakeColor(255, 0, 0), right);
    EXPECT_EQ(canvas.Art()[2], "..............#####.");
    EXPECT_EQ(canvas.Art()[8], "................#...");
    EXPECT_EQ(canvas.Bytes[static_cast<std::size_t>((2 * 20 + 14) * 4 + 2)], 255); // red byte

    TCanvas clipped(20, 11);
    text.DrawText(clipped.View(), TRect{0, 0, 16, 11}, TRect{0, 0, 20, 11}, "T", TUIFont{},
                  MakeColor(255, 0, 0), right);
    EXPECT_EQ(clipped.Art()[2], "..............##....");
}

TEST(HeadlessText, MeasuresCellsAndLinesWithTabsAccelsAndWrapping)
{
    THeadlessPlatform platform;
    IUITextRenderer& text = platform.TextRenderer();
    const TTextFormat plain;
    EXPECT_EQ(text.MeasureText(TUIFont{}, "", plain, 0), (TSize{0, 0}));
    EXPECT_EQ(text.MeasureText(TUIFont{}, "-oo   dB", plain, 0), (TSize{48, 11}));
    EXPECT_EQ(text.MeasureText(TUIFont{}, "&Solo", plain, 0), (TSize{24, 11}));
    EXPECT_EQ(text.MeasureText(TUIFont{}, "a&&b", plain, 0), (TSize{18, 11}));
    EXPECT_EQ(text.MeasureText(TUIFont{}, "a\tb", plain, 0), (TSize{54, 11}));
    EXPECT_EQ(text.MeasureText(TUIFont{}, "CC 20\r\nCC 21", plain, 0), (TSize{30, 22}));
    TTextFormat wrap;
    wrap.WordWrap = true;
    EXPECT_EQ(text.MeasureText(TUIFont{}, "MIDI Learn now", wrap, 60), (TSize{60, 22}));
    EXPECT_EQ(text.MeasureText(TUIFont{"Any", 22}, "ab", plain, 0), (TSize{24, 22}));
}

TEST(HeadlessText, AcceleratorIsUnderlined)
{
    THeadlessPlatform platform;
    TCanvas canvas(12, 11);
    platform.TextRenderer().DrawText(canvas.View(), TRect{0, 0, 12, 11}, TRect{0, 0, 12, 11}, "a&b",
                                     TUIFont{}, 0, TTextFormat{});
    EXPECT_EQ(canvas.Art()[THeadlessFont::UnderlineRow], "......#####.");
}

TEST(HeadlessInput, ModifiersAndHeldButtonsTravelWithEvents)
{
    struct TRecorder : IUIWindowListener
    {
        void HandlePaint(const TRect& rect) override { Paints.push_back(rect); }
        void HandleMouseDown(const TUIMouseEvent& e) override { Events.push_back(e); }
        void HandleMouseMove(const TUIMouseEvent& e) override { Events.push_back(e); }
        void HandleMouseUp(const TUIMouseEvent& e) override { Events.push_back(e); }
        void HandleMouseLeave() override { ++Leaves; }
        void HandleMouseWheel(const TUIWheelEvent&) override {}
        std::vector<TUIMouseEvent> Events;
        std::vector<TRect> Paints;
        int Leaves = 0;
    } recorder;
    THeadlessPlatform platform;
    auto window = platform.CreateChildWindow(0x42, TRect{10, 20, 110, 70}, recorder);
    auto& headless = *platform.LastWindow();
    EXPECT_EQ(headless.Parent(), 0x42u);
    platform.DeliverPaints();
    EXPECT_EQ(recorder.Paints, (std::vector<TRect>{TRect{0, 0, 100, 50}}));

    platform.SetModifiers(ssShift | ssCtrl);
    headless.MouseDown(mbLeft, 5, 6);
    headless.MouseMove(7, 8);
    headless.MouseUp(mbLeft, 7, 8);
    ASSERT_EQ(recorder.Events.size(), 3u);
    EXPECT_EQ(recorder.Events[0].Shift, ssShift | ssCtrl | ssLeft);
    EXPECT_EQ(recorder.Events[1].Shift, ssShift | ssCtrl | ssLeft);
    EXPECT_EQ(recorder.Events[2].Shift, ssShift | ssCtrl);
    EXPECT_EQ(platform.PointerPosition(), (TPoint{100 + 10 + 7, 100 + 20 + 8}));

    headless.MouseMove(500, 8);
    headless.MouseMove(600, 8);
    EXPECT_EQ(recorder.Leaves, 1);
    EXPECT_EQ(recorder.Events.size(), 3u);
}

TEST(HeadlessMenus, AnswererAndQueueAndDismissal)
{
    THeadlessPlatform platform;
    TUIMenu menu;
    menu.Items.push_back(TUIMenuEntry{"Solo", 7});
    menu.Items.push_back(TUIMenuEntry{"Off", 8, false});
    EXPECT_EQ(platform.PopupMenu(nullptr, menu, TPoint{}), 0);
    platform.QueueMenuAnswer({"Solo"});
    platform.QueueMenuAnswer({"Off"});
    platform.QueueMenuAnswer({"Missing"});
    EXPECT_EQ(platform.PopupMenu(nullptr, menu, TPoint{}), 7);
    EXPECT_EQ(platform.PopupMenu(nullptr, menu, TPoint{}), 0); // disabled items cannot be chosen
    EXPECT_EQ(platform.PopupMenu(nullptr, menu, TPoint{}), 0);
    platform.SetMenuAnswerer([](const TUIMenu& shown, TPoint) { return shown.Items[0].Command; });
    EXPECT_EQ(platform.PopupMenu(nullptr, menu, TPoint{}), 7);
    EXPECT_EQ(platform.ShownMenus().size(), 5u);

    platform.ShowMessage(nullptr, "Orvo", "NoEffect");
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].Text, "NoEffect");
}

} // namespace
} // namespace orvo::test

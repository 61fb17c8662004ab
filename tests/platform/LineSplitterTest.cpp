#include <gtest/gtest.h>

#include "platform/TLineSplitter.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvo
{
namespace
{
std::vector<std::string> SplitInPieces(std::string_view bytes, std::size_t pieceSize)
{
    std::vector<std::string> lines;
    TLineSplitter splitter(lines);
    while (!bytes.empty())
    {
        const std::size_t size = bytes.size() < pieceSize ? bytes.size() : pieceSize;
        splitter.Add(bytes.substr(0, size));
        bytes.remove_prefix(size);
    }
    splitter.Finish();
    return lines;
}

using Lines = std::vector<std::string>;

TEST(TLineSplitter, EndsLinesAtLfOrCrLfAndKeepsAnUnendedLastLine)
{
    EXPECT_EQ(SplitInPieces("a\nb\r\nc", 64), (Lines{"a", "b", "c"}));
    EXPECT_EQ(SplitInPieces("a\r\n\r\n", 64), (Lines{"a", ""}));
    EXPECT_EQ(SplitInPieces("\n", 64), (Lines{""}));
    EXPECT_EQ(SplitInPieces("", 64), Lines{});
}

TEST(TLineSplitter, KeepsALoneCrOrACrNotBeforeLfInTheLine)
{
    EXPECT_EQ(SplitInPieces("a\rb\n", 64), (Lines{"a\rb"}));
    EXPECT_EQ(SplitInPieces("a\r", 64), (Lines{"a\r"}));
    EXPECT_EQ(SplitInPieces("a\r\r\n", 64), (Lines{"a\r"}));
}

TEST(TLineSplitter, GivesTheSameLinesWhateverThePiecesAre)
{
    const std::string text = "first\r\nsecond\n\r\nlast";
    const Lines whole = SplitInPieces(text, text.size());
    ASSERT_EQ(whole, (Lines{"first", "second", "", "last"}));
    for (std::size_t pieceSize = 1; pieceSize < text.size(); ++pieceSize)
    {
        EXPECT_EQ(SplitInPieces(text, pieceSize), whole) << "pieces of " << pieceSize;
    }
}
} // namespace
} // namespace orvo

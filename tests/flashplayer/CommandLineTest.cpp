#include "flashplayer/PlayerCommandLine.h"

#include <gtest/gtest.h>

#include <climits>

using flashplayer::EffectiveTimeLimitSeconds;
using flashplayer::HasUsableMovieName;
using flashplayer::ParseCommandLine;
using flashplayer::ParseNumberField;
using flashplayer::PlayerCommandLine;
using flashplayer::TrimCommandLine;

namespace {

PlayerCommandLine Parse(const std::wstring& tail) {
    return ParseCommandLine(TrimCommandLine(tail));
}

TEST(PlayerCommandLine, TakesAllSevenFields) {
    const PlayerCommandLine line = Parse(L"intro.swf;1;0;1;5;300;200");
    EXPECT_EQ(line.movie, L"intro.swf");
    EXPECT_EQ(line.timeLimitOn, 1);
    EXPECT_EQ(line.ownerWindow, 0);
    EXPECT_EQ(line.closeSoundOn, 1);
    EXPECT_EQ(line.timeLimitSeconds, 5);
    EXPECT_EQ(line.width, 300);
    EXPECT_EQ(line.height, 200);
    EXPECT_TRUE(HasUsableMovieName(line));
    EXPECT_EQ(EffectiveTimeLimitSeconds(line), 5);
}

TEST(PlayerCommandLine, SixSemicolonsGiveSevenFieldsWithEveryDefault) {
    const PlayerCommandLine line = Parse(L"intro.swf;;;;;;");
    EXPECT_EQ(line.movie, L"intro.swf");
    EXPECT_EQ(line.timeLimitOn, 0);
    EXPECT_EQ(line.ownerWindow, 0);
    EXPECT_EQ(line.closeSoundOn, 0);
    EXPECT_EQ(line.width, 400);
    EXPECT_EQ(line.height, 400);
    EXPECT_TRUE(HasUsableMovieName(line));
}

TEST(PlayerCommandLine, ZerosAndNegativesTakeTheDefaults) {
    const PlayerCommandLine zeros = Parse(L"intro.swf;1;0;0;0;0;0");
    EXPECT_EQ(zeros.timeLimitOn, 1);
    EXPECT_EQ(EffectiveTimeLimitSeconds(zeros), 10);
    EXPECT_EQ(zeros.width, 400);
    EXPECT_EQ(zeros.height, 400);

    const PlayerCommandLine negatives = Parse(L"intro.swf;1;0;0;-3;-1;-200");
    EXPECT_EQ(EffectiveTimeLimitSeconds(negatives), 10);
    EXPECT_EQ(negatives.width, 400);
    EXPECT_EQ(negatives.height, 400);
}

TEST(PlayerCommandLine, FewerThanSevenFieldsTakeNothing) {
    const PlayerCommandLine five = Parse(L"intro.swf;1;0;0;3");
    EXPECT_TRUE(five.movie.empty());
    EXPECT_EQ(five.timeLimitOn, 0);
    EXPECT_FALSE(HasUsableMovieName(five));
    // The window size still has its default, though nothing will be shown.
    EXPECT_EQ(five.width, 400);

    EXPECT_FALSE(HasUsableMovieName(Parse(L"")));
    EXPECT_FALSE(HasUsableMovieName(Parse(L"intro.swf;1;0;0;3;300")));
}

TEST(PlayerCommandLine, AMovieNameNeedsFourCharacters) {
    EXPECT_FALSE(HasUsableMovieName(Parse(L"abc;0;0;0;0;200;100")));
    EXPECT_TRUE(HasUsableMovieName(Parse(L"a.sw;0;0;0;0;200;100")));
    EXPECT_FALSE(HasUsableMovieName(Parse(L";0;0;0;0;200;100")));
}

TEST(PlayerCommandLine, FieldsPastTheSeventhAreIgnored) {
    const PlayerCommandLine line = Parse(L"intro.swf;1;0;1;5;300;200;9;junk;;");
    EXPECT_EQ(line.movie, L"intro.swf");
    EXPECT_EQ(line.height, 200);
}

TEST(PlayerCommandLine, TrimsTheWholeLineButNotTheFields) {
    const PlayerCommandLine line = Parse(L" \t\r\n\v\f intro.swf ;1; 5;0;\t7;300 ;200\r\n ");
    EXPECT_EQ(line.movie, L"intro.swf ") << "blanks inside a field stay";
    EXPECT_EQ(line.ownerWindow, 5) << "a blank before digits is skipped";
    EXPECT_EQ(line.timeLimitSeconds, 7);
    EXPECT_EQ(line.width, 300) << "conversion stops at the blank";
    EXPECT_EQ(line.height, 200);

    EXPECT_EQ(TrimCommandLine(L"  "), L"");
    EXPECT_EQ(TrimCommandLine(L"a b"), L"a b");
}

TEST(PlayerCommandLine, QuotesAndEmptyLeadingFieldsAreOrdinary) {
    const PlayerCommandLine quoted = Parse(L"\"intro.swf\";1;0;0;0;0;0");
    EXPECT_EQ(quoted.movie, L"\"intro.swf\"");

    const PlayerCommandLine leading = Parse(L";intro.swf;1;0;0;0;0;0");
    EXPECT_TRUE(leading.movie.empty()) << "a leading separator gives an empty first field";
    EXPECT_EQ(leading.timeLimitOn, 0) << "the movie name moved to the number field";
}

TEST(PlayerCommandLine, CloseSoundIsOnlyExactlyOne) {
    EXPECT_EQ(Parse(L"intro.swf;0;0;2;0;0;0").closeSoundOn, 2);
    EXPECT_EQ(Parse(L"intro.swf;0;0;+1;0;0;0").closeSoundOn, 1);
    EXPECT_EQ(Parse(L"intro.swf;0;0;01;0;0;0").closeSoundOn, 1);
}

TEST(PlayerCommandLine, NumberFieldsReadLikeTheCLibrary) {
    EXPECT_EQ(ParseNumberField(L"42"), 42);
    EXPECT_EQ(ParseNumberField(L"  -17x"), -17);
    EXPECT_EQ(ParseNumberField(L"+8"), 8);
    EXPECT_EQ(ParseNumberField(L"x8"), 0);
    EXPECT_EQ(ParseNumberField(L"-"), 0);
    EXPECT_EQ(ParseNumberField(L""), 0);
    EXPECT_EQ(ParseNumberField(L"1 2"), 1);
    EXPECT_EQ(ParseNumberField(L"0x10"), 0);
}

TEST(PlayerCommandLine, NumbersBeyondTheIntRangeSaturate) {
    EXPECT_EQ(ParseNumberField(L"2147483647"), INT_MAX);
    EXPECT_EQ(ParseNumberField(L"2147483648"), INT_MAX);
    EXPECT_EQ(ParseNumberField(L"99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseNumberField(L"-2147483648"), INT_MIN);
    EXPECT_EQ(ParseNumberField(L"-99999999999999999999"), INT_MIN);
    EXPECT_EQ(EffectiveTimeLimitSeconds(Parse(L"intro.swf;1;0;0;99999999999;0;0")), INT_MAX);
}

TEST(PlayerCommandLine, LongLinesNeedNoFixedBuffer) {
    const std::wstring movie = L"C:\\" + std::wstring(40000, L'm') + L".swf";
    const PlayerCommandLine line = Parse(movie + L";1;0;0;3;320;240" + std::wstring(5000, L';'));
    EXPECT_EQ(line.movie, movie);
    EXPECT_EQ(line.width, 320);
}

#ifdef _WIN32
TEST(PlayerCommandLine, TrimsEveryCharacterTheRuntimeCallsSpace) {
    // The Windows C runtime also counts the ideographic space that Chinese input methods type.
    const PlayerCommandLine line = Parse(L"\u3000intro.swf;0;0;0;0;0;0\u3000");
    EXPECT_EQ(line.movie, L"intro.swf");
}
#endif

} // namespace

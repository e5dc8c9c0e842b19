#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "common/decimal.h"
#include "common/one_line.h"
#include "common/twips.h"
#include "lookup/history_log.h"
#include "lookup/history_rules.h"
#include "mainwindow/clock_text.h"
#include "mainwindow/outline.h"
#include "mainwindow/platform.h"
#include "tray/tray_tip.h"

TEST(Twips, RoundToTheNearestPixelWithHalvesToEven) {
    EXPECT_EQ(common::TwipsToPixels(5385), 359);
    EXPECT_EQ(common::TwipsToPixels(4808), 321);  // 320.53
    EXPECT_EQ(common::TwipsToPixels(3980), 265);  // 265.33
    EXPECT_EQ(common::TwipsToPixels(112.5), 8);   // 7.5 -> 8
    EXPECT_EQ(common::TwipsToPixels(97.5), 6);    // 6.5 -> 6
    EXPECT_EQ(common::TwipsToPixels(0), 0);
    // 1440 twips an inch at any DPI: 7.5 twips a pixel at 192, 12 at 120.
    EXPECT_EQ(common::TwipsToPixels(5385, 192), 718);
    EXPECT_EQ(common::TwipsToPixels(5385, 120), 449);  // 448.75
    EXPECT_EQ(common::TwipsToPixels(4395, 144), 440);  // 439.5 -> 440
    EXPECT_EQ(common::TwipsToPixels(90, 120), 8);      // 7.5 -> 8
}

TEST(Outline, DesignSizeGivesTheSevenVertices) {
    auto v = mainwindow::OutlineVertices(5385, 4395);
    const int expected[7][2] = {{0, 293}, {0, 6}, {6, 0}, {353, 0}, {359, 6}, {359, 293}, {0, 293}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_EQ(v[i].y, expected[i][1]) << i;
    }
}

TEST(Outline, TheCutCornersScaleWithTheDpi) {
    // The window is 718 x 586 at 192 DPI, the cuts 12 pixels.
    auto v = mainwindow::OutlineVertices(5385, 4395, 192);
    const int expected[7][2] = {{0, 586}, {0, 12}, {12, 0}, {706, 0}, {718, 12}, {718, 586}, {0, 586}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_EQ(v[i].y, expected[i][1]) << i;
    }
    auto at120 = mainwindow::OutlineVertices(5385, 4395, 120);  // 448.75 x 366.25, cut 7.5
    EXPECT_EQ(at120[1].y, 8);
    EXPECT_EQ(at120[3].x, 441);  // (5385 - 90) / 12 = 441.25
    EXPECT_EQ(at120[5].x, 449);
    EXPECT_EQ(at120[5].y, 366);
    EXPECT_THROW(mainwindow::OutlineVertices(5385, 4395, 0), mainwindow::SizeOutOfRange);
}

TEST(Outline, OtherSizesRoundAndKeepTheCutCorners) {
    auto v = mainwindow::OutlineVertices(4808, 3001);  // 320.53 x 200.07
    EXPECT_EQ(v[5].x, 321);
    EXPECT_EQ(v[5].y, 200);
    EXPECT_EQ(v[3].x, 315);  // W - 6
    EXPECT_EQ(v[0].y, v[6].y);
    auto odd = mainwindow::OutlineVertices(97.5, 112.5);  // 6.5 x 7.5 pixels
    EXPECT_EQ(odd[4].x, 6);
    EXPECT_EQ(odd[5].y, 8);
}

TEST(Outline, UnconvertibleSizesRaise) {
    EXPECT_THROW(mainwindow::OutlineVertices(std::nan(""), 100), mainwindow::SizeOutOfRange);
    EXPECT_THROW(mainwindow::OutlineVertices(100, std::numeric_limits<double>::infinity()),
                 mainwindow::SizeOutOfRange);
    EXPECT_THROW(mainwindow::OutlineVertices(1e12, 100), mainwindow::SizeOutOfRange);
}

TEST(Platform, NamesEveryRowOfTheDecision) {
    using mainwindow::PlatformNameFor;
    EXPECT_EQ(PlatformNameFor(1, 4, 0), L"Windows 95");
    EXPECT_EQ(PlatformNameFor(1, 4, 10), L"Windows 98");
    EXPECT_EQ(PlatformNameFor(1, 9, 10), L"Windows 98");  // major not tested in 9x
    EXPECT_EQ(PlatformNameFor(1, 4, 90), L"Windows Mellinnium");
    EXPECT_EQ(PlatformNameFor(1, 4, 3), L"");
    EXPECT_EQ(PlatformNameFor(2, 3, 0), L"Windows NT 3.51");
    EXPECT_EQ(PlatformNameFor(2, 3, 51), L"Windows NT 3.51");
    EXPECT_EQ(PlatformNameFor(2, 4, 7), L"Windows NT 4.0");
    EXPECT_EQ(PlatformNameFor(2, 5, 0), L"Windows 2000");
    EXPECT_EQ(PlatformNameFor(2, 5, 1), L"Windows XP");
    EXPECT_EQ(PlatformNameFor(2, 5, 2), L"Windows XP");
    // Build numbers and product types as Microsoft lists each release.
    EXPECT_EQ(PlatformNameFor(2, 6, 0, 6002, 1), L"Windows Vista");
    EXPECT_EQ(PlatformNameFor(2, 6, 0, 6003, 3), L"Windows Server 2008");
    EXPECT_EQ(PlatformNameFor(2, 6, 1, 7601, 1), L"Windows 7");
    EXPECT_EQ(PlatformNameFor(2, 6, 1, 7601, 2), L"Windows Server 2008 R2");
    EXPECT_EQ(PlatformNameFor(2, 6, 2, 9200, 1), L"Windows 8");
    EXPECT_EQ(PlatformNameFor(2, 6, 2, 9200, 3), L"Windows Server 2012");
    EXPECT_EQ(PlatformNameFor(2, 6, 3, 9600, 1), L"Windows 8.1");
    EXPECT_EQ(PlatformNameFor(2, 6, 3, 9600, 3), L"Windows Server 2012 R2");
    EXPECT_EQ(PlatformNameFor(2, 10, 0, 19045, 1), L"Windows 10");
    EXPECT_EQ(PlatformNameFor(2, 10, 0, 22000, 1), L"Windows 11");
    EXPECT_EQ(PlatformNameFor(2, 10, 0, 14393, 3), L"Windows Server 2016");
    EXPECT_EQ(PlatformNameFor(2, 10, 0, 17763, 3), L"Windows Server 2019");
    EXPECT_EQ(PlatformNameFor(2, 10, 0, 20348, 2), L"Windows Server 2022");
    EXPECT_EQ(PlatformNameFor(2, 10, 0, 26100, 3), L"Windows Server 2025");
    EXPECT_EQ(PlatformNameFor(2, 6, 4, 9841, 1), L"");  // a release not named yet
    EXPECT_EQ(PlatformNameFor(2, 11, 0, 30000, 1), L"");
    EXPECT_EQ(PlatformNameFor(0, 0, 0), L"Failed");
    EXPECT_EQ(PlatformNameFor(3, 5, 1), L"Failed");
}

TEST(Platform, LineIsThePrefixDirectlyFollowedByTheName) {
    EXPECT_EQ(mainwindow::PlatformLine(L"Windows XP"), L"你的操作平台是Windows XP");
    EXPECT_EQ(mainwindow::PlatformLine(L""), L"你的操作平台是");
    EXPECT_EQ(mainwindow::PlatformLine(L"Failed"), L"你的操作平台是Failed");
}

TEST(Clock, TimeHasLeadingZerosAndTheLineOneBlank) {
    EXPECT_EQ(mainwindow::ClockTime(9, 5, 3), L"09:05:03");
    EXPECT_EQ(mainwindow::ClockTime(23, 59, 59), L"23:59:59");
    EXPECT_EQ(mainwindow::ClockTime(0, 0, 0), L"00:00:00");
    EXPECT_EQ(mainwindow::ClockLine(L"2026年12月7日", L"09:05:03"), L"2026年12月7日 09:05:03");
}

TEST(TrayTip, PaddsWithNulThenBlanksToSixtyFourCharacters) {
    std::wstring tip = tray::PaddedTip(L"青枫软件系列");
    ASSERT_EQ(tip.size(), 64u);
    EXPECT_EQ(tip.substr(0, 6), L"青枫软件系列");
    EXPECT_EQ(tip[6], L'\0');
    EXPECT_EQ(tip.find_first_not_of(L' ', 7), std::wstring::npos);
    std::wstring longTip = tray::PaddedTip(std::wstring(80, L'x'));
    EXPECT_EQ(longTip, std::wstring(64, L'x'));
}

TEST(TrayTip, FieldIsSixtyFourBytesAndAlwaysTerminated) {
    std::string field = tray::TipField(std::string("ab\0", 3) + std::string(61, ' ') + "zzzz");
    ASSERT_EQ(field.size(), 64u);
    EXPECT_EQ(field[2], '\0');
    EXPECT_EQ(field[63], ' ');  // padding kept when a NUL is already there
    std::string full = tray::TipField(std::string(70, 'x'));
    EXPECT_EQ(full.size(), 64u);
    EXPECT_EQ(full[63], '\0');
}

TEST(HistoryRules, PathHasExactlyOneBackslashBeforeTheName) {
    EXPECT_EQ(lookup::HistoryPath(L"C:\\Tools\\Phone"), L"C:\\Tools\\Phone\\历史查询纪录.txt");
    EXPECT_EQ(lookup::HistoryPath(L"D:\\"), L"D:\\历史查询纪录.txt");
    EXPECT_EQ(lookup::HistoryPath(L"\\\\server\\share\\"), L"\\\\server\\share\\历史查询纪录.txt");
}

TEST(HistoryRules, RecordIsThreeCrLfLines) {
    EXPECT_EQ(lookup::HistoryRecord(0, L"65251234"),
              L"0.记录   \r\n65251234\r\n------------------------------\r\n");
    EXPECT_EQ(lookup::HistoryRecord(32768, L" 6525"),
              L"32768.记录   \r\n 6525\r\n------------------------------\r\n");
}

TEST(HistoryLog, LogsANumberUnlessItRepeatsTheLastOneAndCountsOnPastSixteenBits) {
    lookup::HistoryLog log(L"C:\\dir\\历史查询纪录.txt", 32767);
    EXPECT_EQ(log.Path(), L"C:\\dir\\历史查询纪录.txt");
    EXPECT_FALSE(log.Repeats(L"65251234"));
    EXPECT_EQ(log.NextRecord(L"65251234"), lookup::HistoryRecord(32767, L"65251234"));
    log.Logged(L"65251234");
    EXPECT_TRUE(log.Repeats(L"65251234")) << "A, A: once";
    EXPECT_FALSE(log.Repeats(L"5508"));
    log.Logged(L"5508");
    EXPECT_FALSE(log.Repeats(L"65251234")) << "A, B, A: three times";
    EXPECT_EQ(log.NextRecord(L"65251234").substr(0, 6), L"32769.");
    EXPECT_EQ(log.RecordNumber(), 32769);
    EXPECT_EQ(log.LastLogged(), L"5508");
}

TEST(HistoryLog, ANewRunStartsAtRecordZeroWithNothingLogged) {
    lookup::HistoryLog fresh;
    EXPECT_EQ(fresh.Path(), L"");
    EXPECT_EQ(fresh.RecordNumber(), 0);
    EXPECT_FALSE(fresh.Repeats(L"5508"));
    EXPECT_TRUE(fresh.Repeats(L"")) << "nothing logged yet reads as the empty number";
}

TEST(Decimal, WritesWholeNumbersWithTheirSignAndLeadingZeros) {
    EXPECT_EQ(common::Decimal(0), L"0");
    EXPECT_EQ(common::Decimal(7, 2), L"07");
    EXPECT_EQ(common::Decimal(123, 2), L"123");
    EXPECT_EQ(common::Decimal(-45), L"-45");
    EXPECT_EQ(common::Decimal(9223372036854775807LL), L"9223372036854775807");
    EXPECT_EQ(common::Decimal(-9223372036854775807LL - 1), L"-9223372036854775808");
    EXPECT_EQ(common::Decimal(5, 30), std::wstring(29, L'0') + L"5") << "more digits than a number has";
}

namespace {
// UTF-16 units, also where wchar_t is wider: a pair is written as its halves.
const wchar_t kHigh = 0xD83D, kLow = 0xDE00;
std::wstring Pair() { return {kHigh, kLow}; }
}  // namespace

TEST(BoxRules, EachBoxTakesWhatItsRulesAllow) {
    using common::kAnyBox;
    using common::kNumberBox;
    using common::kOneLineBox;
    const auto npos = std::wstring::npos;
    struct Case {
        std::wstring text;
        size_t room;
        unsigned rules;
        size_t typing;
        std::wstring kept;
    } cases[] = {
        {L"12\t34", 8, kNumberBox, npos, L"12 34"},  // a tab is a blank
        {L"\t\t\t9", 8, kNumberBox, npos, L"   9"},
        {L"12\x01\x1B" L"34\x7F\x85", 8, kNumberBox, npos, L"1234"},  // no control character
        {L"\x01\x02\x03\x04\x05\x06\x07\x08" L"12345678", 8, kNumberBox, npos, L"12345678"},
        {L"\xFF16\xFF15\xFF12\xFF15\xFF11\xFF12\xFF13\xFF14", 8, kNumberBox, npos, L"65251234"},
        {L"\xFF10\xFF19\xFF1A", 8, kNumberBox, npos, L"09\xFF1A"},  // the digits, nothing else
        {L"\xFF16\xFF15", 8, kOneLineBox, npos, L"\xFF16\xFF15"},  // a number box's rule only
        {L"6525\r\n1234", 8, kNumberBox, npos, L"6525"},
        {L"65\n25", 8, kOneLineBox, npos, L"65"},
        {L"123456789", 8, kNumberBox, npos, L"12345678"},
        {L"a\r\nb\tc\x01", 1000, kAnyBox, npos, L"a\r\nb c\x01"},  // an answer keeps its lines
        {L"1" + std::wstring(1, kHigh) + L"2" + std::wstring(1, kLow) + L"3", 8, kNumberBox, npos, L"123"},
        {std::wstring(1, kLow) + std::wstring(1, kHigh), 1000, kAnyBox, npos, L""},  // lone halves
        {L"1" + Pair(), 8, kNumberBox, npos, L"1" + Pair()},
        {L"1234567" + Pair(), 8, kNumberBox, npos, L"1234567"},  // a cut never parts a pair
        {std::wstring(999, L'a') + Pair() + L"b", 1000, kAnyBox, npos, std::wstring(999, L'a')},
        {std::wstring(998, L'a') + Pair() + L"b", 1000, kAnyBox, npos, std::wstring(998, L'a') + Pair()},
        {L"12" + std::wstring(1, kHigh), 8, kNumberBox, 2, L"12" + std::wstring(1, kHigh)},  // being typed
        {L"12" + std::wstring(1, kHigh) + L"3", 8, kNumberBox, 2, L"12" + std::wstring(1, kHigh) + L"3"},
        {L"1234567" + std::wstring(1, kHigh), 8, kNumberBox, 7, L"1234567"},  // no room for its half
        {L"12" + std::wstring(1, kHigh), 8, kNumberBox, 1, L"12"},  // not before the caret
        {L"6525", 0, kNumberBox, npos, L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(common::Admit(c.text.c_str(), c.room, c.rules, c.typing), c.kept)
            << "case " << (&c - cases);
    }
}

TEST(BoxRules, ANumberWrittenWithPartingsGivesItsDigits) {
    struct Case {
        const wchar_t* text;
        const wchar_t* digits;  // empty: not such a number
    } cases[] = {
        {L"6525-1234", L"65251234"},
        {L"6525 1234", L"65251234"},
        {L"(6525)1234", L"65251234"},
        {L"6525.1234", L"65251234"},
        {L" 6525 - 1234 ", L"65251234"},
        {L"[6525] 1234", L"65251234"},
        {L"\xFF08" L"6525\xFF09" L"1234", L"65251234"},  // full-width brackets
        {L"\xFF16\xFF15\xFF12\xFF15\xFF0D\xFF11\xFF12\xFF13\xFF14", L"65251234"},
        {L"6525\x3000" L"1234", L"65251234"},  // an ideographic blank
        {L"6525\xA0" L"1234", L"65251234"},    // a web page's blank
        {L"021-6525-1234", L"65251234"},  // the area code goes
        {L"02165251234", L"65251234"},
        {L"(0571) 8888 1234", L"88881234"},
        {L"\x7535\x8BDD\xFF1A" L"6525-1234", L"65251234"},  // 电话：
        {L"Tel: +86 21 6525 1234", L"65251234"},
        {L"0086-21-65251234", L"65251234"},
        {L"\xFF0B\xFF18\xFF16\x3000\xFF12\xFF11\x3000\xFF16\xFF15\xFF12\xFF15\xFF11\xFF12\xFF13\xFF14", L"65251234"},
        {L"6378\x2014" L"1234", L"63781234"},  // an em dash, an en dash
        {L"6378\x2013" L"1234", L"63781234"},
        {L"\x5F20\x4E09 2026-12-08\r\n\xFF08" L"021\xFF09" L"6525.1234 \x8F6C 8001", L"65251234"},
        {L"6525", L"6525"},  // a shorter number as it stands
        {L"Tel: 6525", L""},
        {L"021-6525-12345", L"021652512345"},  // no telephone number: all of its digits
        {L"65251234", L"65251234"},
        {L"", L""},
        {L"   ", L""},
        {L"-6525", L""},  // a sign, not a parting
        {L"6525-", L""},
        {L"65a5-1234", L""},
        {L"(6525", L""},
        {L"6525)1234", L""},
        {L"6525(1234)", L""},
        {L"((6525))", L""},
        {L"()1234", L""},
        {L"(6525]1234", L""},
        {L"6525\t1234", L""},
        {L"6525/1234", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(common::DigitsOfPaste(c.text), c.digits) << "case " << (&c - cases);
}

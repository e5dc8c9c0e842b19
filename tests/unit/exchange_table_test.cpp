#include <gtest/gtest.h>

#include <set>
#include <string>

#include "lookup/exchange_table.h"
#include "tests/unit/in_order_search.h"

using lookup::ExchangeTable;
using lookup::FindExchange;
using testref::FindExchangeInOrder;
using lookup::kFallbackText;

namespace {
std::wstring Key4(int n) {
    wchar_t buf[8];
    swprintf(buf, 8, L"%04d", n);
    return buf;
}
}  // namespace

TEST(ExchangeTable, HoldsTheFixedCountsAndEveryPrefixOnce) {
    const auto& table = ExchangeTable();
    ASSERT_EQ(table.size(), 93u);
    std::set<int> prefixes;
    std::set<std::wstring> texts;
    size_t total = 0;
    for (const auto& row : table) {
        EXPECT_NE(row.prefixes.size(), 0u) << "every text has a prefix";
        // One row per text: the entries of a text stand together.
        EXPECT_TRUE(texts.insert(row.text).second) << "text repeated apart";
        for (int p : row.prefixes) {
            ++total;
            EXPECT_TRUE(prefixes.insert(p).second) << p << " listed twice";
            EXPECT_GE(p, 1000);
            EXPECT_LE(p, 9999);
            int lead = p / 1000;
            EXPECT_TRUE(lead == 3 || lead == 5 || lead == 6) << p;
        }
    }
    EXPECT_EQ(total, 421u);
    EXPECT_EQ(*prefixes.begin(), 3501);
    EXPECT_EQ(*prefixes.rbegin(), 6893);
}

TEST(ExchangeTable, AnswersTheKnownPrefixes) {
    EXPECT_STREQ(FindExchange(L"65251234"), L"电信东区： 凉城");  // ASCII blank kept
    EXPECT_STREQ(FindExchange(L"65741234"), L"电信东区： 中原");
    EXPECT_STREQ(FindExchange(L"6531"), L"电信东区：逸仙");  // never the unused text
    EXPECT_STREQ(FindExchange(L"65830000"), L"电信东区：曲阳");
    EXPECT_STREQ(FindExchange(L"55081111"), L"电信东区：政肃");
    EXPECT_STREQ(FindExchange(L"57942222"), L"金山区：石化地区");
    EXPECT_STREQ(FindExchange(L"68933333"), L"浦东新区：北蔡");
    EXPECT_STREQ(FindExchange(L"35011234"), L"电信东区：控江");
    EXPECT_STREQ(FindExchange(L"35041234"), L"电信东区：翔殷");
    EXPECT_STREQ(FindExchange(L"35121234"), L"电信东区：平凉");
    EXPECT_STREQ(FindExchange(L"38801234"), L"浦东新区：金茂大厦");
    EXPECT_STREQ(FindExchange(L"38821234"), L"浦东新区：陆家嘴金融贸易区");
    EXPECT_STREQ(FindExchange(L"38871234"), L"浦东新区：陆家嘴金融贸易区");
    EXPECT_STREQ(FindExchange(L"64261234"), L"电信南区：漕溪（分为美罗,汇金,上体场三个分局）");
    EXPECT_STREQ(FindExchange(L"64191234"), L"电信闵行区：新镇(七宝地区)");
    EXPECT_STREQ(FindExchange(L"64241234"),
                 L"梅陇（华东理工大学）,梅陇各新村，华理二三村，新侨学院");
    EXPECT_STREQ(FindExchange(L"67241234"), L"电信金山区：金卫,华东理工大学金山校区");
}

TEST(ExchangeTable, OnlyTheFirstFourCharactersDecide) {
    EXPECT_STREQ(FindExchange(L"6525"), FindExchange(L"65251234"));
    EXPECT_STREQ(FindExchange(L"65255"), FindExchange(L"65251234"));
    EXPECT_STREQ(FindExchange(L"6525.5"), FindExchange(L"65251234"));
    EXPECT_STREQ(FindExchange(L"6525abc!"), L"电信东区： 凉城");
}

TEST(ExchangeTable, KeysThatMatchNothingGetTheFallback) {
    for (const wchar_t* s : {L"", L"652", L"06525123", L"+6525123", L" 6525123", L"12345678",
                             L"65001234", L"69001234", L"６５２５1234", L"-652", L"6.525"})
        EXPECT_STREQ(FindExchange(s), kFallbackText) << "input index";
    EXPECT_STREQ(kFallbackText, L"未知数据，请与作者联系");
}

TEST(ExchangeTable, IndexAgreesWithTheInOrderSearchForEveryKey) {
    int found = 0;
    for (int n = 0; n < 10000; ++n) {
        std::wstring k = Key4(n);
        const wchar_t* fast = FindExchange(k);
        ASSERT_STREQ(fast, FindExchangeInOrder(k)) << n;
        ASSERT_STREQ(FindExchange(k + L"1234"), fast) << n;
        if (fast != kFallbackText) ++found;
    }
    EXPECT_EQ(found, 421);
    // Other shapes: short, blanks, signs, full-width digits, lone surrogates.
    const std::wstring odd[] = {L"6",       L"65",       L"652",      L" 652",   L"652 ",
                                L"+652",    L"-6525",    L"６５２５", L"65２5",  L"\xD800" L"525",
                                L"652\xDC00", L"\xFEFF" L"6525", std::wstring(L"65\0" L"25", 5), L"٦٥٢٥"};
    for (const auto& k : odd) EXPECT_STREQ(FindExchange(k), FindExchangeInOrder(k));
}

TEST(ExchangeTable, AnswerTextHasTheHeadingAndCrLf) {
    EXPECT_EQ(lookup::AnswerText(L"65251234"),
              L"你所查询电话号码的归属地是：\r\n电信东区： 凉城");
    EXPECT_EQ(lookup::AnswerText(L"1"), L"你所查询电话号码的归属地是：\r\n未知数据，请与作者联系");
}

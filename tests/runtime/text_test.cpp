#include "runtime/text.h"

#include <gtest/gtest.h>
#include <random>

using namespace rt;

TEST(ComposeRgb, TakesLowEightBitsOfEachChannel)
{
    EXPECT_EQ(composeRgb(300, -1, 0), 44u + 255u * 256u);
    EXPECT_EQ(composeRgb(256, 0, 0), 0u);
    EXPECT_EQ(composeRgb(0, 128, 128), 128u * 256u + 128u * 65536u);
    EXPECT_EQ(redOf(composeRgb(1, 2, 3)), 1);
    EXPECT_EQ(greenOf(composeRgb(1, 2, 3)), 2);
    EXPECT_EQ(blueOf(composeRgb(1, 2, 3)), 3);
}

TEST(IntegerToBytes, LeastSignificantFirst)
{
    EXPECT_EQ(integerToBytes(0x01020304), QByteArray("\x04\x03\x02\x01", 4));
    EXPECT_EQ(integerToBytes(-1), QByteArray("\xff\xff\xff\xff", 4));
}

TEST(NumberToText, PrintsThirteenSignificantDigits)
{
    EXPECT_EQ(numberToText(185.0), "185");
    EXPECT_EQ(numberToText(-1.0), "-1");
    EXPECT_EQ(numberToText(0.5), "0.5");
    EXPECT_EQ(numberToText(2147483648.0), "2147483648");
    EXPECT_EQ(numberToText(1.0 / 3.0), "0.3333333333333");
}

TEST(TextToInteger, Cases)
{
    const struct { const char* text; std::int32_t value; } cases[] = {
        {"185", 185},         {"", 0},           {"0", 0},
        {"-50", -50},         {"+7", 7},         {"abc", 0},
        {" 120px", 120},      {"\t\n 12", 12},   {"--5", 0},
        {"12 34", 12},        {"１２０", 120},    {"－３", -3},
        {"\u3000４2", 42},    {"4294967296", 0}, {"4294967297", 1},
        {"2147483648", INT32_MIN}, {"-2147483648", INT32_MIN}, {"99999999999", 1215752191},
        {"٣", 0}, // only ASCII (and folded full-width) digits count
    };
    for (const auto& c : cases)
        EXPECT_EQ(textToInteger(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(FoldFullWidth, FoldsTheGbkForms)
{
    EXPECT_EQ(foldFullWidth(QString::fromUtf8("ＡＢｃ！～￥￣\u3000★☆")), QString::fromUtf8("ABc!~$~ **"));
    EXPECT_EQ(foldFullWidth(QString::fromUtf8("中文")), QString::fromUtf8("中文"));
}

TEST(TextToInteger, RoundTripsNumberToTextOverTheWholeRange)
{
    auto roundTrip = [](std::int32_t x) { return textToInteger(numberToText(integerToNumber(x))); };
    for (std::int64_t x = INT32_MIN; x < std::int64_t(INT32_MIN) + 2000; ++x)
        ASSERT_EQ(roundTrip(std::int32_t(x)), x);
    for (std::int64_t x = std::int64_t(INT32_MAX) - 2000; x <= INT32_MAX; ++x)
        ASSERT_EQ(roundTrip(std::int32_t(x)), x);
    for (std::int32_t x = -2000; x <= 2000; ++x)
        ASSERT_EQ(roundTrip(x), x);
    std::mt19937 rng(12345);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    for (int i = 0; i < 5000; ++i) {
        const std::int32_t x = any(rng);
        ASSERT_EQ(roundTrip(x), x);
    }
}

TEST(ConcatText, JoinsInOrder)
{
    EXPECT_EQ(concatText({"a", QString(), "bc"}), "abc");
    EXPECT_EQ(byteLength(QByteArray()), 0);
    EXPECT_EQ(byteLength(QByteArray("abc")), 3);
}

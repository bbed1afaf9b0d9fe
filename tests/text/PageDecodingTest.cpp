#include "text/PageDecoding.h"

#include <gtest/gtest.h>

using namespace tickwell;

namespace {

struct DecodingCase {
    const char *name;
    QByteArray bytes;
    QString expected;
};

void PrintTo(const DecodingCase &c, std::ostream *out) { *out << c.name; }

QByteArray Bytes(std::initializer_list<unsigned char> values)
{
    QByteArray bytes;
    for (unsigned char value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

QString Units(std::initializer_list<char16_t> units)
{
    QString text;
    for (char16_t unit : units)
        text.append(QChar(unit));
    return text;
}

} // namespace

class DecodePageBytesTest : public testing::TestWithParam<DecodingCase> {};

TEST_P(DecodePageBytesTest, UsesUtf8WhenValidElseMacRoman)
{
    EXPECT_EQ(DecodePageBytes(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodePageBytesTest,
    testing::Values(
        DecodingCase{"empty", QByteArray(), QString()},
        DecodingCase{"ascii", "<b>42.10</b>", "<b>42.10</b>"},
        DecodingCase{"utf8_two_byte", Bytes({'C', 'a', 'f', 0xC3, 0xA9}), QString::fromUtf8("Caf\u00E9")},
        DecodingCase{"utf8_astral", Bytes({0xF0, 0x9F, 0x98, 0x80}), Units({0xD83D, 0xDE00})},
        DecodingCase{"utf8_bom_kept", Bytes({0xEF, 0xBB, 0xBF, 'a'}), Units({0xFEFF, 'a'})},
        DecodingCase{"nul_byte_kept", QByteArray("a\0b", 3), Units({'a', 0, 'b'})},
        DecodingCase{"largest_code_point", Bytes({0xF4, 0x8F, 0xBF, 0xBF}), Units({0xDBFF, 0xDFFF})},
        // Latin-1 é is not UTF-8; in Mac OS Roman E9 is È.
        DecodingCase{"latin1_byte", Bytes({'C', 'a', 'f', 0xE9}), Units({'C', 'a', 'f', 0x00C8})},
        DecodingCase{"overlong_slash", Bytes({0xC0, 0xAF}), Units({0x00BF, 0x00D8})},
        DecodingCase{"overlong_three_byte", Bytes({0xE0, 0x80, 0xAF}), Units({0x2021, 0x00C4, 0x00D8})},
        DecodingCase{"encoded_surrogate", Bytes({0xED, 0xA0, 0x80}), Units({0x00CC, 0x2020, 0x00C4})},
        DecodingCase{"above_10ffff", Bytes({0xF4, 0x90, 0x80, 0x80}), Units({0x00D9, 0x00EA, 0x00C4, 0x00C4})},
        DecodingCase{"truncated_sequence", Bytes({'x', 0xE2, 0x82}), Units({'x', 0x201A, 0x00C7})},
        DecodingCase{"lone_continuation", Bytes({0x80}), Units({0x00C4})},
        DecodingCase{"apple_logo_and_euro", Bytes({0xF0, 0xDB}), Units({0xF8FF, 0x20AC})},
        // One bad byte anywhere sends the whole page to Mac OS Roman, valid UTF-8 parts included.
        DecodingCase{"mixed_page", Bytes({0xC3, 0xA9, ' ', 0xE9}), Units({0x221A, 0x00A9, ' ', 0x00C8})}),
    [](const testing::TestParamInfo<DecodingCase> &param) { return std::string(param.param.name); });

TEST(DecodePageBytes, EveryMacRomanByteIsOneCharacterAndRoundTrips)
{
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(static_cast<char>(value));
    const QString text = DecodePageBytes(all);
    ASSERT_EQ(text.size(), 256);
    for (int value = 0; value < 128; ++value)
        EXPECT_EQ(text[value].unicode(), value);
    EXPECT_EQ(EncodeMacRoman(text), all);
}

TEST(EncodeMacRoman, RejectsCharactersWithoutAMacRomanForm)
{
    EXPECT_EQ(EncodeMacRoman(QString()), QByteArray());
    EXPECT_EQ(EncodeMacRoman(QStringLiteral("<b>")), QByteArray("<b>"));
    EXPECT_EQ(EncodeMacRoman(QStringLiteral("\u00E9\u20AC")), Bytes({0x8E, 0xDB}));
    EXPECT_EQ(EncodeMacRoman(QStringLiteral("\u4E2D")), std::nullopt);
    EXPECT_EQ(EncodeMacRoman(QStringLiteral("a\U0001F600")), std::nullopt);
    EXPECT_EQ(EncodeMacRoman(Units({'a', 0xD800})), std::nullopt);
    // A near match must not be substituted: the Cyrillic a looks like 'a' but has no Mac OS Roman form.
    EXPECT_EQ(EncodeMacRoman(QStringLiteral("\u0430")), std::nullopt);
}

#include "text/PageDecoding.h"

#include <gtest/gtest.h>

using namespace tickwell;

TEST(DecodePageBytes, UsesUtf8WhenValidElseMacRoman)
{
    const struct { QByteArray hex; QString expected; } cases[] = {
        {"f09f9880efbbbf61", QStringLiteral(u"\U0001F600\uFEFFa")}, // a BOM is kept
        {"610062", QString::fromUtf16(u"a\0b", 3)},
        {"436166e9", QStringLiteral(u"Caf\u00C8")}, // Latin-1 bytes read as Mac OS Roman
        {"c0afeda080", QStringLiteral(u"\u00BF\u00D8\u00CC\u2020\u00C4")}, // overlong, encoded surrogate
        {"78e282", QStringLiteral(u"x\u201A\u00C7")}, // truncated sequence
        // One bad byte anywhere sends the whole page to Mac OS Roman, valid UTF-8 parts included.
        {"c3a920e9", QStringLiteral(u"\u221A\u00A9 \u00C8")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecodePageBytes(QByteArray::fromHex(c.hex)), c.expected) << c.hex.toStdString();
}

TEST(DecodePageBytes, EveryMacRomanByteIsOneCharacterAndRoundTrips)
{
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(static_cast<char>(value));
    const QString text = DecodePageBytes(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.left(128), QString::fromLatin1(all.left(128)));
    EXPECT_EQ(EncodeMacRoman(text), all);
    EXPECT_EQ(EncodeMacRoman(QStringLiteral(u"a") + QChar(0xD800)), std::nullopt);
    // A near match must not be substituted: the Cyrillic a has no Mac OS Roman form.
    EXPECT_EQ(EncodeMacRoman(QStringLiteral(u"\u0430")), std::nullopt);
}

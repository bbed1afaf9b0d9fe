// Cutting the web engine helper's byte stream into messages: chunks split anywhere, blank and
// carriage-return lines, text that is not a message, and a line that never ends.
#include "platform/webengine/ArchiverProtocol.h"

#include <gtest/gtest.h>

#include <QJsonArray>

namespace tickwell::testing {
namespace {

using namespace tickwell::archiver;

struct LineCase {
    const char *name;
    std::vector<QByteArray> chunks;
    std::vector<QByteArray> lines;
};

class LineReaderTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineReaderTest, CutsLines)
{
    LineReader reader;
    std::vector<QByteArray> lines;
    for (const QByteArray &chunk : GetParam().chunks)
        for (QByteArray &line : reader.feed(chunk))
            lines.push_back(std::move(line));
    EXPECT_EQ(lines, GetParam().lines);
    EXPECT_FALSE(reader.broken());
}

INSTANTIATE_TEST_SUITE_P(Streams, LineReaderTest, ::testing::Values(
    LineCase{"Whole", {"{\"a\":1}\n{\"b\":2}\n"}, {"{\"a\":1}", "{\"b\":2}"}},
    LineCase{"SplitEverywhere", {"{\"a\"", ":1}", "\n{", "\"b\":2}\n", "{\"c\""}, {"{\"a\":1}", "{\"b\":2}"}},
    LineCase{"BlankAndCarriageReturns", {"\n\r\n{\"a\":1}\r\n\n"}, {"{\"a\":1}"}},
    LineCase{"NoLineFeedYet", {"{\"a\":1}"}, {}},
    LineCase{"NulAndHighBytesKept", {QByteArray("x\0y\xff\n", 5)}, {QByteArray("x\0y\xff", 4)}}),
    [](const ::testing::TestParamInfo<LineCase> &param) { return std::string(param.param.name); });

void PrintTo(const LineCase &lineCase, std::ostream *out) { *out << lineCase.name; }

TEST(LineReaderLimitTest, ALineThatNeverEndsBreaksTheReaderWithoutHoldingItsBytes)
{
    LineReader reader;
    const QByteArray chunk(1024 * 1024, 'x');
    for (qsizetype fed = 0; fed <= kMaxLineBytes && !reader.broken(); fed += chunk.size())
        EXPECT_TRUE(reader.feed(chunk).empty());
    EXPECT_TRUE(reader.broken());
    EXPECT_TRUE(reader.feed("{\"a\":1}\n").empty()) << "nothing more is believed";
}

TEST(LineReaderLimitTest, ALineJustUnderTheLimitIsKept)
{
    LineReader reader;
    const QByteArray line(kMaxLineBytes, 'x');
    const auto lines = reader.feed(line + '\n');
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), kMaxLineBytes);
    EXPECT_FALSE(reader.broken());
}

// A message is a JSON object on one line, however its text breaks (the JSON itself is Qt's).
TEST(MessageTest, OnlyAnObjectOnOneLineIsAMessage)
{
    for (const char *notMessage : {"not json", "[1,2]", "42"})
        EXPECT_FALSE(DecodeMessage(notMessage)) << notMessage;
    EXPECT_EQ(EncodeMessage({{QStringLiteral("title"), QStringLiteral("Line\nbreak")}}).count('\n'), 1);
}

} // namespace
} // namespace tickwell::testing

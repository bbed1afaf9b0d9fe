// Cutting the web engine helper's byte stream into messages: chunks split anywhere, blank and
// carriage-return lines, text that is not a message, and lines at and past the length limit.
#include "platform/webengine/ArchiverProtocol.h"

#include <gtest/gtest.h>

namespace tickwell::testing {
namespace {

using namespace tickwell::archiver;

TEST(ArchiverProtocolTest, CutsLinesHoweverTheBytesArrive)
{
    const QByteArray atLimit(kMaxLineBytes, 'x');
    const struct {
        const char *name;
        std::vector<QByteArray> chunks;
        std::vector<QByteArray> lines;
        bool broken = false;
    } cases[] = {
        {"whole", {"{\"a\":1}\n{\"b\":2}\n"}, {"{\"a\":1}", "{\"b\":2}"}},
        {"split everywhere", {"{\"a\"", ":1}", "\n{", "\"b\":2}\n", "{\"c\""}, {"{\"a\":1}", "{\"b\":2}"}},
        {"blank and carriage returns", {"\n\r\n{\"a\":1}\r\n\n"}, {"{\"a\":1}"}},
        {"NUL and high bytes kept", {QByteArray("x\0y\xff\n", 5)}, {QByteArray("x\0y\xff", 4)}},
        {"a line at the limit", {atLimit, "\n"}, {atLimit}},
        // Past the limit nothing more is believed, and the bytes are not held.
        {"a line past the limit", {atLimit, "x", "\n{\"a\":1}\n"}, {}, true},
    };
    for (const auto &c : cases) {
        LineReader reader;
        std::vector<QByteArray> lines;
        for (const QByteArray &chunk : c.chunks)
            for (QByteArray &line : reader.feed(chunk))
                lines.push_back(std::move(line));
        EXPECT_TRUE(lines == c.lines) << c.name;
        EXPECT_EQ(reader.broken(), c.broken) << c.name;
    }
    // A message is a JSON object on one line, however its text breaks (the JSON itself is Qt's).
    for (const char *notMessage : {"not json", "[1,2]", "42"})
        EXPECT_FALSE(DecodeMessage(notMessage)) << notMessage;
    EXPECT_EQ(EncodeMessage({{QStringLiteral("title"), QStringLiteral("Line\nbreak")}}).count('\n'), 1);
}

} // namespace
} // namespace tickwell::testing

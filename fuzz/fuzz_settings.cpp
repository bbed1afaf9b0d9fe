// The settings file: whatever the reader takes is written so that it reads back the same, and
// writing what was read back gives the same bytes again.

#include "FuzzCheck.h"
#include "platform/settings/PlistXml.h"
#include "support/StrictlyEqual.h"

#include <cstddef>
#include <cstdint>

using namespace tickwell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString error;
    const auto read = ReadPlistXml(file, &error);
    if (!read) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    const auto written = WritePlistXml(*read, &error);
    FUZZ_CHECK(written.has_value());
    FUZZ_CHECK(written->size() <= kPlistMaxFileSize);
    const auto readBack = ReadPlistXml(*written, &error);
    FUZZ_CHECK(readBack.has_value());
    FUZZ_CHECK(testing::StrictlyEqual(*read, *readBack));
    FUZZ_CHECK(WritePlistXml(*readBack) == written);
    // What the store keeps of a value the application sets reads back as that value, too.
    for (const QVariant &value : *read) {
        const auto converted = ToPlistValue(value);
        FUZZ_CHECK(converted.has_value());
        FUZZ_CHECK(testing::StrictlyEqual(*converted, value));
    }
    return 0;
}

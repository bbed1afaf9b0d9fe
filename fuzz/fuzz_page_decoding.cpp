// Page bytes as text: valid UTF-8 comes back byte for byte, anything else is Mac OS Roman, one
// character per byte, and goes back to the same bytes.

#include "FuzzCheck.h"
#include "text/PageDecoding.h"

#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

using namespace tickwell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString text = DecodePageBytes(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError()) {
        FUZZ_CHECK(text.toUtf8() == bytes);
        FUZZ_CHECK(text == asUtf8);
        return 0;
    }
    FUZZ_CHECK(text.size() == bytes.size());
    const auto macRoman = EncodeMacRoman(text);
    FUZZ_CHECK(macRoman.has_value() && *macRoman == bytes);
    return 0;
}

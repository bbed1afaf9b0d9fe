#include "text/PageDecoding.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <limits>
#include <memory>

namespace tickwell {
namespace {

struct ConverterCloser {
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter OpenMacRoman()
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("macintosh", &status));
    if (U_FAILURE(status))
        return nullptr;
    return converter;
}

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF), decoded straight into
// the UTF-16 buffer; nothing when a single byte is out of place.
std::optional<QString> DecodeStrictUtf8(const QByteArray &bytes)
{
    // UTF-16 never needs more code units than UTF-8 needs bytes.
    QString text(bytes.size(), Qt::Uninitialized);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar *>(text.data()), static_cast<int32_t>(text.size()), &length,
                         bytes.constData(), static_cast<int32_t>(bytes.size()), U_SENTINEL, nullptr, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    text.truncate(length);
    return text;
}

QString DecodeMacRoman(const QByteArray &bytes)
{
    const Converter converter = OpenMacRoman();
    if (!converter)
        return QString::fromLatin1(bytes); // ICU data missing: keep the page readable.
    // Every Mac OS Roman byte is one BMP character.
    QString text(bytes.size(), Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar *>(text.data()),
                                         static_cast<int32_t>(text.size()), bytes.constData(),
                                         static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status))
        return QString::fromLatin1(bytes);
    text.truncate(length);
    return text;
}

} // namespace

QString DecodePageBytes(const QByteArray &bytes)
{
    // ICU counts in 32 bits; no page of that size is ever kept.
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<int32_t>::max())
        return {};
    if (std::optional<QString> text = DecodeStrictUtf8(bytes))
        return *std::move(text);
    return DecodeMacRoman(bytes);
}

std::optional<QByteArray> EncodeMacRoman(const QString &text)
{
    if (text.isEmpty())
        return QByteArray();
    if (text.size() > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    const Converter converter = OpenMacRoman();
    if (!converter)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    // Stop at the first character without a Mac OS Roman form instead of substituting.
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    // One byte per UTF-16 code unit at most: Mac OS Roman has no characters outside the BMP.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    const int32_t length = ucnv_fromUChars(converter.get(), bytes.data(), static_cast<int32_t>(bytes.size()),
                                           reinterpret_cast<const UChar *>(text.constData()),
                                           static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    bytes.truncate(length);
    return bytes;
}

} // namespace tickwell

#include "app/ValueFormatting.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/numberformatter.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/ucurr.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace tickwell {
namespace {

enum class LocaleCategory { Numeric, Time };

bool &cacheFormatters()
{
    static bool on = true;
    return on;
}

// "de_DE.UTF-8@euro" -> "de_DE". The C locale (or none at all, as a minimal session starts a
// tray app) is meant for machines: ICU's POSIX English writes "$ 24390.00". People read
// United States English then.
icu::Locale LocaleFromPosixName(std::string_view name)
{
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX")
        return icu::Locale("en_US");
    return icu::Locale::createCanonical(std::string(name).c_str());
}

// The name the locale comes from: the first of LC_ALL, LC_NUMERIC or LC_TIME, LANG that is set
// and not empty ("" for none). The environment is read at every call, as the C library does, so
// a changed locale shows at the next formatting; ICU's own default locale is left alone.
std::string_view LocaleName(LocaleCategory category)
{
    const std::array<const char *, 3> variables{
        "LC_ALL", category == LocaleCategory::Numeric ? "LC_NUMERIC" : "LC_TIME", "LANG"};
    for (const char *variable : variables) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return {};
}

icu::Locale UserLocale(LocaleCategory category)
{
    return LocaleFromPosixName(LocaleName(category));
}

// Making a formatter costs more than formatting with it: one of each style is kept for the
// locale name it was made for and made again when the name changes. One per thread.
template <typename Formatter>
class CachedFormatter {
public:
    template <typename Make>
    const Formatter &get(LocaleCategory category, Make make)
    {
        const std::string_view name = LocaleName(category);
        if (!cacheFormatters() || !m_formatter || name != m_name) {
            m_formatter.emplace(make(LocaleFromPosixName(name)));
            m_name = std::string(name);
        }
        return *m_formatter;
    }

private:
    std::string m_name;
    std::optional<Formatter> m_formatter;
};

// The system time zone as TZ names it now (ICU caches its default zone, the host's is re-read).
std::unique_ptr<icu::TimeZone> SystemTimeZone()
{
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::detectHostTimeZone());
}

QString ToQString(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

icu::UnicodeString ToUnicodeString(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(text.utf16()), static_cast<int32_t>(text.size()));
}

// Values that round to zero show no minus sign: a change of -0.0004 is "0", not "-0".
const icu::number::LocalizedNumberFormatter &DecimalFormatter()
{
    thread_local CachedFormatter<icu::number::LocalizedNumberFormatter> cache;
    return cache.get(LocaleCategory::Numeric, [](const icu::Locale &locale) {
        return icu::number::NumberFormatter::withLocale(locale)
            .precision(icu::number::Precision::maxFraction(3))
            .roundingMode(UNUM_ROUND_HALFEVEN)
            .grouping(UNUM_GROUPING_AUTO)
            .sign(UNUM_SIGN_NEGATIVE);
    });
}

// The locale's currency; a locale without a region takes its most likely one ("de" -> EUR).
icu::CurrencyUnit LocaleCurrency(const icu::Locale &locale)
{
    std::array<UChar, 4> code{};
    UErrorCode status = U_ZERO_ERROR;
    ucurr_forLocale(locale.getName(), code.data(), static_cast<int32_t>(code.size()), &status);
    if (U_FAILURE(status)) {
        icu::Locale likely = locale;
        status = U_ZERO_ERROR;
        likely.addLikelySubtags(status);
        status = U_ZERO_ERROR;
        ucurr_forLocale(likely.getName(), code.data(), static_cast<int32_t>(code.size()), &status);
    }
    if (U_SUCCESS(status)) {
        icu::CurrencyUnit unit(code.data(), status);
        if (U_SUCCESS(status))
            return unit;
    }
    return icu::CurrencyUnit(); // "XXX": no currency, shown with the generic sign
}

template <typename Format>
QString Formatted(Format &&format, const QString &fallback)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString text = format(status).toString(status);
    return U_SUCCESS(status) ? ToQString(text) : fallback;
}

std::optional<icu::DateFormat::EStyle> DateFormatStyle(int code)
{
    switch (code) {
    case 0: return icu::DateFormat::kNone;
    case 1: return icu::DateFormat::kShort;
    case 2: return icu::DateFormat::kMedium;
    case 3: return icu::DateFormat::kLong;
    case 4: return icu::DateFormat::kFull;
    default: return std::nullopt;
    }
}

UDate ToUDate(const QDateTime &moment) { return static_cast<UDate>(moment.toMSecsSinceEpoch()); }

QString FormatWithPattern(const QDateTime &moment, const QString &pattern, const icu::Locale &locale)
{
    if (!moment.isValid())
        return {};
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(ToUnicodeString(pattern), locale, status);
    if (U_FAILURE(status))
        return {};
    format.adoptTimeZone(SystemTimeZone().release());
    icu::UnicodeString text;
    format.format(ToUDate(moment), text);
    return ToQString(text);
}

} // namespace

QString FormatLongValue(std::int32_t value)
{
    return Formatted([&](UErrorCode &status) { return DecimalFormatter().formatInt(value, status); },
                     QString::number(value));
}

QString FormatDoubleValue(double value)
{
    return Formatted([&](UErrorCode &status) { return DecimalFormatter().formatDouble(value, status); },
                     QString::number(value));
}

QString FormatCurrencyDoubleValue(double value)
{
    thread_local CachedFormatter<icu::number::LocalizedNumberFormatter> cache;
    const auto &formatter = cache.get(LocaleCategory::Numeric, [](const icu::Locale &locale) {
        return icu::number::NumberFormatter::withLocale(locale).unit(LocaleCurrency(locale)).sign(UNUM_SIGN_NEGATIVE);
    });
    return Formatted([&](UErrorCode &status) { return formatter.formatDouble(value, status); },
                     QString::number(value, 'f', 2));
}

std::optional<QString> MakeDateTimeString(const QDateTime &moment, int dateStyle, int timeStyle)
{
    const icu::Locale locale = UserLocale(LocaleCategory::Time);
    const std::optional<icu::DateFormat::EStyle> date = DateFormatStyle(dateStyle);
    const std::optional<icu::DateFormat::EStyle> time = DateFormatStyle(timeStyle);
    if (locale.isBogus() || !date || !time || !moment.isValid())
        return std::nullopt;
    // Both parts left out: nothing to show, which is a text all the same.
    if (*date == icu::DateFormat::kNone && *time == icu::DateFormat::kNone)
        return QString();
    const std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateTimeInstance(*date, *time, locale));
    if (!format)
        return std::nullopt;
    format->adoptTimeZone(SystemTimeZone().release());
    icu::UnicodeString text;
    format->format(ToUDate(moment), text);
    return ToQString(text);
}

QString FormatDatePattern(const QDateTime &moment, const QString &pattern)
{
    return FormatWithPattern(moment, pattern, UserLocale(LocaleCategory::Time));
}

void UseFormatterCache(bool on)
{
    cacheFormatters() = on;
}

QString DefaultDateDescription(const QDateTime &moment)
{
    // A fixed machine-readable form, never localised.
    return FormatWithPattern(moment, QStringLiteral("yyyy-MM-dd HH:mm:ss xx"), icu::Locale("en_US_POSIX"));
}

} // namespace tickwell

#include "live/QuoteTexts.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include <cmath>

namespace tickwell {

namespace {

bool isZeroText(const QString &text)
{
    for (const QChar c : text) {
        if (c >= u'1' && c <= u'9')
            return false;
    }
    return true;
}

// Locale-free fixed notation; a value that rounds to zero loses its minus sign.
QString fixed(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && isZeroText(text))
        text.remove(0, 1);
    return text;
}

QTimeZone exchangeZone(const std::optional<QString> &name)
{
    if (name) {
        QTimeZone zone(name->toUtf8());
        if (zone.isValid())
            return zone;
    }
    return QTimeZone(QByteArrayLiteral("America/New_York"));
}

} // namespace

QString PriceText(double value)
{
    return fixed(value, value != 0.0 && std::fabs(value) < 1.0 ? 4 : 2);
}

QString GroupedText(double value, int decimals)
{
    QString text = fixed(value, decimals);
    const qsizetype digitsStart = text.startsWith(u'-') ? 1 : 0;
    qsizetype point = text.indexOf(u'.');
    if (point < 0)
        point = text.size();
    for (qsizetype at = point - 3; at > digitsStart; at -= 3)
        text.insert(at, u',');
    return text;
}

QString SignedText(double value, int decimals)
{
    const QString text = fixed(value, decimals);
    return text.startsWith(u'-') || isZeroText(text) ? text : u'+' + text;
}

QString SignedPercentText(double percent)
{
    return SignedText(percent, 2) + u'%';
}

QString CountText(double value)
{
    return GroupedText(std::round(value), 0);
}

QString AbbreviatedText(double value)
{
    const struct {
        double size;
        char16_t unit;
    } units[] = {{1e12, u'T'}, {1e9, u'B'}, {1e6, u'M'}, {1e3, u'K'}};
    for (const auto &unit : units) {
        if (std::fabs(value) >= unit.size) {
            const double scaled = value / unit.size;
            return fixed(scaled, std::fabs(scaled) >= 100.0 ? 1 : 2) + unit.unit;
        }
    }
    return fixed(value, 2);
}

QString TradeTimeText(std::int64_t secondsSince1970, const std::optional<QString> &timeZoneName)
{
    const QTimeZone zone = exchangeZone(timeZoneName);
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(secondsSince1970, zone);
    return QLocale::c().toString(moment.time(), u"h:mmAP") + u' ' + zone.abbreviation(moment);
}

QString PublishedText(const QString &published, const std::optional<QString> &timeZoneName)
{
    const QDateTime moment = QDateTime::fromString(published, Qt::RFC2822Date);
    if (!moment.isValid())
        return published;
    return QLocale::c().toString(moment.toTimeZone(exchangeZone(timeZoneName)), u"ddd h:mmAP");
}

} // namespace tickwell

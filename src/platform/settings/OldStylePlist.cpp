#include "platform/settings/OldStylePlist.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace tickwell {

namespace {

bool IsBareCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')
        || QStringView(u"_$+/:.-").contains(c);
}

QString QuotedIfNeeded(const QString &text)
{
    if (!text.isEmpty() && std::all_of(text.cbegin(), text.cend(), IsBareCharacter))
        return text;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            quoted += QStringLiteral("\\\"");
            break;
        case u'\\':
            quoted += QStringLiteral("\\\\");
            break;
        case u'\n':
            quoted += QStringLiteral("\\n");
            break;
        case u'\r':
            quoted += QStringLiteral("\\r");
            break;
        case u'\t':
            quoted += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                quoted += QStringLiteral("\\U%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                quoted += c;
        }
    }
    return quoted + u'"';
}

QString NumberText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

class OldStylePlistWriter {
public:
    explicit OldStylePlistWriter(OldStylePlistLayout layout) : m_indented(layout == OldStylePlistLayout::Indented) {}

    void write(const QVariant &value, int level)
    {
        switch (value.typeId()) {
        case QMetaType::Bool:
            m_text += value.toBool() ? u'1' : u'0';
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            m_text += value.toString();
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            m_text += NumberText(value.toDouble());
            break;
        case QMetaType::QByteArray:
            m_text += u'<' + QString::fromLatin1(value.toByteArray().toHex()) + u'>';
            break;
        case QMetaType::QDateTime:
            m_text += QuotedIfNeeded(
                value.toDateTime().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss '+0000'")));
            break;
        case QMetaType::QStringList:
        case QMetaType::QVariantList:
            writeArray(value.toList(), level);
            break;
        case QMetaType::QVariantMap:
        case QMetaType::QVariantHash:
            writeDictionary(value.toMap(), level);
            break;
        default:
            m_text += QuotedIfNeeded(value.toString());
            break;
        }
    }

    QString text() const { return m_text; }

private:
    void writeArray(const QVariantList &list, int level)
    {
        if (list.isEmpty()) {
            m_text += QStringLiteral("()");
            return;
        }
        m_text += u'(';
        for (qsizetype i = 0; i < list.size(); ++i) {
            m_text += i == 0 ? QString() : QStringLiteral(",");
            breakLine(level + 1);
            write(list.at(i), level + 1);
        }
        breakLine(level);
        m_text += u')';
    }

    void writeDictionary(const QVariantMap &map, int level)
    {
        if (map.isEmpty()) {
            m_text += QStringLiteral("{}");
            return;
        }
        m_text += u'{';
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            breakLine(level + 1);
            m_text += QuotedIfNeeded(it.key()) + QStringLiteral(" = ");
            write(it.value(), level + 1);
            m_text += u';';
        }
        breakLine(level);
        m_text += u'}';
    }

    void breakLine(int level)
    {
        if (m_indented)
            m_text += u'\n' + QString(level * 4, u' ');
        else
            m_text += u' ';
    }

    bool m_indented;
    QString m_text;
};

} // namespace

QString OldStylePlistText(const QVariant &value, OldStylePlistLayout layout)
{
    OldStylePlistWriter writer(layout);
    writer.write(value, 0);
    return writer.text();
}

} // namespace tickwell

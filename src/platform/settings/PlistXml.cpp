#include "platform/settings/PlistXml.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tickwell {

namespace {

const QString kPlistDoctype = QStringLiteral(
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">");

std::optional<QVariant> ParsePlistInteger(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        text = text.sliced(2);
    }
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text) {
        const bool digit = c.isDigit() && c.unicode() < 128;
        const bool hexLetter = base == 16 && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
        if (!digit && !hexLetter)
            return std::nullopt;
    }
    bool ok = false;
    const qulonglong magnitude = text.toULongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    constexpr qulonglong signedMax = qulonglong(std::numeric_limits<qlonglong>::max());
    if (negative) {
        if (magnitude > signedMax + 1)
            return std::nullopt;
        return QVariant(magnitude == signedMax + 1 ? std::numeric_limits<qlonglong>::min() : -qlonglong(magnitude));
    }
    if (magnitude > signedMax)
        return QVariant(magnitude);
    return QVariant(qlonglong(magnitude));
}

std::optional<QVariant> ParsePlistReal(QStringView text)
{
    const QString lower = text.trimmed().toString().toLower();
    if (lower == u"nan")
        return QVariant(std::numeric_limits<double>::quiet_NaN());
    if (lower == u"inf" || lower == u"+inf" || lower == u"infinity" || lower == u"+infinity")
        return QVariant(std::numeric_limits<double>::infinity());
    if (lower == u"-inf" || lower == u"-infinity")
        return QVariant(-std::numeric_limits<double>::infinity());
    bool ok = false;
    const double value = QLocale::c().toDouble(lower, &ok);
    if (!ok)
        return std::nullopt;
    return QVariant(value);
}

// Property-list dates count whole seconds; a fraction in the file is dropped when reading so
// that what was read is exactly what will be written.
QDateTime WholeSecondsUtc(const QDateTime &date)
{
    const QDateTime utc = date.toUTC();
    const QTime time = utc.time();
    return QDateTime(utc.date(), QTime(time.hour(), time.minute(), time.second()), QTimeZone::utc());
}

std::optional<QVariant> ParsePlistDate(QStringView text)
{
    QDateTime date = QDateTime::fromString(text.trimmed().toString(), Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    if (date.timeSpec() == Qt::LocalTime)
        date.setTimeZone(QTimeZone::utc());
    return QVariant(WholeSecondsUtc(date));
}

std::optional<QVariant> ParsePlistData(QStringView text)
{
    QByteArray base64 = text.toLatin1();
    base64.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
    auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return QVariant(*decoded);
}

// Recursive descent over the element tree, refusing anything that is not plist.
class PlistXmlParser {
public:
    explicit PlistXmlParser(const QByteArray &xml) : m_reader(xml) {}

    std::optional<QVariantMap> parse()
    {
        if (nextChild() != Next::Start || m_reader.name() != u"plist")
            return fail(QStringLiteral("the root element is not <plist>"));
        if (nextChild() != Next::Start || m_reader.name() != u"dict")
            return fail(QStringLiteral("the property list does not hold a dictionary"));
        auto root = readDict(1);
        if (!root)
            return std::nullopt;
        if (nextChild() != Next::End)
            return fail(QStringLiteral("unexpected content after the dictionary"));
        while (!m_reader.atEnd())
            m_reader.readNext();
        if (m_reader.hasError())
            return fail(m_reader.errorString());
        return root->toMap();
    }

    QString error() const { return m_error; }

private:
    enum class Next { Start, End, Error };

    // Moves to the next child element or to the end of the current one.
    Next nextChild()
    {
        while (!m_reader.atEnd()) {
            switch (m_reader.readNext()) {
            case QXmlStreamReader::StartElement:
                return Next::Start;
            case QXmlStreamReader::EndElement:
                return Next::End;
            case QXmlStreamReader::Characters:
                if (!m_reader.isWhitespace())
                    return Next::Error;
                break;
            case QXmlStreamReader::DTD:
                if (declaresExternalEntity()) {
                    fail(QStringLiteral("external entities are not read"));
                    return Next::Error;
                }
                break;
            case QXmlStreamReader::EntityReference:
            case QXmlStreamReader::Invalid:
            case QXmlStreamReader::EndDocument:
                return Next::Error;
            default:
                break;
            }
        }
        return Next::Error;
    }

    // The reader would silently leave such entities out; a file that uses them is not ours.
    bool declaresExternalEntity() const
    {
        const auto declarations = m_reader.entityDeclarations();
        return std::any_of(declarations.cbegin(), declarations.cend(), [](const QXmlStreamEntityDeclaration &entity) {
            return !entity.systemId().isEmpty() || !entity.publicId().isEmpty() || !entity.notationName().isEmpty();
        });
    }

    std::nullopt_t fail(const QString &why)
    {
        if (m_error.isEmpty()) {
            m_error = m_reader.hasError() ? m_reader.errorString() : why;
            m_error += QStringLiteral(" (line %1)").arg(m_reader.lineNumber());
        }
        return std::nullopt;
    }

    // The text up to the end of the current element; an entity that was not expanded means text
    // we cannot know, and is refused like any other malformed content.
    std::optional<QString> readText()
    {
        QString text;
        for (;;) {
            switch (m_reader.readNext()) {
            case QXmlStreamReader::Characters:
                text += m_reader.text();
                break;
            case QXmlStreamReader::Comment:
            case QXmlStreamReader::ProcessingInstruction:
                break;
            case QXmlStreamReader::EndElement:
                return text;
            case QXmlStreamReader::EntityReference:
                return fail(QStringLiteral("unresolved entity &%1;").arg(m_reader.name()));
            default:
                return fail(QStringLiteral("unexpected content in a text element"));
            }
        }
    }

    // Reads the element that starts at the current token.
    std::optional<QVariant> readValue(int depth)
    {
        if (depth > kPlistMaxDepth)
            return fail(QStringLiteral("nested too deeply"));
        const QString name = m_reader.name().toString();
        if (name == u"dict")
            return readDict(depth);
        if (name == u"array")
            return readArray(depth);
        if (name == u"true" || name == u"false") {
            const auto text = readText();
            if (!text || !text->trimmed().isEmpty())
                return fail(QStringLiteral("<%1> with content").arg(name));
            return QVariant(name == u"true");
        }
        const auto text = readText();
        if (!text)
            return std::nullopt;
        std::optional<QVariant> value;
        if (name == u"string")
            value = QVariant(*text);
        else if (name == u"integer")
            value = ParsePlistInteger(*text);
        else if (name == u"real")
            value = ParsePlistReal(*text);
        else if (name == u"data")
            value = ParsePlistData(*text);
        else if (name == u"date")
            value = ParsePlistDate(*text);
        else
            return fail(QStringLiteral("unknown element <%1>").arg(name));
        if (!value)
            return fail(QStringLiteral("bad <%1> value").arg(name));
        return value;
    }

    std::optional<QVariant> readDict(int depth)
    {
        QVariantMap map;
        for (;;) {
            const Next next = nextChild();
            if (next == Next::End)
                return QVariant(map);
            if (next == Next::Error || m_reader.name() != u"key")
                return fail(QStringLiteral("a dictionary entry without <key>"));
            const auto key = readText();
            if (!key)
                return std::nullopt;
            if (nextChild() != Next::Start)
                return fail(QStringLiteral("key \"%1\" without a value").arg(*key));
            auto value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            map.insert(*key, std::move(*value));
        }
    }

    std::optional<QVariant> readArray(int depth)
    {
        QVariantList list;
        for (;;) {
            const Next next = nextChild();
            if (next == Next::End)
                return QVariant(list);
            if (next == Next::Error)
                return fail(QStringLiteral("bad array element"));
            auto value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            list.append(std::move(*value));
        }
    }

    QXmlStreamReader m_reader;
    QString m_error;
};

QString FormatPlistReal(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    // QString::number drops the sign of a negative zero.
    if (value == 0 && std::signbit(value))
        return QStringLiteral("-0");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The reader takes years 1 to 9999 with offsets up to 23:59, so a date it read may lie just
// outside those years in UTC. Such a date is written with the largest offset, which brings it
// back inside; nothing when even that cannot.
std::optional<QString> FormatPlistDate(const QDateTime &date)
{
    constexpr int kLargestOffsetSeconds = 23 * 3600 + 59 * 60;
    const QDateTime utc = date.toUTC();
    if (!utc.isValid())
        return std::nullopt;
    const int year = utc.date().year();
    if (year >= 1 && year <= 9999)
        return utc.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
    const int offset = year > 9999 ? -kLargestOffsetSeconds : kLargestOffsetSeconds;
    const QDateTime shifted = utc.toOffsetFromUtc(offset);
    const int shiftedYear = shifted.date().year();
    if (shiftedYear < 1 || shiftedYear > 9999)
        return std::nullopt;
    return shifted.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + (offset < 0 ? QStringLiteral("-23:59") : QStringLiteral("+23:59"));
}

// XML turns a bare carriage return into a line feed when reading, so it goes out as a
// character reference.
void WriteTextElement(QXmlStreamWriter &writer, const QString &element, const QString &text)
{
    writer.writeStartElement(element);
    qsizetype start = 0;
    for (qsizetype cr = text.indexOf(u'\r'); cr >= 0; cr = text.indexOf(u'\r', start)) {
        writer.writeCharacters(text.mid(start, cr - start));
        writer.writeEntityReference(QStringLiteral("#13"));
        start = cr + 1;
    }
    writer.writeCharacters(text.mid(start));
    writer.writeEndElement();
}

// False when the value has no form that reads back as it is.
bool WriteValue(QXmlStreamWriter &writer, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        writer.writeEmptyElement(value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        return true;
    case QMetaType::LongLong:
        writer.writeTextElement(QStringLiteral("integer"), QString::number(value.toLongLong()));
        return true;
    case QMetaType::ULongLong:
        writer.writeTextElement(QStringLiteral("integer"), QString::number(value.toULongLong()));
        return true;
    case QMetaType::Double:
        writer.writeTextElement(QStringLiteral("real"), FormatPlistReal(value.toDouble()));
        return true;
    case QMetaType::QByteArray:
        writer.writeTextElement(QStringLiteral("data"), QString::fromLatin1(value.toByteArray().toBase64()));
        return true;
    case QMetaType::QDateTime: {
        const auto text = FormatPlistDate(value.toDateTime());
        if (!text)
            return false;
        writer.writeTextElement(QStringLiteral("date"), *text);
        return true;
    }
    case QMetaType::QVariantList:
        writer.writeStartElement(QStringLiteral("array"));
        for (const QVariant &element : value.toList()) {
            if (!WriteValue(writer, element))
                return false;
        }
        writer.writeEndElement();
        return true;
    case QMetaType::QVariantMap: {
        writer.writeStartElement(QStringLiteral("dict"));
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            WriteTextElement(writer, QStringLiteral("key"), it.key());
            if (!WriteValue(writer, it.value()))
                return false;
        }
        writer.writeEndElement();
        return true;
    }
    case QMetaType::QString:
        WriteTextElement(writer, QStringLiteral("string"), value.toString());
        return true;
    default:
        return false;
    }
}

std::optional<QByteArray> WriteDocument(const QVariantMap &root, bool indented)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(indented);
    writer.setAutoFormattingIndent(-1);
    writer.writeStartDocument();
    writer.writeDTD(kPlistDoctype);
    writer.writeStartElement(QStringLiteral("plist"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    const bool written = WriteValue(writer, QVariant(root));
    writer.writeEndElement();
    writer.writeEndDocument();
    // The writer flags characters that XML cannot carry.
    if (!written || writer.hasError())
        return std::nullopt;
    xml.append('\n');
    return xml;
}

bool IsXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

QString ToXmlText(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result.append(c).append(text.at(++i));
        } else if (c.isSurrogate() || !IsXmlCharacter(c.unicode())) {
            result.append(QChar::ReplacementCharacter);
        } else {
            result.append(c);
        }
    }
    return result;
}

std::optional<QVariant> ToPlistValueAt(const QVariant &value, int depth)
{
    if (depth > kPlistMaxDepth)
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return QVariant(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::LongLong:
        return QVariant(value.toLongLong());
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        if (number <= qulonglong(std::numeric_limits<qlonglong>::max()))
            return QVariant(qlonglong(number));
        return QVariant(number);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return QVariant(value.toDouble());
    case QMetaType::QString:
    case QMetaType::QChar:
        return QVariant(ToXmlText(value.toString()));
    case QMetaType::QByteArray:
        return QVariant(value.toByteArray());
    case QMetaType::QDateTime: {
        const QDateTime date = WholeSecondsUtc(value.toDateTime());
        if (!FormatPlistDate(date))
            return std::nullopt;
        return QVariant(date);
    }
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        QVariantList list;
        for (const QVariant &element : value.toList()) {
            auto converted = ToPlistValueAt(element, depth + 1);
            if (!converted)
                return std::nullopt;
            list.append(std::move(*converted));
        }
        return QVariant(list);
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto it = source.cbegin(); it != source.cend(); ++it) {
            auto converted = ToPlistValueAt(it.value(), depth + 1);
            if (!converted)
                return std::nullopt;
            map.insert(ToXmlText(it.key()), std::move(*converted));
        }
        return QVariant(map);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QVariantMap> ReadPlistXml(const QByteArray &xml, QString *error)
{
    PlistXmlParser parser(xml);
    auto result = parser.parse();
    if (!result && error)
        *error = parser.error();
    return result;
}

std::optional<QByteArray> WritePlistXml(const QVariantMap &root, QString *error)
{
    auto xml = WriteDocument(root, true);
    if (!xml) {
        if (error)
            *error = QStringLiteral("a value has no property-list form");
        return std::nullopt;
    }
    // Indentation can make a deeply nested file much larger than the one that was read.
    if (xml->size() > kPlistMaxFileSize)
        xml = WriteDocument(root, false);
    if (xml->size() > kPlistMaxFileSize) {
        if (error)
            *error = QStringLiteral("the settings would take more than %1 bytes").arg(kPlistMaxFileSize);
        return std::nullopt;
    }
    return xml;
}

std::optional<QVariant> ToPlistValue(const QVariant &value)
{
    // The root dictionary counts as one level when read back.
    return ToPlistValueAt(value, 2);
}

} // namespace tickwell

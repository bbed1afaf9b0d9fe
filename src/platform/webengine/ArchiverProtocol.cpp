#include "platform/webengine/ArchiverProtocol.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace tickwell::archiver {

QByteArray EncodeMessage(const QJsonObject &message)
{
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> DecodeMessage(const QByteArray &line)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

std::vector<QByteArray> LineReader::feed(const QByteArray &bytes)
{
    std::vector<QByteArray> lines;
    if (m_broken)
        return lines;
    m_partial += bytes;
    qsizetype start = 0;
    for (qsizetype end = m_partial.indexOf('\n'); end >= 0; end = m_partial.indexOf('\n', start)) {
        if (end - start > kMaxLineBytes) {
            m_broken = true;
            break;
        }
        QByteArray line = m_partial.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines.push_back(std::move(line));
        start = end + 1;
    }
    m_partial.remove(0, start);
    if (m_partial.size() > kMaxLineBytes)
        m_broken = true;
    if (m_broken)
        m_partial.clear();
    return lines;
}

} // namespace tickwell::archiver

#include "archive/DocumentNames.h"

#include <QFile>
#include <QTextBoundaryFinder>

#include <unistd.h>

namespace tickwell {

namespace {

// One entry of a folder: no separator, no control character (NUL above all).
QString plainEntryText(QString text)
{
    for (QChar &c : text) {
        if (c == u'/')
            c = u'-';
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    }
    return text;
}

qsizetype byteLength(const QString &text)
{
    return QFile::encodeName(text).size();
}

// The longest start of the text, ending at a character (grapheme) boundary, whose bytes fit.
QString cutToFit(const QString &text, qsizetype maxBytes)
{
    if (byteLength(text) <= maxBytes)
        return text;
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    qsizetype best = 0;
    qsizetype bytes = 0;
    for (qsizetype at = boundaries.toNextBoundary(); at != -1; at = boundaries.toNextBoundary()) {
        bytes += byteLength(text.mid(best, at - best));
        if (bytes > maxBytes)
            break;
        best = at;
    }
    QString cut = text.left(best);
    while (cut.endsWith(u' '))
        cut.chop(1);
    return cut;
}

QString compose(const QString &base, const std::optional<QString> &prefix, const QString &extension)
{
    if (prefix)
        return QStringLiteral("[%1] %2.%3").arg(*prefix, base, extension);
    return QStringLiteral("%1.%2").arg(base, extension);
}

} // namespace

bool IsPdfFormat(const QString &format)
{
    return format == QLatin1String("PDF");
}

QString DocumentExtension(const QString &format)
{
    return IsPdfFormat(format) ? QStringLiteral("pdf") : QStringLiteral("webarchive");
}

int MaxFileNameBytes(const QString &folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 && limit < 4096 ? static_cast<int>(limit) : 255;
}

QString DocumentFileName(const QString &baseName, const std::optional<QString> &prefix, const QString &extension, int maxBytes)
{
    QString base = plainEntryText(baseName);
    if (base.trimmed().isEmpty())
        base = QStringLiteral("(No Title)");
    std::optional<QString> safePrefix;
    if (prefix)
        safePrefix = plainEntryText(*prefix);

    QString name = compose(base, safePrefix, extension);
    if (byteLength(name) <= maxBytes)
        return name;

    const qsizetype frame = byteLength(compose(QString(), safePrefix, extension));
    if (frame < maxBytes) {
        const QString cut = cutToFit(base, maxBytes - frame);
        if (!cut.trimmed().isEmpty())
            return compose(cut, safePrefix, extension);
    }
    // A prefix too long to leave room for any title: keep as much of each as fits.
    const qsizetype half = (maxBytes - byteLength(compose(QString(), QString(), extension))) / 2;
    const QString shortPrefix = safePrefix ? cutToFit(*safePrefix, half) : QString();
    const qsizetype rest = maxBytes - byteLength(compose(QString(), safePrefix ? std::optional(shortPrefix) : std::nullopt, extension));
    // A title of spaces cut short would leave a hidden ".extension" file.
    QString shortBase = cutToFit(base, rest);
    if (shortBase.trimmed().isEmpty())
        shortBase = cutToFit(QStringLiteral("(No Title)"), rest);
    return compose(shortBase, safePrefix ? std::optional(shortPrefix) : std::nullopt, extension);
}

} // namespace tickwell

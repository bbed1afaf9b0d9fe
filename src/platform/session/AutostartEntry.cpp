#include "platform/session/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <optional>

namespace tickwell {

namespace {

const QString kFileName = QStringLiteral("com.brantlow.Tickwell.desktop");

// The keys of the file's [Desktop Entry] group, as written; nothing when the file has no such
// group (the session ignores it then).
std::optional<QHash<QString, QString>> desktopEntryKeys(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<QHash<QString, QString>> keys;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            if (inEntry && !keys)
                keys.emplace();
        } else if (inEntry && !line.startsWith(u'#')) {
            if (const qsizetype equals = line.indexOf(u'='); equals > 0)
                keys->insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    return keys;
}

} // namespace

AutostartEntry::AutostartEntry(QString program, QString configHome)
    : m_program(std::move(program))
{
    if (configHome.isEmpty())
        configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    m_path = QDir(configHome).filePath(QStringLiteral("autostart/") + kFileName);
}

bool AutostartEntry::isEnabled() const
{
    const auto keys = desktopEntryKeys(m_path);
    return keys && keys->value(QStringLiteral("Hidden")) != QStringLiteral("true")
        && keys->value(QStringLiteral("X-GNOME-Autostart-enabled")) != QStringLiteral("false");
}

bool AutostartEntry::setEnabled(bool enabled, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!enabled) {
        if (QFileInfo::exists(m_path) && !QFile::remove(m_path))
            return fail(QStringLiteral("cannot remove %1").arg(m_path));
        return true;
    }
    const std::optional<QString> exec = execValue(m_program);
    if (!exec)
        return fail(QStringLiteral("the program's path holds a control character, which an autostart entry cannot name"));
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create the folder %1").arg(folder));
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString()));
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "Comment=Stock quotes in the status area\n"
                                         "Exec=%2\n"
                                         "Icon=com.brantlow.Tickwell\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(QStringLiteral(TICKWELL_NAME), *exec);
    file.write(entry.toUtf8());
    if (!file.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString()));
    return true;
}

std::optional<QString> AutostartEntry::execValue(const QString &program)
{
    // A string value has escapes for these control characters only; any other is not allowed in
    // the file at all.
    const bool unwritable = std::any_of(program.begin(), program.end(), [](QChar c) {
        return (c.unicode() < 0x20 || c.unicode() == 0x7f) && c != u'\n' && c != u'\t' && c != u'\r';
    });
    if (unwritable)
        return std::nullopt;
    QString value = program;
    value.replace(u'%', QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");
    const bool needsQuotes = std::any_of(value.begin(), value.end(), [](QChar c) { return reserved.contains(c); });
    if (needsQuotes) {
        QString quoted;
        for (const QChar c : std::as_const(value)) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        value = u'"' + quoted + u'"';
    }
    // The value is itself an escaped string: its backslashes are doubled once more, and the
    // control characters (a line feed would end the value) are written as escapes.
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u'\n', QStringLiteral("\\n"));
    value.replace(u'\t', QStringLiteral("\\t"));
    value.replace(u'\r', QStringLiteral("\\r"));
    return value;
}

} // namespace tickwell

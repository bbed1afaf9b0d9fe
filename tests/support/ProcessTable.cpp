#include "support/ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace tickwell::test {

qint64 ChildProcessId(qint64 parent, const QString &name)
{
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!isPid || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (command) state ppid ...": the command may hold blanks and parentheses.
        const QString text = QString::fromLatin1(stat.readAll());
        const qsizetype open = text.indexOf(u'('), close = text.lastIndexOf(u')');
        if (open < 0 || close < open)
            continue;
        const QStringList fields = text.mid(close + 2).split(u' ');
        if (fields.size() > 1 && fields[1].toLongLong() == parent && text.mid(open + 1, close - open - 1).startsWith(name.left(15)))
            return pid;
    }
    return 0;
}

} // namespace tickwell::test

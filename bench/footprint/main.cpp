// tickwell-footprint: how much memory the tray app takes. Starts the real tickwell against
// tickwell-feed, with a stand-in panel on the session bus, lets it refresh and prints the tray
// process's VmRSS and VmHWM; then clicks "Save" under a headline through the menu, as a panel
// does, and prints the tray process and the web engine's process. With --baseline, does the same
// for another tickwell binary (an older build) and prints both side by side.
// Run it through bench/footprint, which gives it a virtual X server and a session bus.
#include "FootprintWatcher.h"

#include "platform/desktop/DBusMenuTypes.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <optional>

using namespace tickwell;
using tickwell::bench::FootprintWatcher;

namespace {

struct Memory {
    qint64 rssKiB = -1;
    qint64 hwmKiB = -1;
};

struct Figures {
    Memory refreshed;  // tray, after launch and the first refresh
    Memory afterSave;  // tray, after one headline was saved
    Memory helper;     // tickwell-archiver, after that save (absent for a build without one)
    QString problem;   // why a figure is missing
};

Memory readMemory(qint64 pid)
{
    Memory memory;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return memory;
    static const QRegularExpression line(QStringLiteral("^(VmRSS|VmHWM):\\s+(\\d+) kB$"), QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(QString::fromLatin1(status.readAll())); it.hasNext();) {
        const auto match = it.next();
        (match.captured(1) == QLatin1String("VmRSS") ? memory.rssKiB : memory.hwmKiB) = match.captured(2).toLongLong();
    }
    return memory;
}

// The first child of `parent` whose command name starts with `name` (names are cut to 15
// characters by the kernel); 0 when there is none.
qint64 childProcessId(qint64 parent, const QString &name)
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

bool waitFor(const std::function<bool()> &done, int seconds)
{
    const QDeadlineTimer deadline(seconds * 1000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(50);
    }
    return true;
}

void pause(int milliseconds)
{
    waitFor([] { return false; }, 0);
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

QDBusMessage menuCall(const QString &service, const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"), method);
    call.setArguments(arguments);
    return call;
}

// The id of the first "Save" below a headline (two levels down), 0 while there is none.
int findSaveItem(const DBusMenuLayoutItem &item, int depth = 0)
{
    if (depth >= 2 && item.properties.value(QStringLiteral("label")).toString() == QLatin1String("Save"))
        return item.id;
    for (const DBusMenuLayoutItem &child : item.children)
        if (const int id = findSaveItem(child, depth + 1))
            return id;
    return 0;
}

// Opens the menu, reads it and closes it again, as a panel does. Closing matters: a refresh that
// ends under an open menu waits for it to close before the menu shows its pages.
int saveItemId(const QString &service)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.call(menuCall(service, QStringLiteral("AboutToShow"), {0}), QDBus::Block, 30000);
    const QDBusMessage reply = bus.call(menuCall(service, QStringLiteral("GetLayout"), {0, -1, QStringList()}), QDBus::Block, 30000);
    bus.call(menuCall(service, QStringLiteral("Event"), {0, QStringLiteral("closed"), QVariant::fromValue(QDBusVariant(QString())), 0u}),
             QDBus::Block, 30000);
    if (reply.arguments().size() != 2)
        return 0;
    DBusMenuLayoutItem root;
    reply.arguments().at(1).value<QDBusArgument>() >> root;
    return findSaveItem(root);
}

class Sandbox {
public:
    explicit Sandbox(const QString &binDir) : m_binDir(binDir)
    {
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        m_environment.insert(QStringLiteral("XDG_DOWNLOAD_DIR"), downloads());
        m_environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // the tray runs on the X server
        QDir().mkpath(downloads());
    }
    QString downloads() const { return m_dir.filePath(QStringLiteral("downloads")); }
    const QProcessEnvironment &environment() const { return m_environment; }

    bool defaults(const QStringList &arguments) const
    {
        QProcess tool;
        tool.setProcessEnvironment(m_environment);
        tool.start(m_binDir + QStringLiteral("/tickwell-defaults"), arguments);
        return tool.waitForFinished(10000) && tool.exitCode() == 0;
    }

private:
    QString m_binDir;
    QTemporaryDir m_dir;
    QProcessEnvironment m_environment;
};

Figures measure(const QString &tickwell, const QString &binDir, FootprintWatcher &watcher)
{
    Figures figures;
    Sandbox sandbox(binDir);
    QProcess feed;
    feed.start(binDir + QStringLiteral("/tickwell-feed"), {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--seed"), QStringLiteral("7")});
    QByteArray banner;
    while (feed.waitForStarted(10000) && !banner.contains('\n') && feed.waitForReadyRead(10000))
        banner += feed.readAllStandardOutput();
    const QString host = QRegularExpression(QStringLiteral("listening on (127\\.0\\.0\\.1:\\d+)")).match(QString::fromUtf8(banner)).captured(1);
    if (host.isEmpty()) {
        figures.problem = QStringLiteral("tickwell-feed did not start");
        return figures;
    }
    for (const char *key : {"QuotePageHost", "ChartImageHost", "LogoHost", "MetalsHost", "MarketsHost", "OtherIndicesHost", "OrderBookHost"})
        sandbox.defaults({QStringLiteral("write"), QLatin1String(key), QStringLiteral("-string"), host});
    sandbox.defaults({QStringLiteral("write"), QStringLiteral("StockSymbols"), QStringLiteral("-array"), QStringLiteral("ACME"),
                      QStringLiteral("BETA"), QStringLiteral("GAMMA")});
    // The menu is read over D-Bus as a panel does, so the item exports it (on X11 it would
    // otherwise draw its own menu and export none).
    sandbox.defaults({QStringLiteral("write"), QStringLiteral("PanelMenu"), QStringLiteral("-string"), QStringLiteral("panel")});

    watcher.items.clear();
    QProcess tray;
    tray.setProcessEnvironment(sandbox.environment());
    tray.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tray.start(tickwell, {});
    const auto finish = [&] {
        tray.terminate();
        if (!tray.waitForFinished(10000))
            tray.kill();
        tray.waitForFinished(5000);
        feed.terminate();
        feed.waitForFinished(5000);
    };
    if (!waitFor([&] { return !watcher.items.isEmpty() || tray.state() == QProcess::NotRunning; }, 30) || watcher.items.isEmpty()) {
        figures.problem = QStringLiteral("the tray app did not show its status item");
        finish();
        return figures;
    }
    const QString service = watcher.items.constLast();
    int saveId = 0;
    waitFor([&] { return (saveId = saveItemId(service)) != 0; }, 60); // the refresh has brought headlines
    pause(3000);
    figures.refreshed = readMemory(tray.processId());
    if (saveId == 0) {
        figures.problem = QStringLiteral("no headline appeared in the menu");
        finish();
        return figures;
    }

    QDBusConnection::sessionBus().asyncCall(menuCall(service, QStringLiteral("Event"),
        {saveId, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(QString())), 0u}));
    const QDir downloads(sandbox.downloads());
    if (!waitFor([&] { return !downloads.entryList(QDir::Files).isEmpty(); }, 120))
        figures.problem = QStringLiteral("the headline was not saved");
    pause(1000);
    figures.afterSave = readMemory(tray.processId());
    if (const qint64 helper = childProcessId(tray.processId(), QStringLiteral("tickwell-archiver")))
        figures.helper = readMemory(helper);
    finish();
    return figures;
}

QString mib(const Memory &memory)
{
    if (memory.rssKiB < 0)
        return QStringLiteral("-");
    return QStringLiteral("%1 / %2").arg(memory.rssKiB / 1024.0, 0, 'f', 1).arg(memory.hwmKiB / 1024.0, 0, 'f', 1);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Memory footprint of the tray app before and after saving one headline."));
    parser.addHelpOption();
    const QCommandLineOption tickwellOption(QStringLiteral("tickwell"), QStringLiteral("The tickwell to measure (default: beside this program)."),
                                            QStringLiteral("path"));
    const QCommandLineOption baselineOption(QStringLiteral("baseline"), QStringLiteral("Another tickwell to measure the same way, for comparison."),
                                            QStringLiteral("path"));
    parser.addOptions({tickwellOption, baselineOption});
    parser.process(app);
    RegisterDBusMenuTypes();

    const QString binDir = QCoreApplication::applicationDirPath();
    FootprintWatcher watcher;
    if (!watcher.start()) {
        std::fprintf(stderr, "tickwell-footprint: cannot be the status notifier watcher (no session bus, or a panel runs)\n");
        return 1;
    }
    struct Run {
        QString name;
        Figures figures;
    };
    std::vector<Run> runs;
    runs.push_back({QStringLiteral("this build"), measure(parser.isSet(tickwellOption) ? parser.value(tickwellOption) : binDir + QStringLiteral("/tickwell"), binDir, watcher)});
    if (parser.isSet(baselineOption))
        runs.push_back({QStringLiteral("baseline"), measure(parser.value(baselineOption), binDir, watcher)});

    std::printf("%-40s", "VmRSS / VmHWM in MiB");
    for (const Run &run : runs)
        std::printf("%-22s", qPrintable(run.name));
    std::printf("\n");
    const auto row = [&](const char *title, Memory Figures::*figure) {
        std::printf("%-40s", title);
        for (const Run &run : runs)
            std::printf("%-22s", qPrintable(mib(run.figures.*figure)));
        std::printf("\n");
    };
    row("tray, refreshed, nothing saved", &Figures::refreshed);
    row("tray, after saving one headline", &Figures::afterSave);
    row("tickwell-archiver, after that save", &Figures::helper);
    int status = 0;
    for (const Run &run : runs) {
        if (!run.figures.problem.isEmpty()) {
            std::printf("%s: %s\n", qPrintable(run.name), qPrintable(run.figures.problem));
            status = 1;
        }
    }
    return status;
}

// tickwell-archiver: Tickwell's web engine in a process of its own. Reads requests from standard
// input and writes events and replies to standard output, one JSON object per line (see
// platform/ArchiverProtocol.h); leaves when its input ends, when asked to, or after a while
// without requests.
#include "ArchiverSession.h"
#include "QtWebEngine.h"

#include "platform/webengine/ArchiverProtocol.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace tickwell;

namespace {

constexpr int kDefaultIdleSeconds = 300;

// Standard output becomes the protocol's alone: anything the engine's libraries print goes to
// standard error instead of into a message.
int takeProtocolOutput()
{
    const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd >= 0)
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
    return fd;
}

} // namespace

int main(int argc, char **argv)
{
    // Leave with Tickwell, even if it could not say so.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() == 1)
        return 1;
    std::signal(SIGPIPE, SIG_IGN);
    QFile output;
    if (const int fd = takeProtocolOutput(); fd < 0 || !output.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return 1;

    // The view is never shown: no display is needed, whatever session Tickwell runs in.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QtWebEngine::prepareProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tickwell-archiver"));
    QApplication::setApplicationVersion(QStringLiteral(TICKWELL_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tickwell's web engine, driven over standard input and output."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption idleOption(QStringLiteral("idle-exit"), QStringLiteral("Leave after this many seconds without a request (default 300)."),
                                        QStringLiteral("seconds"), QString::number(kDefaultIdleSeconds));
    parser.addOption(idleOption);
    parser.process(app);
    bool idleValid = false;
    const double idleSeconds = parser.value(idleOption).toDouble(&idleValid);
    if (!idleValid || !(idleSeconds > 0) || idleSeconds > 24 * 3600) {
        std::fprintf(stderr, "tickwell-archiver: --idle-exit takes a number of seconds above 0\n");
        return 2;
    }

    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(static_cast<int>(idleSeconds * 1000));
    QObject::connect(&idle, &QTimer::timeout, &app, [] { QCoreApplication::exit(0); });

    auto engine = std::make_unique<QtWebEngine>();
    ArchiverSession session(*engine, [&output](const QJsonObject &message) {
        const QByteArray line = archiver::EncodeMessage(message);
        if (output.write(line) != line.size())
            QCoreApplication::exit(0); // Tickwell is gone
    }, [] { QCoreApplication::exit(0); });

    archiver::LineReader reader;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[65536];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (got <= 0) {
            input.setEnabled(false);
            QCoreApplication::exit(0); // Tickwell closed our input
            return;
        }
        idle.start();
        for (const QByteArray &line : reader.feed(QByteArray(buffer, got))) {
            if (const std::optional<QJsonObject> request = archiver::DecodeMessage(line))
                session.handle(*request);
            else
                std::fprintf(stderr, "tickwell-archiver: ignored a line that is not a request\n");
        }
        if (reader.broken()) {
            std::fprintf(stderr, "tickwell-archiver: a request longer than %lld bytes; leaving\n",
                         static_cast<long long>(archiver::kMaxLineBytes));
            input.setEnabled(false);
            QCoreApplication::exit(2);
        }
    });

    session.sayHello();
    idle.start();
    const int status = QApplication::exec();
    engine.reset(); // before the session it reports to
    return status;
}

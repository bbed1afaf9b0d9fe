#pragma once

#include <QProcess>
#include <QRegularExpression>

namespace tickwell::testing {

// The folder of the tools under test.
inline QString ToolDir()
{
    return qEnvironmentVariable("TICKWELL_BIN_DIR", QStringLiteral("build/bin"));
}

// tickwell-feed on 127.0.0.1 with a free port, stopped when this goes away.
class FeedProcess {
public:
    explicit FeedProcess(const QStringList &options = {QStringLiteral("--seed"), QStringLiteral("11")})
    {
        m_process.start(ToolDir() + QStringLiteral("/tickwell-feed"), QStringList{QStringLiteral("--port"), QStringLiteral("0")} + options);
        QByteArray out;
        while (m_process.waitForStarted(10000) && !out.contains('\n') && m_process.waitForReadyRead(10000))
            out += m_process.readAllStandardOutput();
        m_host = QRegularExpression(QStringLiteral("^listening on (127\\.0\\.0\\.1:\\d+)\\n")).match(QString::fromUtf8(out)).captured(1);
    }
    ~FeedProcess()
    {
        m_process.terminate();
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    FeedProcess(const FeedProcess &) = delete;
    FeedProcess &operator=(const FeedProcess &) = delete;

    // "127.0.0.1:PORT", empty when the feed did not come up.
    const QString &host() const { return m_host; }
    QString url(const QString &pathAndQuery) const { return QStringLiteral("http://") + m_host + pathAndQuery; }

private:
    QProcess m_process;
    QString m_host;
};

} // namespace tickwell::testing

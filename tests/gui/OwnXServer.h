#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace tickwell::testing {

// An X server of the test's own on a free display, which it names on its output.
class OwnXServer {
public:
    OwnXServer()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return;
        m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("800x600x24"), QStringLiteral("-wr"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (m_server.waitForStarted(5000) && m_server.waitForReadyRead(10000))
            m_display = QLatin1Char(':') + QString::fromLatin1(m_server.readAllStandardOutput().trimmed());
    }
    ~OwnXServer()
    {
        m_server.kill();
        m_server.waitForFinished(3000);
    }

    bool isRunning() const { return !m_display.isEmpty(); }
    QString display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

} // namespace tickwell::testing

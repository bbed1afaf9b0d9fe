#pragma once

#include "platform/Desktop.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace tickwell {

// A desktop that opens nothing: it reports what a click would open and answers alerts with a
// chosen button. Used by the headless tool and by tests.
class ScriptedDesktop final : public Desktop {
public:
    // Receives "open: <address or path>", "alert: ...", "image: ..." and system log lines as they happen.
    using Output = std::function<void(const QString &line)>;

    explicit ScriptedDesktop(AlertButton answer = AlertButton::Default, Output output = {})
        : m_answer(answer), m_output(std::move(output)) {}

    void openUrl(const QString &address) override { record(QStringLiteral("open: ") + address); }
    bool openFile(const QString &path) override
    {
        record(QStringLiteral("open: ") + path);
        return m_filesOpen;
    }
    AlertButton runAlert(const Alert &alert) override
    {
        m_alerts.append(alert.message);
        QString line = QStringLiteral("alert: ") + alert.message;
        if (!alert.informativeText.isEmpty())
            line += QStringLiteral(" | ") + alert.informativeText;
        QStringList buttons;
        for (const auto &button : {alert.defaultButton, alert.alternateButton, alert.otherButton})
            if (!button.isEmpty())
                buttons.append(QStringLiteral("[") + button + QStringLiteral("]"));
        line += QStringLiteral(" ") + buttons.join(QLatin1Char(' '));
        record(line);
        return m_answer;
    }
    void showPreferences() override { ++m_preferencesShown; record(QStringLiteral("preferences: shown")); }
    // "image: <title> <width>x<height>" ("no image" when there is none), then " | <text>".
    void showImage(const ImageToShow &shown) override
    {
        m_shownImages.push_back(shown);
        QString line = QStringLiteral("image: ") + shown.title + QLatin1Char(' ')
            + (shown.image.isNull() ? QStringLiteral("no image") : QStringLiteral("%1x%2").arg(shown.image.width()).arg(shown.image.height()));
        if (!shown.text.isEmpty())
            line += QStringLiteral(" | ") + shown.text;
        record(line);
    }
    void beep() override { ++m_beeps; }
    void systemLog(const QString &line) override
    {
        m_systemLog.append(line);
        if (m_output)
            m_output(QStringLiteral("log: ") + line);
    }
    void terminate() override { ++m_terminateRequests; }

    void setAnswer(AlertButton answer) { m_answer = answer; }
    void setFilesOpen(bool open) { m_filesOpen = open; }

    const QStringList &lines() const { return m_lines; }
    const QStringList &alerts() const { return m_alerts; }
    const QStringList &systemLogLines() const { return m_systemLog; }
    int preferencesShown() const { return m_preferencesShown; }
    const std::vector<ImageToShow> &shownImages() const { return m_shownImages; }
    int beeps() const { return m_beeps; }
    int terminateRequests() const { return m_terminateRequests; }

private:
    void record(const QString &line)
    {
        m_lines.append(line);
        if (m_output)
            m_output(line);
    }

    AlertButton m_answer;
    Output m_output;
    bool m_filesOpen = true;
    QStringList m_lines;
    QStringList m_alerts;
    QStringList m_systemLog;
    std::vector<ImageToShow> m_shownImages;
    int m_preferencesShown = 0;
    int m_beeps = 0;
    int m_terminateRequests = 0;
};

} // namespace tickwell

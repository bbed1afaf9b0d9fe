#pragma once

#include "archive/ProgressWindow.h"

#include <QStringList>

namespace tickwell {

// A progress window that is never drawn: it keeps its lines and the history of each, for tests
// and for the headless tool, which may have every status line passed on as it is set.
class RecordingProgressWindow final : public ProgressWindow {
public:
    using Output = std::function<void(const QString &statusLine)>;

    explicit RecordingProgressWindow(Output output = {}) : m_output(std::move(output)) {}

    void setLabel(const QString &text) override;
    void setDetail(const QString &text) override;
    void setStatus(const QString &text) override;
    QString label() const override { return m_label; }
    QString detail() const override { return m_detail; }
    QString status() const override { return m_status; }

    void setRepresentedFolder(const QString &path) override { m_folder = path; }
    void startProgress() override { m_animating = true; }
    void stopProgress() override { m_animating = false; }
    void orderFront() override
    {
        m_visible = true;
        ++m_timesShown;
    }
    void orderOut() override { m_visible = false; }
    bool isVisible() const override { return m_visible; }
    void setStopAction(std::function<void()> action) override { m_stop = std::move(action); }

    // Clicks the stop control.
    void pressStop()
    {
        if (m_stop)
            m_stop();
    }

    const QStringList &labels() const { return m_labels; }
    const QStringList &details() const { return m_details; }
    const QStringList &statuses() const { return m_statuses; }
    QString representedFolder() const { return m_folder; }
    bool isAnimating() const { return m_animating; }
    int timesShown() const { return m_timesShown; }

private:
    Output m_output;
    QString m_label, m_detail, m_status, m_folder;
    QStringList m_labels, m_details, m_statuses;
    bool m_animating = false;
    bool m_visible = false;
    int m_timesShown = 0;
    std::function<void()> m_stop;
};

} // namespace tickwell

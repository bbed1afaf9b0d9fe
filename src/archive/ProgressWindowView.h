#pragma once

#include "archive/ProgressWindow.h"

#include <memory>

namespace tickwell {

// The progress window on Qt Widgets: a small tool window that stays above the others, with the
// three lines, a busy bar and a "Stop" button.
class ProgressWindowView final : public ProgressWindow {
public:
    ProgressWindowView();
    ~ProgressWindowView() override;
    ProgressWindowView(const ProgressWindowView &) = delete;
    ProgressWindowView &operator=(const ProgressWindowView &) = delete;

    void setLabel(const QString &text) override;
    void setDetail(const QString &text) override;
    void setStatus(const QString &text) override;
    QString label() const override;
    QString detail() const override;
    QString status() const override;
    void setRepresentedFolder(const QString &path) override;
    void startProgress() override;
    void stopProgress() override;
    void orderFront() override;
    void orderOut() override;
    bool isVisible() const override;
    void setStopAction(std::function<void()> action) override;

    class Widgets;
    // The widgets, for tests that click them.
    Widgets &widgets() { return *m_widgets; }

private:
    std::unique_ptr<Widgets> m_widgets;
    std::function<void()> m_stop;
};

} // namespace tickwell

#pragma once

#include <QString>

#include <functional>

namespace tickwell {

// The small floating window that shows headline saving: a label line, a detail line, a status
// line, a busy indicator and a stop control.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;

    virtual void setLabel(const QString &text) = 0;
    virtual void setDetail(const QString &text) = 0;
    virtual void setStatus(const QString &text) = 0;
    virtual QString label() const = 0;
    virtual QString detail() const = 0;
    virtual QString status() const = 0;

    // The window title shows the folder's name (and its icon where the desktop has one).
    virtual void setRepresentedFolder(const QString &path) = 0;
    virtual void startProgress() = 0;
    virtual void stopProgress() = 0;
    // Brings the window to the front and gives it the focus.
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;
    virtual bool isVisible() const = 0;

    // What the stop control does.
    virtual void setStopAction(std::function<void()> action) = 0;
};

} // namespace tickwell

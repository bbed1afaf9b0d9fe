#pragma once

#include "platform/Desktop.h"

#include <functional>

namespace tickwell {

// The desktop through Qt: default handlers for addresses and files, message boxes, the bell.
class QtDesktop final : public Desktop {
public:
    void openUrl(const QString &address) override;
    bool openFile(const QString &path) override;
    AlertButton runAlert(const Alert &alert) override;
    void showPreferences() override;
    void beep() override;
    void systemLog(const QString &line) override;
    void terminate() override;

    // What "Preferences..." shows; set by the application once its window exists.
    void setPreferencesHandler(std::function<void()> handler) { m_showPreferences = std::move(handler); }

private:
    std::function<void()> m_showPreferences;
};

} // namespace tickwell

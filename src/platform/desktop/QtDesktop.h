#pragma once

#include "platform/Desktop.h"
#include "platform/desktop/ImageWindow.h"

#include <functional>
#include <memory>

namespace tickwell {

// The desktop through Qt: default handlers for addresses and files, message boxes, image windows,
// the bell.
class QtDesktop final : public Desktop {
public:
    void openUrl(const QString &address) override;
    bool openFile(const QString &path) override;
    AlertButton runAlert(const Alert &alert) override;
    void showPreferences() override;
    void showImage(const ImageToShow &shown) override;
    void beep() override;
    void systemLog(const QString &line) override;
    void terminate() override;

    // What "Preferences..." shows; set by the application once its window exists.
    void setPreferencesHandler(std::function<void()> handler) { m_showPreferences = std::move(handler); }

private:
    std::function<void()> m_showPreferences;
    std::unique_ptr<ImageWindow> m_imageWindow;
};

} // namespace tickwell

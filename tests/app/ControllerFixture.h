#pragma once

#include "controller/AppController.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace tickwell::testing {

// A controller wired to in-memory fakes, with a clock that stands still until advanced, reading
// the classic pages at their usual hosts.
class ControllerFixture : public ::testing::Test, protected FakePlatform {
protected:
    ControllerFixture()
    {
        const QVariantMap hosts = ClassicHostSettings();
        for (auto it = hosts.constBegin(); it != hosts.constEnd(); ++it)
            settings.setValue(it.key(), *it);
    }

    AppController &controller()
    {
        if (!m_controller)
            m_controller = std::make_unique<AppController>(Platform{settings, loader, statusItem, timers, desktop, notifications, wake});
        return *m_controller;
    }
    void launch() { controller().applicationWillFinishLaunching(); }
    void relaunch()
    {
        m_controller.reset();
        launch();
    }

    // Separators as "---".
    QStringList menuTitles() const
    {
        QStringList titles;
        for (const auto &item : m_controller->menu())
            titles.append(item.separator ? QStringLiteral("---") : item.title);
        return titles;
    }

private:
    std::unique_ptr<AppController> m_controller;
};

} // namespace tickwell::testing

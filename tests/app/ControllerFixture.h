#pragma once

#include "controller/AppController.h"
#include "support/FakeUrlLoader.h"
#include "platform/HeadlessStatusItem.h"
#include "platform/LocalNotificationCenter.h"
#include "support/ManualTimerFactory.h"
#include "platform/ManualWakeMonitor.h"
#include "support/MemorySettingsStore.h"
#include "platform/ScriptedDesktop.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace tickwell::testing {

// A controller wired to in-memory fakes, with a clock that stands still until advanced.
class ControllerFixture : public ::testing::Test {
protected:
    static QDateTime startTime() { return QDateTime(QDate(2026, 12, 5), QTime(15, 0, 0), QTimeZone::systemTimeZone()); }

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

    MemorySettingsStore settings;
    FakeUrlLoader loader;
    HeadlessStatusItem statusItem;
    ManualTimerFactory timers{startTime()};
    ScriptedDesktop desktop;
    LocalNotificationCenter notifications;
    ManualWakeMonitor wake;

private:
    std::unique_ptr<AppController> m_controller;
};

} // namespace tickwell::testing

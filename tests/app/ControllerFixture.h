#pragma once

#include "controller/AppController.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace tickwell::testing {

// A controller wired to in-memory fakes, with a clock that stands still until advanced.
class ControllerFixture : public ::testing::Test, protected FakePlatform {
protected:
    AppController &controller()
    {
        if (!m_controller)
            m_controller = std::make_unique<AppController>(platform());
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

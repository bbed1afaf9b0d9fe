#pragma once

#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "app/SectionContext.h"
#include "platform/FakeUrlLoader.h"
#include "platform/ManualTimerFactory.h"
#include "platform/MemorySettingsStore.h"
#include "platform/ScriptedDesktop.h"

#include <gtest/gtest.h>

#include <QTimeZone>
#include <QVariantList>
#include <QVariantMap>

#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace tickwell::testing {

// What a section builder needs, in memory: settings, hosts of their own, the controller's state
// with images and colours, a loader that serves nothing unless told, a still clock and a menu.
class SectionFixture : public ::testing::Test {
protected:
    SectionFixture()
    {
        hosts.quotePage = QStringLiteral("quotes.test");
        hosts.chartImage = QStringLiteral("charts.test");
        hosts.logo = QStringLiteral("logos.test");
        hosts.metals = QStringLiteral("metals.test");
        hosts.markets = QStringLiteral("markets.test");
        hosts.otherIndices = QStringLiteral("indices.test:8080");
        hosts.orderBook = QStringLiteral("book.test");
        state.m_upImage = solidImage(Qt::green);
        state.m_downImage = solidImage(Qt::red);
        state.m_spacerImage = solidImage(Qt::transparent);
        state.m_upColor = QColor(Qt::green);
        state.m_downColor = QColor(Qt::red);
    }

    static QImage solidImage(QColor color)
    {
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(color);
        return image;
    }

    SectionContext context() { return SectionContext{state, prefs, hosts, loader, clock, menu}; }

    void setSymbols(const QStringList &symbols)
    {
        QVariantList list;
        for (const auto &symbol : symbols)
            list.append(symbol);
        settings.setValue(QStringLiteral("StockSymbols"), list);
    }
    void setSwitch(const char *key, bool on) { settings.setValue(QString::fromLatin1(key), on); }
    // Every submenu group off, so a test switches on only what it looks at.
    void allSubmenuGroupsOff()
    {
        for (const char *key : {"IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
                                "IncludeStockDataInSubmenu", "IncludeStockHistoryInSubmenu", "IncludeAfterHoursMenu"})
            setSwitch(key, false);
    }
    void storePage(const QString &address, const QString &html) { state.m_urlContents.storePage(address, html.toUtf8()); }

    // Titles of a menu, separators as "---".
    static QStringList titles(const Menu &items)
    {
        QStringList out;
        for (const auto &item : items)
            out.append(item.separator ? QStringLiteral("---") : item.title);
        return out;
    }
    QStringList titles() const { return titles(menu); }

    MemorySettingsStore settings;
    Preferences prefs{settings};
    Hosts hosts;
    ControllerState state;
    FakeUrlLoader loader;
    ManualTimerFactory clock{QDateTime(QDate(2026, 12, 5), QTime(15, 0, 0), QTimeZone::systemTimeZone())};
    Menu menu;
    ScriptedDesktop desktop;
};

} // namespace tickwell::testing

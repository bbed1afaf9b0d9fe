#pragma once

#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "app/SectionContext.h"
#include "sources/ClassicSnapshot.h"
#include "support/ManualTimerFactory.h"
#include "support/MemorySettingsStore.h"
#include "platform/headless/ScriptedDesktop.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace tickwell::testing {

// What a section builder needs, in memory, with hosts of its own and a still clock.
class SectionFixture : public ::testing::Test {
protected:
    static QImage solidImage(QColor color)
    {
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(color);
        return image;
    }
    // The context of a build on what is stored now: the pages are cut afresh, as a refresh's hand-over does.
    SectionContext context()
    {
        QStringList symbols;
        for (const auto &watched : prefs.watchList(false))
            symbols.append(watched.symbol);
        state.m_quotes = CutClassicSnapshot(state.m_urlContents, hosts, symbols);
        return SectionContext{state, prefs, hosts, clock, menu};
    }
    void setSymbols(const QStringList &symbols) { settings.setValue("StockSymbols", QVariantList(symbols.begin(), symbols.end())); }
    void setSwitch(const char *key, bool on) { settings.setValue(QString::fromLatin1(key), on); }
    void setSubmenuGroups(bool on)
    {
        for (const char *key : {"IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
                                "IncludeStockDataInSubmenu", "IncludeStockHistoryInSubmenu", "IncludeAfterHoursMenu"})
            setSwitch(key, on);
    }
    // Titles of a menu, separators as "---".
    static QStringList titles(const Menu &items)
    {
        QStringList out;
        for (const auto &item : items)
            out.append(item.separator ? QStringLiteral("---") : item.title);
        return out;
    }

    MemorySettingsStore settings;
    Preferences prefs{settings};
    Hosts hosts{QStringLiteral("quotes.test"), QStringLiteral("charts.test"), QStringLiteral("logos.test"),
                QStringLiteral("metals.test"), QStringLiteral("markets.test"), QStringLiteral("indices.test:8080"), {}};
    ControllerState state;
    ManualTimerFactory clock{QDateTime(QDate(2026, 12, 5), QTime(15, 0, 0), QTimeZone::systemTimeZone())};
    Menu menu;
    ScriptedDesktop desktop;
};

} // namespace tickwell::testing

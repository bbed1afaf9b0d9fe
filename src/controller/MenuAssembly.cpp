#include "controller/AppController.h"

#include "alerts/PriceAlertGroup.h"
#include "app/ValueFormatting.h"
#include "logging/QuoteHistory.h"
#include "sources/Sections.h"

namespace tickwell {

void AppController::buildMenu()
{
    Menu menu;
    const Hosts hosts = Hosts::fromSettings(m_platform.settings);
    SectionContext context{m_state, m_prefs, hosts, m_platform.timers, menu};
    context.addSymbolGroups = [this, alerts = ReadPriceAlerts(m_platform.settings)](const QString &symbol, Menu &submenu) {
        AddPriceAlertGroup(m_priceAlerts, alerts, symbol, submenu);
    };

    const QString nextAt = m_stocksUpdate_Timer
        ? FormatDatePattern(m_stocksUpdate_Timer->fireDate(), QStringLiteral("h:mm:ss a"))
        : QStringLiteral("None");
    menu.push_back(MenuItem::make(
        QStringLiteral("Last Update: %1 (next at %2)").arg(m_state.m_stocksUpdate_DateTimeString, nextAt)));
    // What the services refused in the last refresh, one information line each.
    for (const QString &problem : m_state.m_quotes.problems)
        menu.push_back(MenuItem::make(problem));
    menu.push_back(MenuItem::make(QStringLiteral("Update Now"), QStringLiteral("selItemUpdateNow:")));
    menu.push_back(MenuItem::makeSeparator());

    addStockSymbols(context);
    if (m_prefs.includePreciousMetals()) {
        menu.push_back(MenuItem::makeSeparator());
        addPreciousMetals(context);
    }
    if (m_prefs.includeOtherMarketIndices()) {
        menu.push_back(MenuItem::makeSeparator());
        addOtherMarketIndices(context);
    }
    if (m_prefs.includeMarketIndices()) {
        menu.push_back(MenuItem::makeSeparator());
        addMarketIndices(context);
    }

    menu.push_back(MenuItem::makeSeparator());
    menu.push_back(MenuItem::make(QStringLiteral("Clear Histories"), QStringLiteral("selItemClearHistories:")));
    menu.push_back(MenuItem::make(QStringLiteral("Log Histories"), QStringLiteral("selItemLogHistories:")));
    menu.push_back(MenuItem::makeSeparator());
    menu.push_back(MenuItem::make(QStringLiteral("Preferences..."), QStringLiteral("selItemPreferences:"), QStringLiteral(",")));
    menu.push_back(MenuItem::makeSeparator());
    menu.push_back(MenuItem::make(QStringLiteral("Quit"), QStringLiteral("selItemQuit:"), QStringLiteral("q")));

    m_menu = std::move(menu);
    m_platform.statusItem.setMenu(m_menu);
    // The build may have recorded history entries: keep them on disk, not only until Quit.
    StoreChangedHistories(m_platform.settings, m_state.m_stockSymbolHistories);
}

} // namespace tickwell

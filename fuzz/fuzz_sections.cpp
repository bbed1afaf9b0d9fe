// The classic cut and every quote-section builder over the same arbitrary bytes stored as each page.

#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "app/SectionContext.h"
#include "support/ManualTimerFactory.h"
#include "support/MemorySettingsStore.h"
#include "sources/ClassicSnapshot.h"
#include "sources/MarketIndicesSection.h"
#include "sources/OtherIndicesSection.h"
#include "sources/PreciousMetalsSection.h"
#include "sources/SourceAddresses.h"
#include "sources/WatchListSection.h"

#include <QVariantList>
#include <QVariantMap>

#include <cstddef>
#include <cstdint>

using namespace tickwell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    MemorySettingsStore settings;
    settings.setValue(QStringLiteral("StockSymbols"), QVariantList{QStringLiteral("ACME")});
    settings.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), QStringLiteral("100")}});
    for (const char *key : {"IncludeAfterHoursMenu", "IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu",
                            "IncludeInteractiveiChartsLinksInSubmenu", "IncludeStockDataInSubmenu"})
        settings.setValue(QString::fromLatin1(key), true);
    const Preferences prefs(settings);
    Hosts hosts;
    hosts.quotePage = hosts.chartImage = hosts.logo = hosts.metals = hosts.markets = QStringLiteral("feed.test");
    hosts.otherIndices = QStringLiteral("indices.test");

    ControllerState state;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QString &address : {QuotePageAddress(hosts, QStringLiteral("ACME")), MarketsPageAddress(hosts),
                                   MetalsPageAddress(hosts), OtherIndicesPageAddress(hosts)})
        state.m_urlContents.storePage(address, bytes);
    state.m_quotes = CutClassicSnapshot(state.m_urlContents, hosts, {QStringLiteral("ACME")});

    ManualTimerFactory clock;
    Menu menu;
    SectionContext context{state, prefs, hosts, clock, menu};
    addStockSymbols(context);
    addPreciousMetals(context);
    addOtherMarketIndices(context);
    addMarketIndices(context);
    return 0;
}

#include "app/Hosts.h"

namespace tickwell {

namespace {

QString hostSetting(SettingsStore &store, const char *key, const char *fallback)
{
    const auto value = store.value(QString::fromLatin1(key));
    if (value && value->typeId() == QMetaType::QString) {
        const QString host = value->toString().trimmed();
        if (!host.isEmpty())
            return host;
    }
    return QString::fromLatin1(fallback);
}

bool isSet(SettingsStore &store, const char *key)
{
    return store.value(QString::fromLatin1(key)).has_value();
}

} // namespace

Hosts Hosts::fromSettings(SettingsStore &store)
{
    store.synchronize();
    Hosts hosts;
    hosts.quotePage = hostSetting(store, "QuotePageHost", "finance.yahoo.com");
    hosts.chartImage = hostSetting(store, "ChartImageHost", "ichart.finance.yahoo.com");
    hosts.logo = hostSetting(store, "LogoHost", "www.nyse.com");
    hosts.metals = hostSetting(store, "MetalsHost", "www.kitco.com");
    hosts.markets = hostSetting(store, "MarketsHost", "money.cnn.com");
    hosts.otherIndices = hostSetting(store, "OtherIndicesHost", "quotes.ino.com");
    hosts.orderBook = hostSetting(store, "OrderBookHost", "www.batstrading.com");
    hosts.classic = Classic{isSet(store, "QuotePageHost"), isSet(store, "ChartImageHost"), isSet(store, "LogoHost"),
                            isSet(store, "MetalsHost"), isSet(store, "MarketsHost"), isSet(store, "OtherIndicesHost"),
                            isSet(store, "OrderBookHost")};
    return hosts;
}

} // namespace tickwell

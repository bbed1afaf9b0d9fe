#include "live/LiveServiceSettings.h"

#include "app/Preferences.h"

#include <QUrl>

namespace tickwell {

namespace {

// A text setting, white space trimmed; the default when absent, empty or of another type.
QString textSetting(SettingsStore &store, const QString &key, const QString &defaultValue)
{
    const auto value = store.value(key);
    if (!value || value->typeId() != QMetaType::QString)
        return defaultValue;
    const QString text = value->toString().trimmed();
    return text.isEmpty() ? defaultValue : text;
}

QString baseSetting(SettingsStore &store, const QString &key, const QString &defaultValue)
{
    QString base = textSetting(store, key, defaultValue);
    while (base.endsWith(u'/'))
        base.chop(1);
    return base.isEmpty() ? defaultValue : base;
}

} // namespace

LiveServiceSettings LiveServiceSettings::read(SettingsStore &store)
{
    LiveServiceSettings settings;
    // The rate reader synchronises the store, so the texts below are current too.
    const std::int32_t rate = RateValueForKey(store, QStringLiteral("StockDataUpdateRate"), 60);
    settings.updateInterval = std::chrono::minutes(rate > 0 ? rate : 60); // as the refresh timer reads it
    settings.quotesUrl = baseSetting(store, QStringLiteral("LiveQuotesURL"), kDefaultLiveQuotesUrl);
    settings.fallbackUrl = baseSetting(store, QStringLiteral("LiveFallbackURL"), kDefaultLiveFallbackUrl);
    settings.newsUrl = baseSetting(store, QStringLiteral("LiveNewsURL"), kDefaultLiveNewsUrl);
    settings.userAgent = textSetting(store, QStringLiteral("LiveUserAgent"), kDefaultLiveUserAgent);
    return settings;
}

QString LiveServiceSettings::frontPageUrl() const
{
    // The quote hosts set no session cookie themselves; the finance front page does.
    const QUrl base(quotesUrl);
    const QString host = base.host().toLower();
    if (base.scheme() == QLatin1String("https") && (host == QLatin1String("query1.finance.yahoo.com") || host == QLatin1String("query2.finance.yahoo.com")))
        return QStringLiteral("https://finance.yahoo.com/");
    return quotesUrl + u'/';
}

HttpRequest LiveServiceSettings::request(const QString &address) const
{
    return HttpRequest{address, {{"User-Agent", userAgent.toUtf8()}}};
}

} // namespace tickwell

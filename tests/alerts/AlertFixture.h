#pragma once

#include "logging/LoggingFixture.h"
#include "platform/DesktopNotifications.h"

namespace tickwell::testing {

// Keeps the summaries of what would be shown.
class RecordingNotifications final : public DesktopNotifications {
public:
    void show(DesktopNotification notification) override { summaries.append(notification.summary); }
    QStringList summaries;
};

// The controller on fakes, with quote pages whose last trade and previous close a test sets, and
// notifications recorded.
class AlertFixture : public LoggingFixture {
protected:
    void SetUp() override
    {
        LoggingFixture::SetUp();
        settings.setValue(QStringLiteral("IncludeStockHistoryInSubmenu"), false);
        controller().setDesktopNotifications(&alerts);
    }

    void quote(const QString &symbol, const QString &lastTrade, const QString &previousClose = QStringLiteral("100.00"))
    {
        loader.serve(QStringLiteral("http://quotes.test/q?s=") + symbol, QuotePage(symbol, symbol + QStringLiteral(" Inc. "), lastTrade, previousClose));
    }
    void setAlerts(const QString &symbol, const QVariantMap &entries)
    {
        QVariantMap all = settings.value(QStringLiteral("PriceAlerts")).value_or(QVariant()).toMap();
        all.insert(symbol, entries);
        settings.setValue(QStringLiteral("PriceAlerts"), all);
    }
    // A refresh as "Update Now" runs it; the summaries it notified.
    QStringList refresh()
    {
        const qsizetype before = alerts.summaries.size();
        controller().selItemUpdateNow(MenuItem::make(QStringLiteral("Update Now")));
        return alerts.summaries.mid(before);
    }
    // The quote line of the symbol in the menu last built, or nullptr.
    const MenuItem *quoteLine(const QString &symbol) const
    {
        for (const auto &item : statusItem.menu())
            if (item.title.contains(QLatin1Char('[') + symbol + QLatin1Char(']')))
                return &item;
        return nullptr;
    }

    RecordingNotifications alerts;
};

} // namespace tickwell::testing

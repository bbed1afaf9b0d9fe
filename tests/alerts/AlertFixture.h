#pragma once

#include "logging/LoggingFixture.h"
#include "platform/DesktopNotifications.h"

#include <ostream>
#include <vector>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace tickwell::testing {

// Keeps what would be shown.
class RecordingNotifications final : public DesktopNotifications {
public:
    void show(DesktopNotification notification) override
    {
        shown.push_back(std::move(notification));
    }
    QStringList summaries() const
    {
        QStringList out;
        for (const auto &n : shown)
            out.append(n.summary);
        return out;
    }

    std::vector<DesktopNotification> shown;
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
        const size_t before = alerts.shown.size();
        controller().selItemUpdateNow(MenuItem::make(QStringLiteral("Update Now")));
        return alerts.summaries().mid(static_cast<qsizetype>(before));
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

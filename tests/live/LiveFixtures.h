#pragma once

#include <QByteArray>
#include <QString>

// Answers in the services' documented shapes, for Friday 2026-12-04 (New York on EST, UTC-5).
namespace tickwell::live_fixtures {

// Session bounds of that Friday and the day before, seconds since 1970.
inline constexpr long long kPreStart = 1796374800;     // 4:00 AM EST
inline constexpr long long kRegularStart = 1796394600; // 9:30 AM EST
inline constexpr long long kRegularEnd = 1796418000;   // 4:00 PM EST
inline constexpr long long kPostEnd = 1796432400;      // 8:00 PM EST
inline constexpr long long kThursdayLastBar = 1796331300;     // 3:55 PM EST, Dec 3
inline constexpr long long kThursdayAfterHours = 1796345700;  // 7:55 PM EST, Dec 3
inline constexpr long long kFridayPreMarket = kRegularStart - 300;

// A v8 chart answer: meta fields (a JSON fragment) around the trading periods, and the bars.
inline QByteArray ChartBody(const QString &metaFields, const QString &timestamps, const QString &closes)
{
    const QString periods = QStringLiteral(R"("currentTradingPeriod":{"pre":{"timezone":"EST","start":%1,"end":%2,"gmtoffset":-18000},)"
                                           R"("regular":{"timezone":"EST","start":%2,"end":%3,"gmtoffset":-18000},)"
                                           R"("post":{"timezone":"EST","start":%3,"end":%4,"gmtoffset":-18000}})")
                                .arg(kPreStart).arg(kRegularStart).arg(kRegularEnd).arg(kPostEnd);
    const QString meta = QStringLiteral(R"({"currency":"USD","symbol":"ACME","exchangeName":"NMS",)"
                                        R"("exchangeTimezoneName":"America/New_York","dataGranularity":"5m",)")
                         + metaFields + (metaFields.isEmpty() ? QString() : QStringLiteral(",")) + periods + u'}';
    return (QStringLiteral(R"({"chart":{"result":[{"meta":)") + meta + QStringLiteral(R"(,"timestamp":[)") + timestamps
            + QStringLiteral(R"(],"indicators":{"quote":[{"open":[],"close":[)") + closes
            + QStringLiteral(R"(]}]}}],"error":null}})"))
        .toUtf8();
}

// Bodies that are no answer of any of the services.
inline const QByteArray kTooManyRequests = "Too Many Requests\r\n";
inline const QByteArray kChallengePage =
    "<!DOCTYPE html><html><head><title>Just a moment...</title></head><body>Checking your browser</body></html>";
inline const QByteArray kAccessDenied =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Error><Code>AccessDenied</Code><Message>Access Denied</Message></Error>";
inline const QByteArray kInvalidCrumb =
    R"({"finance":{"result":null,"error":{"code":"Unauthorized","description":"Invalid Crumb"}}})";

} // namespace tickwell::live_fixtures

#pragma once

#include "app/ControllerFixture.h"
#include "app/ValueFormatting.h"
#include "logging/Loggers.h"
#include "support/ToolHome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tickwell::testing {

// A quote page as the patterns expect it; the identifiers are lower-case, as the site writes them.
inline QByteArray QuotePage(const QString &symbol, const QString &company, const QString &lastTrade, const QString &previousClose = {})
{
    QString page = QStringLiteral("<html><head><title>%1: Summary for %2- Yahoo! Finance</title></head><body>"
                                  "<table><tr><th>Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_%3\">%4</span></b></big></td></tr>")
                       .arg(symbol, company, symbol.toLower(), lastTrade);
    if (!previousClose.isEmpty())
        page += QStringLiteral("<tr><th>Prev Close:</th><td class=\"yfnc_tabledata1\">%1</td></tr>").arg(previousClose);
    return (page + QStringLiteral("</table></body></html>")).toUtf8();
}

inline QVariantList SymbolList(const QStringList &symbols) { return QVariant(symbols).toList(); }

// A controller on fakes with a per-user data folder of its own and the services on test hosts.
class LoggingFixture : public ControllerFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dataHome.isValid());
        m_previousDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
        pointHostsAt(settings, QStringLiteral("quotes.test"));
        // Sections this suite does not look at.
        for (const char *key : {"IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
                                "IncludeStockDataInSubmenu"})
            settings.setValue(QString::fromLatin1(key), false);
    }
    void TearDown() override
    {
        stopLogging(timers.now()); // gLoggers lives for the process: leave it empty for the next test
        qputenv("XDG_DATA_HOME", m_previousDataHome);
    }

    void setSymbols(const QStringList &symbols) { settings.setValue(QStringLiteral("StockSymbols"), SymbolList(symbols)); }
    void setShares(const QVariantMap &shares) { settings.setValue(QStringLiteral("CompanyShares"), shares); }
    void servePage(const QString &symbol, const QString &company, const QString &lastTrade)
    {
        loader.serve(QStringLiteral("http://quotes.test/q?s=") + symbol, QuotePage(symbol, company, lastTrade));
    }

    QString dataHome() const { return m_dataHome.path(); }
    QString logFolder() const { return dataHome() + QStringLiteral("/Brantlow Software/Tickwell"); }
    QByteArray logBytes(const QString &fileName) const
    {
        QFile file(logFolder() + QLatin1Char('/') + fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QByteArray startLine(const QDateTime &at) { return "[" + DefaultDateDescription(at).toUtf8() + "] Starting logging\n"; }
    static QByteArray stopLine(const QDateTime &at) { return "[" + DefaultDateDescription(at).toUtf8() + "] Stopping logging\n"; }

private:
    QTemporaryDir m_dataHome;
    QByteArray m_previousDataHome;
};

} // namespace tickwell::testing

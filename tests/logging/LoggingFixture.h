#pragma once

#include "app/ControllerFixture.h"
#include "app/ValueFormatting.h"
#include "logging/Loggers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tickwell::testing {

// A quote page as the patterns expect it; the identifiers are lower-case, as the site writes them.
inline QByteArray QuotePage(const QString &symbol, const QString &company, const QString &lastTrade, const QString &previousClose = {})
{
    const QString id = symbol.toLower();
    QString page = QStringLiteral("<html><head><title>%1: Summary for %2- Yahoo! Finance</title></head><body>"
                                  "<table><tr><th>Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_%3\">%4</span></b></big></td></tr>")
                       .arg(symbol, company, id, lastTrade);
    if (!previousClose.isEmpty())
        page += QStringLiteral("<tr><th>Prev Close:</th><td class=\"yfnc_tabledata1\">%1</td></tr>").arg(previousClose);
    return (page + QStringLiteral("</table></body></html>")).toUtf8();
}

inline QVariantList SymbolList(const QStringList &symbols)
{
    QVariantList list;
    for (const auto &symbol : symbols)
        list.append(symbol);
    return list;
}

// A controller on fakes with a per-user data folder of its own and the services on test hosts.
class LoggingFixture : public ControllerFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dataHome.isValid());
        m_previousDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
        settings.setValue(QStringLiteral("QuotePageHost"), QStringLiteral("quotes.test"));
        settings.setValue(QStringLiteral("OrderBookHost"), QStringLiteral("book.test"));
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
    void servePage(const QString &symbol, const QString &company, const QString &lastTrade, const QString &previousClose = {})
    {
        loader.serve(QStringLiteral("http://quotes.test/q?s=") + symbol, QuotePage(symbol, company, lastTrade, previousClose));
    }

    QString logFolder() const { return m_dataHome.path() + QStringLiteral("/Brantlow Software/Tickwell"); }
    QByteArray logBytes(const QString &fileName) const
    {
        QFile file(logFolder() + QLatin1Char('/') + fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Every file below the data home, relative to it.
    QStringList filesInDataHome() const
    {
        QStringList files;
        QDir root(m_dataHome.path());
        const auto entries = root.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const auto &entry : entries)
            collect(root, entry, files);
        files.sort();
        return files;
    }
    QString dataHome() const { return m_dataHome.path(); }

    static QByteArray startLine(const QDateTime &at) { return "[" + DefaultDateDescription(at).toUtf8() + "] Starting logging\n"; }
    static QByteArray stopLine(const QDateTime &at) { return "[" + DefaultDateDescription(at).toUtf8() + "] Stopping logging\n"; }

private:
    static void collect(const QDir &root, const QFileInfo &entry, QStringList &files)
    {
        if (entry.isDir()) {
            const auto children = QDir(entry.filePath()).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const auto &child : children)
                collect(root, child, files);
        } else {
            files.append(root.relativeFilePath(entry.filePath()));
        }
    }

    QTemporaryDir m_dataHome;
    QByteArray m_previousDataHome;
};

} // namespace tickwell::testing

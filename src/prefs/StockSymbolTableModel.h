#pragma once

#include "platform/SettingsStore.h"
#include "prefs/CompanyLookup.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

namespace tickwell {

// The watch list as the preferences window edits it: one row per symbol with its company name,
// shares and show flag. Edits stay in memory until the window saves them.
//
// Rules: symbols are kept as typed (no trimming, no case change, duplicates allowed) and sorted
// in the file manager's order when loaded and after each symbol edit; rows added as "????" stay
// at the end until then. Shares and flags of deleted or renamed symbols stay in their
// dictionaries and are saved with them.
class StockSymbolTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { SymbolColumn, CompanyColumn, SharesColumn, ShowColumn, AboveColumn, BelowColumn, DayMoveColumn, ColumnCount };

    // The column identifiers: "StockSymbols", "Company", "Shares", "Show ?", "Alert above",
    // "Alert below", "Alert on day move %".
    static QString columnIdentifier(int column);

    explicit StockSymbolTableModel(CompanyLookup &lookup, QObject *parent = nullptr);

    // Replaces the model with "StockSymbols", "CompanyShares", "ShowSettings" and "PriceAlerts" of
    // the store. Without "ShowSettings" every symbol is shown.
    void load(SettingsStore &store);
    // Writes the three keys, in that order, then the alerts edited here since the last write
    // (alerts the menu cleared meanwhile stay cleared); the caller synchronises.
    void writeTo(SettingsStore &store);
    // Takes the stored alerts again (the menu may have cleared some), keeping unsaved edits.
    void reloadPriceAlerts(SettingsStore &store);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void addStockSymbol();
    // Removes the given rows at once; no rows, no change.
    void deleteStockSymbols(const QList<int> &rows);
    void showAll();
    void showNone();

    const QStringList &stockSymbols() const { return m_stockSymbols; }
    const QVariantMap &companyShares() const { return m_companyShares; }
    const QVariantMap &showSettings() const { return m_showSettings; }
    const QVariantMap &priceAlerts() const { return m_priceAlerts; }

private:
    void renameSymbol(int row, const QString &symbol);
    void setShares(int row, const QString &shares);
    void setShown(int row, const QVariant &state);
    void setAlert(int row, int column, const QString &text);
    void clearAlerts(const QString &symbol);
    QVariantMap storedAlertsWithEdits(SettingsStore &store) const;
    void setAllShown(bool shown);
    void sortSymbols();
    void reloadAll();
    bool isShown(const QString &symbol) const;

    CompanyLookup &m_lookup;
    QStringList m_stockSymbols;
    QVariantMap m_companyShares;
    QVariantMap m_showSettings;
    QVariantMap m_priceAlerts;          // "PriceAlerts": symbol to its entries
    QSet<QString> m_editedAlertSymbols; // whose alerts changed here since the last write
};

} // namespace tickwell

#include "prefs/StockSymbolTableModel.h"

#include "app/PriceAlertSettings.h"
#include "app/Preferences.h"
#include "prefs/FinderCollator.h"

#include <algorithm>
#include <numeric>

namespace tickwell {

namespace {

const QString kStockSymbolsKey = QStringLiteral("StockSymbols");
const QString kCompanySharesKey = QStringLiteral("CompanyShares");
const QString kShowSettingsKey = QStringLiteral("ShowSettings");

std::optional<AlertKind> alertKindOf(int column)
{
    switch (column) {
    case StockSymbolTableModel::AboveColumn:
        return AlertKind::Above;
    case StockSymbolTableModel::BelowColumn:
        return AlertKind::Below;
    case StockSymbolTableModel::DayMoveColumn:
        return AlertKind::DayMove;
    default:
        return std::nullopt;
    }
}

bool isNumber(const QVariant &value)
{
    // Views hand check states over as the enum itself.
    return IsNumberValue(value) || value.metaType().flags().testFlag(QMetaType::IsEnumeration);
}

// A stored flag counts as shown exactly when the menu shows the symbol.
bool flagIsOne(const QVariant &value)
{
    if (value.metaType().flags().testFlag(QMetaType::IsEnumeration))
        return value.toLongLong() == 1;
    return ShowSettingIsOne(value);
}

std::optional<QVariantMap> mapValue(SettingsStore &store, const QString &key)
{
    const auto value = store.value(key);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

} // namespace

QString StockSymbolTableModel::columnIdentifier(int column)
{
    switch (column) {
    case SymbolColumn:
        return QStringLiteral("StockSymbols");
    case CompanyColumn:
        return QStringLiteral("Company");
    case SharesColumn:
        return QStringLiteral("Shares");
    case ShowColumn:
        return QStringLiteral("Show ?");
    case AboveColumn:
        return QStringLiteral("Alert above");
    case BelowColumn:
        return QStringLiteral("Alert below");
    case DayMoveColumn:
        return QStringLiteral("Alert on day move %");
    default:
        return {};
    }
}

StockSymbolTableModel::StockSymbolTableModel(CompanyLookup &lookup, QObject *parent)
    : QAbstractTableModel(parent)
    , m_lookup(lookup)
{
}

void StockSymbolTableModel::load(SettingsStore &store)
{
    beginResetModel();
    store.synchronize();
    m_stockSymbols.clear();
    m_companyShares.clear();
    m_showSettings.clear();
    m_priceAlerts.clear();
    m_editedAlertSymbols.clear();

    if (const auto symbols = store.value(kStockSymbolsKey); symbols && symbols->typeId() == QMetaType::QVariantList) {
        for (const auto &entry : symbols->toList())
            if (entry.typeId() == QMetaType::QString)
                m_stockSymbols.append(entry.toString());
        const FinderCollator collator;
        std::stable_sort(m_stockSymbols.begin(), m_stockSymbols.end(),
                         [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    }
    if (const auto shares = mapValue(store, kCompanySharesKey))
        m_companyShares = *shares;
    if (const auto alerts = mapValue(store, kPriceAlertsKey))
        m_priceAlerts = *alerts;
    if (const auto flags = mapValue(store, kShowSettingsKey)) {
        m_showSettings = *flags;
    } else {
        for (const auto &symbol : std::as_const(m_stockSymbols))
            if (!m_showSettings.contains(symbol))
                m_showSettings.insert(symbol, qlonglong(1));
    }
    endResetModel();
}

void StockSymbolTableModel::writeTo(SettingsStore &store)
{
    QVariantList symbols;
    for (const auto &symbol : m_stockSymbols)
        symbols.append(symbol);
    store.setValue(kStockSymbolsKey, symbols);
    store.setValue(kCompanySharesKey, m_companyShares);
    store.setValue(kShowSettingsKey, m_showSettings);
    if (m_editedAlertSymbols.isEmpty())
        return;
    // Only what was edited here: the window's copy may be older than the store.
    m_priceAlerts = storedAlertsWithEdits(store);
    m_editedAlertSymbols.clear();
    if (m_priceAlerts.isEmpty())
        store.remove(kPriceAlertsKey);
    else
        store.setValue(kPriceAlertsKey, m_priceAlerts);
}

void StockSymbolTableModel::reloadPriceAlerts(SettingsStore &store)
{
    store.synchronize();
    m_priceAlerts = storedAlertsWithEdits(store);
    reloadAll();
}

QVariantMap StockSymbolTableModel::storedAlertsWithEdits(SettingsStore &store) const
{
    QVariantMap alerts = mapValue(store, kPriceAlertsKey).value_or(QVariantMap());
    for (const QString &symbol : m_editedAlertSymbols) {
        if (m_priceAlerts.contains(symbol))
            alerts.insert(symbol, m_priceAlerts.value(symbol));
        else
            alerts.remove(symbol);
    }
    return alerts;
}

int StockSymbolTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_stockSymbols.size());
}

int StockSymbolTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StockSymbolTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QString &symbol = m_stockSymbols.at(index.row());
    const bool textRole = role == Qt::DisplayRole || role == Qt::EditRole;
    switch (index.column()) {
    case SymbolColumn:
        return textRole ? QVariant(symbol) : QVariant();
    case CompanyColumn:
        // The lookup may fetch a page: only for what is displayed.
        if (role != Qt::DisplayRole)
            return {};
        if (const auto name = m_lookup.getCompanyForSymbol(symbol))
            return *name;
        return {};
    case SharesColumn:
        // A count stored as a number shows its whole value.
        if (!textRole || !m_companyShares.contains(symbol))
            return {};
        return SharesEntryText(m_companyShares.value(symbol));
    case ShowColumn:
        if (role != Qt::CheckStateRole)
            return {};
        return isShown(symbol) ? Qt::Checked : Qt::Unchecked;
    default:
        break;
    }
    const auto kind = alertKindOf(index.column());
    if (!kind)
        return {};
    const AlertThreshold threshold = ReadAlertThreshold(m_priceAlerts.value(symbol).toMap().value(AlertEntryName(*kind)));
    if (textRole)
        return threshold.text;
    if (role == Qt::ToolTipRole && threshold.isSet() && !threshold.value)
        return tr("Not a number above 0: this alert never fires. Type digits, with a point for decimals (150.5).");
    return {};
}

bool StockSymbolTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const int row = index.row();
    bool applied = false;
    switch (index.column()) {
    case SymbolColumn:
        if (role == Qt::EditRole) {
            renameSymbol(row, value.toString());
            applied = true;
        }
        break;
    case SharesColumn:
        if (role == Qt::EditRole) {
            setShares(row, value.toString());
            applied = true;
        }
        break;
    case ShowColumn:
        // Only the check box edits the flag, and only with a number.
        if (role == Qt::CheckStateRole && isNumber(value)) {
            setShown(row, value);
            applied = true;
        }
        break;
    case AboveColumn:
    case BelowColumn:
    case DayMoveColumn:
        // A row without a symbol yet takes no alert.
        if (role == Qt::EditRole && m_stockSymbols.at(row) != kPlaceholderSymbol) {
            setAlert(row, index.column(), value.toString());
            applied = true;
        }
        break;
    default:
        break;
    }
    reloadAll();
    return applied;
}

Qt::ItemFlags StockSymbolTableModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    switch (index.column()) {
    case SymbolColumn:
    case SharesColumn:
    case AboveColumn:
    case BelowColumn:
    case DayMoveColumn:
        return base | Qt::ItemIsEditable;
    case ShowColumn:
        return base | Qt::ItemIsUserCheckable;
    default:
        return base;
    }
}

QVariant StockSymbolTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case SymbolColumn:
        return tr("Symbol");
    case CompanyColumn:
        return tr("Company");
    case SharesColumn:
        return tr("Shares");
    case ShowColumn:
        return tr("Show");
    case AboveColumn:
    case BelowColumn:
    case DayMoveColumn:
        return columnIdentifier(section);
    default:
        return {};
    }
}

void StockSymbolTableModel::addStockSymbol()
{
    const int row = static_cast<int>(m_stockSymbols.size());
    beginInsertRows({}, row, row);
    m_stockSymbols.append(kPlaceholderSymbol);
    endInsertRows();
}

void StockSymbolTableModel::deleteStockSymbols(const QList<int> &rows)
{
    QList<int> doomed;
    for (int row : rows)
        if (row >= 0 && row < m_stockSymbols.size() && !doomed.contains(row))
            doomed.append(row);
    // From the bottom up, so the remaining indexes stay right.
    std::sort(doomed.begin(), doomed.end(), std::greater<>());
    for (int row : doomed) {
        beginRemoveRows({}, row, row);
        m_stockSymbols.removeAt(row);
        endRemoveRows();
    }
}

void StockSymbolTableModel::showAll()
{
    setAllShown(true);
}

void StockSymbolTableModel::showNone()
{
    setAllShown(false);
}

void StockSymbolTableModel::setAllShown(bool shown)
{
    for (const auto &symbol : std::as_const(m_stockSymbols))
        m_showSettings.insert(symbol, qlonglong(shown ? 1 : 0));
    reloadAll();
}

void StockSymbolTableModel::renameSymbol(int row, const QString &symbol)
{
    m_stockSymbols[row] = symbol;
    // A new symbol starts without shares and shown, whatever was stored for it before.
    m_companyShares.insert(symbol, QString());
    m_showSettings.insert(symbol, qlonglong(1));
    clearAlerts(symbol);
    sortSymbols();
}

void StockSymbolTableModel::setAlert(int row, int column, const QString &text)
{
    const QString &symbol = m_stockSymbols.at(row);
    QVariantMap entries = m_priceAlerts.value(symbol).toMap();
    const QString entry = AlertEntryName(*alertKindOf(column));
    if (text.isEmpty())
        entries.remove(entry);
    else
        entries.insert(entry, text); // as typed, like the shares
    if (entries.isEmpty())
        m_priceAlerts.remove(symbol);
    else
        m_priceAlerts.insert(symbol, entries);
    m_editedAlertSymbols.insert(symbol);
}

void StockSymbolTableModel::clearAlerts(const QString &symbol)
{
    const auto it = m_priceAlerts.find(symbol);
    if (it == m_priceAlerts.end())
        return;
    // The alert entries go; entries of other tools stay.
    QVariantMap entries = it->toMap();
    for (AlertKind kind : kAlertKinds)
        entries.remove(AlertEntryName(kind));
    if (entries.isEmpty())
        m_priceAlerts.erase(it);
    else
        *it = entries;
    m_editedAlertSymbols.insert(symbol);
}

void StockSymbolTableModel::setShares(int row, const QString &shares)
{
    const QString &symbol = m_stockSymbols.at(row);
    if (symbol == kPlaceholderSymbol) {
        // No shares for a row that has no symbol yet.
        m_companyShares.insert(symbol, QString());
        m_showSettings.insert(symbol, qlonglong(0));
        return;
    }
    m_companyShares.insert(symbol, shares);
    m_showSettings.insert(symbol, qlonglong(1)); // holding shares means wanting to see them
}

void StockSymbolTableModel::setShown(int row, const QVariant &state)
{
    const bool checked = state.toInt() == Qt::Checked;
    m_showSettings.insert(m_stockSymbols.at(row), qlonglong(checked ? 1 : 0));
}

void StockSymbolTableModel::sortSymbols()
{
    std::vector<int> order(static_cast<size_t>(m_stockSymbols.size()));
    std::iota(order.begin(), order.end(), 0);
    const FinderCollator collator;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return collator.compare(m_stockSymbols.at(a), m_stockSymbols.at(b)) < 0; });
    if (std::is_sorted(order.begin(), order.end()))
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QStringList sorted;
    std::vector<int> newRowOf(order.size());
    for (size_t newRow = 0; newRow < order.size(); ++newRow) {
        sorted.append(m_stockSymbols.at(order[newRow]));
        newRowOf[static_cast<size_t>(order[newRow])] = static_cast<int>(newRow);
    }
    m_stockSymbols = sorted;
    // Selection and the current cell follow their rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const auto &index : before)
        after.append(index.isValid() ? createIndex(newRowOf[static_cast<size_t>(index.row())], index.column()) : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void StockSymbolTableModel::reloadAll()
{
    // Duplicated symbols share their entries, so any edit may change other rows.
    if (!m_stockSymbols.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

bool StockSymbolTableModel::isShown(const QString &symbol) const
{
    const auto it = m_showSettings.constFind(symbol);
    return it != m_showSettings.constEnd() && flagIsOne(*it);
}

} // namespace tickwell

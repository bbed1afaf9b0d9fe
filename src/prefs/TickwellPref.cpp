#include "prefs/TickwellPref.h"

#include "app/Preferences.h"
#include "archive/OutputFolders.h"
#include "prefs/PreferencesWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QUrl>

#include <algorithm>

namespace tickwell {

namespace {

constexpr int kLargestRate = 99999;

// A check box, its key and what it shows when the key is absent or not a boolean.
struct Switch {
    QCheckBox *PreferencesWindow::*box;
    const char *key;
    bool shownWhenAbsent;
};

// The switches whose action only stores them; logging and ticker switches also enable controls.
constexpr Switch kSimpleSwitches[] = {
    {&PreferencesWindow::showPreciousMetalsInMenuButton, "ShowPreciousMetalsInMenu", false},
    {&PreferencesWindow::showMarketIndicesInMenuButton, "ShowMarketIndicesInMenu", false},
    {&PreferencesWindow::showOtherMarketIndicesInMenuButton, "ShowOtherMarketIndicesInMenu", false},
    {&PreferencesWindow::includeHeadlinesInSubmenuButton, "IncludeHeadlinesInSubmenu", true},
    {&PreferencesWindow::includeiChartsInSubmenuButton, "IncludeiChartsInSubmenu", true},
    {&PreferencesWindow::includeInteractiveiChartsLinksInSubmenuButton, "IncludeInteractiveiChartsLinksInSubmenu", true},
    {&PreferencesWindow::includeStockDataInSubmenuButton, "IncludeStockDataInSubmenu", true},
    {&PreferencesWindow::includeStockHistoryInSubmenuButton, "IncludeStockHistoryInSubmenu", true},
    {&PreferencesWindow::includeAfterHoursMenuButton, "IncludeAfterHoursMenu", true},
    {&PreferencesWindow::onlyShowFlaggedButton, "OnlyShowFlagged", true},
    {&PreferencesWindow::logOnlyIfStockChangesButton, "LogToConsoleOnlyIfStockChanges", true},
    {&PreferencesWindow::showOpeningBellTitleButton, "ShowOpeningBellTitle", false},
    {&PreferencesWindow::downloadHeadlinesButton, "DownloadHeadlines", false},
    {&PreferencesWindow::setFilenameToHeadlineArticleNameButton, "SetFilenameToHeadlineArticleName", false},
    {&PreferencesWindow::displayTheHeadlineProgressWindowButton, "DisplayTheHeadlineProgressWindow", false},
};
constexpr Switch kLogToConsole{&PreferencesWindow::logToConsoleButton, "LogToConsole", true};
constexpr Switch kTitleTicker{&PreferencesWindow::titleTickerButton, "TitleTicker", false};

// A rate field, its key, what it shows when the key is absent, and what an emptied field gets.
// The refill texts differ from the display defaults on purpose; users know them this way.
struct RateField {
    QLineEdit *PreferencesWindow::*field;
    const char *key;
    const char *shownWhenAbsent;
    const char *refill;
};

constexpr RateField kLogToConsoleRate{&PreferencesWindow::logToConsoleRateField, "LogToConsoleRate", "10", "60"};
constexpr RateField kTitleTickerRate{&PreferencesWindow::titleTickerRateField, "TitleTickerRate", "10", "60"};
constexpr RateField kStockDataUpdateRate{&PreferencesWindow::dataUpdateRateField, "StockDataUpdateRate", "60", "10"};

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

} // namespace

std::optional<QString> AcceptedRateText(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    // 0 would make a timer fire without pause; the top keeps minutes in seconds within range.
    if (value < 1 || value > kLargestRate)
        return std::nullopt;
    return QString::number(value);
}

TickwellPref::TickwellPref(PrefServices services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_companyLookup(services.settings, services.loader)
    , m_symbolTable(m_companyLookup)
    , m_window(std::make_unique<PreferencesWindow>())
{
    if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance()))
        app->installEventFilter(this);

    m_symbolTable.load(m_services.settings);
    m_window->stockSymbolTable->setModel(&m_symbolTable);
    QHeaderView *header = m_window->stockSymbolTable->horizontalHeader();
    header->setSectionResizeMode(StockSymbolTableModel::SymbolColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(StockSymbolTableModel::CompanyColumn, QHeaderView::Stretch);
    header->resizeSection(StockSymbolTableModel::SymbolColumn, 90);
    header->resizeSection(StockSymbolTableModel::SharesColumn, 80);
    header->resizeSection(StockSymbolTableModel::ShowColumn, 50);
    header->resizeSection(StockSymbolTableModel::AboveColumn, 95);
    header->resizeSection(StockSymbolTableModel::BelowColumn, 95);
    header->resizeSection(StockSymbolTableModel::DayMoveColumn, 140);

    setHyperlink();
    showStartAtLogin();
    setOutputDirectoryTextFieldValue();
    m_window->m_versionInfoField->setText(QStringLiteral("%1 %2").arg(QStringLiteral(TICKWELL_NAME), QStringLiteral(TICKWELL_VERSION)));
    loadControls();
    connectControls();
}

TickwellPref::~TickwellPref() = default;

void TickwellPref::showWindow()
{
    m_symbolTable.reloadPriceAlerts(m_services.settings);
    showStartAtLogin(); // the session's own settings may have changed the entry meanwhile
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

// Nothing is written here: a key that is absent stays absent until its control is used.
void TickwellPref::loadControls()
{
    SettingsStore &store = m_services.settings;
    PreferencesWindow &w = *m_window;
    store.synchronize();

    const Preferences prefs(store);
    w.upColorWell->setColor(prefs.upColor().value_or(QColor(0, 255, 0)));
    w.downColorWell->setColor(prefs.downColor().value_or(QColor(255, 0, 0)));

    const auto format = store.value(QStringLiteral("HeadlineFileFormat"));
    const int formatIndex = format && format->typeId() == QMetaType::QString ? w.headlineFileFormatPopUpButton->findText(format->toString()) : -1;
    w.headlineFileFormatPopUpButton->setCurrentIndex(formatIndex >= 0 ? formatIndex : 0);

    const std::optional<PanelMenu> panelMenu = prefs.panelMenu();
    const QString panelMenuValue = !panelMenu ? QString() : *panelMenu == PanelMenu::Own ? QStringLiteral("own") : QStringLiteral("panel");
    w.panelMenuPopUpButton->setCurrentIndex(std::max(0, w.panelMenuPopUpButton->findData(panelMenuValue)));

    for (const Switch &sw : kSimpleSwitches)
        (w.*sw.box)->setChecked(PreferenceValueForKey(store, key(sw.key), sw.shownWhenAbsent));
    for (const Switch &sw : {kLogToConsole, kTitleTicker})
        (w.*sw.box)->setChecked(PreferenceValueForKey(store, key(sw.key), sw.shownWhenAbsent));
    enableLoggingOptions();
    enableTickerOptions();

    for (const RateField &rate : {kLogToConsoleRate, kTitleTickerRate, kStockDataUpdateRate}) {
        const auto stored = store.value(key(rate.key));
        QLineEdit *field = w.*rate.field;
        field->setText(stored && stored->typeId() == QMetaType::QString ? stored->toString() : key(rate.shownWhenAbsent));
        m_acceptedRates.insert(field, AcceptedRateText(field->text()).value_or(key(rate.shownWhenAbsent)));
    }
}

void TickwellPref::connectControls()
{
    PreferencesWindow &w = *m_window;
    // clicked, not toggled: only the user's changes are written.
    for (const Switch &sw : kSimpleSwitches) {
        QCheckBox *box = w.*sw.box;
        connect(box, &QCheckBox::clicked, this, [this, box, k = key(sw.key)] { writeSwitch(box, k); });
    }
    connect(w.logToConsoleButton, &QCheckBox::clicked, this, &TickwellPref::logToConsole);
    connect(w.titleTickerButton, &QCheckBox::clicked, this, &TickwellPref::titleTicker);

    connect(w.logToConsoleRateField, &QLineEdit::editingFinished, this, &TickwellPref::logToConsoleRateTextDidEndEdit);
    connect(w.titleTickerRateField, &QLineEdit::editingFinished, this, &TickwellPref::titleTickerRateTextDidEndEdit);
    connect(w.dataUpdateRateField, &QLineEdit::editingFinished, this, &TickwellPref::dataUpdateRateTextDidEndEdit);

    for (ColorWell *well : {w.upColorWell, w.downColorWell})
        connect(well, &ColorWell::colorChanged, this, [this, well] { colorChanged(well); });
    connect(w.headlineFileFormatPopUpButton, &QComboBox::activated, this, &TickwellPref::headlineFileFormatChanged);
    connect(w.panelMenuPopUpButton, &QComboBox::activated, this, &TickwellPref::panelMenuChanged);

    connect(w.selectOutputDirectoryButton, &QPushButton::clicked, this, &TickwellPref::selectOutputDirectory);
    connect(w.clearOutputDirectoryButton, &QPushButton::clicked, this, &TickwellPref::clearOutputDirectory);
    connect(w.openDefaultOutputDirectoryButton, &QPushButton::clicked, this, &TickwellPref::openDefaultOutputDirectory);

    connect(w.addStockSymbolButton, &QPushButton::clicked, this, &TickwellPref::addStockSymbol);
    connect(w.deleteStockSymbolButton, &QPushButton::clicked, this, &TickwellPref::deleteStockSymbol);
    connect(w.showAllButton, &QPushButton::clicked, this, &TickwellPref::showAll);
    connect(w.showNoneButton, &QPushButton::clicked, this, &TickwellPref::showNone);
    connect(w.stockSymbolTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TickwellPref::tableViewSelectionDidChange);

    connect(w.applyNowButton, &QPushButton::clicked, this, &TickwellPref::applyNow);
    connect(w.helpButton, &QPushButton::clicked, this, &TickwellPref::openHelp);
    connect(w.startAtLoginButton, &QCheckBox::clicked, this, &TickwellPref::startAtLogin);
    connect(w.linkTextField, &QLabel::linkActivated, this, &TickwellPref::openHelp);
}

bool TickwellPref::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched->isWidgetType()) {
        const auto *widget = static_cast<QWidget *>(watched);
        // The application's own windows; dialogs, alerts, menus and tool tips are not meant.
        const Qt::WindowType type = widget->windowType();
        if (widget->isWindow() && (type == Qt::Window || type == Qt::Tool))
            save();
    }
    return QObject::eventFilter(watched, event);
}

void TickwellPref::save()
{
    endEditing();
    m_symbolTable.writeTo(m_services.settings);
    m_services.settings.synchronize();
    postPreferencesChangedNotification();
}

// A window closes before its focus moves on, so an edit still open in a table cell or a rate field
// would be stored after the controller restarted, or lost. Taking the focus away ends it now.
void TickwellPref::endEditing()
{
    QWidget *focus = QApplication::focusWidget();
    if (focus && m_window->isAncestorOf(focus) && qobject_cast<QLineEdit *>(focus))
        focus->clearFocus();
}

void TickwellPref::postPreferencesChangedNotification()
{
    m_services.notifications.postPreferencesChanged();
}

void TickwellPref::applyNow()
{
    save();
}

// The documentation is a local page: it is there without a network, and matches this version.
void TickwellPref::openHelp()
{
    if (const auto page = InstallLayout::documentation()) {
        m_services.desktop.openFile(*page);
        return;
    }
    m_services.desktop.beep();
    m_services.desktop.systemLog(QStringLiteral("Tickwell: the documentation (README.html) is not installed beside %1")
                                     .arg(InstallLayout::programDirectory()));
}

void TickwellPref::setHyperlink()
{
    QLabel *label = m_window->linkTextField;
    const QString credit = tr("Tickwell by Brantlow Software");
    const auto page = InstallLayout::documentation();
    if (!page) {
        label->setText(credit);
        return;
    }
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setOpenExternalLinks(false); // through the desktop, like every other address
    label->setText(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff; text-decoration:underline\">%2</a>")
                       .arg(QUrl::fromLocalFile(*page).toString(QUrl::FullyEncoded).toHtmlEscaped(), credit.toHtmlEscaped()));
}

void TickwellPref::showStartAtLogin()
{
    m_window->startAtLoginButton->setChecked(m_autostart.isEnabled());
}

void TickwellPref::startAtLogin()
{
    QString error;
    if (!m_autostart.setEnabled(m_window->startAtLoginButton->isChecked(), &error)) {
        m_services.desktop.beep();
        m_services.desktop.systemLog(QStringLiteral("Tickwell: ") + error);
    }
    showStartAtLogin();
}

void TickwellPref::writeSwitch(QCheckBox *box, const QString &switchKey)
{
    m_services.settings.setValue(switchKey, box->isChecked());
    m_services.settings.synchronize();
}

void TickwellPref::logToConsole()
{
    writeSwitch(m_window->logToConsoleButton, key(kLogToConsole.key));
    enableLoggingOptions();
}

void TickwellPref::titleTicker()
{
    writeSwitch(m_window->titleTickerButton, key(kTitleTicker.key));
    enableTickerOptions();
}

void TickwellPref::enableLoggingOptions()
{
    const bool on = m_window->logToConsoleButton->isChecked();
    m_window->logToConsoleRateField->setEnabled(on);
    m_window->logToConsoleRateLabel->setEnabled(on);
    m_window->logOnlyIfStockChangesButton->setEnabled(on);
}

void TickwellPref::enableTickerOptions()
{
    const bool on = m_window->titleTickerButton->isChecked();
    m_window->titleTickerRateField->setEnabled(on);
    m_window->showOpeningBellTitleButton->setEnabled(on);
}

void TickwellPref::logToConsoleRateTextDidEndEdit()
{
    storeRate(m_window->logToConsoleRateField, key(kLogToConsoleRate.key), key(kLogToConsoleRate.refill));
}

void TickwellPref::titleTickerRateTextDidEndEdit()
{
    storeRate(m_window->titleTickerRateField, key(kTitleTickerRate.key), key(kTitleTickerRate.refill));
}

void TickwellPref::dataUpdateRateTextDidEndEdit()
{
    storeRate(m_window->dataUpdateRateField, key(kStockDataUpdateRate.key), key(kStockDataUpdateRate.refill));
}

// An emptied field gets its refill text; anything but a whole number from 1 up is refused (the
// field shows its last good text again) so no timer can be made to spin.
void TickwellPref::storeRate(QLineEdit *field, const QString &rateKey, const QString &refill)
{
    if (field->text().isEmpty())
        field->setText(refill);
    const auto accepted = AcceptedRateText(field->text());
    if (!accepted) {
        m_services.desktop.beep();
        field->setText(m_acceptedRates.value(field));
        return;
    }
    field->setText(*accepted);
    m_acceptedRates.insert(field, *accepted);
    m_services.settings.setValue(rateKey, *accepted);
    m_services.settings.synchronize();
}

void TickwellPref::colorChanged(ColorWell *sender)
{
    QString colorKey;
    if (sender == m_window->upColorWell)
        colorKey = QStringLiteral("UpColor");
    else if (sender == m_window->downColorWell)
        colorKey = QStringLiteral("DownColor");
    if (!colorKey.isEmpty())
        m_services.settings.setValue(colorKey, ArchiveColor(sender->color()));
    m_services.settings.synchronize();
}

void TickwellPref::headlineFileFormatChanged()
{
    m_services.settings.setValue(QStringLiteral("HeadlineFileFormat"), m_window->headlineFileFormatPopUpButton->currentText());
    m_services.settings.synchronize();
}

// Stored at once; the status item takes it up at the next setup (Apply, or the window closing).
void TickwellPref::panelMenuChanged()
{
    const QString value = m_window->panelMenuPopUpButton->currentData().toString();
    if (value.isEmpty())
        m_services.settings.remove(QStringLiteral("PanelMenu"));
    else
        m_services.settings.setValue(QStringLiteral("PanelMenu"), value);
    m_services.settings.synchronize();
}

void TickwellPref::setOutputDirectoryTextFieldValue()
{
    m_window->outputDirectoryTextField->setText(OutputDirectoryDisplayPath(m_services.settings));
}

// The choice is stored at once, so the next headline saved goes there without an apply.
void TickwellPref::selectOutputDirectory()
{
    if (const auto path = HandleChooseDirectory(m_services.settings, kOutputDirectoryKey, m_services.chooseFolder))
        m_window->outputDirectoryTextField->setText(*path);
}

void TickwellPref::clearOutputDirectory()
{
    ClearOutputDirectory(m_services.settings);
    setOutputDirectoryTextFieldValue();
}

void TickwellPref::openDefaultOutputDirectory()
{
    if (m_window->outputDirectoryTextField->text().isEmpty()) {
        m_services.desktop.beep();
        return;
    }
    // As "Go to Headlines folder..." does: the download folder is made when missing.
    ShowOutputDirectory(m_services.settings, m_services.desktop);
    setOutputDirectoryTextFieldValue();
}

void TickwellPref::addStockSymbol()
{
    m_symbolTable.addStockSymbol();
}

void TickwellPref::deleteStockSymbol()
{
    QList<int> rows;
    for (const QModelIndex &index : m_window->stockSymbolTable->selectionModel()->selectedIndexes())
        if (!rows.contains(index.row()))
            rows.append(index.row());
    m_symbolTable.deleteStockSymbols(rows);
    tableViewSelectionDidChange();
}

void TickwellPref::showAll()
{
    m_symbolTable.showAll();
    save();
}

void TickwellPref::showNone()
{
    m_symbolTable.showNone();
    save();
}

void TickwellPref::tableViewSelectionDidChange()
{
    m_window->deleteStockSymbolButton->setEnabled(m_window->stockSymbolTable->selectionModel()->hasSelection());
}

std::optional<QString> TickwellPref::getCompanyForSymbol(const QString &symbol)
{
    return m_companyLookup.getCompanyForSymbol(symbol);
}

} // namespace tickwell

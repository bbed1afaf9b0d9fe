#include "prefs/PreferencesWindow.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace tickwell {

namespace {

template<typename Widget, typename... Args>
Widget *named(const char *name, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QCheckBox *checkBox(const char *name, const QString &text)
{
    return named<QCheckBox>(name, text);
}

QLineEdit *rateField(const char *name)
{
    auto *field = named<QLineEdit>(name);
    field->setMaximumWidth(64);
    field->setAlignment(Qt::AlignRight);
    return field;
}

// "label [field] unit" on one line.
QHBoxLayout *rateLine(QWidget *label, QLineEdit *field, const QString &unit)
{
    auto *line = new QHBoxLayout;
    if (label)
        line->addWidget(label);
    line->addWidget(field);
    line->addWidget(new QLabel(unit));
    line->addStretch();
    return line;
}

QGroupBox *group(const QString &title, std::initializer_list<QWidget *> widgets)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    for (auto *widget : widgets)
        layout->addWidget(widget);
    return box;
}

// Indents the controls that depend on a switch above them.
QVBoxLayout *indented(QVBoxLayout *inner)
{
    inner->setContentsMargins(24, 0, 0, 0);
    return inner;
}

} // namespace

PreferencesWindow::PreferencesWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("m_window"));
    setWindowTitle(tr("Tickwell Preferences"));

    m_tabView = named<QTabWidget>("m_tabView");
    m_tabView->addTab(makeWatchListTab(), tr("Watch List"));
    m_tabView->addTab(makeMenuTab(), tr("Menu"));
    m_tabView->addTab(makeLoggingTab(), tr("Logging && Ticker"));
    m_tabView->addTab(makeColorsTab(), tr("Colours"));
    m_tabView->addTab(makeHeadlinesTab(), tr("Headlines"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabView);
    layout->addWidget(makeFooter());
    resize(800, 460); // wide enough for the alert columns beside the company names
}

QWidget *PreferencesWindow::makeWatchListTab()
{
    auto *tab = new QWidget;
    stockSymbolTable = named<QTableView>("stockSymbolTable");
    stockSymbolTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    stockSymbolTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    stockSymbolTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                      | QAbstractItemView::AnyKeyPressed);
    stockSymbolTable->verticalHeader()->hide();
    stockSymbolTable->setAlternatingRowColors(true);

    addStockSymbolButton = named<QPushButton>("addStockSymbolButton", tr("Add"));
    addStockSymbolButton->setToolTip(tr("Add a row; type the symbol into it"));
    deleteStockSymbolButton = named<QPushButton>("deleteStockSymbolButton", tr("Delete"));
    deleteStockSymbolButton->setEnabled(false);
    showAllButton = named<QPushButton>("showAllButton", tr("Show All"));
    showNoneButton = named<QPushButton>("showNoneButton", tr("Show None"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(addStockSymbolButton);
    buttons->addWidget(deleteStockSymbolButton);
    buttons->addStretch();
    buttons->addWidget(showAllButton);
    buttons->addWidget(showNoneButton);

    onlyShowFlaggedButton = checkBox("onlyShowFlaggedButton", tr("Only show ticked symbols in the menu"));
    dataUpdateRateField = rateField("dataUpdateRateField");
    startAtLoginButton = checkBox("startAtLoginButton", tr("Start Tickwell when you log in"));

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(stockSymbolTable);
    layout->addLayout(buttons);
    layout->addWidget(onlyShowFlaggedButton);
    layout->addLayout(rateLine(new QLabel(tr("Refresh quotes every")), dataUpdateRateField, tr("minutes")));
    layout->addWidget(startAtLoginButton);
    return tab;
}

QWidget *PreferencesWindow::makeMenuTab()
{
    auto *tab = new QWidget;
    showMarketIndicesInMenuButton = checkBox("showMarketIndicesInMenuButton", tr("Market indices (Dow, Nasdaq, S&&P 500)"));
    showOtherMarketIndicesInMenuButton = checkBox("showOtherMarketIndicesInMenuButton", tr("U.S. Dollar Index"));
    showPreciousMetalsInMenuButton = checkBox("showPreciousMetalsInMenuButton", tr("Precious metals"));
    includeAfterHoursMenuButton = checkBox("includeAfterHoursMenuButton", tr("After-hours quotes"));

    includeHeadlinesInSubmenuButton = checkBox("includeHeadlinesInSubmenuButton", tr("Headlines"));
    includeiChartsInSubmenuButton = checkBox("includeiChartsInSubmenuButton", tr("Charts"));
    includeInteractiveiChartsLinksInSubmenuButton =
        checkBox("includeInteractiveiChartsLinksInSubmenuButton", tr("Interactive chart links"));
    includeStockDataInSubmenuButton = checkBox("includeStockDataInSubmenuButton", tr("Quote details"));
    includeStockHistoryInSubmenuButton = checkBox("includeStockHistoryInSubmenuButton", tr("Quote history"));

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(group(tr("Sections of the menu"), {showMarketIndicesInMenuButton, showOtherMarketIndicesInMenuButton,
                                                          showPreciousMetalsInMenuButton, includeAfterHoursMenuButton}));
    layout->addWidget(group(tr("Each symbol's submenu"),
                            {includeHeadlinesInSubmenuButton, includeiChartsInSubmenuButton,
                             includeInteractiveiChartsLinksInSubmenuButton, includeStockDataInSubmenuButton,
                             includeStockHistoryInSubmenuButton}));
    layout->addStretch();
    return tab;
}

QWidget *PreferencesWindow::makeLoggingTab()
{
    auto *tab = new QWidget;
    logToConsoleButton = checkBox("logToConsoleButton", tr("Log each symbol's quotes to a file"));
    logToConsoleRateLabel = named<QLabel>("logToConsoleRateLabel", tr("Every"));
    logToConsoleRateField = rateField("logToConsoleRateField");
    logOnlyIfStockChangesButton = checkBox("logOnlyIfStockChangesButton", tr("Only when the quote has changed"));

    titleTickerButton = checkBox("titleTickerButton", tr("Cycle quotes through the status title"));
    titleTickerRateField = rateField("titleTickerRateField");
    showOpeningBellTitleButton = checkBox("showOpeningBellTitleButton", tr("Show the time left until the opening bell"));

    auto *logging = new QGroupBox(tr("Logging"));
    auto *loggingLayout = new QVBoxLayout(logging);
    loggingLayout->addWidget(logToConsoleButton);
    auto *loggingOptions = indented(new QVBoxLayout);
    loggingOptions->addLayout(rateLine(logToConsoleRateLabel, logToConsoleRateField, tr("minutes")));
    loggingOptions->addWidget(logOnlyIfStockChangesButton);
    loggingLayout->addLayout(loggingOptions);

    auto *ticker = new QGroupBox(tr("Title ticker"));
    auto *tickerLayout = new QVBoxLayout(ticker);
    tickerLayout->addWidget(titleTickerButton);
    auto *tickerOptions = indented(new QVBoxLayout);
    tickerOptions->addLayout(rateLine(new QLabel(tr("Next symbol every")), titleTickerRateField, tr("seconds")));
    tickerOptions->addWidget(showOpeningBellTitleButton);
    tickerLayout->addLayout(tickerOptions);

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(logging);
    layout->addWidget(ticker);
    layout->addStretch();
    return tab;
}

QWidget *PreferencesWindow::makeColorsTab()
{
    auto *tab = new QWidget;
    upColorWell = named<ColorWell>("upColorWell");
    upColorWell->setToolTip(tr("Colour of rising values"));
    downColorWell = named<ColorWell>("downColorWell");
    downColorWell->setToolTip(tr("Colour of falling values"));

    // Panels that draw the menu themselves show neither these colours nor charts at full size.
    panelMenuPopUpButton = named<QComboBox>("panelMenuPopUpButton");
    panelMenuPopUpButton->addItem(tr("Automatic"), QString());
    panelMenuPopUpButton->addItem(tr("Tickwell (colours and full-size charts; X11)"), QStringLiteral("own"));
    panelMenuPopUpButton->addItem(tr("The panel"), QStringLiteral("panel"));
    panelMenuPopUpButton->setToolTip(tr("Who draws the menu on a status-notifier panel; Automatic is Tickwell on X11 and "
                                        "the panel on Wayland. Applies with Apply or when this window closes."));

    auto *form = new QFormLayout;
    form->addRow(tr("Rising values:"), upColorWell);
    form->addRow(tr("Falling values:"), downColorWell);
    form->addRow(tr("Menu drawn by:"), panelMenuPopUpButton);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(form);
    layout->addStretch();
    return tab;
}

QWidget *PreferencesWindow::makeHeadlinesTab()
{
    auto *tab = new QWidget;
    downloadHeadlinesButton = checkBox("downloadHeadlinesButton", tr("Save every headline's article at each refresh"));
    setFilenameToHeadlineArticleNameButton =
        checkBox("setFilenameToHeadlineArticleNameButton", tr("Name documents after the article's title"));
    displayTheHeadlineProgressWindowButton =
        checkBox("displayTheHeadlineProgressWindowButton", tr("Show the progress window while saving"));

    headlineFileFormatPopUpButton = named<QComboBox>("headlineFileFormatPopUpButton");
    // The item titles are the stored values. "Web Archive" first: with nothing stored the
    // window then shows what the application does.
    headlineFileFormatPopUpButton->addItems({QStringLiteral("Web Archive"), QStringLiteral("PDF")});

    outputDirectoryTextField = named<QLineEdit>("outputDirectoryTextField");
    outputDirectoryTextField->setReadOnly(true);
    selectOutputDirectoryButton = named<QPushButton>("selectOutputDirectoryButton", tr("Choose..."));
    clearOutputDirectoryButton = named<QPushButton>("clearOutputDirectoryButton", tr("Use Downloads"));
    clearOutputDirectoryButton->setToolTip(tr("Forget the chosen folder and save into the download folder"));
    openDefaultOutputDirectoryButton = named<QPushButton>("openDefaultOutputDirectoryButton", tr("Open"));
    auto *folderButtons = new QHBoxLayout;
    folderButtons->addStretch();
    folderButtons->addWidget(selectOutputDirectoryButton);
    folderButtons->addWidget(clearOutputDirectoryButton);
    folderButtons->addWidget(openDefaultOutputDirectoryButton);

    auto *form = new QFormLayout;
    form->addRow(tr("Save as:"), headlineFileFormatPopUpButton);
    form->addRow(tr("Save into:"), outputDirectoryTextField);

    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(form);
    layout->addLayout(folderButtons);
    layout->addWidget(setFilenameToHeadlineArticleNameButton);
    layout->addWidget(displayTheHeadlineProgressWindowButton);
    layout->addWidget(downloadHeadlinesButton);
    layout->addStretch();
    return tab;
}

QWidget *PreferencesWindow::makeFooter()
{
    auto *footer = new QWidget;
    m_versionInfoField = named<QLabel>("m_versionInfoField");
    linkTextField = named<QLabel>("linkTextField");
    helpButton = named<QPushButton>("helpButton", tr("Help"));
    applyNowButton = named<QPushButton>("applyNowButton", tr("Apply"));
    applyNowButton->setToolTip(tr("Save the watch list and restart the menu's timers"));

    auto *text = new QVBoxLayout;
    text->addWidget(m_versionInfoField);
    text->addWidget(linkTextField);
    auto *layout = new QHBoxLayout(footer);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(text);
    layout->addStretch();
    layout->addWidget(helpButton);
    layout->addWidget(applyNowButton);
    return footer;
}

} // namespace tickwell

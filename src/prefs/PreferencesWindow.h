#pragma once

#include "prefs/ColorWell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QWidget>

namespace tickwell {

// The preferences window's widgets and layout, nothing more: TickwellPref fills and wires them.
// Every control carries its name as objectName, so tests can find it.
class PreferencesWindow final : public QWidget {
    Q_OBJECT

public:
    explicit PreferencesWindow(QWidget *parent = nullptr);

    // Owned by the window (Qt parents); valid as long as it lives.
    QTabWidget *m_tabView = nullptr;
    QLabel *linkTextField = nullptr;
    QPushButton *applyNowButton = nullptr;
    QPushButton *helpButton = nullptr;
    QLabel *m_versionInfoField = nullptr;

    QTableView *stockSymbolTable = nullptr;
    QPushButton *addStockSymbolButton = nullptr;
    QPushButton *deleteStockSymbolButton = nullptr;
    QPushButton *showAllButton = nullptr;
    QPushButton *showNoneButton = nullptr;
    QCheckBox *onlyShowFlaggedButton = nullptr;
    QCheckBox *startAtLoginButton = nullptr;
    QLineEdit *dataUpdateRateField = nullptr;

    QCheckBox *showMarketIndicesInMenuButton = nullptr;
    QCheckBox *showOtherMarketIndicesInMenuButton = nullptr;
    QCheckBox *showPreciousMetalsInMenuButton = nullptr;
    QCheckBox *includeAfterHoursMenuButton = nullptr;
    QCheckBox *includeHeadlinesInSubmenuButton = nullptr;
    QCheckBox *includeiChartsInSubmenuButton = nullptr;
    QCheckBox *includeInteractiveiChartsLinksInSubmenuButton = nullptr;
    QCheckBox *includeStockDataInSubmenuButton = nullptr;
    QCheckBox *includeStockHistoryInSubmenuButton = nullptr;

    QCheckBox *logToConsoleButton = nullptr;
    QLineEdit *logToConsoleRateField = nullptr;
    QLabel *logToConsoleRateLabel = nullptr;
    QCheckBox *logOnlyIfStockChangesButton = nullptr;
    QCheckBox *titleTickerButton = nullptr;
    QLineEdit *titleTickerRateField = nullptr;
    QCheckBox *showOpeningBellTitleButton = nullptr;

    ColorWell *upColorWell = nullptr;
    ColorWell *downColorWell = nullptr;
    QComboBox *panelMenuPopUpButton = nullptr; // item data: the "PanelMenu" value, empty for none

    QCheckBox *downloadHeadlinesButton = nullptr;
    QCheckBox *setFilenameToHeadlineArticleNameButton = nullptr;
    QCheckBox *displayTheHeadlineProgressWindowButton = nullptr;
    QComboBox *headlineFileFormatPopUpButton = nullptr;
    QLineEdit *outputDirectoryTextField = nullptr;
    QPushButton *selectOutputDirectoryButton = nullptr;
    QPushButton *clearOutputDirectoryButton = nullptr;
    QPushButton *openDefaultOutputDirectoryButton = nullptr;

private:
    QWidget *makeWatchListTab();
    QWidget *makeMenuTab();
    QWidget *makeLoggingTab();
    QWidget *makeColorsTab();
    QWidget *makeHeadlinesTab();
    QWidget *makeFooter();
};

} // namespace tickwell

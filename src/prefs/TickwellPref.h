#pragma once

#include "platform/session/AutostartEntry.h"
#include "platform/Desktop.h"
#include "platform/NotificationCenter.h"
#include "platform/SettingsStore.h"
#include "platform/UrlLoader.h"
#include "prefs/CompanyLookup.h"
#include "prefs/StockSymbolTableModel.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLineEdit;

namespace tickwell {

class ColorWell;
class PreferencesWindow;

// What the preferences window works with; owned by whoever builds the application.
struct PrefServices {
    SettingsStore &settings;
    NotificationCenter &notifications;
    UrlLoader &loader;
    Desktop &desktop;
    // Asks the user for the headline folder; the dialog titled "Choose Folder for Headlines"
    // when empty.
    std::function<std::optional<QString>()> chooseFolder = {};
};

// The preferences window's controller. It loads the settings into the controls once, writes
// each option the moment its control changes, and writes the watch list ("StockSymbols",
// "CompanyShares", "ShowSettings") when a window of the application closes or the user applies,
// then posts "Preferences Changed" so the running menu restarts.
class TickwellPref final : public QObject {
    Q_OBJECT

public:
    explicit TickwellPref(PrefServices services, QObject *parent = nullptr);
    ~TickwellPref() override;

    PreferencesWindow *window() const { return m_window.get(); }
    // Shows the window in front of all others and makes it the active one.
    void showWindow();

    void save();
    void postPreferencesChangedNotification();
    void applyNow();
    // Opens the README installed with Tickwell (in the build tree: the one built there).
    void openHelp();
    // Writes or removes the autostart entry as the check box says; the box then shows the file.
    void startAtLogin();

    void logToConsoleRateTextDidEndEdit();
    void titleTickerRateTextDidEndEdit();
    void dataUpdateRateTextDidEndEdit();
    void logToConsole();
    void titleTicker();
    void colorChanged(ColorWell *sender);
    void headlineFileFormatChanged();
    void panelMenuChanged();

    void setOutputDirectoryTextFieldValue();
    void selectOutputDirectory();
    void clearOutputDirectory();
    void openDefaultOutputDirectory();

    void addStockSymbol();
    void deleteStockSymbol();
    void showAll();
    void showNone();
    void tableViewSelectionDidChange();
    std::optional<QString> getCompanyForSymbol(const QString &symbol);

    StockSymbolTableModel &symbolTable() { return m_symbolTable; }
    const CompanyLookup &companyLookup() const { return m_companyLookup; }

protected:
    // Any window of the application closing saves the watch list.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadControls();
    void connectControls();
    void setHyperlink();
    void showStartAtLogin();
    void endEditing();
    void writeSwitch(QCheckBox *box, const QString &key);
    void storeRate(QLineEdit *field, const QString &rateKey, const QString &refill);
    void enableLoggingOptions();
    void enableTickerOptions();

    PrefServices m_services;
    CompanyLookup m_companyLookup;
    StockSymbolTableModel m_symbolTable;
    std::unique_ptr<PreferencesWindow> m_window;
    AutostartEntry m_autostart;
    // The text each rate field showed last that was fit to store; restored when a typed one is refused.
    QHash<const QLineEdit *, QString> m_acceptedRates;
};

// A rate text fit for a timer: a whole number from 1 to 99999 (white space around it allowed),
// given back in its plain form ("007" gives "7"); nothing for anything else.
std::optional<QString> AcceptedRateText(const QString &typed);

} // namespace tickwell

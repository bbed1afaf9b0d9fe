#pragma once

#include <QImage>
#include <QString>

namespace tickwell {

enum class AlertButton { Default, Alternate, Other };

// A modal alert: a message, an informative text, up to three buttons (empty title: no button).
struct Alert {
    QString message;
    QString informativeText;
    QString defaultButton = QStringLiteral("OK");
    QString alternateButton;
    QString otherButton;
};

// An image shown in a window of its own (a chart at a readable size), with the page it stands for.
struct ImageToShow {
    QString title;       // the window's: "ACME: 1 Year Share Price Chart"
    QImage image;        // null when none could be had: the text says why
    QString text;        // a line under the image, or in its place; may be empty
    QString pageAddress; // what the window's "Open Page" opens in the browser
};

// What the application asks of the desktop beyond its status item.
class Desktop {
public:
    virtual ~Desktop() = default;

    virtual void openUrl(const QString &address) = 0;
    // False when no application could open the file.
    virtual bool openFile(const QString &path) = 0;
    virtual AlertButton runAlert(const Alert &alert) = 0;
    virtual void showPreferences() = 0;
    // Shows the image in a window, without waiting for it to close; a later one replaces it.
    virtual void showImage(const ImageToShow &shown) = 0;
    virtual void beep() = 0;
    // Writes a line to the system log (stderr, or the journal when started by the session).
    virtual void systemLog(const QString &line) = 0;
    // Ends the application; the termination sequence runs before the process exits.
    virtual void terminate() = 0;
};

} // namespace tickwell

#pragma once

#include "platform/MenuItem.h"

#include <QImage>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace tickwell {

// Who draws the status menu on a status-notifier panel: Tickwell itself, as a Qt menu placed at
// the icon (colours and full-size images; needs the click position, so X11), or the panel from
// the exported dbusmenu (images at icon size, plain text; works wherever the panel does).
enum class PanelMenu { Own, Panel };

// What the owner of a status item hears from its menu.
struct MenuHandlers {
    std::function<void()> aboutToShow;                 // the menu is about to open: rebuild it now
    std::function<void(const MenuItem &)> triggered;   // an item was chosen (a copy of it)
    std::function<void(bool shown)> visibility;        // the menu came on screen (true) or went away
};

// The item in the desktop's status area: an image, an optional (plain or styled) title, a menu.
class StatusItem {
public:
    virtual ~StatusItem() = default;

    virtual void setImage(const QString &name, const QImage &image) = 0;
    virtual QString imageName() const = 0;
    virtual QImage image() const = 0;

    // A plain title replaces any styled one; an empty title means none.
    virtual void setTitle(const QString &title) = 0;
    virtual void setStyledTitle(const std::vector<StyledRun> &runs) = 0;
    virtual QString title() const = 0; // plain text of whichever title is set
    virtual std::optional<std::vector<StyledRun>> styledTitle() const = 0;

    // A line the tool tip shows below the title (the latest price alert, where no notification
    // service runs); empty for none. Items without a tool tip ignore it.
    virtual void setToolTipNote(const QString &note) { m_toolTipNote = note; }
    const QString &toolTipNote() const { return m_toolTipNote; }

    virtual void setMenu(const Menu &menu) = 0;
    virtual const Menu &menu() const = 0;

    virtual void setMenuHandlers(MenuHandlers handlers) = 0;

    // The settings' choice of who draws the menu on a status-notifier panel; none for the
    // platform's default. Items that always draw their own menu ignore it.
    virtual void setPanelMenu(std::optional<PanelMenu>) {}

private:
    QString m_toolTipNote;
};

} // namespace tickwell

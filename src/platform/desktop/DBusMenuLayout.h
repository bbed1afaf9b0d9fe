#pragma once

#include "platform/MenuItem.h"
#include "platform/desktop/DBusMenuTypes.h"

#include <QHash>

#include <optional>

namespace tickwell {

// The menu model as com.canonical.dbusmenu sees it: numbered items with property maps. The root
// is item 0. Across rebuilds an item keeps its number while the new menu has an item of the same
// kind (separator, line, line with submenu) at the same place, so hosts can update an open menu
// in place; numbers of vanished items are never given out again.
class DBusMenuLayout {
public:
    struct Update {
        bool layoutChanged = false;                 // items came, went or changed kind
        DBusMenuItemPropertiesList updatedProperties; // only when the layout stayed
        DBusMenuItemKeysList removedProperties;     // only when the layout stayed
        bool changed() const { return layoutChanged || !updatedProperties.isEmpty() || !removedProperties.isEmpty(); }
    };

    DBusMenuLayout();

    Update setMenu(const Menu &menu);

    bool contains(int id) const { return m_entries.contains(id); }
    // The model item behind a number; nullptr for the root and unknown numbers.
    const MenuItem *item(int id) const;
    // Every number in use, the root first.
    QList<int> ids() const { return orderedIds(m_entries); }

    // The subtree below parentId; depth -1 is all levels, 0 the node alone. Empty names mean all
    // properties.
    std::optional<DBusMenuLayoutItem> layout(int parentId, int depth, const QStringList &names) const;
    std::optional<QVariantMap> properties(int id, const QStringList &names) const;

    // The dbusmenu properties of one model item, default values left out.
    QVariantMap itemProperties(const MenuItem &item);

    // A title as a dbusmenu label: underscores mark mnemonics there, ours are literal.
    static QString label(const MenuItem &item);
    // "q" -> [["Control", "q"]], "," -> [["Control", "comma"]]: key equivalents work with Ctrl.
    static DBusMenuShortcut shortcut(const QString &keyEquivalent);
    static QString keyName(const QString &keyEquivalent);

private:
    struct Entry {
        std::optional<MenuItem> item; // none for the root
        QVariantMap properties;
        QList<int> children;
    };

    static QList<int> orderedIds(const QHash<int, Entry> &entries);
    QList<int> assign(const Menu &menu, const QList<int> &previousChildren, QHash<int, Entry> &next);
    QByteArray pngData(const MenuItem &item);

    QHash<int, Entry> m_entries;
    int m_nextId = 1;
    // PNG bytes by image identity, kept for the images of the latest build only.
    QHash<QString, QByteArray> m_pngCache;
    QHash<QString, QByteArray> m_pngCacheNext;
};

} // namespace tickwell

#pragma once

#include "platform/MenuItem.h"
#include "platform/StatusItem.h"
#include "platform/desktop/DBusMenuLayout.h"
#include "platform/desktop/DBusMenuTypes.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

#include <functional>

namespace tickwell {

// Exports the menu model as com.canonical.dbusmenu, so the panel draws the status menu itself.
// Opening the menu (AboutToShow on the root) asks the owner to rebuild it; a clicked item reaches
// the owner after the D-Bus call has returned, since its action may rebuild the menu. The owner
// hears the menu come and go from AboutToShow and the "opened", "closed" and "clicked" events;
// not every panel sends "closed", so the owner must not rely on it alone.
class DBusMenuExporter final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    using Handler = std::function<void(const MenuItem &)>;

    DBusMenuExporter(QDBusConnection bus, QString objectPath);
    ~DBusMenuExporter() override;

    bool isExported() const { return m_exported; }
    QString objectPath() const { return m_objectPath; }

    // Replaces the exported menu and tells the hosts what changed.
    void setMenu(const Menu &menu);
    const Menu &menu() const { return m_menu; }
    void setHandlers(MenuHandlers handlers) { m_handlers = std::move(handlers); }

    uint revision() const { return m_revision; }

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames, tickwell::DBusMenuLayoutItem &layout);
    // Types are spelt out in these signatures: Qt's D-Bus layer finds them by name.
    QList<tickwell::DBusMenuItemProperties> GetGroupProperties(const QList<int> &ids, const QStringList &propertyNames);
    QDBusVariant GetProperty(int id, const QString &name);
    void Event(int id, const QString &eventId, const QDBusVariant &data, uint timestamp);
    QList<int> EventGroup(const QList<tickwell::DBusMenuEvent> &events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors);

Q_SIGNALS:
    void ItemsPropertiesUpdated(const QList<tickwell::DBusMenuItemProperties> &updatedProps,
        const QList<tickwell::DBusMenuItemKeys> &removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    // Returns whether anything the hosts see changed.
    bool publish(const Menu &menu);
    bool rebuildForOpening();
    bool handleEvent(int id, const QString &eventId);
    void sendInvalidId(int id);
    void sendError(const QString &message);

    QDBusConnection m_bus;
    QString m_objectPath;
    bool m_exported = false;
    Menu m_menu;
    DBusMenuLayout m_layout;
    uint m_revision = 0;
    void visibility(bool shown);

    MenuHandlers m_handlers;
    bool m_lastPublishChanged = false;
};

} // namespace tickwell

#include "platform/desktop/DBusMenuExporter.h"

#include <QGuiApplication>

namespace tickwell {

DBusMenuExporter::DBusMenuExporter(QDBusConnection bus, QString objectPath)
    : m_bus(std::move(bus))
    , m_objectPath(std::move(objectPath))
{
    RegisterDBusMenuTypes();
    m_exported = m_bus.isConnected()
        && m_bus.registerObject(m_objectPath, this,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals | QDBusConnection::ExportAllProperties);
}

DBusMenuExporter::~DBusMenuExporter()
{
    if (m_exported)
        m_bus.unregisterObject(m_objectPath);
}

QString DBusMenuExporter::textDirection() const
{
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
}

void DBusMenuExporter::setMenu(const Menu &menu)
{
    m_menu = menu;
    m_lastPublishChanged = publish(m_menu) || m_lastPublishChanged;
}

bool DBusMenuExporter::publish(const Menu &menu)
{
    const DBusMenuLayout::Update update = m_layout.setMenu(menu);
    if (update.layoutChanged) {
        ++m_revision;
        Q_EMIT LayoutUpdated(m_revision, 0);
    } else if (update.changed()) {
        Q_EMIT ItemsPropertiesUpdated(update.updatedProperties, update.removedProperties);
    }
    return update.changed();
}

bool DBusMenuExporter::rebuildForOpening()
{
    bool changed = false;
    if (const auto aboutToShow = m_handlers.aboutToShow) {
        // The owner rebuilds through setMenu; the host fetches again only if something changed.
        m_lastPublishChanged = false;
        aboutToShow();
        changed = m_lastPublishChanged;
    }
    visibility(true);
    return changed;
}

void DBusMenuExporter::visibility(bool shown)
{
    const auto handler = m_handlers.visibility;
    if (!handler)
        return;
    if (shown || !calledFromDBus())
        handler(shown);
    else // what waited for the menu to close may take a while: answer the panel first
        QMetaObject::invokeMethod(this, [handler] { handler(false); }, Qt::QueuedConnection);
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames, DBusMenuLayoutItem &layout)
{
    if (auto node = m_layout.layout(parentId, recursionDepth, propertyNames))
        layout = std::move(*node);
    else
        sendInvalidId(parentId);
    return m_revision;
}

DBusMenuItemPropertiesList DBusMenuExporter::GetGroupProperties(const QList<int> &ids, const QStringList &propertyNames)
{
    DBusMenuItemPropertiesList result;
    for (const int id : ids.isEmpty() ? m_layout.ids() : ids) {
        if (auto properties = m_layout.properties(id, propertyNames))
            result.append({id, std::move(*properties)});
    }
    return result;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString &name)
{
    const auto properties = m_layout.properties(id, {name});
    if (!properties) {
        sendInvalidId(id);
        return {};
    }
    if (!properties->contains(name)) {
        sendError(QStringLiteral("Item %1 has no property %2").arg(QString::number(id), name));
        return {};
    }
    return QDBusVariant(properties->value(name));
}

bool DBusMenuExporter::handleEvent(int id, const QString &eventId)
{
    if (!m_layout.contains(id))
        return false;
    // Submenus open and close inside the open menu; only the root's events count.
    if (id == 0 && (eventId == QLatin1String("opened") || eventId == QLatin1String("closed")))
        visibility(eventId == QLatin1String("opened"));
    if (eventId != QLatin1String("clicked"))
        return true; // "hovered" and the rest: nothing to do
    const MenuItem *item = m_layout.item(id);
    if (!item || item->action.isEmpty() || !item->enabled())
        return true;
    // A copy, delivered once this call has returned: the action may rebuild the menu under it.
    // A click closes the menu, whether or not the panel says so.
    QMetaObject::invokeMethod(this, [this, chosen = *item] {
        visibility(false);
        // A copy: the handler may replace the handlers.
        if (const Handler handler = m_handlers.triggered)
            handler(chosen);
    }, Qt::QueuedConnection);
    return true;
}

void DBusMenuExporter::Event(int id, const QString &eventId, const QDBusVariant &, uint)
{
    if (!handleEvent(id, eventId))
        sendInvalidId(id);
}

QList<int> DBusMenuExporter::EventGroup(const DBusMenuEventList &events)
{
    QList<int> idErrors;
    for (const auto &event : events) {
        if (!handleEvent(event.id, event.eventId))
            idErrors.append(event.id);
    }
    if (!events.isEmpty() && idErrors.size() == events.size())
        sendError(QStringLiteral("None of the items exists"));
    return idErrors;
}

bool DBusMenuExporter::AboutToShow(int id)
{
    if (!m_layout.contains(id)) {
        sendInvalidId(id);
        return false;
    }
    // Submenus are built together with the whole menu when the root opens.
    return id == 0 && rebuildForOpening();
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors)
{
    QList<int> updatesNeeded;
    for (const int id : ids) {
        if (!m_layout.contains(id))
            idErrors.append(id);
        else if (id == 0 && rebuildForOpening())
            updatesNeeded.append(id);
    }
    return updatesNeeded;
}

void DBusMenuExporter::sendInvalidId(int id)
{
    sendError(QStringLiteral("No menu item %1").arg(id));
}

void DBusMenuExporter::sendError(const QString &message)
{
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, message);
}

} // namespace tickwell

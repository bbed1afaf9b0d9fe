#pragma once

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace tickwell {

// The D-Bus types of the com.canonical.dbusmenu interface.

// One node of a menu layout with its children, D-Bus type (ia{sv}av): each child travels as a
// variant holding another node.
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

// The properties of one item, D-Bus type (ia{sv}).
struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

// Names of properties an item lost, D-Bus type (ias).
struct DBusMenuItemKeys {
    int id = 0;
    QStringList names;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;

// One event of EventGroup, D-Bus type (isvu).
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

// A key combination, D-Bus type aas: [["Control", "Q"]].
using DBusMenuShortcut = QList<QStringList>;

// Registers the types above with Qt's D-Bus type system; safe to call more than once.
void RegisterDBusMenuTypes();

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuLayoutItem &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuLayoutItem &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemProperties &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemProperties &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemKeys &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemKeys &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuEvent &event);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuEvent &event);

} // namespace tickwell

Q_DECLARE_METATYPE(tickwell::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(tickwell::DBusMenuItemProperties)
Q_DECLARE_METATYPE(tickwell::DBusMenuItemKeys)
Q_DECLARE_METATYPE(tickwell::DBusMenuEvent)

#include "platform/desktop/DBusMenuLayout.h"

#include "platform/desktop/MenuRenderer.h"

#include <QBuffer>

#include <algorithm>

namespace tickwell {

namespace {

enum class Kind { Separator, Line, Parent };

Kind kindOf(const MenuItem &item)
{
    if (item.separator)
        return Kind::Separator;
    return item.submenu ? Kind::Parent : Kind::Line;
}

QVariantMap filtered(const QVariantMap &properties, const QStringList &names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap result;
    for (const auto &name : names) {
        const auto it = properties.constFind(name);
        if (it != properties.constEnd())
            result.insert(name, *it);
    }
    return result;
}

QVariantMap rootProperties()
{
    return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
}

} // namespace

DBusMenuLayout::DBusMenuLayout()
{
    m_entries.insert(0, Entry{std::nullopt, rootProperties(), {}});
}

QString DBusMenuLayout::label(const MenuItem &item)
{
    // Panels draw labels as plain text: the whole text of the styled runs (a quote's change and
    // percent live only there), without their colours.
    QString text = item.styledTitle ? plainText(*item.styledTitle) : item.title;
    text.replace(QLatin1Char('_'), QStringLiteral("__"));
    return text;
}

QString DBusMenuLayout::keyName(const QString &keyEquivalent)
{
    // Panels look keys up by their X key names: "," alone names no key there.
    static const QHash<QChar, QString> names{{u',', QStringLiteral("comma")}, {u'.', QStringLiteral("period")},
        {u';', QStringLiteral("semicolon")}, {u':', QStringLiteral("colon")}, {u'/', QStringLiteral("slash")},
        {u'\\', QStringLiteral("backslash")}, {u'-', QStringLiteral("minus")}, {u'+', QStringLiteral("plus")},
        {u'=', QStringLiteral("equal")}, {u'[', QStringLiteral("bracketleft")}, {u']', QStringLiteral("bracketright")},
        {u'\'', QStringLiteral("apostrophe")}, {u'`', QStringLiteral("grave")}, {u' ', QStringLiteral("space")},
        {u'?', QStringLiteral("question")}, {u'!', QStringLiteral("exclam")}};
    if (keyEquivalent.size() != 1)
        return keyEquivalent;
    const QChar key = keyEquivalent.front();
    if (const auto it = names.constFind(key); it != names.constEnd())
        return *it;
    // Letters by the name of their key ("q"); with Shift they would be another combination.
    return key.toLower();
}

DBusMenuShortcut DBusMenuLayout::shortcut(const QString &keyEquivalent)
{
    if (keyEquivalent.isEmpty())
        return {};
    return {QStringList{QStringLiteral("Control"), keyName(keyEquivalent)}};
}

QByteArray DBusMenuLayout::pngData(const MenuItem &item)
{
    const QString key = item.imageData.isNull() ? QStringLiteral("name:") + item.image
                                                : QStringLiteral("image:") + QString::number(item.imageData.cacheKey());
    if (const auto it = m_pngCacheNext.constFind(key); it != m_pngCacheNext.constEnd())
        return *it;
    QByteArray png = m_pngCache.value(key);
    if (png.isEmpty()) {
        const QImage image = MenuRenderer::itemImage(item);
        if (image.isNull())
            return {};
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    m_pngCacheNext.insert(key, png);
    return png;
}

QVariantMap DBusMenuLayout::itemProperties(const MenuItem &item)
{
    QVariantMap properties;
    if (item.separator) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    properties.insert(QStringLiteral("label"), label(item));
    if (!item.enabled())
        properties.insert(QStringLiteral("enabled"), false);
    if (!item.image.isEmpty() || !item.imageData.isNull()) {
        const QByteArray png = pngData(item);
        if (!png.isEmpty())
            properties.insert(QStringLiteral("icon-data"), png);
    }
    if (!item.keyEquivalent.isEmpty())
        properties.insert(QStringLiteral("shortcut"), QVariant::fromValue(shortcut(item.keyEquivalent)));
    if (item.submenu)
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    return properties;
}

QList<int> DBusMenuLayout::assign(const Menu &menu, const QList<int> &previousChildren, QHash<int, Entry> &next)
{
    QList<int> ids;
    ids.reserve(qsizetype(menu.size()));
    for (qsizetype index = 0; index < qsizetype(menu.size()); ++index) {
        const MenuItem &item = menu[size_t(index)];
        int id = 0;
        QList<int> previousGrandchildren;
        if (index < previousChildren.size()) {
            const auto previous = m_entries.constFind(previousChildren[index]);
            if (previous != m_entries.constEnd() && previous->item && kindOf(*previous->item) == kindOf(item)) {
                id = previous.key();
                previousGrandchildren = previous->children;
            }
        }
        if (id == 0)
            id = m_nextId++;
        Entry entry{item, itemProperties(item), {}};
        if (item.submenu)
            entry.children = assign(*item.submenu, previousGrandchildren, next);
        next.insert(id, std::move(entry));
        ids.append(id);
    }
    return ids;
}

DBusMenuLayout::Update DBusMenuLayout::setMenu(const Menu &menu)
{
    QHash<int, Entry> next;
    m_pngCacheNext.clear();
    const QList<int> rootChildren = assign(menu, m_entries.value(0).children, next);
    next.insert(0, Entry{std::nullopt, rootProperties(), rootChildren});
    m_pngCache = std::exchange(m_pngCacheNext, {});

    Update update;
    // Kinds match wherever a number was kept, so the layout stayed exactly when every parent has
    // the same children as before.
    update.layoutChanged = next.size() != m_entries.size()
        || std::any_of(next.constKeyValueBegin(), next.constKeyValueEnd(), [this](const auto &pair) {
               const auto previous = m_entries.constFind(pair.first);
               return previous == m_entries.constEnd() || previous->children != pair.second.children;
           });
    if (!update.layoutChanged) {
        for (const int id : orderedIds(next)) {
            const QVariantMap &before = m_entries[id].properties;
            const QVariantMap &after = next[id].properties;
            QVariantMap changed;
            for (auto property = after.constBegin(); property != after.constEnd(); ++property) {
                if (before.value(property.key()) != *property)
                    changed.insert(property.key(), *property);
            }
            QStringList removed;
            for (auto property = before.constBegin(); property != before.constEnd(); ++property) {
                if (!after.contains(property.key()))
                    removed.append(property.key());
            }
            if (!changed.isEmpty())
                update.updatedProperties.append({id, changed});
            if (!removed.isEmpty())
                update.removedProperties.append({id, removed});
        }
    }
    m_entries = std::move(next);
    return update;
}

const MenuItem *DBusMenuLayout::item(int id) const
{
    const auto it = m_entries.constFind(id);
    return it == m_entries.constEnd() || !it->item ? nullptr : &*it->item;
}

QList<int> DBusMenuLayout::orderedIds(const QHash<int, Entry> &entries)
{
    QList<int> result{0};
    // Depth first, in menu order, as a reader of the menu would meet them.
    QList<int> pending = entries.value(0).children;
    std::reverse(pending.begin(), pending.end());
    while (!pending.isEmpty()) {
        const int id = pending.takeLast();
        result.append(id);
        QList<int> children = entries.value(id).children;
        std::reverse(children.begin(), children.end());
        pending.append(children);
    }
    return result;
}

std::optional<DBusMenuLayoutItem> DBusMenuLayout::layout(int parentId, int depth, const QStringList &names) const
{
    const auto it = m_entries.constFind(parentId);
    if (it == m_entries.constEnd())
        return std::nullopt;
    DBusMenuLayoutItem node{parentId, filtered(it->properties, names), {}};
    if (depth != 0) {
        for (const int child : it->children) {
            if (auto childNode = layout(child, depth < 0 ? -1 : depth - 1, names))
                node.children.append(std::move(*childNode));
        }
    }
    return node;
}

std::optional<QVariantMap> DBusMenuLayout::properties(int id, const QStringList &names) const
{
    const auto it = m_entries.constFind(id);
    if (it == m_entries.constEnd())
        return std::nullopt;
    return filtered(it->properties, names);
}

} // namespace tickwell

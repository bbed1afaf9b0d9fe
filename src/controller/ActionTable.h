#pragma once

#include "platform/MenuItem.h"

#include <QHash>
#include <QString>

#include <functional>

namespace tickwell {

// Selector name of a menu action ("selItemUpdateNow:") to the code that runs it.
class ActionTable {
public:
    using Action = std::function<void(const MenuItem &)>;

    void add(const QString &selector, Action action) { m_actions.insert(selector, std::move(action)); }
    bool contains(const QString &selector) const { return m_actions.contains(selector); }

    // False when the item has no action or the action is unknown.
    bool perform(const MenuItem &sender) const
    {
        const auto it = m_actions.constFind(sender.action);
        if (it == m_actions.constEnd())
            return false;
        (*it)(sender);
        return true;
    }

private:
    QHash<QString, Action> m_actions;
};

} // namespace tickwell

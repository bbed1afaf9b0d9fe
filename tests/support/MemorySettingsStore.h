#pragma once

#include "platform/SettingsStore.h"

#include <QVariantMap>

namespace tickwell {

// In-memory settings for tests; counts synchronisations so tests can see them.
class MemorySettingsStore final : public SettingsStore {
public:
    MemorySettingsStore() = default;
    explicit MemorySettingsStore(QVariantMap values) : m_values(std::move(values)) {}

    std::optional<QVariant> value(const QString &key) const override
    {
        const auto it = m_values.constFind(key);
        if (it == m_values.constEnd())
            return std::nullopt;
        return *it;
    }
    void setValue(const QString &key, const QVariant &value) override
    {
        if (!value.isValid())
            m_values.remove(key);
        else
            m_values.insert(key, value);
    }
    void remove(const QString &key) override { m_values.remove(key); }
    void synchronize() override { ++m_syncCount; }

    const QVariantMap &values() const { return m_values; }
    int syncCount() const { return m_syncCount; }

private:
    QVariantMap m_values;
    int m_syncCount = 0;
};

} // namespace tickwell

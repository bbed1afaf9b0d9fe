#pragma once

#include "platform/SettingsStore.h"

#include <QVariantMap>

namespace tickwell {

// In-memory settings for tests.
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
    void synchronize() override {}

    const QVariantMap &values() const { return m_values; }

private:
    QVariantMap m_values;
};

// The seven classic host keys set to the public hosts they default to: the classic pages at their
// usual addresses, with no part read from the live services.
inline QVariantMap ClassicHostSettings()
{
    return QVariantMap{{QStringLiteral("QuotePageHost"), QStringLiteral("finance.yahoo.com")},
                       {QStringLiteral("ChartImageHost"), QStringLiteral("ichart.finance.yahoo.com")},
                       {QStringLiteral("LogoHost"), QStringLiteral("www.nyse.com")},
                       {QStringLiteral("MetalsHost"), QStringLiteral("www.kitco.com")},
                       {QStringLiteral("MarketsHost"), QStringLiteral("money.cnn.com")},
                       {QStringLiteral("OtherIndicesHost"), QStringLiteral("quotes.ino.com")},
                       {QStringLiteral("OrderBookHost"), QStringLiteral("www.batstrading.com")}};
}

} // namespace tickwell

#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace tickwell {

// A per-user settings domain of typed values under text keys.
//
// Values keep their property-list type exactly: bool, qlonglong (integer), double (real),
// QString, QByteArray (data), QDateTime (date), QVariantList (array), QVariantMap (dict).
// A reader that expects a boolean must not accept a number, and so on.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored value, or nothing when the key is absent.
    virtual std::optional<QVariant> value(const QString &key) const = 0;
    // Replaces the value; an invalid (null) QVariant removes the key.
    virtual void setValue(const QString &key, const QVariant &value) = 0;
    virtual void remove(const QString &key) = 0;
    // Makes other processes' writes visible and flushes pending writes.
    virtual void synchronize() = 0;
};

} // namespace tickwell

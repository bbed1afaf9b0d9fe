#pragma once

#include <QDateTime>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <cmath>

namespace tickwell::testing {

// QVariant's own == finds the text "15" equal to true; settings must keep their exact type.
// Reals compare bit for bit but for the NaN payload, so a negative zero is not a zero; dates
// compare their instant and their kind of time.
inline bool StrictlyEqual(const QVariant &a, const QVariant &b)
{
    if (a.typeId() != b.typeId())
        return false;
    switch (a.typeId()) {
    case QMetaType::QVariantList: {
        const QVariantList l = a.toList(), r = b.toList();
        return l.size() == r.size() && std::equal(l.cbegin(), l.cend(), r.cbegin(), StrictlyEqual);
    }
    case QMetaType::QVariantMap: {
        const QVariantMap l = a.toMap(), r = b.toMap();
        return l.keys() == r.keys() && std::equal(l.cbegin(), l.cend(), r.cbegin(), StrictlyEqual);
    }
    case QMetaType::Double: {
        const double l = a.toDouble(), r = b.toDouble();
        if (std::isnan(l) || std::isnan(r))
            return std::isnan(l) && std::isnan(r);
        return l == r && std::signbit(l) == std::signbit(r);
    }
    case QMetaType::QDateTime:
        return a.toDateTime() == b.toDateTime() && a.toDateTime().timeSpec() == b.toDateTime().timeSpec();
    default:
        return a == b;
    }
}

} // namespace tickwell::testing

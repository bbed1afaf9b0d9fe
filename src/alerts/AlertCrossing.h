#pragma once

#include "app/PriceAlertSettings.h"

#include <QDateTime>

#include <optional>

namespace tickwell {

// The state of one threshold between passes. An alert fires when its condition becomes true
// after being false or unknown (at launch everything is unknown, so a condition that already
// holds fires once). After firing it stays quiet until the value comes back across the threshold
// by at least 0.5 % of it, so a price hovering at the line fires once, not at every pass. A pass
// without a readable value changes nothing.
class AlertCrossing {
public:
    enum class Phase { Unknown, Clear, Fired };

    AlertCrossing(AlertKind kind, double threshold) : m_kind(kind), m_threshold(threshold) {}

    // Feeds one value (a price, or the day's change in percent, signed); true when the alert fires.
    bool update(std::optional<double> value, const QDateTime &now);

    double threshold() const { return m_threshold; }
    Phase phase() const { return m_phase; }
    const std::optional<QDateTime> &lastFired() const { return m_lastFired; }

    // Whether the condition holds for the value, and whether the value is far enough back to re-arm.
    static bool holds(AlertKind kind, double threshold, double value);
    static bool rearms(AlertKind kind, double threshold, double value);

private:
    AlertKind m_kind;
    double m_threshold;
    Phase m_phase = Phase::Unknown;
    std::optional<QDateTime> m_lastFired;
};

} // namespace tickwell

#include "alerts/AlertCrossing.h"

#include <cmath>

namespace tickwell {

namespace {

// 0.5 % of the threshold; a division keeps round thresholds exact (150 gives 0.75).
double rearmBand(double threshold)
{
    return std::fabs(threshold) / 200.0;
}

} // namespace

bool AlertCrossing::holds(AlertKind kind, double threshold, double value)
{
    switch (kind) {
    case AlertKind::Above:
        return value >= threshold;
    case AlertKind::Below:
        return value <= threshold;
    case AlertKind::DayMove:
        return std::fabs(value) >= threshold;
    }
    return false;
}

bool AlertCrossing::rearms(AlertKind kind, double threshold, double value)
{
    const double band = rearmBand(threshold);
    switch (kind) {
    case AlertKind::Above:
        return value <= threshold - band;
    case AlertKind::Below:
        return value >= threshold + band;
    case AlertKind::DayMove:
        return std::fabs(value) <= threshold - band;
    }
    return false;
}

bool AlertCrossing::update(std::optional<double> value, const QDateTime &now)
{
    if (!value || !std::isfinite(*value))
        return false;
    if (m_phase == Phase::Fired) {
        if (rearms(m_kind, m_threshold, *value))
            m_phase = Phase::Clear;
        return false;
    }
    if (!holds(m_kind, m_threshold, *value)) {
        m_phase = Phase::Clear;
        return false;
    }
    m_phase = Phase::Fired;
    m_lastFired = now;
    return true;
}

} // namespace tickwell

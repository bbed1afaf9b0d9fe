#include "platform/session/LogindWakeMonitor.h"

namespace tickwell {

namespace {

const QString kPrepareForSleep = QStringLiteral("PrepareForSleep");

} // namespace

LogindWakeMonitor::LogindWakeMonitor(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
}

LogindWakeMonitor::~LogindWakeMonitor()
{
    if (m_connected) {
        m_bus.disconnect(kLogindService, kLogindPath, kLogindManagerInterface, kPrepareForSleep, this,
            SLOT(prepareForSleep(bool)));
    }
}

bool LogindWakeMonitor::start(std::function<void()> onPoweredOn)
{
    if (!m_bus.isConnected())
        return false;
    if (!m_connected) {
        m_connected = m_bus.connect(kLogindService, kLogindPath, kLogindManagerInterface, kPrepareForSleep, this,
            SLOT(prepareForSleep(bool)));
        if (!m_connected)
            return false;
    }
    m_onPoweredOn = std::move(onPoweredOn);
    return true;
}

void LogindWakeMonitor::prepareForSleep(bool goingToSleep)
{
    if (!goingToSleep && m_onPoweredOn)
        m_onPoweredOn();
}

} // namespace tickwell

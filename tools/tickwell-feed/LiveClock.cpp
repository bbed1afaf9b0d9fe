#include "LiveClock.h"

#include <QDateTime>
#include <QTimeZone>

namespace tickwell::feed {

namespace {

const QTimeZone &newYork()
{
    thread_local const QTimeZone zone("America/New_York"); // one per answering thread
    return zone;
}

std::int64_t at(QDate day, int hour, int minute)
{
    return QDateTime(day, QTime(hour, minute), newYork()).toSecsSinceEpoch();
}

bool isWeekday(QDate day)
{
    return day.dayOfWeek() <= 5;
}

} // namespace

MarketClock::MarketClock(std::int64_t now)
    : m_now(now)
{
    QDate day = QDateTime::fromSecsSinceEpoch(now, newYork()).date();
    while (!isWeekday(day) || hoursOf(day).preStart > now)
        day = day.addDays(-1);
    m_session = hoursOf(day);
}

MarketClock MarketClock::current()
{
    return MarketClock(QDateTime::currentSecsSinceEpoch());
}

TradingHours MarketClock::hoursOf(QDate day)
{
    TradingHours hours;
    hours.day = day;
    hours.preStart = at(day, 4, 0);
    hours.regularStart = at(day, 9, 30);
    hours.regularEnd = at(day, 16, 0);
    hours.postEnd = at(day, 20, 0);
    const QDateTime noon(day, QTime(12, 0), newYork());
    hours.gmtOffset = noon.offsetFromUtc();
    hours.zone = newYork().isDaylightTime(noon) ? "EDT" : "EST";
    return hours;
}

std::string MarketClock::marketState() const
{
    if (m_now < m_session.regularStart)
        return m_now >= m_session.preStart ? "PRE" : "CLOSED";
    if (m_now < m_session.regularEnd)
        return "REGULAR";
    return m_now < m_session.postEnd ? "POST" : "CLOSED";
}

QDate MarketClock::previousTradingDay(QDate day)
{
    do
        day = day.addDays(-1);
    while (!isWeekday(day));
    return day;
}

std::string MarketClock::newYorkText(std::int64_t time)
{
    return QDateTime::fromSecsSinceEpoch(time, newYork()).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString();
}

} // namespace tickwell::feed

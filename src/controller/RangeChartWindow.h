#pragma once

#include "live/RangeChartSource.h"
#include "live/SnapshotFromAnswers.h"
#include "platform/Desktop.h"

#include <QString>

namespace tickwell {

// The interactive chart links where the quote pages come from the live services, which have no
// chart pages of their own to open: the chart of the chosen range is fetched beside the event
// loop, drawn, and shown in a window whose "Open Page" opens the service's chart page. A refusal
// or an unreadable answer shows the window with the reason in place of the chart.
class RangeChartWindow {
public:
    RangeChartWindow(UrlLoader &loader, SettingsStore &settings, Desktop &desktop);

    // The chart of `symbol` over the range the link titled `linkTitle` names ("1 Year Share Price
    // Chart"); a title that names no range shows nothing. A choice while one is on its way
    // replaces it.
    void show(const QString &symbol, const QString &linkTitle, const LiveChartColors &colors);
    void cancel() { m_source.cancel(); }
    bool isFetching() const { return m_source.isBusy(); }

private:
    void shown(const QString &symbol, const QString &title, bool beyondADay, const LiveChartColors &colors,
               const RangeChartResult &result);

    RangeChartSource m_source;
    Desktop &m_desktop;
};

} // namespace tickwell

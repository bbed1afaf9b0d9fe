#include "controller/RangeChartWindow.h"

#include "live/DayChart.h"
#include "live/LiveAddresses.h"
#include "sources/ChartLinksGroup.h"

namespace tickwell {

RangeChartWindow::RangeChartWindow(UrlLoader &loader, SettingsStore &settings, Desktop &desktop)
    : m_source(loader, settings)
    , m_desktop(desktop)
{
}

void RangeChartWindow::show(const QString &symbol, const QString &linkTitle, const LiveChartColors &colors)
{
    const auto code = InteractiveChartRangeCode(linkTitle);
    const auto range = code ? LiveChartRangeOf(*code) : std::nullopt;
    const QString trimmed = symbol.trimmed();
    if (!range || trimmed.isEmpty())
        return;
    const QString title = trimmed + QStringLiteral(": ") + linkTitle;
    m_source.fetch(trimmed, *range, [this, trimmed, title, beyondADay = range->beyondADay(), colors](RangeChartResult result) {
        shown(trimmed, title, beyondADay, colors, result);
    });
}

void RangeChartWindow::shown(const QString &symbol, const QString &title, bool beyondADay, const LiveChartColors &colors,
                             const RangeChartResult &result)
{
    ImageToShow window{title, QImage(), QString(), live_address::chartPage(symbol)};
    QString problem = result.problem;
    if (result.chart) {
        if (auto image = DrawRangeChart(*result.chart, beyondADay, colors.up, colors.down)) {
            window.image = std::move(*image);
            // The chart has no axes: the line under it gives its numbers.
            window.text = RangeChartCaption(*result.chart, beyondADay).value_or(QString());
        } else {
            problem = QStringLiteral("too few prices to draw");
        }
    }
    if (window.image.isNull())
        window.text = QStringLiteral("The chart of %1 could not be had: %2").arg(symbol, problem);
    m_desktop.showImage(window);
}

} // namespace tickwell

// The batch saves of ArchiveController: all headlines of one symbol, or of every symbol.
#include "archive/ArchiveController.h"

#include "app/ValueFormatting.h"
#include "archive/OutputFolders.h"
#include "archive/SaveURL.h"

namespace tickwell {

namespace {

constexpr double kRetryWithoutListsSeconds = 20.0;

} // namespace

ArchiveController::BatchStart ArchiveController::beginBatch(bool allSymbols)
{
    StatusItem &item = m_platform.statusItem;
    BatchStart start{item.title(), item.styledTitle(), item.imageName(), item.image()};
    item.setImage(QStringLiteral("Tickwell.tif"), QImage(QStringLiteral(":/images/Tickwell.tif")));
    item.setTitle(QStringLiteral("Saving..."));

    if (allSymbols) {
        if (const std::optional<QString> now = MakeDateTimeString(m_platform.timers.now(), 3, 3))
            m_state.m_downloadHeadlines_DateTimeString = *now;
    }

    ProgressWindow &window = printWindow();
    if (allSymbols) {
        window.setLabel(QStringLiteral("Saving All Headlines"));
        window.setStatus(QString());
        window.setDetail(QString());
    } else {
        window.setStatus(QString());
    }
    // The folder is made here already, so the window's title can show it.
    if (const OutputDirectory folder = PrepareOutputDirectory(m_platform.settings); folder.usable())
        window.setRepresentedFolder(folder.path);
    if (m_prefs.displayTheHeadlineProgressWindow())
        window.orderFront();
    window.startProgress();
    return start;
}

void ArchiveController::endBatch(qsizetype failed, qsizetype begun)
{
    m_state.m_isSaving = false;
    ProgressWindow &window = printWindow();
    window.stopProgress();
    if (failed == 0) {
        window.setStatus(QStringLiteral("Done"));
        window.orderOut();
        return;
    }
    // The lines above named each failure; the last one counts them and stays on screen.
    const QString line = QStringLiteral("Done: %1 of %2 documents could not be saved").arg(QString::number(failed), QString::number(begun));
    window.setStatus(line);
    m_platform.desktop.systemLog(line);
    window.orderFront();
}

void ArchiveController::restoreStatusItem(const BatchStart &start)
{
    StatusItem &item = m_platform.statusItem;
    if (start.styledTitle)
        item.setStyledTitle(*start.styledTitle);
    else
        item.setTitle(start.title);
    item.setImage(start.imageName, start.image);
}

bool ArchiveController::shouldStopBatch()
{
    return !m_state.m_isSaving || events().isQuitting();
}

void ArchiveController::saveHeadlinesTimerAction(const QString &symbol)
{
    m_running = true;
    const BatchStart start = beginBatch(false);
    ProgressWindow &window = printWindow();

    // A copy: a menu build inside one of the waits below replaces every list.
    const auto found = m_state.m_headlines.constFind(symbol);
    const QList<HeadlineRecord> records = found != m_state.m_headlines.constEnd() ? *found : QList<HeadlineRecord>();
    const qsizetype n = records.size();
    qsizetype begun = 0;
    qsizetype failed = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const HeadlineRecord &record = records.at(i);
        ++begun;
        window.setLabel(QStringLiteral("Saving Headlines: %1 of %2").arg(QString::number(i + 1), QString::number(n)));
        window.setStatus(record.title);
        window.setDetail(QStringLiteral("Headline URL: %1").arg(record.url));
        events().runUntil([] { return false; }, 0);
        if (SaveFailed(SaveURL(record.url, record.title, record.timeString, symbol, *this)))
            ++failed;
        if (shouldStopBatch())
            break;
    }

    endBatch(failed, begun);
    m_platform.desktop.systemLog(QStringLiteral("Completed saving headlines for \"%1\"").arg(symbol));
    restoreStatusItem(start);
    finishRun();
}

void ArchiveController::saveAllHeadlinesTimerAction()
{
    m_running = true;
    const BatchStart start = beginBatch(true);
    ProgressWindow &window = printWindow();

    // A copy, as above; N counts what the batch will walk.
    const QMap<QString, QList<HeadlineRecord>> headlines = m_state.m_headlines;
    qsizetype total = 0;
    for (const auto &records : headlines)
        total += records.size();

    qsizetype k = 0;
    qsizetype failed = 0;
    bool stopped = false;
    for (auto it = headlines.constBegin(); it != headlines.constEnd() && !stopped; ++it) {
        const QString &symbol = it.key();
        const qsizetype m = it->size();
        for (qsizetype j = 0; j < m; ++j) {
            const HeadlineRecord &record = it->at(j);
            ++k;
            // One pass: a symbol holding "%4" stays as it is.
            window.setLabel(QStringLiteral("Saving Headlines: %1 of %2 (%3: %4 of %5)")
                                .arg(QString::number(k), QString::number(total), symbol, QString::number(j + 1), QString::number(m)));
            window.setStatus(QStringLiteral("%1 : %2").arg(symbol, record.title));
            window.setDetail(QStringLiteral("Headline URL: %1").arg(record.url));
            events().runUntil([] { return false; }, 0);
            if (SaveFailed(SaveURL(record.url, record.title, record.timeString, symbol, *this)))
                ++failed;
            if (shouldStopBatch()) {
                stopped = true;
                break;
            }
        }
        stopped = stopped || shouldStopBatch();
    }

    endBatch(failed, k);
    restoreStatusItem(start);
    finishRun();
}

void ArchiveController::downloadHeadlinesTimerAction(Timer &timer)
{
    if (!m_state.m_headlines.isEmpty()) {
        selItemSaveAllHeadlines();
        return;
    }
    // No menu has listed any symbol yet: look again soon rather than wait a whole interval.
    timer.setFireDate(m_platform.timers.now().addMSecs(static_cast<qint64>(kRetryWithoutListsSeconds * 1000)));
}

} // namespace tickwell

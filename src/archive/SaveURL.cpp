#include "archive/SaveURL.h"

#include "archive/ArchiveController.h"
#include "archive/DocumentFile.h"
#include "archive/DocumentNames.h"
#include "archive/EngineAnswer.h"
#include "archive/ImageURL.h"
#include "archive/OutputFolders.h"
#include "archive/WebArchiver.h"
#include "platform/session/FileComment.h"
#include "platform/UrlLoader.h"
#include "text/PageFetching.h"
#include "text/StringExtensions.h"

#include <QDir>

#include <cmath>

namespace tickwell {

namespace {

constexpr double kPauseAfterSave = 5.0 / 60.0; // five ticks

QString errorLine(const QString &fileName)
{
    return QStringLiteral("There was an error saving file: %1").arg(fileName);
}

QString seconds(double value)
{
    return QString::number(value, 'g', 6);
}

// A load that ended badly still gives a document when the user stopped it (what had loaded by
// then); otherwise the engine's error page is not the article.
bool usableLoad(PageLoad load, const ArchiveController &controller)
{
    return load == PageLoad::Finished || (load == PageLoad::Failed && controller.stopRequested());
}

// The status line says what failed; the system log keeps it once the line has moved on.
void reportFailure(const QString &line, ArchiveController &controller)
{
    controller.printWindow().setStatus(line);
    controller.platform().desktop.systemLog(line);
}

void reportFailure(DocumentWrite write, const QString &fileName, ArchiveController &controller)
{
    const ArchiveTimeouts &timeouts = controller.timeouts();
    QString line = errorLine(fileName);
    if (write == DocumentWrite::LoadTimedOut)
        line += QStringLiteral(" (the page did not finish loading within %1 seconds)").arg(seconds(timeouts.pageLoad));
    else if (write == DocumentWrite::EngineTimedOut)
        line += QStringLiteral(" (the web engine did not answer within %1 seconds)").arg(seconds(timeouts.engineAnswer));
    else if (!write.reason.isEmpty())
        line += QStringLiteral(" (%1)").arg(write.reason);
    else if (const WebEngine *engine = controller.webView(); engine && !engine->failureReason().isEmpty())
        line += QStringLiteral(" (%1)").arg(engine->failureReason());
    reportFailure(line, controller);
}

} // namespace

PageLoad LoadURL(ArchiveController &controller, const QString &address)
{
    if (!isAcceptableAddress(address))
        return PageLoad::Rejected;
    WebEngine *engine = controller.webView();
    if (!engine)
        return PageLoad::NoEngine;
    // Subscribed before the load starts, so an end that comes at once is not missed.
    ImageURL watcher(controller);
    engine->load(QUrl(address));
    EventWait &events = controller.events();
    if (!events.runUntil([&watcher] { return watcher.loaded(); }, controller.timeouts().pageLoad)) {
        engine->stopLoading();
        // The stopped load reports its last resources; the status line is set after that.
        events.runUntil([&watcher] { return watcher.loaded(); }, controller.timeouts().stopSettle);
        return PageLoad::TimedOut;
    }
    return watcher.succeeded() ? PageLoad::Finished : PageLoad::Failed;
}

std::optional<QSize> GetDocumentViewSize(ArchiveController &controller)
{
    WebEngine *engine = controller.webView();
    if (!engine)
        return std::nullopt;
    const std::optional<std::optional<QSizeF>> size = AwaitEngineAnswer<std::optional<QSizeF>>(
        controller.events(), controller.timeouts().engineAnswer, [engine](auto done) { engine->documentSize(std::move(done)); });
    if (!size)
        return std::nullopt;
    // A page that cannot be measured (no document element) is printed at the view's size.
    const QSizeF document = size->value_or(QSizeF(WebEngine::initialViewSize));
    // Truncated toward zero; a page cannot be smaller than nothing.
    const auto whole = [](double value) { return std::isfinite(value) && value > 0 ? static_cast<int>(std::min(value, 1e6)) : 0; };
    return QSize(whole(document.width()) + 20, whole(document.height()) + 20);
}

DocumentWrite ImageWebViewAsPDF(const QString &folder, const QString &fileName, ArchiveController &controller)
{
    controller.printWindow().setStatus(QStringLiteral("Writing file..."));
    WebEngine *engine = controller.webView();
    if (!engine)
        return DocumentWrite::Failed;
    const std::optional<QSize> size = GetDocumentViewSize(controller);
    if (!size)
        return DocumentWrite::EngineTimedOut;
    engine->resize(*size);
    const std::optional<QByteArray> pdf = AwaitEngineAnswer<QByteArray>(
        controller.events(), controller.timeouts().engineAnswer, [engine, size](auto done) { engine->printToPdf(QSizeF(*size), std::move(done)); });
    if (!pdf)
        return DocumentWrite::EngineTimedOut;
    if (pdf->isEmpty())
        return DocumentWrite::Failed;
    const NewDocument document = WriteNewDocument(folder, fileName, *pdf);
    return document ? DocumentWrite(DocumentWrite::Written) : DocumentWrite(DocumentWrite::Failed, document.reason);
}

DocumentWrite WebArchiveURL(const QString &address, const QString &fileName, const std::optional<QString> &comment,
                            const QString &folder, ArchiveController &controller)
{
    WebArchiver archiver(controller);
    QString text;
    const WebArchiver::Result result = archiver.archiveFromString(address, text);
    controller.printWindow().setStatus(QStringLiteral("Writing file..."));
    if (result.load == PageLoad::TimedOut)
        return DocumentWrite::LoadTimedOut;
    if (!usableLoad(result.load, controller))
        return DocumentWrite::Failed;
    if (!result.answered)
        return DocumentWrite::EngineTimedOut;
    if (result.archive.isEmpty())
        return DocumentWrite::Failed;
    if (const NewDocument document = WriteNewDocument(folder, fileName, result.archive); !document)
        return {DocumentWrite::Failed, document.reason};
    if (comment)
        SetFileComment(QDir(folder).filePath(fileName), *comment); // a refusal leaves the document saved
    return DocumentWrite::Written;
}

SaveOutcome SaveURL(const QString &address, const QString &headlineTitle, const std::optional<QString> &comment,
                    const std::optional<QString> &prefix, ArchiveController &controller)
{
    Platform &platform = controller.platform();
    const QString pageTitle = GetURLTitle(platform.loader, address, platform.timers.now());
    if (pageTitle.isEmpty()) {
        platform.desktop.systemLog(QStringLiteral("The URLs title could not be retreived."));
        controller.printWindow().setStatus(QStringLiteral("The URLs title could not be retreived: %1").arg(address));
        return SaveOutcome::NoTitle;
    }
    const OutputDirectory output = PrepareOutputDirectory(platform.settings);
    const QString &folder = output.path;
    controller.destinationDirectoryPath = output.path;

    const Preferences &prefs = controller.prefs();
    const QString format = prefs.headlineFormat();
    const QString nameSource = prefs.setFilenameToHeadlineArticleName() ? headlineTitle : pageTitle;
    const QString baseName = cleanForFilename(removeExtraWhiteSpace(stringByDecodingHTMLEntities(nameSource)));
    const QString fileName = DocumentFileName(baseName, prefix, DocumentExtension(format), MaxFileNameBytes(folder));

    ProgressWindow &window = controller.printWindow();
    SaveOutcome outcome = SaveOutcome::Saved;
    if (!output.usable()) {
        reportFailure(QStringLiteral("%1 (%2)").arg(errorLine(fileName), output.problem), controller);
        outcome = SaveOutcome::Failed;
    } else if (DocumentExists(folder, fileName)) {
        window.setStatus(QStringLiteral("This file already exists: %1").arg(fileName));
        outcome = SaveOutcome::AlreadyExists;
    } else {
        window.setDetail(QStringLiteral("Saving file: %1").arg(fileName));
        controller.initResourceCounters(baseName, format);
        DocumentWrite write = DocumentWrite::Failed;
        if (IsPdfFormat(format)) {
            const PageLoad load = LoadURL(controller, address);
            if (load == PageLoad::TimedOut)
                write = DocumentWrite::LoadTimedOut;
            else if (usableLoad(load, controller))
                write = ImageWebViewAsPDF(folder, fileName, controller);
            if (write == DocumentWrite::Written && comment)
                SetFileComment(QDir(folder).filePath(fileName), *comment);
        } else {
            write = WebArchiveURL(address, fileName, comment, folder, controller);
        }
        if (!(write == DocumentWrite::Written)) {
            reportFailure(write, fileName, controller);
            outcome = SaveOutcome::Failed;
        }
    }
    controller.events().pause(kPauseAfterSave);
    return outcome;
}

} // namespace tickwell

#pragma once

#include "archive/PageLoad.h"

#include <QSize>
#include <QString>

#include <optional>

namespace tickwell {

class ArchiveController;

// How one save ended; the progress window's status line says the same to the user.
enum class SaveOutcome {
    Saved,
    AlreadyExists, // a file of that name is in the folder: nothing written
    NoTitle,       // the page title could not be had: logged and shown, nothing written
    Failed,        // "There was an error saving file: ..." (the folder cannot be had, the page or the write failed)
};

// Whether the save wrote nothing that it should have: a failure to tell the user about.
inline bool SaveFailed(SaveOutcome outcome)
{
    return outcome == SaveOutcome::NoTitle || outcome == SaveOutcome::Failed;
}

// How writing one document went.
struct DocumentWrite {
    enum Result { Written, Failed, LoadTimedOut, EngineTimedOut };
    DocumentWrite(Result how, QString why = {}) : result(how), reason(std::move(why)) {}
    bool operator==(Result how) const { return result == how; }

    Result result;
    QString reason; // what the system said when the file could not be written
};

// Saves the page at the address as a document in the output folder, named after the page title
// (or the headline, by setting), in the format the settings choose, with the comment (when given)
// as its file comment. Refuses to replace an existing file. A missing download folder is created
// first; a folder that cannot be had or written is a failure like any other, shown on the status
// line and written to the system log.
SaveOutcome SaveURL(const QString &address, const QString &headlineTitle, const std::optional<QString> &comment,
                    const std::optional<QString> &prefix, ArchiveController &controller);

// Loads the address into the web view and returns when the load has ended or its time is up
// (then the load is stopped).
PageLoad LoadURL(ArchiveController &controller, const QString &address);

// The size of the loaded document in whole points, each way 20 points more (the view's size when
// the page has no measurable document); nothing when the engine did not answer in time.
std::optional<QSize> GetDocumentViewSize(ArchiveController &controller);

// Writes the loaded page as a one-page PDF of the document's size into the folder.
DocumentWrite ImageWebViewAsPDF(const QString &folder, const QString &fileName, ArchiveController &controller);

// Loads the page and writes its single-file archive into the folder, with the comment.
DocumentWrite WebArchiveURL(const QString &address, const QString &fileName, const std::optional<QString> &comment,
                            const QString &folder, ArchiveController &controller);

} // namespace tickwell

#pragma once

#include "archive/LoadObserver.h"
#include "archive/PageLoad.h"

#include <QByteArray>
#include <QString>

namespace tickwell {

class ArchiveController;

// Loads one page into the controller's web view and returns it in the engine's single-file
// archive format. Lives for one archive; subscribed to the end of loads from construction until
// that end came or the archiver goes.
class WebArchiver final : public LoadObserver {
public:
    struct Result {
        PageLoad load = PageLoad::Rejected;
        bool answered = false; // the engine answered in time
        QByteArray archive;    // empty when there is none
    };

    explicit WebArchiver(ArchiveController &controller);
    ~WebArchiver() override;
    WebArchiver(const WebArchiver &) = delete;
    WebArchiver &operator=(const WebArchiver &) = delete;

    void webPageFinishedLoading(bool succeeded) override;

    // Loads the address, waits for the end of the load (bounded), stops what is still loading,
    // and asks for the page's text (into `text`) and its archive.
    Result archiveFromString(const QString &address, QString &text);

private:
    ArchiveController &m_controller;
    bool m_subscribed = true;
    bool finishedLoading = false;
    bool m_succeeded = false;
};

} // namespace tickwell

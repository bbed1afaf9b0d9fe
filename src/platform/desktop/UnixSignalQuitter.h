#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace tickwell {

// Turns SIGTERM, SIGINT and SIGHUP (logout, kill, Ctrl+C) into an orderly quit of the event
// loop, so that the termination sequence stores histories and closes log files.
class UnixSignalQuitter final : public QObject {
public:
    UnixSignalQuitter();
    ~UnixSignalQuitter() override;

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace tickwell

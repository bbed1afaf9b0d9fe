#pragma once

#include "text/CString256.h"

#include <QDateTime>

namespace tickwell {

// The writer of one log file: appends lines to the file and nothing else. A writer whose file
// could not be opened writes nothing.
class CLog {
public:
    CLog() = default;
    ~CLog(); // closes a file still open, without a stop line
    CLog(const CLog &) = delete;
    CLog &operator=(const CLog &) = delete;

    // Creates the file when missing, opens it for appending and writes the start line dated now.
    // 0, or the errno of the step that failed (the writer then stays closed).
    int OpenLogFile(const CString256 &path, const QDateTime &now);
    // Appends the line's bytes. 0, or an errno; EBADF when no file is open.
    int Write_Entry(const CString256 &line);
    // Writes the stop line dated now and closes the file; nothing when no file is open.
    void CloseLogFile(const QDateTime &now);

    bool isOpen() const { return m_fileDescriptor >= 0; }

private:
    int writeBytes(std::string_view bytes);

    int m_fileDescriptor = -1;
};

// "[date] Starting logging\n" and "[date] Stopping logging\n", dated with the default date description.
std::string StartLine(const QDateTime &now);
std::string StopLine(const QDateTime &now);

} // namespace tickwell

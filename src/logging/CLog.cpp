#include "logging/CLog.h"

#include "app/ValueFormatting.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tickwell {

namespace {

std::string datedLine(const QDateTime &now, const char *text)
{
    return "[" + DefaultDateDescription(now).toStdString() + "] " + text + "\n";
}

} // namespace

std::string StartLine(const QDateTime &now)
{
    return datedLine(now, "Starting logging");
}

std::string StopLine(const QDateTime &now)
{
    return datedLine(now, "Stopping logging");
}

CLog::~CLog()
{
    if (isOpen())
        ::close(m_fileDescriptor);
}

int CLog::OpenLogFile(const CString256 &path, const QDateTime &now)
{
    if (isOpen()) {
        ::close(m_fileDescriptor);
        m_fileDescriptor = -1;
    }
    // Append mode: every write lands at the end of the file, even if another writer grew it.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return errno;
    m_fileDescriptor = descriptor;
    return writeBytes(StartLine(now));
}

int CLog::Write_Entry(const CString256 &line)
{
    if (!isOpen())
        return EBADF;
    return writeBytes(line.view());
}

void CLog::CloseLogFile(const QDateTime &now)
{
    if (!isOpen())
        return;
    writeBytes(StopLine(now));
    ::close(m_fileDescriptor);
    m_fileDescriptor = -1;
}

int CLog::writeBytes(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fileDescriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

} // namespace tickwell

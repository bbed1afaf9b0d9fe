#include "logging/Loggers.h"

#include "logging/LogFolder.h"
#include "logging/Utf8Cut.h"

namespace tickwell {

CMap<std::unique_ptr<CLog>> gLoggers;

std::unique_ptr<CLog> StartLogging(const QString &symbol, const QDateTime &now)
{
    const auto folder = GetOurApplicationSupportFolder();
    if (!folder)
        return nullptr;
    auto writer = std::make_unique<CLog>();
    if (const auto path = LogFilePath(*folder, LogFileName(symbol)))
        writer->OpenLogFile(*path, now);
    return writer;
}

void startLogging(const Preferences &prefs, const QDateTime &now)
{
    stopLogging(now);
    for (const QString &symbol : prefs.stockSymbols()) {
        std::unique_ptr<CLog> &entry = gLoggers.insert(Utf8CString256(symbol));
        if (entry)
            continue; // listed twice: one writer, one start line
        entry = StartLogging(symbol, now);
    }
}

void stopLogging(const QDateTime &now)
{
    gLoggers.forEach([&now](const CString256 &, std::unique_ptr<CLog> &writer) {
        if (writer) {
            writer->CloseLogFile(now);
            writer.reset();
        }
    });
    gLoggers.clear();
}

CLog *LoggerForSymbol(const QString &symbol)
{
    std::unique_ptr<CLog> *entry = gLoggers.lookup(Utf8CString256(symbol));
    return entry ? entry->get() : nullptr;
}

void LogEntry(CLog *writer, const std::optional<QString> &entry)
{
    if (!writer || !entry)
        return;
    CString256 line = Utf8CString256(*entry);
    if (line.size() < CString256::kCapacity)
        line.append("\r");
    writer->Write_Entry(line);
}

} // namespace tickwell

#pragma once

#include "app/Preferences.h"
#include "logging/CLog.h"
#include "logging/CMap.h"

#include <QDateTime>

#include <memory>

namespace tickwell {

// Symbol (UTF-8) to the writer of its log file, for the whole life of the process. Only the
// main thread uses it.
extern CMap<std::unique_ptr<CLog>> gLoggers;

// A writer of the symbol's log file, opened with its start line; nothing when the log folder
// cannot be found or made. A file that cannot be opened still gives a writer, which writes nothing.
std::unique_ptr<CLog> StartLogging(const QString &symbol, const QDateTime &now);

// Stops any logging, then opens a writer for every watch-list symbol, shown or not.
void startLogging(const Preferences &prefs, const QDateTime &now);
// Closes every writer (each file gets its stop line), also those of symbols removed from the
// watch list since logging started, and empties gLoggers.
void stopLogging(const QDateTime &now);

// The symbol's writer, or nullptr.
CLog *LoggerForSymbol(const QString &symbol);

// Appends one entry: its UTF-8 cut to 255 bytes at a character boundary, then a carriage return
// when it fits. Nothing without a writer or text.
void LogEntry(CLog *writer, const std::optional<QString> &entry);

} // namespace tickwell

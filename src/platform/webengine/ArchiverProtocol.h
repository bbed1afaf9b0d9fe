#pragma once

#include <QByteArray>
#include <QJsonObject>

#include <optional>
#include <vector>

namespace tickwell::archiver {

// The conversation between Tickwell and tickwell-archiver, the process that owns the web engine:
// one JSON object per line, UTF-8, over the helper's standard input (requests) and output
// (events and replies).
//
// Requests: {"op":"load","load":N,"url":...}, {"op":"stop"}, {"op":"resize","width":W,"height":H},
// {"op":"documentSize","id":N}, {"op":"printToPdf","id":N,"width":W,"height":H,"path":...},
// {"op":"archive","id":N,"path":...}, {"op":"pageText","id":N}, {"op":"ping","id":N}, {"op":"quit"}.
// Events: {"event":"hello","protocol":P} first, then per load N: "loading" (the request arrived),
// "loadStarted", "title" (with "title"), "resourceStarted", "resourceFinished", "resourceFailed",
// "progressFinished" (with "ok"), each with "load":N. Replies: {"reply":N,"ok":bool,...} with
// "width"/"height" for documentSize and "text" for pageText. Documents are written by the helper
// to the path given, never anywhere else.
constexpr int kProtocolVersion = 1;

// Longer lines are a broken peer, not a message (page text is cut well below this).
constexpr qsizetype kMaxLineBytes = 16 * 1024 * 1024;
constexpr qsizetype kMaxPageTextChars = 4 * 1024 * 1024;

// One message as a line, the line feed included.
QByteArray EncodeMessage(const QJsonObject &message);

// The message on a line (without its line feed), or nothing when it is not a JSON object.
std::optional<QJsonObject> DecodeMessage(const QByteArray &line);

// Cuts a byte stream into lines as it arrives.
class LineReader {
public:
    // The lines completed by these bytes, without their line feeds; empty lines are dropped.
    // Once a line grows past kMaxLineBytes the reader is broken and gives nothing more.
    std::vector<QByteArray> feed(const QByteArray &bytes);
    bool broken() const { return m_broken; }

private:
    QByteArray m_partial;
    bool m_broken = false;
};

} // namespace tickwell::archiver

#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>

#include "text/SearchableText.h"

namespace tickwell {

// The page-content store (m_urlContents): what the latest refresh fetched, keyed by the full
// address text. Pages keep their text, decoded once when stored and ready for the pattern searches
// of the cut, until dropPageTexts(); images are kept decoded.
class PageStore {
public:
    struct Entry {
        SearchableText text;
        QImage image;
        bool isImage = false;
    };

    void clear() { m_entries.clear(); }
    void storePage(const QString &address, const QByteArray &bytes);
    void storeImage(const QString &address, const QImage &image);
    // Once the pages are cut into quotes only their images are read again: the texts (decoded and
    // case-folded, several megabytes for a long watch list) go, the addresses stay.
    void dropPageTexts();

    // The decoded text of a stored page, or nullptr.
    const SearchableText *pageText(const QString &address) const;
    // A stored image, or nullptr.
    const QImage *image(const QString &address) const;

    bool contains(const QString &address) const { return m_entries.contains(address); }
    qsizetype size() const { return m_entries.size(); }

private:
    QHash<QString, Entry> m_entries;
};

} // namespace tickwell

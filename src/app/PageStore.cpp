#include "app/PageStore.h"

#include "text/PageDecoding.h"

namespace tickwell {

void PageStore::storePage(const QString &address, const QByteArray &bytes)
{
    Entry entry;
    entry.text = SearchableText(DecodePageBytes(bytes));
    m_entries.insert(address, std::move(entry));
}

void PageStore::storeImage(const QString &address, const QImage &image)
{
    Entry entry;
    entry.image = image;
    entry.isImage = true;
    m_entries.insert(address, std::move(entry));
}

void PageStore::dropPageTexts()
{
    for (Entry &entry : m_entries)
        entry.text = SearchableText();
}

const SearchableText *PageStore::pageText(const QString &address) const
{
    const auto it = m_entries.constFind(address);
    return it == m_entries.constEnd() || it->isImage ? nullptr : &it->text;
}

const QImage *PageStore::image(const QString &address) const
{
    const auto it = m_entries.constFind(address);
    return it == m_entries.constEnd() || !it->isImage ? nullptr : &it->image;
}

} // namespace tickwell

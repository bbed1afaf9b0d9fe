// File names made from page titles and symbols: one plain entry of the folder, within the
// length the file system takes, with the extension kept.

#include "FuzzCheck.h"
#include "archive/DocumentNames.h"

#include <QFile>

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace tickwell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    // First byte: the length limit; second: whether there is a prefix; the rest: prefix and title
    // split at the first line feed.
    const int maxBytes = 32 + data[0];
    const bool hasPrefix = data[1] & 1;
    const QString rest = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(size - 2));
    const qsizetype split = rest.indexOf(u'\n');
    const QString prefix = split < 0 ? QString() : rest.left(split);
    const QString title = split < 0 ? rest : rest.mid(split + 1);
    for (const QString &extension : { QStringLiteral("pdf"), QStringLiteral("webarchive") }) {
        const QString name = DocumentFileName(title, hasPrefix ? std::optional(prefix) : std::nullopt, extension, maxBytes);
        FUZZ_CHECK(!name.contains(u'/'));
        FUZZ_CHECK(std::none_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; }));
        FUZZ_CHECK(name.endsWith(u'.' + extension));
        FUZZ_CHECK(name != u'.' + extension);
        FUZZ_CHECK(QFile::encodeName(name).size() <= maxBytes);
    }
    return 0;
}

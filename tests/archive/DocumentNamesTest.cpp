#include "ArchiveFixture.h"

#include "archive/DocumentFile.h"
#include "archive/DocumentNames.h"

namespace tickwell::testing {
namespace {

TEST(DocumentNamesTest, NamesFromBasePrefixAndFormat)
{
    const struct { QString base; std::optional<QString> prefix; const char *format; QString expected; } cases[] = {
        {"Acme beats", "AAPL", "PDF", "[AAPL] Acme beats.pdf"},
        {"Acme beats", "AAPL", "pdf", "[AAPL] Acme beats.webarchive"}, // only "PDF" selects PDF
        // Whatever a title or symbol holds, the name stays one entry of the folder.
        {"../../etc/passwd", std::nullopt, "PDF", "..-..-etc-passwd.pdf"},
        {"x", "../up", "PDF", "[..-up] x.pdf"},
        {"   ", "MSFT", "PDF", "[MSFT] (No Title).pdf"},
        {QStringLiteral("Line\nbreak\r") + QChar(0) + QStringLiteral("tail\x7f"), std::nullopt, "PDF", "Line break  tail .pdf"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DocumentFileName(c.base, c.prefix, DocumentExtension(QString::fromLatin1(c.format))), c.expected) << c.base.toStdString();
}

// Long titles: the name fits the limit, keeps prefix and extension, and is cut between characters.
TEST(DocumentNamesTest, LongTitlesAreCutAtACharacterBoundaryToFit)
{
    const QString units[] = {QStringLiteral("a"), QString::fromUtf8("\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7")};
    for (const QString &unit : units) {
        for (int limit : {255, 40}) {
            const QString name = DocumentFileName(unit.repeated(300), QStringLiteral("BRK.B"), QStringLiteral("webarchive"), limit);
            const QByteArray bytes = QFile::encodeName(name);
            EXPECT_TRUE(bytes.size() <= limit && bytes.size() > limit - 12) << name.toStdString();
            EXPECT_TRUE(name.startsWith(QStringLiteral("[BRK.B] ")) && name.endsWith(QStringLiteral(".webarchive")));
            EXPECT_EQ((name.size() - 8 - 11) % unit.size(), 0); // no character split
        }
    }
    const QString fits = QStringLiteral("x").repeated(255 - 4);
    EXPECT_EQ(DocumentFileName(fits, std::nullopt, QStringLiteral("pdf")), fits + QStringLiteral(".pdf"));
    EXPECT_LE(QFile::encodeName(DocumentFileName(QStringLiteral("T"), QStringLiteral("S").repeated(400), QStringLiteral("pdf"))).size(), 255);
    // Spaces up to the cut leave no title: never a hidden ".pdf" (found by fuzz_document_names).
    EXPECT_EQ(DocumentFileName(QString(30, u' ') + u'/', std::nullopt, QStringLiteral("pdf"), 32), QStringLiteral("(No Title).pdf"));
}

TEST(DocumentFileTest, WritesOnlyNewFilesInsideTheFolder)
{
    QTemporaryDir folder;
    ASSERT_TRUE(WriteNewDocument(folder.path(), QStringLiteral("a.pdf"), "first"));
    EXPECT_FALSE(WriteNewDocument(folder.path(), QStringLiteral("a.pdf"), "second"));
    for (const char *name : {"", ".", "..", "../escape.pdf", "sub/inner.pdf"})
        EXPECT_FALSE(WriteNewDocument(folder.path(), QString::fromLatin1(name), "x")) << name;
    EXPECT_FALSE(WriteNewDocument(folder.filePath(QStringLiteral("a.pdf")), QStringLiteral("b.pdf"), "x")); // a file is no folder
    QFile file(folder.filePath(QStringLiteral("a.pdf")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == "first");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), QStringList{QStringLiteral("a.pdf")}); // no temporary file left

    // Anything but a clean "no such file" counts as existing: nothing is written under it.
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("nowhere")), folder.filePath(QStringLiteral("dangling.pdf"))));
    EXPECT_TRUE(DocumentExists(folder.path(), QStringLiteral("dangling.pdf")));
    EXPECT_TRUE(DocumentExists(folder.path(), QStringLiteral("x").repeated(300)));
    EXPECT_FALSE(DocumentExists(folder.path(), QStringLiteral("b.pdf")));
}

} // namespace
} // namespace tickwell::testing

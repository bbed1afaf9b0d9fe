#include "archive/DocumentFile.h"
#include "archive/DocumentNames.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextBoundaryFinder>

#include <sys/stat.h>

namespace tickwell::testing {
namespace {

struct NameCase {
    const char *base;
    std::optional<const char *> prefix;
    const char *format;
    const char *expected;
};

TEST(DocumentNamesTest, NamesFromBasePrefixAndFormat)
{
    const NameCase cases[] = {
        {"A-B- C", std::nullopt, "Web Archive", "A-B- C.webarchive"},
        {"A-B- C", std::nullopt, "PDF", "A-B- C.pdf"},
        {"Acme beats", "AAPL", "PDF", "[AAPL] Acme beats.pdf"},
        {"Acme beats", "AAPL", "pdf", "[AAPL] Acme beats.webarchive"}, // only "PDF" selects PDF
        {"Acme beats", "AAPL", "", "[AAPL] Acme beats.webarchive"},
        // Whatever a title or symbol holds, the name stays one entry of the folder.
        {"../../etc/passwd", std::nullopt, "PDF", "..-..-etc-passwd.pdf"},
        {"..", std::nullopt, "PDF", "...pdf"},
        {"x", "../up", "PDF", "[..-up] x.pdf"},
        {"", std::nullopt, "PDF", "(No Title).pdf"},
        {"   ", "MSFT", "PDF", "[MSFT] (No Title).pdf"},
    };
    for (const auto &c : cases) {
        const std::optional<QString> prefix = c.prefix ? std::optional(QString::fromUtf8(*c.prefix)) : std::nullopt;
        EXPECT_EQ(DocumentFileName(QString::fromUtf8(c.base), prefix, DocumentExtension(QString::fromUtf8(c.format))),
                  QString::fromUtf8(c.expected))
            << c.base;
    }
}

TEST(DocumentNamesTest, ControlCharactersAndNulNeverReachTheFileSystem)
{
    const QString base = QStringLiteral("Line\nbreak\r") + QChar(0) + QStringLiteral("tail\x7f");
    const QString name = DocumentFileName(base, std::nullopt, QStringLiteral("pdf"));
    EXPECT_EQ(name, QStringLiteral("Line break  tail .pdf"));
    EXPECT_FALSE(name.contains(QChar(0)));
}

// Long titles: the name fits the limit, keeps prefix and extension, and is cut between characters.
TEST(DocumentNamesTest, LongTitlesAreCutAtACharacterBoundaryToFit)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x88");       // 4 bytes, a surrogate pair
    const QString accented = QString::fromUtf8("e\xCC\x81");           // e + combining acute: one character
    const QString family = QString::fromUtf8("\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7"); // joined sequence
    const QString units[] = {QStringLiteral("a"), QString::fromUtf8("\xC3\xA9"), emoji, accented, family};
    for (const QString &unit : units) {
        for (int limit : {255, 143, 40}) {
            const QString base = unit.repeated(300);
            const QString name = DocumentFileName(base, QStringLiteral("BRK.B"), QStringLiteral("webarchive"), limit);
            const QByteArray bytes = QFile::encodeName(name);
            EXPECT_LE(bytes.size(), limit) << name.toStdString();
            EXPECT_GT(bytes.size(), limit - 12) << "cut far more than needed";
            EXPECT_TRUE(name.startsWith(QStringLiteral("[BRK.B] ")));
            EXPECT_TRUE(name.endsWith(QStringLiteral(".webarchive")));
            const QString kept = name.mid(8, name.size() - 8 - 11);
            EXPECT_EQ(kept.size() % unit.size(), 0) << "a character was split";
            EXPECT_EQ(QString::fromUtf8(bytes), name) << "invalid UTF-8";
        }
    }
}

TEST(DocumentNamesTest, NamesThatFitAreLeftAlone)
{
    const QString base = QStringLiteral("x").repeated(255 - 4);
    EXPECT_EQ(DocumentFileName(base, std::nullopt, QStringLiteral("pdf")), base + QStringLiteral(".pdf"));
    EXPECT_EQ(DocumentFileName(base + QStringLiteral("y"), std::nullopt, QStringLiteral("pdf")), base + QStringLiteral(".pdf"));
}

TEST(DocumentNamesTest, APrefixTooLongForAnyTitleIsCutToo)
{
    const QString name = DocumentFileName(QStringLiteral("Title"), QStringLiteral("S").repeated(400), QStringLiteral("pdf"));
    EXPECT_LE(QFile::encodeName(name).size(), 255);
    EXPECT_TRUE(name.startsWith(QStringLiteral("[SSS")));
    EXPECT_TRUE(name.endsWith(QStringLiteral("] Title.pdf")));
}

TEST(DocumentNamesTest, FileSystemNameLimitIsAsked)
{
    QTemporaryDir folder;
    EXPECT_EQ(MaxFileNameBytes(folder.path()), 255);
    EXPECT_EQ(MaxFileNameBytes(folder.filePath(QStringLiteral("missing"))), 255);
}

class DocumentFileTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return QDir(m_folder.path()).filePath(name); }
    QStringList entries() const { return QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot); }

    QTemporaryDir m_folder;
};

TEST_F(DocumentFileTest, WritesANewFileWithTheUsualPermissionsAndNothingElse)
{
    const mode_t old = ::umask(022);
    ASSERT_TRUE(WriteNewDocument(m_folder.path(), QStringLiteral("a.pdf"), "%PDF-1.4"));
    ::umask(old);
    QFile file(path(QStringLiteral("a.pdf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("%PDF-1.4"));
    EXPECT_EQ(QFileInfo(file).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteGroup), QFile::ReadOther);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("a.pdf")}); // no temporary file left
}

TEST_F(DocumentFileTest, NeverReplacesWhatIsThere)
{
    ASSERT_TRUE(WriteNewDocument(m_folder.path(), QStringLiteral("a.pdf"), "first"));
    EXPECT_FALSE(WriteNewDocument(m_folder.path(), QStringLiteral("a.pdf"), "second"));
    QFile file(path(QStringLiteral("a.pdf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("first"));
    EXPECT_EQ(entries().size(), 1);
}

TEST_F(DocumentFileTest, RefusesNamesThatLeaveTheFolder)
{
    for (const char *name : {"", ".", "..", "../escape.pdf", "sub/inner.pdf"})
        EXPECT_FALSE(WriteNewDocument(m_folder.path(), QString::fromLatin1(name), "x")) << name;
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(DocumentFileTest, FailsCleanlyWhereNothingCanBeWritten)
{
    QFile plain(path(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_FALSE(WriteNewDocument(path(QStringLiteral("missing")), QStringLiteral("a.pdf"), "x"));
    EXPECT_FALSE(WriteNewDocument(path(QStringLiteral("plain")), QStringLiteral("a.pdf"), "x")) << "a file is no folder";
    EXPECT_EQ(entries(), QStringList{QStringLiteral("plain")});
}

TEST_F(DocumentFileTest, AnythingButACleanNoSuchFileCountsAsExisting)
{
    EXPECT_FALSE(DocumentExists(m_folder.path(), QStringLiteral("a.pdf")));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("nowhere")), path(QStringLiteral("dangling.pdf"))));
    EXPECT_TRUE(DocumentExists(m_folder.path(), QStringLiteral("dangling.pdf")));
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(QStringLiteral("folder.pdf")));
    EXPECT_TRUE(DocumentExists(m_folder.path(), QStringLiteral("folder.pdf")));
    // A name too long to look up is not "no such file": nothing would be written under it.
    EXPECT_TRUE(DocumentExists(m_folder.path(), QStringLiteral("x").repeated(300)));
}

} // namespace
} // namespace tickwell::testing

// "Start Tickwell when you log in" and the Help links, clicked in the preferences window.
#include "PrefFixture.h"

#include "platform/session/InstallLayout.h"

#include <QFileInfo>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

class StartAtLoginTest : public PrefFixture {
protected:
    void SetUp() override
    {
        PrefFixture::SetUp();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        autostartFolder = m_config.filePath(u"autostart"_s);
        entry = autostartFolder + u"/com.brantlow.Tickwell.desktop"_s;
    }

    void writeEntry(const QByteArray &text)
    {
        QDir().mkpath(autostartFolder);
        QFile file(entry);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QStringList autostartFiles() const { return QDir(autostartFolder).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    void click() { window().startAtLoginButton->click(); }

    QString autostartFolder, entry;

private:
    QTemporaryDir m_config;
};

TEST_F(StartAtLoginTest, TickingWritesExactlyTheEntryAndUntickingRemovesIt)
{
    writeEntry("[Desktop Entry]\nType=Application\nName=Other\nExec=other\n");
    QFile::rename(entry, autostartFolder + u"/other.desktop"_s); // another program's entry stays alone
    EXPECT_FALSE(window().startAtLoginButton->isChecked());

    click();
    EXPECT_TRUE(window().startAtLoginButton->isChecked());
    EXPECT_EQ(autostartFiles(), QStringList({u"com.brantlow.Tickwell.desktop"_s, u"other.desktop"_s}));
    // The Exec line names the built program beside this one, plainly when its path needs no quotes.
    QFile written(entry);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QFileInfo program(QString::fromUtf8(written.readAll()).section(u"\nExec="_s, 1).section(u'\n', 0, 0));
    EXPECT_TRUE(program.isFile() && program.isExecutable());
    EXPECT_EQ(program.filePath(), InstallLayout::programDirectory() + u"/tickwell"_s);
    EXPECT_EQ(settings.values(), ClassicHostSettings()); // the file is the state, not a setting

    click();
    EXPECT_FALSE(window().startAtLoginButton->isChecked());
    EXPECT_EQ(autostartFiles(), QStringList({u"other.desktop"_s}));
}

// The session's own settings switch an entry off without removing it; the box shows what the
// session will do (read again each time the window is shown), and ticking it writes an entry that starts.
TEST_F(StartAtLoginTest, TheBoxShowsWhatTheSessionWillDo)
{
    const struct { const char *name; QByteArray file; bool ticked; } cases[] = { // a null file: none
        {"no entry", {}, false},
        {"plain entry", "[Desktop Entry]\nType=Application\nExec=tickwell\n", true},
        {"hidden", "[Desktop Entry]\nType=Application\nExec=tickwell\nHidden=true\n", false},
        {"switched off by GNOME", "[Desktop Entry]\nExec=tickwell\nX-GNOME-Autostart-enabled=false\n", false},
        {"key of another group", "[Desktop Entry]\nExec=tickwell\n[Desktop Action x]\nHidden=true\n", true},
        {"no entry group", "Exec=tickwell\n", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(entry);
        if (!c.file.isNull())
            writeEntry(c.file);
        pref().showWindow(); // showing the window reads the file again
        EXPECT_EQ(window().startAtLoginButton->isChecked(), c.ticked);
        if (!c.ticked) {
            click();
            reopen();
            EXPECT_TRUE(window().startAtLoginButton->isChecked());
        }
    }
}

TEST_F(StartAtLoginTest, AnEntryThatCannotBeWrittenLeavesTheBoxUnticked)
{
    ASSERT_TRUE(QFile(autostartFolder).open(QIODevice::WriteOnly)); // a file where the folder should be
    click();
    EXPECT_FALSE(window().startAtLoginButton->isChecked());
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(desktop.systemLogLines().filter(u"autostart"_s).size(), 1);
}

using HelpTest = PrefFixture;

// Help and the link line open the README built beside the programs, a local page that exists.
TEST_F(HelpTest, HelpAndTheLinkLineOpenTheLocalDocumentation)
{
    window().helpButton->click();
    ASSERT_EQ(desktop.lines().size(), 1);
    const QString opened = desktop.lines().first().mid(u"open: "_s.size());
    EXPECT_TRUE(QFileInfo(opened).isFile() && opened.endsWith(u"/README.html"_s)) << opened.toStdString();

    QLabel *link = window().linkTextField;
    const QString href = link->text().section(u"href=\""_s, 1).section(u'"', 0, 0);
    EXPECT_EQ(QUrl(href).toLocalFile(), opened);
    emit link->linkActivated(href);
    EXPECT_EQ(desktop.lines(), QStringList({u"open: "_s + opened, u"open: "_s + opened}));
}

} // namespace
} // namespace tickwell::testing

// The real tickwell on real panels: xfce4-panel and lxqt-panel (their status trays are a
// StatusNotifierWatcher and host) on an X server and a session bus of the test's own, tickwell
// against the local quote feed. In the panel's menu form the menu is read and clicked over D-Bus
// as the panel does; in the own form the icon is clicked with xdotool and tickwell's windows are
// read from the X server. What a click opens is recorded by a stand-in xdg-open, which Qt's
// desktop services run for web addresses.
#include "SniBus.h"
#include "support/FeedProcess.h"

#include <QDBusObjectPath>
#include <QDir>
#include <QImage>
#include <QRect>
#include <QRegularExpression>
#include <QtEndian>

#include <optional>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

// Every label of a layout, depth first, with the id of its item.
void CollectLabels(const DBusMenuLayoutItem &node, QList<std::pair<int, QVariantMap>> &out)
{
    for (const auto &child : node.children) {
        out.append({child.id, child.properties});
        CollectLabels(child, out);
    }
}

// An X server, a session bus and a home of the test's own; a real panel on them; the real
// tickwell against the local feed, with a watch list, the metals and the market indices.
class RealPanelTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (QProcess *process : {&app, &panelProcess, &bus}) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished(3000);
            }
        }
        connection.reset();
        QDBusConnection::disconnectFromBus(u"real-panel-test"_s);
    }

    // Starts everything with the menu in the given form; on return the item is registered with
    // the panel's watcher (or the test has failed or been skipped).
    void startSession(const QString &panelProgram, const char *menuForm)
    {
        const QString panel = QStandardPaths::findExecutable(panelProgram);
        if (!server.isRunning() || panel.isEmpty() || QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
            GTEST_SKIP() << "needs Xvfb, xdotool and " << panelProgram.toStdString() << " (scripts/bootstrap installs them)";
        ASSERT_FALSE(feed.host().isEmpty()) << "tickwell-feed did not start";
        // A session bus that starts services on demand: xfce4-panel keeps its settings in xfconfd.
        const QString busAddress = StartAndReadAddress(bus, u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--nopidfile"_s, u"--print-address=1"_s});
        ASSERT_FALSE(busAddress.isEmpty()) << "dbus-daemon did not start";

        environment = SessionEnvironment(home, server.display, busAddress);
        QDir(home.path()).mkpath(u".config/lxqt"_s);
        // lxqt-panel without a layout of its own has no status tray: one panel along the top
        // with only that, as xfce4-panel's default layout has it at the top too.
        writeFile(u".config/lxqt/panel.conf"_s, u"[General]\n__userfile__=true\npanels=panel1\n\n[panel1]\nplugins=statusnotifier\n"
                                                "position=Top\npanelSize=32\niconSize=22\nalignment=-1\nwidth=100\nwidth-percent=true\n\n"
                                                "[statusnotifier]\ntype=statusnotifier\n"_s);

        panelProcess.setProcessEnvironment(environment);
        panelProcess.setProcessChannelMode(QProcess::MergedChannels);
        panelProcess.start(panel, panelProgram == u"xfce4-panel"_s ? QStringList{u"--disable-wm-check"_s} : QStringList{});
        ASSERT_TRUE(panelProcess.waitForStarted(5000));

        connection.emplace(QDBusConnection::connectToBus(busAddress, u"real-panel-test"_s));
        ASSERT_TRUE(connection->isConnected());
        RegisterDBusMenuTypes();
        ASSERT_TRUE(WaitUntil([&] { return connection->interface()->isServiceRegistered(u"org.kde.StatusNotifierWatcher"_s).value(); }, 30000))
            << "the panel's status tray never became the watcher:\n" << panelProcess.readAll().toStdString();

        QString settings = u"<key>LogToConsole</key><false/>\n<key>PanelMenu</key><string>%1</string>\n"
                           "<key>StockSymbols</key><array><string>ACME</string><string>BETA</string></array>\n"
                           "<key>CompanyShares</key><dict><key>ACME</key><string>100</string></dict>\n"
                           "<key>ShowMarketIndicesInMenu</key><true/>\n<key>ShowPreciousMetalsInMenu</key><true/>\n"_s.arg(QLatin1String(menuForm));
        for (const char *key : {"QuotePageHost", "ChartImageHost", "LogoHost", "MetalsHost", "MarketsHost", "OtherIndicesHost", "OrderBookHost"})
            settings += u"<key>%1</key><string>%2</string>\n"_s.arg(QLatin1String(key), feed.host());
        writeFile(u".config/com.brantlow.Tickwell.plist"_s,
            u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n%1</dict>\n</plist>\n"_s.arg(settings));
        opened = home.filePath(u"opened.txt"_s);
        writeFile(u"bin/xdg-open"_s, u"#!/bin/sh\nprintf '%s\\n' \"$*\" >> '%1'\n"_s.arg(opened));
        QFile::setPermissions(home.filePath(u"bin/xdg-open"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        app.setProcessEnvironment(environment);
        app.setProcessChannelMode(QProcess::MergedChannels);
        app.start(ToolDir() + u"/tickwell"_s, {});
        ASSERT_TRUE(app.waitForStarted(5000));
        service = u"org.kde.StatusNotifierItem-%1-1"_s.arg(app.processId());
        const auto registered = [&] {
            return Call(*connection, u"org.kde.StatusNotifierWatcher"_s, u"/StatusNotifierWatcher"_s, u"org.freedesktop.DBus.Properties"_s,
                u"Get"_s, {u"org.kde.StatusNotifierWatcher"_s, u"RegisteredStatusNotifierItems"_s})
                .arguments().value(0).value<QDBusVariant>().variant().toStringList();
        };
        ASSERT_TRUE(WaitUntil([&] { return registered().contains(service + u"/StatusNotifierItem"_s); }, 30000))
            << "not registered with the panel: " << registered().join(u", "_s).toStdString() << "\n" << app.readAll().toStdString();
    }

    void writeFile(const QString &relativePath, const QString &text)
    {
        QFile file(home.filePath(relativePath));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    // The whole menu after the panel's AboutToShow, every label depth first with its item's id.
    QList<std::pair<int, QVariantMap>> openMenu()
    {
        MenuCall(*connection, service, u"AboutToShow"_s, {0});
        QList<std::pair<int, QVariantMap>> items;
        CollectLabels(FetchLayout(*connection, service).second, items);
        return items;
    }

    // What an X tool (xdotool, xwd) run on the session's display printed; nothing if it failed.
    std::optional<QByteArray> onDisplay(const QString &program, const QStringList &arguments)
    {
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(program, arguments);
        if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
            return std::nullopt;
        return tool.readAllStandardOutput();
    }
    bool xdotool(const QStringList &arguments) { return onDisplay(u"xdotool"_s, arguments).has_value(); }

    // The screen as xwd writes it: a big-endian header, the colour map, then the pixels.
    QImage screen()
    {
        const QByteArray dump = onDisplay(u"xwd"_s, {u"-root"_s, u"-silent"_s}).value_or(QByteArray());
        const auto field = [&](int index) { return dump.size() < 100 ? 0 : int(qFromBigEndian<quint32>(dump.constData() + 4 * index)); };
        const qsizetype pixels = field(0) + qsizetype(field(19)) * 12;
        const int bitsPerPixel = field(11); // 24 or 32, in the server's (little-endian) byte order
        if ((bitsPerPixel != 24 && bitsPerPixel != 32) || dump.size() < pixels + qsizetype(field(12)) * field(5))
            return {};
        return QImage(reinterpret_cast<const uchar *>(dump.constData() + pixels), field(4), field(5), field(12),
            bitsPerPixel == 32 ? QImage::Format_RGB32 : QImage::Format_BGR888).copy();
    }

    // The tallest window tickwell has mapped (by _NET_WM_PID, which Qt sets on every window, menus included).
    QRect tallestWindow()
    {
        QRect tallest;
        const auto windows = onDisplay(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(app.processId())});
        for (const QByteArray &id : windows.value_or(QByteArray()).split('\n')) {
            QMap<QByteArray, int> geometry;
            for (const QByteArray &line : onDisplay(u"xdotool"_s, {u"getwindowgeometry"_s, u"--shell"_s, QString::fromLatin1(id)}).value_or(QByteArray()).split('\n'))
                geometry.insert(line.left(line.indexOf('=')), line.mid(line.indexOf('=') + 1).toInt());
            const QRect window(geometry.value("X"), geometry.value("Y"), geometry.value("WIDTH"), geometry.value("HEIGHT"));
            if (!id.isEmpty() && window.height() > tallest.height())
                tallest = window;
        }
        return tallest;
    }

    OwnXServer server;
    FeedProcess feed;
    QTemporaryDir home;
    QProcess bus, panelProcess, app;
    QProcessEnvironment environment;
    std::optional<QDBusConnection> connection;
    QString service; // the item's bus name
    QString opened;  // what the stand-in xdg-open was asked to open
};

TEST_F(RealPanelTest, TheItemRegistersShowsChangesAndOpensTheQuotePage)
{
    // The panel's own menu, drawn from the dbusmenu export.
    startSession(u"xfce4-panel"_s, "panel");
    if (HasFatalFailure() || IsSkipped())
        return;
    EXPECT_EQ(ItemProperty(*connection, service, u"Menu"_s).value<QDBusObjectPath>().path(), u"/MenuBar"_s);
    // The launch refresh runs beside the event loop: the menu shows quotes once it has ended.
    // Closed again after each look: what ended while the menu was open is handed over when it closes.
    WaitUntil([&] {
        const auto items = openMenu();
        MenuCall(*connection, service, u"Event"_s, {0, u"closed"_s, QVariant::fromValue(QDBusVariant(QString())), 0u});
        return std::any_of(items.cbegin(), items.cend(), [](const auto &item) { return item.second.value(u"label"_s).toString().contains(u"[ACME]"_s); });
    }, 20000);
    const auto items = openMenu();
    QStringList labels;
    for (const auto &item : items)
        labels.append(item.second.value(u"label"_s).toString());
    const std::string all = labels.join(u"\n"_s).toStdString();
    const auto find = [&](const QString &pattern) -> std::optional<std::pair<int, QVariantMap>> {
        const int at = labels.indexOf(QRegularExpression(u"^(?:"_s + pattern + u")$"_s));
        return at < 0 ? std::nullopt : std::optional(items[at]);
    };
    // Change and percent, which the Qt-drawn menu colours, stand in the labels.
    const QString number = u"[\\d,]+\\.\\d+"_s;
    const auto acme = find(u"Acme .+ \\[ACME\\] \\(%1, %1%\\) : %1 \\(100 shares: \\$%1\\)"_s.arg(number));
    ASSERT_TRUE(acme) << all;
    EXPECT_TRUE(find(u"Beta .+ \\[BETA\\] \\(%1, %1%\\) : %1.*"_s.arg(number))) << all;
    for (const char *index : {"Dow", "Nasdaq", "S&P", "Gold", "Palladium"})
        EXPECT_TRUE(find(QRegularExpression::escape(QLatin1String(index)) + u": %1 \\([+-]%1, [+-]%1%\\)"_s.arg(number))) << index << "\n" << all;
    const auto preferences = find(u"Preferences..."_s);
    ASSERT_TRUE(preferences);
    EXPECT_EQ(qdbus_cast<DBusMenuShortcut>(preferences->second.value(u"shortcut"_s)), (DBusMenuShortcut{{u"Control"_s, u"comma"_s}}));

    // A click on the quote line opens its quote page.
    const QDBusMessage clicked = MenuCall(*connection, service, u"Event"_s, {acme->first, u"clicked"_s, QVariant::fromValue(QDBusVariant(0)), 0u});
    ASSERT_EQ(clicked.type(), QDBusMessage::ReplyMessage) << clicked.errorMessage().toStdString();
    QFile record(opened);
    ASSERT_TRUE(WaitUntil([&] { return record.exists() && record.size() > 0; }, 15000)) << app.readAll().toStdString();
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(record.readAll()), feed.url(u"/q?s=ACME"_s) + u'\n');
}

// The icon on the panel, found by its green quote line.
std::optional<QPoint> IconOnPanel(const QImage &screen)
{
    QPoint sum;
    int count = 0;
    for (int y = 0; y < std::min(screen.height(), 48); ++y)
        for (int x = 0; x < screen.width(); ++x) {
            const QColor pixel = screen.pixelColor(x, y);
            if (pixel.green() >= 90 && pixel.green() - pixel.red() >= 50 && pixel.green() - pixel.blue() >= 30) {
                sum += QPoint(x, y);
                ++count;
            }
        }
    return count < 4 ? std::nullopt : std::optional(sum / count);
}

// Tickwell's own menu: a click on the icon in the panel opens it beside the panel with the
// keyboard, Escape closes it.
class RealPanelOwnMenuTest : public RealPanelTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(RealPanelOwnMenuTest, AClickOnTheIconOpensTheMenuBesideItAndEscapeClosesIt)
{
    startSession(QString::fromLatin1(GetParam()), "own");
    if (HasFatalFailure() || IsSkipped())
        return;
    // No dbusmenu for the panel to draw: the item has no Menu, and is not menu-only (xfce4-panel
    // then shows its own, empty menu instead of calling Activate).
    EXPECT_EQ(ItemPropertyReply(*connection, service, u"Menu"_s).type(), QDBusMessage::ErrorMessage);
    EXPECT_FALSE(ItemProperty(*connection, service, u"ItemIsMenu"_s).toBool());
    std::optional<QPoint> icon;
    ASSERT_TRUE(WaitUntil([&] { return (icon = IconOnPanel(screen())).has_value(); }, 30000)) << "no icon on the panel";

    // The launch refresh may still run, and its menu is short: opened again until it has quotes.
    QRect menu;
    for (int attempt = 0; attempt < 6 && menu.height() < 300; ++attempt) {
        if (attempt > 0) {
            xdotool({u"key"_s, u"Escape"_s});
            WaitUntil([&] { return tallestWindow().isEmpty(); }, 10000);
            WaitUntil([] { return false; }, 3000);
        }
        ASSERT_TRUE(xdotool({u"mousemove"_s, QString::number(icon->x()), QString::number(icon->y()), u"click"_s, u"1"_s}));
        WaitUntil([&] { return !(menu = tallestWindow()).isEmpty(); }, 15000);
        WaitUntil([&] { return (menu = tallestWindow()).height() >= 300; }, 2000);
    }
    ASSERT_GE(menu.height(), 300) << "no menu window of tickwell mapped\n" << app.readAll().toStdString();
    // Beside the top panel, at the icon, on the screen.
    EXPECT_GT(menu.top(), icon->y());
    EXPECT_LE(menu.top(), 64);
    // From the icon onwards, or back from it where the screen ends.
    EXPECT_LE(std::min(std::abs(menu.left() - icon->x()), std::abs(menu.right() + 1 - icon->x())), 64)
        << menu.left() << "-" << menu.right() << " for the icon at " << icon->x();
    EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(menu));

    // The menu has the keyboard: Escape closes it.
    ASSERT_TRUE(xdotool({u"key"_s, u"Escape"_s}));
    EXPECT_TRUE(WaitUntil([&] { return tallestWindow().isEmpty(); }, 10000)) << "the menu stayed open";
}

INSTANTIATE_TEST_SUITE_P(Panels, RealPanelOwnMenuTest, ::testing::Values("xfce4-panel", "lxqt-panel"),
    [](const ::testing::TestParamInfo<const char *> &panel) { return panel.param[0] == 'x' ? std::string("Xfce") : std::string("LXQt"); });

} // namespace
} // namespace tickwell::testing

#include "MenuPrinter.h"

#include <QJsonArray>

namespace tickwell {

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonArray styledJson(const std::vector<StyledRun> &runs)
{
    QJsonArray array;
    for (const auto &run : runs) {
        QJsonObject object;
        object.insert(QStringLiteral("text"), run.text);
        object.insert(QStringLiteral("pointSize"), run.pointSize);
        object.insert(QStringLiteral("color"), run.color ? QJsonValue(run.color->name(QColor::HexRgb)) : QJsonValue(QJsonValue::Null));
        array.append(object);
    }
    return array;
}

QJsonObject itemJson(const MenuItem &item)
{
    QJsonObject object;
    if (item.separator) {
        object.insert(QStringLiteral("separator"), true);
        return object;
    }
    object.insert(QStringLiteral("title"), item.title);
    if (item.styledTitle)
        object.insert(QStringLiteral("styledTitle"), styledJson(*item.styledTitle));
    object.insert(QStringLiteral("image"), textOrNull(item.image));
    object.insert(QStringLiteral("action"), textOrNull(item.action));
    object.insert(QStringLiteral("keyEquivalent"), textOrNull(item.keyEquivalent));
    object.insert(QStringLiteral("toolTip"), item.toolTip ? QJsonValue(*item.toolTip) : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("enabled"), item.enabled());
    if (item.submenu)
        object.insert(QStringLiteral("submenu"), MenuJson(*item.submenu));
    return object;
}

void appendText(QString &out, const Menu &menu, int depth)
{
    const QString indent(depth * 2, QLatin1Char(' '));
    for (const auto &item : menu) {
        if (item.separator) {
            out += indent + QStringLiteral("----\n");
            continue;
        }
        // The text the menu shows: a quote line's change and percent live in its styled runs.
        const QString shown = item.styledTitle ? plainText(*item.styledTitle) : item.title;
        QString line = indent + (shown.isEmpty() && !item.image.isEmpty() ? QStringLiteral("[image %1]").arg(item.image) : shown);
        if (!item.enabled())
            line += QStringLiteral("  (disabled)");
        if (!item.keyEquivalent.isEmpty())
            line += QStringLiteral("  [Ctrl+%1]").arg(item.keyEquivalent);
        out += line + QLatin1Char('\n');
        if (item.submenu)
            appendText(out, *item.submenu, depth + 1);
    }
}

} // namespace

QJsonObject StatusItemJson(const StatusItem &item)
{
    QJsonObject object;
    object.insert(QStringLiteral("title"), textOrNull(item.title()));
    if (const auto styled = item.styledTitle())
        object.insert(QStringLiteral("styledTitle"), styledJson(*styled));
    object.insert(QStringLiteral("image"), textOrNull(item.imageName()));
    return object;
}

QJsonArray MenuJson(const Menu &menu)
{
    QJsonArray array;
    for (const auto &item : menu)
        array.append(itemJson(item));
    return array;
}

QJsonObject TickerStepJson(const StatusItem &item, std::optional<double> nextFireIn)
{
    QJsonObject object = StatusItemJson(item);
    object.insert(QStringLiteral("nextFireIn"), nextFireIn ? QJsonValue(*nextFireIn) : QJsonValue(QJsonValue::Null));
    return object;
}

QString TickerStepText(int step, const StatusItem &item, std::optional<double> nextFireIn)
{
    return QStringLiteral("Ticker step %1: image %2, title \"%3\", next in %4\n")
        .arg(QString::number(step), item.imageName(), item.title(),
             nextFireIn ? QString::number(*nextFireIn) + QStringLiteral(" s") : QStringLiteral("none"));
}

QString MenuText(const StatusItem &item, const Menu &menu)
{
    QString out = QStringLiteral("Status item: image %1, title \"%2\"\n").arg(item.imageName(), item.title());
    appendText(out, menu, 0);
    return out;
}

} // namespace tickwell

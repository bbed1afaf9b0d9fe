#include "platform/desktop/StyledMenuStyle.h"

#include <QAbstractTextDocumentLayout>
#include <QIcon>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QTextDocument>

#include <optional>

namespace tickwell {

namespace {

constexpr int kTextLeftMargin = 4;
// Images beyond this size (charts, logos) are pictures in their own right, drawn at their size.
constexpr int kLargestIcon = 24;
constexpr int kPictureMargin = 3;

// The size of the picture an untitled item shows at its own size; none for ordinary items.
std::optional<QSize> pictureSize(const QStyleOptionMenuItem &item)
{
    if (item.icon.isNull() || !item.text.section(QLatin1Char('\t'), 0, 0).isEmpty())
        return std::nullopt;
    QSize largest;
    for (const QSize &size : item.icon.availableSizes())
        if (size.width() * size.height() > largest.width() * largest.height())
            largest = size;
    if (largest.width() <= kLargestIcon && largest.height() <= kLargestIcon)
        return std::nullopt;
    return largest;
}

int textColumn(const QStyleOptionMenuItem &item)
{
    return qMax(item.maxIconWidth, 16) + 2 * kTextLeftMargin;
}

QTextDocument *makeDocument(QTextDocument &doc, const QString &html, const QFont &font)
{
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    doc.setHtml(html);
    return &doc;
}

} // namespace

StyledMenuStyle::StyledMenuStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

QString StyledMenuStyle::toHtml(const std::vector<StyledRun> &runs, const QColor &defaultColor)
{
    QString html = QStringLiteral("<span style=\"white-space: pre\">");
    for (const auto &run : runs) {
        const QColor color = run.color.value_or(defaultColor);
        html += QStringLiteral("<span style=\"font-size: %1pt; color: %2\">%3</span>")
                    .arg(QString::number(run.pointSize), color.name(QColor::HexRgb), run.text.toHtmlEscaped());
    }
    return html + QStringLiteral("</span>");
}

QString StyledMenuStyle::labelOf(const QString &optionText)
{
    // Menus pass the label and the shortcut text as one, separated by a tab.
    return optionText.section(QLatin1Char('\t'), 0, 0);
}

const std::vector<StyledRun> *StyledMenuStyle::styledFor(const QString &text) const
{
    const auto it = m_titles.constFind(text);
    return it == m_titles.constEnd() ? nullptr : &*it;
}

void StyledMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element == CE_MenuItem && item) {
        if (const auto size = pictureSize(*item)) {
            // The base style draws the item's background and highlight; the picture goes where
            // text would, at its own size rather than the icon size.
            QStyleOptionMenuItem plain(*item);
            plain.icon = QIcon();
            QProxyStyle::drawControl(element, &plain, painter, widget);
            const QIcon::Mode mode = !(item->state & State_Enabled) ? QIcon::Disabled : QIcon::Normal;
            const QPixmap pixmap = item->icon.pixmap(*size, mode);
            painter->drawPixmap(item->rect.left() + textColumn(*item), item->rect.top() + (item->rect.height() - size->height()) / 2, pixmap);
            return;
        }
    }
    const std::vector<StyledRun> *runs = (element == CE_MenuItem && item) ? styledFor(labelOf(item->text)) : nullptr;
    if (!runs) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // Let the base style draw the item without its label (the shortcut after the tab stays),
    // then draw the runs where the label goes.
    QStyleOptionMenuItem plain(*item);
    plain.text = item->text.mid(labelOf(item->text).size());
    QProxyStyle::drawControl(element, &plain, painter, widget);

    const bool selected = item->state & State_Selected;
    const QColor defaultColor = item->palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    QTextDocument doc;
    makeDocument(doc, toHtml(*runs, defaultColor), item->font);
    const QRect textRect = item->rect.adjusted(textColumn(*item), 0, -kTextLeftMargin, 0);
    const qreal y = textRect.top() + (textRect.height() - doc.size().height()) / 2.0;
    painter->save();
    painter->translate(textRect.left(), y);
    doc.drawContents(painter);
    painter->restore();
}

QSize StyledMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size, const QWidget *widget) const
{
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (type != CT_MenuItem || !item)
        return result;
    if (const auto picture = pictureSize(*item))
        return {qMax(result.width(), textColumn(*item) + picture->width() + kPictureMargin), picture->height() + 2 * kPictureMargin};
    const QString label = labelOf(item->text);
    if (const auto *runs = styledFor(label)) {
        QTextDocument doc;
        makeDocument(doc, toHtml(*runs, Qt::black), item->font);
        const QSizeF styled = doc.size();
        const int plainWidth = item->fontMetrics.horizontalAdvance(label);
        result.setWidth(result.width() + qMax(0, qCeil(styled.width()) - plainWidth));
        result.setHeight(qMax(result.height(), qCeil(styled.height()) + 4));
    }
    return result;
}

} // namespace tickwell

#pragma once

#include "platform/MenuItem.h"

#include <QHash>
#include <QProxyStyle>

namespace tickwell {

// Draws menu items whose titles have styled runs (coloured change suffixes, point sizes) while
// keeping everything else of a normal item: icon, submenu arrow, shortcut, highlight. An item
// without a title whose image is beyond icon size (a chart, a logo) shows the image at its size.
class StyledMenuStyle final : public QProxyStyle {
public:
    StyledMenuStyle();

    // Styled titles by their plain text; replaced at every menu rebuild.
    void setStyledTitles(QHash<QString, std::vector<StyledRun>> titles) { m_titles = std::move(titles); }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size, const QWidget *widget) const override;

    static QString toHtml(const std::vector<StyledRun> &runs, const QColor &defaultColor);

private:
    static QString labelOf(const QString &optionText);
    const std::vector<StyledRun> *styledFor(const QString &text) const;

    QHash<QString, std::vector<StyledRun>> m_titles;
};

} // namespace tickwell

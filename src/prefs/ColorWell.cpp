#include "prefs/ColorWell.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace tickwell {

ColorWell::ColorWell(QWidget *parent)
    : QPushButton(parent)
{
    setIconSize(QSize(48, 16));
    connect(this, &QPushButton::clicked, this, &ColorWell::pickColor);
}

void ColorWell::setColor(const QColor &color)
{
    m_color = color;
    QPixmap swatch(iconSize());
    swatch.fill(color);
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    setIcon(QIcon(swatch));
    setAccessibleDescription(color.name());
}

void ColorWell::chooseColor(const QColor &color)
{
    if (!color.isValid())
        return;
    setColor(color);
    emit colorChanged(color);
}

void ColorWell::pickColor()
{
    const QColor chosen = QColorDialog::getColor(m_color, this, toolTip());
    if (chosen.isValid() && chosen != m_color)
        chooseColor(chosen);
}

} // namespace tickwell

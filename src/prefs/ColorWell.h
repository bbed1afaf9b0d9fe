#pragma once

#include <QColor>
#include <QPushButton>

namespace tickwell {

// A button showing a colour; clicking it lets the user pick another.
class ColorWell final : public QPushButton {
    Q_OBJECT

public:
    explicit ColorWell(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    // Shows the colour without telling anyone.
    void setColor(const QColor &color);
    // Shows the colour and emits colorChanged, as a choice in the dialog does.
    void chooseColor(const QColor &color);

signals:
    void colorChanged(const QColor &color);

private:
    void pickColor();

    QColor m_color;
};

} // namespace tickwell

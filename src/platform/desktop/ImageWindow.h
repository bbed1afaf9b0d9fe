#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

namespace tickwell {

// A small window with an image at its own size (a chart the panel's menu can only show at icon
// size) and a button that carries on with what the menu item does (opens the chart's page).
// Clicking the image does the same; either closes the window.
class ImageWindow final : public QWidget {
public:
    ImageWindow(const QImage &image, const QString &title, const QString &note, std::function<void()> open);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void openAndClose();

    std::function<void()> m_open;
};

} // namespace tickwell

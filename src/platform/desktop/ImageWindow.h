#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

namespace tickwell {

// A small window with an image at its own size (a chart the panel's menu can only show at icon
// size) and a button that carries on with what the menu item does (opens the chart's page).
// Clicking the image does the same; either closes the window. A line of text may stand under
// the image, or in its place when there is none (why a chart could not be had).
class ImageWindow final : public QWidget {
public:
    ImageWindow(const QImage &image, const QString &title, const QString &note, std::function<void()> open,
                const QString &text = {});

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void openAndClose();

    std::function<void()> m_open;
};

} // namespace tickwell

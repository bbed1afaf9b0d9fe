#include "platform/desktop/ImageWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tickwell {

ImageWindow::ImageWindow(const QImage &image, const QString &title, const QString &note, std::function<void()> open,
                         const QString &text)
    : m_open(std::move(open))
{
    setObjectName(QStringLiteral("imageWindow"));
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    if (!image.isNull()) {
        auto *picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("image"));
        picture->setPixmap(QPixmap::fromImage(image));
        picture->setToolTip(note);
        picture->setCursor(Qt::PointingHandCursor);
        layout->addWidget(picture);
    }
    if (!text.isEmpty()) {
        // Service answers and symbols as they came: never read as markup.
        auto *line = new QLabel(text, this);
        line->setObjectName(QStringLiteral("text"));
        line->setTextFormat(Qt::PlainText);
        // Under an image it wraps at the image's width; alone it is one line.
        line->setWordWrap(!image.isNull());
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(line);
    }
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *openButton = buttons->addButton(tr("Open Page"), QDialogButtonBox::AcceptRole);
    openButton->setObjectName(QStringLiteral("openButton"));
    openButton->setToolTip(note);
    buttons->addButton(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { openAndClose(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ImageWindow::mouseReleaseEvent(QMouseEvent *event)
{
    // The image label does not take the click: it arrives here.
    const QLabel *picture = findChild<QLabel *>(QStringLiteral("image"));
    if (event->button() == Qt::LeftButton && picture && childAt(event->position().toPoint()) == picture)
        openAndClose();
    QWidget::mouseReleaseEvent(event);
}

void ImageWindow::openAndClose()
{
    close();
    if (m_open)
        m_open();
}

} // namespace tickwell

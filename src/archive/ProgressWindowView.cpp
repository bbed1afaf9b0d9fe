#include "archive/ProgressWindowView.h"

#include "archive/ProgressWindowWidgets.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>

namespace tickwell {

ProgressWindowView::Widgets::Widgets()
{
    window.setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    window.setWindowTitle(QStringLiteral("Headlines"));
    window.setMinimumWidth(460);
    for (QLabel *line : {&labelLine, &detailLine, &statusLine}) {
        line->setTextFormat(Qt::PlainText);
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        line->setMinimumWidth(420);
    }
    labelLine.setObjectName(QStringLiteral("label"));
    detailLine.setObjectName(QStringLiteral("detail"));
    statusLine.setObjectName(QStringLiteral("status"));
    statusLine.setWordWrap(true);
    // Long addresses and titles are cut off at the window's edge rather than widen it.
    labelLine.setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    detailLine.setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QFont bold = labelLine.font();
    bold.setBold(true);
    labelLine.setFont(bold);
    progress.setRange(0, 1);
    progress.setValue(0);
    progress.setTextVisible(false);
    stopButton.setText(QStringLiteral("Stop"));
    stopButton.setObjectName(QStringLiteral("stop"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(&progress, 1);
    buttons->addWidget(&stopButton);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(&labelLine);
    layout->addWidget(&detailLine);
    layout->addWidget(&statusLine);
    layout->addLayout(buttons);
}

ProgressWindowView::ProgressWindowView()
    : m_widgets(std::make_unique<Widgets>())
{
    QObject::connect(&m_widgets->stopButton, &QPushButton::clicked, [this] {
        if (m_stop)
            m_stop();
    });
}

ProgressWindowView::~ProgressWindowView() = default;

void ProgressWindowView::setLabel(const QString &text) { m_widgets->labelLine.setText(text); }
void ProgressWindowView::setDetail(const QString &text) { m_widgets->detailLine.setText(text); }
void ProgressWindowView::setStatus(const QString &text) { m_widgets->statusLine.setText(text); }
QString ProgressWindowView::label() const { return m_widgets->labelLine.text(); }
QString ProgressWindowView::detail() const { return m_widgets->detailLine.text(); }
QString ProgressWindowView::status() const { return m_widgets->statusLine.text(); }

void ProgressWindowView::setRepresentedFolder(const QString &path)
{
    QWidget &window = m_widgets->window;
    window.setWindowTitle(QDir(path).dirName().isEmpty() ? path : QDir(path).dirName());
    window.setWindowFilePath(path);
    window.setWindowIcon(QFileIconProvider().icon(QFileInfo(path)));
}

// While nothing runs, the window only shows how the last save ended: its button closes it.
void ProgressWindowView::startProgress()
{
    m_widgets->progress.setRange(0, 0); // busy
    m_widgets->stopButton.setText(QStringLiteral("Stop"));
}

void ProgressWindowView::stopProgress()
{
    m_widgets->progress.setRange(0, 1);
    m_widgets->stopButton.setText(QStringLiteral("Close"));
}

void ProgressWindowView::orderFront()
{
    QWidget &window = m_widgets->window;
    window.show();
    window.raise();
    window.activateWindow();
}

void ProgressWindowView::orderOut() { m_widgets->window.hide(); }
bool ProgressWindowView::isVisible() const { return m_widgets->window.isVisible(); }
void ProgressWindowView::setStopAction(std::function<void()> action) { m_stop = std::move(action); }

} // namespace tickwell

#include "platform/desktop/MenuRenderer.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>

namespace tickwell {

QImage MenuRenderer::itemImage(const MenuItem &item)
{
    if (!item.imageData.isNull())
        return item.imageData;
    if (!item.image.isEmpty() && !item.image.contains(QLatin1String("://")))
        return QImage(QStringLiteral(":/images/") + item.image);
    return {};
}

namespace {

// Runs the handler after the click has been delivered: the action may rebuild this very menu.
void connectAction(QAction *action, QMenu &target, const MenuRenderer::Handler &handler, const MenuItem &item)
{
    QObject *root = &target;
    while (auto *parentMenu = qobject_cast<QMenu *>(root->parent()))
        root = parentMenu;
    QObject::connect(action, &QAction::triggered, root, [handler, item] { handler(item); }, Qt::QueuedConnection);
}

} // namespace

void MenuRenderer::render(QMenu &target, const Menu &menu, const Handler &handler)
{
    QHash<QString, std::vector<StyledRun>> styled;
    // Submenus are children of their menu and clear() leaves them: without this every opening
    // would keep the previous build's submenus (and their images) alive. Later, as one of them
    // may be the sender of the signal that led here.
    for (QMenu *submenu : target.findChildren<QMenu *>(Qt::FindDirectChildrenOnly)) {
        submenu->setParent(nullptr);
        submenu->deleteLater();
    }
    target.clear();
    target.setStyle(&m_style);
    // Separators stand as the model has them, two in a row where a section is empty.
    target.setSeparatorsCollapsible(false);
    fill(target, menu, handler, styled);
    m_style.setStyledTitles(std::move(styled));
}

void MenuRenderer::fill(QMenu &target, const Menu &menu, const Handler &handler, QHash<QString, std::vector<StyledRun>> &styled)
{
    for (const auto &item : menu) {
        if (item.separator) {
            target.addSeparator();
            continue;
        }
        // Ampersands are literal in our titles, not mnemonics.
        QString text = item.title;
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *action = nullptr;
        if (item.submenu) {
            QMenu *submenu = target.addMenu(text);
            submenu->setStyle(&m_style);
            submenu->setSeparatorsCollapsible(false);
            submenu->setToolTipsVisible(true);
            fill(*submenu, *item.submenu, handler, styled);
            action = submenu->menuAction();
            if (!item.action.isEmpty()) {
                // A line with both a submenu and an action: clicking the line itself runs the action.
                connectAction(action, target, handler, item);
            }
        } else {
            action = target.addAction(text);
            if (!item.action.isEmpty())
                connectAction(action, target, handler, item);
        }
        const QImage image = itemImage(item);
        if (!image.isNull())
            action->setIcon(QIcon(QPixmap::fromImage(image)));
        if (item.toolTip)
            action->setToolTip(*item.toolTip);
        if (!item.keyEquivalent.isEmpty())
            action->setShortcut(QKeySequence(QStringLiteral("Ctrl+") + item.keyEquivalent.toUpper()));
        action->setEnabled(item.enabled());
        if (item.styledTitle)
            styled.insert(text, *item.styledTitle);
    }
    target.setToolTipsVisible(true);
}

} // namespace tickwell

#pragma once

#include "platform/StatusItem.h"

namespace tickwell {

// A status item that only remembers what it was given: for tools without a tray and for tests.
class HeadlessStatusItem final : public StatusItem {
public:
    void setImage(const QString &name, const QImage &image) override
    {
        m_imageName = name;
        m_image = image;
    }
    QString imageName() const override { return m_imageName; }
    QImage image() const override { return m_image; }

    void setTitle(const QString &title) override
    {
        m_title = title;
        m_styled.reset();
    }
    void setStyledTitle(const std::vector<StyledRun> &runs) override
    {
        m_title = plainText(runs);
        m_styled = runs;
    }
    QString title() const override { return m_title; }
    std::optional<std::vector<StyledRun>> styledTitle() const override { return m_styled; }

    void setMenu(const Menu &menu) override { m_menu = menu; }
    const Menu &menu() const override { return m_menu; }

    void setMenuHandlers(MenuHandlers handlers) override { m_handlers = std::move(handlers); }

    // What opening the menu does: the owner rebuilds it.
    void open()
    {
        if (m_handlers.aboutToShow)
            m_handlers.aboutToShow();
    }
    // The menu coming on screen and going away again.
    void setShown(bool shown)
    {
        if (m_handlers.visibility)
            m_handlers.visibility(shown);
    }
    // What choosing an item does.
    void choose(const MenuItem &item)
    {
        if (m_handlers.triggered)
            m_handlers.triggered(item);
    }

private:
    QString m_imageName;
    QImage m_image;
    QString m_title;
    std::optional<std::vector<StyledRun>> m_styled;
    Menu m_menu;
    MenuHandlers m_handlers;
};

} // namespace tickwell

#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tickwell::testing {

// Reads another X display than the test's own: what is on screen, and which windows a process
// has mapped there (by _NET_WM_PID, which Qt sets on every window, menus included).
class XDisplayProbe {
public:
    explicit XDisplayProbe(const QString &display)
        : m_connection(xcb_connect(display.toLocal8Bit().constData(), nullptr))
    {
        if (xcb_connection_has_error(m_connection) == 0)
            m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~XDisplayProbe() { xcb_disconnect(m_connection); }
    XDisplayProbe(const XDisplayProbe &) = delete;
    XDisplayProbe &operator=(const XDisplayProbe &) = delete;

    bool isConnected() const { return m_root != XCB_WINDOW_NONE; }

    // The pixels of a part of the screen (24-bit depth).
    QImage grab(const QRect &area) const
    {
        const Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(m_connection,
            xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, static_cast<int16_t>(area.x()), static_cast<int16_t>(area.y()),
                static_cast<uint16_t>(area.width()), static_cast<uint16_t>(area.height()), ~0u),
            nullptr));
        if (!image || xcb_get_image_data_length(image.get()) < area.width() * area.height() * 4)
            return {};
        return QImage(xcb_get_image_data(image.get()), area.width(), area.height(), area.width() * 4, QImage::Format_RGB32).copy();
    }

    // The viewable top-level windows of a process, as rectangles on the screen.
    std::vector<QRect> mappedWindowsOf(qint64 pid) const
    {
        std::vector<QRect> found;
        const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
        if (!tree)
            return found;
        const xcb_atom_t pidAtom = atom("_NET_WM_PID");
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const Reply<xcb_get_window_attributes_reply_t> attributes(
                xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, children[i]), nullptr));
            if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
                continue;
            const Reply<xcb_get_property_reply_t> owner(xcb_get_property_reply(m_connection,
                xcb_get_property(m_connection, 0, children[i], pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
            if (!owner || xcb_get_property_value_length(owner.get()) != 4
                || *static_cast<const uint32_t *>(xcb_get_property_value(owner.get())) != static_cast<uint32_t>(pid))
                continue;
            const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, children[i]), nullptr));
            if (geometry)
                found.emplace_back(geometry->x, geometry->y, geometry->width, geometry->height);
        }
        return found;
    }

private:
    struct FreeReply {
        void operator()(void *reply) const { std::free(reply); }
    };
    template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

    xcb_atom_t atom(const char *name) const
    {
        const Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root = XCB_WINDOW_NONE;
};

} // namespace tickwell::testing

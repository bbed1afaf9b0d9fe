#include "platform/desktop/X11Windows.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

#include <cstdlib>
#include <memory>

namespace tickwell {

#if QT_CONFIG(xcb)

namespace {

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

} // namespace

std::optional<QRect> X11TopLevelWindowAt(QPoint global)
{
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return std::nullopt;
    const QScreen *screen = QGuiApplication::screenAt(global);
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    const QPoint native = (QPointF(global) * ratio).toPoint();
    const xcb_window_t root = rootWindow(connection);
    const ReplyPtr<xcb_translate_coordinates_reply_t> found(xcb_translate_coordinates_reply(connection,
        xcb_translate_coordinates(connection, root, root, static_cast<int16_t>(native.x()), static_cast<int16_t>(native.y())), nullptr));
    if (!found || found->child == XCB_WINDOW_NONE)
        return std::nullopt;
    const ReplyPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, found->child), nullptr));
    if (!geometry)
        return std::nullopt;
    const int border = 2 * geometry->border_width;
    const QRectF rect(QPointF(geometry->x, geometry->y) / ratio, QSizeF(geometry->width + border, geometry->height + border) / ratio);
    return rect.toRect();
}

bool X11PointerButtonDown()
{
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return false;
    const ReplyPtr<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, rootWindow(connection)), nullptr));
    constexpr uint16_t kButtons = XCB_KEY_BUT_MASK_BUTTON_1 | XCB_KEY_BUT_MASK_BUTTON_2 | XCB_KEY_BUT_MASK_BUTTON_3;
    return pointer && (pointer->mask & kButtons) != 0;
}

#else

std::optional<QRect> X11TopLevelWindowAt(QPoint) { return std::nullopt; }
bool X11PointerButtonDown() { return false; }

#endif

} // namespace tickwell

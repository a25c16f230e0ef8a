// SPDX-License-Identifier: MIT
#include "x11_window_traits.h"

#include <QGuiApplication>
#include <QTransform>
#include <QWidget>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace velmora::qt {

namespace {

xcb_connection_t* qtX11Connection() {
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!application)
        return nullptr;
    auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

template <typename T> T clampTo(int value) {
    return static_cast<T>(
        std::clamp<int>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

} // namespace

bool setX11WindowShape(QWidget& window, const QRegion& region) {
    xcb_connection_t* connection = qtX11Connection();
    if (!connection)
        return false;
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(connection, &xcb_shape_id);
    if (!shape || !shape->present)
        return false;
    auto id = static_cast<xcb_window_t>(window.winId());
    // The region is in Qt's device-independent pixels, the shape in the window's own.
    const qreal ratio = window.devicePixelRatioF();
    const QRegion native = ratio == 1.0 ? region : QTransform::fromScale(ratio, ratio).map(region);
    std::vector<xcb_rectangle_t> rects;
    for (const QRect& rect : native)
        rects.push_back({clampTo<std::int16_t>(rect.x()), clampTo<std::int16_t>(rect.y()),
                         clampTo<std::uint16_t>(rect.width()),
                         clampTo<std::uint16_t>(rect.height())});
    const auto count = static_cast<std::uint32_t>(rects.size());
    // The bounding shape alone already clips the input, but the input shape says it outright.
    for (xcb_shape_kind_t kind : {XCB_SHAPE_SK_BOUNDING, XCB_SHAPE_SK_INPUT})
        xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, kind, XCB_CLIP_ORDERING_UNSORTED, id, 0,
                             0, count, rects.data());
    xcb_flush(connection);
    return true;
}

bool putX11WindowOnEveryDesktop(QWidget& window) {
    xcb_connection_t* connection = qtX11Connection();
    if (!connection)
        return false;
    xcb_atom_t desktop = internAtom(connection, "_NET_WM_DESKTOP");
    if (desktop == XCB_ATOM_NONE)
        return false;
    const std::uint32_t everyDesktop = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window.winId()), desktop, XCB_ATOM_CARDINAL, 32,
                        1, &everyDesktop);
    xcb_flush(connection);
    return true;
}

std::optional<QRect> x11EmbeddedWindowGeometry(const QWidget& window) {
    xcb_connection_t* connection = qtX11Connection();
    const auto id = static_cast<xcb_window_t>(window.internalWinId());
    if (!connection || id == XCB_WINDOW_NONE)
        return std::nullopt;
    // One round trip for the three answers.
    const xcb_query_tree_cookie_t treeCookie = xcb_query_tree(connection, id);
    const xcb_get_geometry_cookie_t sizeCookie = xcb_get_geometry(connection, id);
    auto* tree = xcb_query_tree_reply(connection, treeCookie, nullptr);
    auto* size = xcb_get_geometry_reply(connection, sizeCookie, nullptr);
    QRect place;
    if (tree && size && tree->parent != XCB_WINDOW_NONE && tree->parent != tree->root) {
        auto* origin = xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, id, tree->root, 0, 0), nullptr);
        if (origin) {
            // The server counts in device pixels, Qt's global coordinates do not.
            const qreal ratio = window.devicePixelRatioF() > 0 ? window.devicePixelRatioF() : 1.0;
            place = QRect(qRound(origin->dst_x / ratio), qRound(origin->dst_y / ratio),
                          qRound(size->width / ratio), qRound(size->height / ratio));
        }
        std::free(origin);
    }
    std::free(tree);
    std::free(size);
    return place;
}

} // namespace velmora::qt

// SPDX-License-Identifier: MIT
// The X client the end-to-end tests drive the desktop with (ids are printed once managed):
//   windows CLASS COUNT [--bad-names] [--no-wait] [--icon RRGGBB]  COUNT windows of WM_CLASS
//        class CLASS ("" for none), then "key WINDOW GROUP" for each key pressed in one; --icon
//        gives them a 16 x 16 icon of that colour and a 64 x 64 one in blue
//   type-after WINDOW MS KEYCODE  activate WINDOW as a pager does, press KEYCODE MS ms after focus
//   press KEYCODE     press and release KEYCODE (XTest) without touching the group (xdotool does)
//   watch-groups      print the locked XKB group now and after every change
//   lock GROUP / group            lock GROUP as a layout switch does / print the locked group
//   paint CLASS RRGGBB X Y W H    an undecorated window there, then "press X Y" for each click
//   agent-windows CLASS  "ID X Y W H TYPE" of each viewable managed window of class CLASS (TYPE:
//        its first _NET_WM_WINDOW_TYPE without the prefix, "-" for none)
//   agent-popups CLASS   "ID X Y W H" of each viewable override-redirect window of class CLASS
//   embedded CLASS HOST  "ID X Y W H" of each viewable window of class CLASS inside one of HOST
//   tray / compositing   exit 0 when a tray manager / compositing manager runs, 1 otherwise
//   root-colour RRGGBB   the root's background, also as the root pixmap compositors draw
//   close WINDOW / show-desktop   ask the window manager as a title bar / a pager does
//   colours X Y W H      "RRGGBB COUNT" of each colour in that rectangle, most frequent first
//   dark-extent X Y W H LEVEL     "LEFT TOP RIGHT BOTTOM" (inclusive, relative to X Y) of the
//        pixels with all channels below LEVEL; exit 1 when none
//   colour-extent X Y W H RRGGBB  the same for the pixels of that colour
//   property-reads PROPERTY  "ready" once recording (RECORD), then "read" for every GetProperty
//        of PROPERTY by any client
//   browser CLASS CURSOR [L R T B]  a 600x400 window whose cursor is the font's I-beam named
//        "xterm", the arrow "left_ptr", the I-beam "unnamed", or ("theme:FOLDER") an unnamed
//        I-beam picture also written as FOLDER/cursors/xterm, as Chrome shows its theme's; with
//        L R T B undecorated with those _GTK_FRAME_EXTENTS. Prints "ID X Y" (its corner)
//   x-resources PID   "clients N", then "TYPE<tab>COUNT" of the X resources of process PID

#include "xcb_tool.h"

#include <xcb/record.h>
#include <xcb/render.h>
#include <xcb/res.h>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>
#include <xcb/xfixes.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using velmora::xcb_tool::fail;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply)
        fail(std::string("cannot intern ") + name);
    xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

void setProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
                 const std::string& bytes) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                        static_cast<std::uint32_t>(bytes.size()), bytes.data());
}

void setClass(xcb_connection_t* c, xcb_window_t w, const std::string& instance,
              const std::string& cls) {
    setProperty(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, instance + '\0' + cls + '\0');
}

// Motif hints: decorations given, none.
void undecorated(xcb_connection_t* c, xcb_window_t w) {
    const std::uint32_t motif[] = {2, 0, 0, 0, 0};
    xcb_atom_t hints = atom(c, "_MOTIF_WM_HINTS");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, hints, hints, 32, 5, motif);
}

void roundTrip(xcb_connection_t* c) {
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// A request to the window manager about WINDOW, as a pager sends it.
void askWindowManager(xcb_connection_t* c, xcb_screen_t* screen, xcb_window_t window,
                      const char* type, std::uint32_t data0, std::uint32_t data1) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.window = window;
    message.format = 32;
    message.type = atom(c, type);
    message.data.data32[0] = data0;
    message.data.data32[1] = data1;
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
}

bool selectionOwned(xcb_connection_t* c, const std::string& name) {
    auto* owner = xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, atom(c, name.c_str())), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    std::free(owner);
    return owned;
}

bool isManaged(xcb_connection_t* c, xcb_window_t w, xcb_atom_t wmState) {
    auto* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, wmState, wmState, 0, 2), nullptr);
    bool managed = reply && reply->type == wmState;
    std::free(reply);
    return managed;
}

// Activating or clicking a window that the window manager has not taken on yet does nothing.
void waitUntilManaged(xcb_connection_t* c, xcb_window_t w, xcb_atom_t wmState) {
    while (!isManaged(c, w, wmState)) {
        xcb_generic_event_t* event = xcb_wait_for_event(c);
        if (!event)
            fail("lost the display");
        std::free(event);
    }
}

// Maps W as an ordinary window that takes the focus when activated.
void mapFocusableWindow(xcb_connection_t* c, xcb_window_t w) {
    xcb_icccm_wm_hints_t hints{};
    xcb_icccm_wm_hints_set_input(&hints, 1);
    xcb_icccm_wm_hints_set_normal(&hints);
    xcb_icccm_set_wm_hints(c, w, &hints);
    xcb_map_window(c, w);
}

int windows(xcb_connection_t* c, xcb_screen_t* screen, const std::vector<std::string>& args) {
    if (args.size() < 2)
        fail("usage: windows CLASS COUNT [--bad-names] [--no-wait]");
    std::string cls = args[0];
    int count = std::atoi(args[1].c_str());
    bool badNames = false, wait = true;
    std::vector<std::uint32_t> icon;
    for (std::size_t i = 2; i < args.size(); ++i) {
        badNames = badNames || args[i] == "--bad-names";
        wait = wait && args[i] != "--no-wait";
        if (args[i] == "--icon" && i + 1 < args.size()) {
            const auto colour = 0xff000000u | std::stoul(args[++i], nullptr, 16);
            icon = {16, 16};
            icon.insert(icon.end(), 16 * 16, colour);
            icon.insert(icon.end(), {64, 64});
            icon.insert(icon.end(), 64 * 64, 0xff0000ffu);
        }
    }
    xcb_atom_t wmState = atom(c, "WM_STATE");
    xcb_atom_t netWmName = atom(c, "_NET_WM_NAME");
    xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    xcb_atom_t netWmPid = atom(c, "_NET_WM_PID");
    std::vector<xcb_window_t> created;
    for (int i = 0; i < count; ++i) {
        xcb_window_t w = xcb_generate_id(c);
        std::uint32_t values[] = {screen->white_pixel,
                                  XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_KEY_PRESS};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 40 + 30 * i, 40 + 30 * i, 240,
                          160, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        std::string title = (cls.empty() ? "nameless" : cls) + " " + std::to_string(i + 1);
        if (badNames) {
            setProperty(c, w, netWmName, utf8, "caf\xE9 \xFF title"); // not UTF-8
            setProperty(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "caf\xE9");
        } else {
            setProperty(c, w, netWmName, utf8, title);
            setProperty(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
        }
        if (!cls.empty())
            setClass(c, w, "e2e-window", cls);
        if (!icon.empty())
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, "_NET_WM_ICON"),
                                XCB_ATOM_CARDINAL, 32, static_cast<std::uint32_t>(icon.size()),
                                icon.data());
        auto pid = static_cast<std::uint32_t>(getpid());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, netWmPid, XCB_ATOM_CARDINAL, 32, 1, &pid);
        mapFocusableWindow(c, w);
        created.push_back(w);
    }
    xcb_flush(c);
    for (xcb_window_t w : created) {
        if (wait)
            waitUntilManaged(c, w, wmState);
        std::printf("%u\n", w);
    }
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7F) == XCB_KEY_PRESS) {
            const auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
            // The core state carries the XKB group in bits 13 and 14.
            std::printf("key %u %u\n", key->event, (key->state >> 13) & 3u);
            std::fflush(stdout);
        }
        std::free(event);
    }
    return 0;
}

void press(xcb_connection_t* c, std::uint8_t keycode) {
    xcb_test_fake_input(c, XCB_KEY_PRESS, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(c, XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    roundTrip(c);
}

int typeAfter(xcb_connection_t* c, xcb_screen_t* screen, const std::vector<std::string>& args) {
    auto window = static_cast<xcb_window_t>(std::strtoul(args[0].c_str(), nullptr, 0));
    const int ms = std::atoi(args[1].c_str());
    auto keycode = static_cast<std::uint8_t>(std::atoi(args[2].c_str()));
    std::uint32_t mask = XCB_EVENT_MASK_FOCUS_CHANGE;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    askWindowManager(c, screen, window, "_NET_ACTIVE_WINDOW", 2, 0); // 2: from a pager
    xcb_flush(c);
    for (bool focused = false; !focused;) {
        xcb_generic_event_t* event = xcb_wait_for_event(c);
        if (!event)
            fail("lost the display");
        focused = (event->response_type & 0x7F) == XCB_FOCUS_IN &&
                  reinterpret_cast<xcb_focus_in_event_t*>(event)->event == window;
        std::free(event);
    }
    usleep(static_cast<useconds_t>(ms) * 1000);
    press(c, keycode);
    return 0;
}

// An I-beam of 16 x 16 pixels: a stem with a serif at each end, opaque black with a grey rim.
constexpr std::uint16_t kBeamSide = 16, kBeamHotX = 7, kBeamHotY = 8;
std::vector<std::uint32_t> beamPicture() {
    std::vector<std::uint32_t> argb(kBeamSide * kBeamSide, 0);
    for (int y = 2; y < 14; ++y)
        for (int x = 7; x < 9; ++x)
            argb[y * kBeamSide + x] = 0xff000000;
    for (int x = 4; x < 12; ++x) {
        argb[1 * kBeamSide + x] = 0x80404040; // premultiplied
        argb[14 * kBeamSide + x] = 0x80404040;
    }
    return argb;
}

// The picture as a cursor theme's file: one image (Xcursor format, little-endian).
void writeThemeCursor(const std::string& folder, const std::vector<std::uint32_t>& argb) {
    std::filesystem::create_directories(folder + "/cursors");
    std::ofstream out(folder + "/cursors/xterm", std::ios::binary);
    auto word = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.put(static_cast<char>(v >> (8 * i)));
    };
    out << "Xcur";
    for (std::uint32_t v :
         {16u, 0x10000u, 1u, 0xfffd0002u, std::uint32_t{kBeamSide}, 28u, 36u, 0xfffd0002u,
          std::uint32_t{kBeamSide}, 1u, std::uint32_t{kBeamSide}, std::uint32_t{kBeamSide},
          std::uint32_t{kBeamHotX}, std::uint32_t{kBeamHotY}, 0u})
        word(v);
    for (std::uint32_t pixel : argb)
        word(pixel);
    if (!out)
        fail("cannot write the theme's cursor in " + folder);
}

// A cursor from an ARGB picture (Render), named by nobody.
xcb_cursor_t pictureCursor(xcb_connection_t* c, xcb_screen_t* screen,
                           const std::vector<std::uint32_t>& argb) {
    auto* formats =
        xcb_render_query_pict_formats_reply(c, xcb_render_query_pict_formats(c), nullptr);
    if (!formats)
        fail("no Render extension");
    xcb_render_pictformat_t format = 0;
    for (auto it = xcb_render_query_pict_formats_formats_iterator(formats); it.rem;
         xcb_render_pictforminfo_next(&it)) {
        const xcb_render_directformat_t& d = it.data->direct;
        if (it.data->type == XCB_RENDER_PICT_TYPE_DIRECT && it.data->depth == 32 &&
            d.alpha_shift == 24 && d.alpha_mask == 0xff && d.red_shift == 16 &&
            d.green_shift == 8 && d.blue_shift == 0)
            format = it.data->id;
    }
    std::free(formats);
    if (!format)
        fail("no ARGB32 picture format");
    xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, 32, pixmap, screen->root, kBeamSide, kBeamSide);
    xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, kBeamSide, kBeamSide, 0, 0, 0, 32,
                  static_cast<std::uint32_t>(argb.size() * 4),
                  reinterpret_cast<const std::uint8_t*>(argb.data()));
    xcb_render_picture_t picture = xcb_generate_id(c);
    xcb_render_create_picture(c, picture, pixmap, format, 0, nullptr);
    xcb_cursor_t cursor = xcb_generate_id(c);
    xcb_render_create_cursor(c, cursor, picture, kBeamHotX, kBeamHotY);
    xcb_render_free_picture(c, picture);
    xcb_free_gc(c, gc);
    xcb_free_pixmap(c, pixmap);
    return cursor;
}

// A browser window as the address-bar switch sees one: the class, the pointer's cursor over
// it, and where its drawing begins.
int browser(xcb_connection_t* c, xcb_screen_t* screen, const std::vector<std::string>& args) {
    if (args.size() != 2 && args.size() != 6)
        fail("usage: browser CLASS CURSOR [L R T B]");
    const std::string& cls = args[0];
    const std::string& cursorKind = args[1];
    auto* xfixes = xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 2, 0), nullptr);
    if (!xfixes || xfixes->major_version < 2)
        fail("no XFixes 2 to name cursors");
    std::free(xfixes);
    // Glyphs of the core cursor font, each followed by its mask.
    constexpr std::uint16_t kXtermGlyph = 152, kLeftPtrGlyph = 68;
    xcb_font_t font = xcb_generate_id(c);
    xcb_open_font(c, font, 6, "cursor");
    const std::uint16_t glyph = cursorKind == "left_ptr" ? kLeftPtrGlyph : kXtermGlyph;
    xcb_cursor_t cursor = xcb_generate_id(c);
    xcb_create_glyph_cursor(c, cursor, font, font, glyph, glyph + 1, 0, 0, 0, 0xffff, 0xffff,
                            0xffff);
    if (cursorKind == "xterm" || cursorKind == "left_ptr") {
        xcb_xfixes_set_cursor_name(c, cursor, static_cast<std::uint16_t>(cursorKind.size()),
                                   cursorKind.data());
    } else if (cursorKind.starts_with("theme:")) {
        const std::vector<std::uint32_t> beam = beamPicture();
        writeThemeCursor(cursorKind.substr(6), beam);
        cursor = pictureCursor(c, screen, beam);
    } else if (cursorKind != "unnamed") {
        fail("unknown cursor " + cursorKind);
    }

    xcb_window_t w = xcb_generate_id(c);
    const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_PROPERTY_CHANGE, cursor};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 100, 100, 600, 400, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_CURSOR, values);
    setProperty(c, w, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), cls + " - New Tab");
    setClass(c, w, "e2e-browser", cls);
    if (args.size() == 6) {
        undecorated(c, w);
        std::uint32_t margins[4];
        for (int i = 0; i < 4; ++i)
            margins[i] = static_cast<std::uint32_t>(std::strtoul(args[2 + i].c_str(), nullptr, 10));
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, "_GTK_FRAME_EXTENTS"),
                            XCB_ATOM_CARDINAL, 32, 4, margins);
    }
    mapFocusableWindow(c, w);
    xcb_flush(c);
    waitUntilManaged(c, w, atom(c, "WM_STATE"));
    auto* origin = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, w, screen->root, 0, 0), nullptr);
    if (!origin)
        fail("the browser window is gone");
    std::printf("%u %d %d\n", w, origin->dst_x, origin->dst_y);
    std::free(origin);
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c))
        std::free(event);
    return 0;
}

int paint(xcb_connection_t* c, xcb_screen_t* screen, const std::vector<std::string>& args) {
    if (args.size() != 6)
        fail("usage: paint CLASS RRGGBB X Y W H");
    auto colour = static_cast<std::uint32_t>(std::strtoul(args[1].c_str(), nullptr, 16));
    auto number = [&](std::size_t i) { return std::atoi(args[i].c_str()); };
    xcb_window_t w = xcb_generate_id(c);
    // A TrueColor root visual of depth 24 takes the colour as the pixel value.
    std::uint32_t values[] = {colour, XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root,
                      static_cast<std::int16_t>(number(2)), static_cast<std::int16_t>(number(3)),
                      static_cast<std::uint16_t>(number(4)), static_cast<std::uint16_t>(number(5)),
                      0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    setClass(c, w, "e2e-paint", args[0]);
    setProperty(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, args[0]);
    undecorated(c, w);
    // The place asked for is the user's, which the window manager keeps.
    xcb_size_hints_t size{};
    xcb_icccm_size_hints_set_position(&size, 1, number(2), number(3));
    xcb_icccm_size_hints_set_size(&size, 1, number(4), number(5));
    xcb_icccm_set_wm_normal_hints(c, w, &size);
    mapFocusableWindow(c, w);
    xcb_flush(c);
    xcb_atom_t wmState = atom(c, "WM_STATE");
    waitUntilManaged(c, w, wmState);
    std::printf("%u\n", w);
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7F) == XCB_BUTTON_PRESS) {
            auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
            std::printf("press %d %d\n", press->root_x, press->root_y);
            std::fflush(stdout);
        }
        std::free(event);
    }
    return 0;
}

std::string classOf(xcb_connection_t* c, xcb_window_t w) {
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr);
    std::string bytes;
    if (reply)
        bytes.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                     static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    std::size_t end = bytes.find('\0');
    if (end == std::string::npos)
        return {};
    std::string cls = bytes.substr(end + 1);
    return cls.substr(0, cls.find('\0'));
}

// The first _NET_WM_WINDOW_TYPE of W without its prefix; "-" when it has none.
std::string windowType(xcb_connection_t* c, xcb_window_t w) {
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 0, 1), nullptr);
    std::string type = "-";
    if (reply && xcb_get_property_value_length(reply) >= 4) {
        auto first = *static_cast<xcb_atom_t*>(xcb_get_property_value(reply));
        auto* name = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, first), nullptr);
        if (name) {
            type.assign(xcb_get_atom_name_name(name),
                        static_cast<std::size_t>(xcb_get_atom_name_name_length(name)));
            std::free(name);
            const std::string prefix = "_NET_WM_WINDOW_TYPE_";
            if (type.starts_with(prefix))
                type = type.substr(prefix.size());
        }
    }
    std::free(reply);
    return type;
}

void printPlace(xcb_connection_t* c, xcb_window_t root, xcb_window_t w, bool withType) {
    auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    auto* place =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), nullptr);
    if (geometry && place)
        std::printf("%u %d %d %u %u%s\n", w, place->dst_x, place->dst_y, geometry->width,
                    geometry->height, withType ? (" " + windowType(c, w)).c_str() : "");
    std::free(geometry);
    std::free(place);
}

// Viewable windows below PARENT (down to DEPTH 6; under a reparenting window manager clients
// are below its frames) that WANTED accepts, given the window, its parent and its attributes.
template <typename Wanted>
void findWindows(xcb_connection_t* c, xcb_window_t root, xcb_window_t parent, int depth,
                 const Wanted& wanted, bool withType = false) {
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
    if (!tree)
        return;
    xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_window_t w = children[i];
        auto* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
            wanted(w, parent, *attributes))
            printPlace(c, root, w, withType);
        std::free(attributes);
        if (depth < 6)
            findWindows(c, root, w, depth + 1, wanted, withType);
    }
    std::free(tree);
}

// Every window of class CLS below PARENT, down to depth 6, into FOUND.
void findHosts(xcb_connection_t* c, xcb_window_t parent, int depth, const std::string& cls,
               std::vector<xcb_window_t>& found) {
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
    if (!tree)
        return;
    xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        if (classOf(c, children[i]) == cls)
            found.push_back(children[i]);
        else if (depth < 6)
            findHosts(c, children[i], depth + 1, cls, found);
    }
    std::free(tree);
}

void rootColour(xcb_connection_t* c, xcb_screen_t* screen, const std::string& rgb) {
    auto colour = static_cast<std::uint32_t>(std::strtoul(rgb.c_str(), nullptr, 16));
    xcb_window_t root = screen->root;
    // A compositing manager paints the root from the pixmap named by _XROOTPMAP_ID (grey
    // without one); the pixmap outlives this client, as xsetroot's does.
    xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, screen->root_depth, pixmap, root, 1, 1);
    xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, XCB_GC_FOREGROUND, &colour);
    xcb_rectangle_t all{0, 0, 1, 1};
    xcb_poly_fill_rectangle(c, pixmap, gc, 1, &all);
    xcb_free_gc(c, gc);
    xcb_change_window_attributes(c, root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_atom_t rootPixmap = atom(c, "_XROOTPMAP_ID");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, rootPixmap, XCB_ATOM_PIXMAP, 32, 1,
                        &pixmap);
    xcb_set_close_down_mode(c, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    xcb_clear_area(c, 0, root, 0, 0, 0, 0);
    roundTrip(c);
}

// The pixels of the screen in X Y W H (its part on the screen, from LEFT TOP, WIDTH x HEIGHT)
// as 0xRRGGBB: depth 24 is stored in 32 bits a pixel, little endian here, rows unpadded.
struct ScreenPart {
    int left, top, width, height;
    std::vector<std::uint32_t> pixels;
};
ScreenPart readScreen(xcb_connection_t* c, xcb_screen_t* screen,
                      const std::vector<std::string>& args) {
    const int x = std::atoi(args[0].c_str()), y = std::atoi(args[1].c_str());
    ScreenPart part{std::max(x, 0), std::max(y, 0), 0, 0, {}};
    part.width = std::min<int>(x + std::atoi(args[2].c_str()), screen->width_in_pixels) - part.left;
    part.height =
        std::min<int>(y + std::atoi(args[3].c_str()), screen->height_in_pixels) - part.top;
    if (part.width <= 0 || part.height <= 0)
        fail("the rectangle is off the screen");
    if (screen->root_depth != 24)
        fail("the screen is not of depth 24");
    auto* image = xcb_get_image_reply(c,
                                      xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root,
                                                    static_cast<std::int16_t>(part.left),
                                                    static_cast<std::int16_t>(part.top),
                                                    static_cast<std::uint16_t>(part.width),
                                                    static_cast<std::uint16_t>(part.height), ~0u),
                                      nullptr);
    if (!image)
        fail("cannot read the screen");
    const std::size_t count = static_cast<std::size_t>(part.width) * part.height;
    if (static_cast<std::size_t>(xcb_get_image_data_length(image)) < count * 4)
        fail("the screen image is shorter than its size");
    const std::uint8_t* data = xcb_get_image_data(image);
    for (std::size_t i = 0; i < count; ++i)
        part.pixels.push_back(std::uint32_t{data[4 * i + 2]} << 16 |
                              std::uint32_t{data[4 * i + 1]} << 8 | data[4 * i]);
    std::free(image);
    return part;
}

int colours(xcb_connection_t* c, xcb_screen_t* screen, const std::vector<std::string>& args) {
    if (args.size() != 4)
        fail("usage: colours X Y W H");
    std::map<std::uint32_t, int> counts;
    for (std::uint32_t pixel : readScreen(c, screen, args).pixels)
        ++counts[pixel];
    std::vector<std::pair<std::uint32_t, int>> sorted(counts.begin(), counts.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    for (const auto& [colour, count] : sorted)
        std::printf("%06x %d\n", colour, count);
    return 0;
}

// Where the dark pixels of a drawing are (its extent tells whether it was drawn at its own
// size or stretched), or those of one colour; places stay relative to X Y.
int pixelExtent(xcb_connection_t* c, xcb_screen_t* screen, const std::vector<std::string>& args,
                bool ofColour) {
    if (args.size() != 5)
        fail(ofColour ? "usage: colour-extent X Y W H RRGGBB" : "usage: dark-extent X Y W H LEVEL");
    const int x = std::atoi(args[0].c_str()), y = std::atoi(args[1].c_str());
    const std::uint32_t level = static_cast<std::uint32_t>(std::atoi(args[4].c_str()));
    const unsigned long colour = std::strtoul(args[4].c_str(), nullptr, 16);
    const ScreenPart part = readScreen(c, screen, args);
    const int left = part.left, top = part.top, width = part.width, height = part.height;
    int darkLeft = width, darkTop = height, darkRight = -1, darkBottom = -1;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const std::uint32_t p = part.pixels[static_cast<std::size_t>(row) * width + column];
            const bool counts =
                ofColour ? p == colour
                         : (p >> 16) < level && (p >> 8 & 0xff) < level && (p & 0xff) < level;
            if (counts) {
                darkLeft = std::min(darkLeft, column);
                darkRight = std::max(darkRight, column);
                darkTop = std::min(darkTop, row);
                darkBottom = std::max(darkBottom, row);
            }
        }
    }
    if (darkRight < 0)
        return 1;
    std::printf("%d %d %d %d\n", darkLeft + left - x, darkTop + top - y, darkRight + left - x,
                darkBottom + top - y);
    return 0;
}

// The requests in one block of recorded client data (several may come together), without
// element headers, in this machine's byte order: PROPERTY's GetProperty requests among them.
int getPropertyRequests(const std::uint8_t* data, std::size_t length, xcb_atom_t property) {
    constexpr std::uint8_t kGetProperty = 20;
    int found = 0;
    std::size_t offset = 0;
    while (offset + 4 <= length) {
        const std::uint8_t* request = data + offset;
        std::uint32_t words = request[2] | (std::uint32_t{request[3]} << 8);
        if (words == 0) { // BIG-REQUESTS: the length follows in 32 bits
            if (offset + 8 > length)
                break;
            std::memcpy(&words, request + 4, 4);
        }
        if (words == 0 || words > (length - offset) / 4)
            break;
        if (request[0] == kGetProperty && words >= 3) {
            xcb_atom_t asked = 0;
            std::memcpy(&asked, request + 8, 4);
            found += asked == property;
        }
        offset += std::size_t{words} * 4;
    }
    return found;
}

int propertyReads(xcb_connection_t* c, const std::vector<std::string>& args) {
    if (args.size() != 1)
        fail("usage: property-reads PROPERTY");
    const xcb_atom_t property = atom(c, args[0].c_str());
    const xcb_query_extension_reply_t* record = xcb_get_extension_data(c, &xcb_record_id);
    if (!record || !record->present)
        fail("the display has no RECORD extension");
    xcb_record_context_t context = xcb_generate_id(c);
    xcb_record_range_t range{};
    range.core_requests.first = 20; // GetProperty
    range.core_requests.last = 20;
    const xcb_record_client_spec_t clients = XCB_RECORD_CS_ALL_CLIENTS;
    if (xcb_generic_error_t* error = xcb_request_check(
            c, xcb_record_create_context_checked(c, context, 0, 1, 1, &clients, &range))) {
        std::free(error);
        fail("cannot make a recording context");
    }
    // The recorded data comes on a connection of its own, as replies to one request.
    xcb_connection_t* data = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(data))
        fail("cannot connect to the display");
    auto cookie = xcb_record_enable_context(data, context);
    constexpr std::uint8_t kFromClient = 1, kStartOfData = 4;
    while (auto* reply = xcb_record_enable_context_reply(data, cookie, nullptr)) {
        if (reply->category == kStartOfData) {
            std::printf("ready\n");
        } else if (reply->category == kFromClient && !reply->client_swapped) {
            int reads = getPropertyRequests(
                xcb_record_enable_context_data(reply),
                static_cast<std::size_t>(xcb_record_enable_context_data_length(reply)), property);
            for (int i = 0; i < reads; ++i)
                std::printf("read\n");
        }
        std::fflush(stdout);
        std::free(reply);
    }
    xcb_disconnect(data);
    return 0;
}

std::uint8_t lockedGroup(xcb_connection_t* c) {
    auto* state =
        xcb_xkb_get_state_reply(c, xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD), nullptr);
    if (!state)
        fail("cannot read the XKB state");
    std::uint8_t group = state->lockedGroup;
    std::free(state);
    return group;
}

int watchGroups(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
    xcb_xkb_select_events_details_t details{};
    details.affectState = XCB_XKB_STATE_PART_GROUP_LOCK;
    details.stateDetails = XCB_XKB_STATE_PART_GROUP_LOCK;
    xcb_xkb_select_events_aux(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, 0, 0,
                              0, &details);
    std::uint8_t last = lockedGroup(c); // after selecting: no change slips between
    std::printf("%u\n", last);
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7F) == xkb->first_event) {
            auto* state = reinterpret_cast<xcb_xkb_state_notify_event_t*>(event);
            if (state->xkbType == XCB_XKB_STATE_NOTIFY && state->lockedGroup != last) {
                last = state->lockedGroup;
                std::printf("%u\n", last);
                std::fflush(stdout);
            }
        }
        std::free(event);
    }
    return 0;
}

std::string atomName(xcb_connection_t* c, xcb_atom_t a) {
    auto* reply = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, a), nullptr);
    if (!reply)
        return "atom" + std::to_string(a);
    std::string name(xcb_get_atom_name_name(reply),
                     static_cast<std::size_t>(xcb_get_atom_name_name_length(reply)));
    std::free(reply);
    return name;
}

// The server knows the process of each local client (X-Resource 1.2): every connection of PID
// counts, so a connection that is opened again and again shows as well as a leaked window.
int xResources(xcb_connection_t* c, const std::vector<std::string>& args) {
    if (args.size() != 1)
        fail("usage: x-resources PID");
    const std::uint32_t pid =
        static_cast<std::uint32_t>(std::strtoul(args[0].c_str(), nullptr, 10));
    auto* version = xcb_res_query_version_reply(c, xcb_res_query_version(c, 1, 2), nullptr);
    const bool haveIds = version && (version->server_major > 1 ||
                                     (version->server_major == 1 && version->server_minor >= 2));
    std::free(version);
    if (!haveIds)
        fail("the display has no X-Resource 1.2");
    xcb_res_client_id_spec_t all{XCB_NONE, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    auto* ids = xcb_res_query_client_ids_reply(c, xcb_res_query_client_ids(c, 1, &all), nullptr);
    if (!ids)
        fail("cannot list the clients");
    std::vector<std::uint32_t> clients;
    for (auto it = xcb_res_query_client_ids_ids_iterator(ids); it.rem;
         xcb_res_client_id_value_next(&it)) {
        const xcb_res_client_id_value_t* id = it.data;
        if ((id->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
            xcb_res_client_id_value_value_length(id) >= 1 &&
            *xcb_res_client_id_value_value(it.data) == pid)
            clients.push_back(id->spec.client);
    }
    std::free(ids);
    std::map<std::string, std::uint64_t> counts;
    for (std::uint32_t client : clients) {
        auto* resources = xcb_res_query_client_resources_reply(
            c, xcb_res_query_client_resources(c, client), nullptr);
        if (!resources)
            continue; // it went away meanwhile
        for (auto it = xcb_res_query_client_resources_types_iterator(resources); it.rem;
             xcb_res_type_next(&it))
            counts[atomName(c, it.data->resource_type)] += it.data->count;
        std::free(resources);
    }
    std::printf("clients\t%zu\n", clients.size());
    for (const auto& [type, count] : counts)
        std::printf("%s\t%llu\n", type.c_str(), static_cast<unsigned long long>(count));
    return clients.empty() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        fail("usage: e2e_client windows|paint|agent-windows|colours|watch-groups|lock|group ...");
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c))
        fail("cannot connect to the display");
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    auto* version = xcb_xkb_use_extension_reply(c, xcb_xkb_use_extension(c, 1, 0), nullptr);
    bool haveXkb = version && version->supported;
    std::free(version);
    int status = 0;
    if (command == "windows") {
        status = windows(c, screens.data, args);
    } else if (command == "paint") {
        status = paint(c, screens.data, args);
    } else if (command == "browser") {
        status = browser(c, screens.data, args);
    } else if ((command == "agent-windows" || command == "agent-popups") && args.size() == 1) {
        xcb_window_t root = screens.data->root;
        const bool popups = command == "agent-popups";
        findWindows(
            c, root, root, popups ? 6 : 3,
            [&](xcb_window_t w, xcb_window_t, const xcb_get_window_attributes_reply_t& a) {
                return a.override_redirect == popups && classOf(c, w) == args[0];
            },
            !popups);
    } else if (command == "embedded" && args.size() == 2) {
        xcb_window_t root = screens.data->root;
        auto ofClass = [&](const std::string& wanted) {
            return [&c, wanted](xcb_window_t w, xcb_window_t,
                                const xcb_get_window_attributes_reply_t&) {
                return classOf(c, w) == wanted;
            };
        };
        std::vector<xcb_window_t> hosts;
        findHosts(c, root, 0, args[1], hosts);
        for (xcb_window_t host : hosts)
            findWindows(c, root, host, 2, ofClass(args[0]));
    } else if (command == "tray") {
        status = selectionOwned(c, "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber)) ? 0 : 1;
    } else if (command == "root-colour" && args.size() == 1) {
        rootColour(c, screens.data, args[0]);
    } else if (command == "compositing") {
        status = selectionOwned(c, "_NET_WM_CM_S" + std::to_string(screenNumber)) ? 0 : 1;
    } else if (command == "colours") {
        status = colours(c, screens.data, args);
    } else if (command == "dark-extent") {
        status = pixelExtent(c, screens.data, args, false);
    } else if (command == "colour-extent") {
        status = pixelExtent(c, screens.data, args, true);
    } else if (command == "property-reads") {
        status = propertyReads(c, args);
    } else if (command == "x-resources") {
        status = xResources(c, args);
    } else if (!haveXkb) {
        fail("the display has no XKB");
    } else if (command == "watch-groups") {
        status = watchGroups(c);
    } else if (command == "press" && args.size() == 1) {
        press(c, static_cast<std::uint8_t>(std::atoi(args[0].c_str())));
    } else if (command == "type-after" && args.size() == 3) {
        status = typeAfter(c, screens.data, args);
    } else if (command == "group") {
        std::printf("%u\n", lockedGroup(c));
    } else if (command == "lock" && args.size() == 1) {
        xcb_xkb_latch_lock_state(c, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1,
                                 static_cast<std::uint8_t>(std::atoi(args[0].c_str())), 0, 0, 0);
        roundTrip(c);
    } else if (command == "close" && args.size() == 1) {
        // The window manager then asks the client to close it (WM_DELETE_WINDOW).
        askWindowManager(c, screens.data,
                         static_cast<xcb_window_t>(std::stoul(args[0], nullptr, 0)),
                         "_NET_CLOSE_WINDOW", 0, 2);
        roundTrip(c);
    } else if (command == "show-desktop") {
        askWindowManager(c, screens.data, screens.data->root, "_NET_SHOWING_DESKTOP", 1, 0);
        roundTrip(c);
    } else {
        fail("unknown command " + command);
    }
    xcb_disconnect(c);
    return status;
}

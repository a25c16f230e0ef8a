// SPDX-License-Identifier: MIT
// The X client the end-to-end tests drive the desktop with; kCommands at the end lists the
// commands, each function says what its command does.

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
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using velmora::xcb_tool::fail;
using Args = std::vector<std::string>;

// The one connection of this short-lived tool and its screen, set up by main.
xcb_connection_t* c = nullptr;
xcb_screen_t* screen = nullptr;
int screenNumber = 0;

int number(const std::string& text) {
    return std::atoi(text.c_str());
}
std::uint32_t hexNumber(const std::string& text) {
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
}
xcb_window_t windowId(const std::string& text) {
    return static_cast<xcb_window_t>(std::strtoul(text.c_str(), nullptr, 0));
}

// A reply (or none) freed when it goes.
template <typename T> std::unique_ptr<T, void (*)(void*)> owned(T* reply) {
    return {reply, std::free};
}

xcb_atom_t atom(const char* name) {
    auto reply = owned(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    if (!reply)
        fail(std::string("cannot intern ") + name);
    return reply->atom;
}

std::string atomName(xcb_atom_t a) {
    auto reply = owned(xcb_get_atom_name_reply(c, xcb_get_atom_name(c, a), nullptr));
    if (!reply)
        return "atom" + std::to_string(a);
    return {xcb_get_atom_name_name(reply.get()),
            static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get()))};
}

// The bytes of W's PROPERTY when it is of TYPE (at most LONGS 32-bit units); none otherwise.
std::optional<std::string> property(xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
                                    std::uint32_t longs) {
    auto reply = owned(
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, longs), nullptr));
    if (!reply || reply->type != type)
        return std::nullopt;
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

void setText(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, const std::string& bytes) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                        static_cast<std::uint32_t>(bytes.size()), bytes.data());
}
void setWords(xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
              const std::vector<std::uint32_t>& words) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 32,
                        static_cast<std::uint32_t>(words.size()), words.data());
}

void setClass(xcb_window_t w, const std::string& instance, const std::string& cls) {
    setText(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, instance + '\0' + cls + '\0');
}

// Motif hints: decorations given, none.
void undecorated(xcb_window_t w) {
    setWords(w, atom("_MOTIF_WM_HINTS"), atom("_MOTIF_WM_HINTS"), {2, 0, 0, 0, 0});
}

std::string classOf(xcb_window_t w) {
    const std::string bytes = property(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256).value_or("");
    const std::size_t end = bytes.find('\0');
    if (end == std::string::npos)
        return {};
    std::string cls = bytes.substr(end + 1);
    return cls.substr(0, cls.find('\0'));
}

int roundTrip() {
    owned(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return 0;
}

// A request to the window manager about WINDOW, as a pager sends it.
int askWindowManager(xcb_window_t window, const char* type, std::uint32_t data0,
                     std::uint32_t data1) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.window = window;
    message.format = 32;
    message.type = atom(type);
    message.data.data32[0] = data0;
    message.data.data32[1] = data1;
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    return roundTrip();
}

// Exit status 0 when the selection of NAME and the screen's number has an owner, 1 otherwise.
int selectionOwned(const std::string& name) {
    auto owner = owned(xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, atom((name + std::to_string(screenNumber)).c_str())),
        nullptr));
    return owner && owner->owner != XCB_NONE ? 0 : 1;
}

xcb_generic_event_t* nextEvent() {
    xcb_generic_event_t* event = xcb_wait_for_event(c);
    if (!event)
        fail("lost the display");
    return event;
}

xcb_window_t createWindow(int x, int y, int width, int height, std::uint32_t background,
                          std::uint32_t events, xcb_cursor_t cursor = XCB_NONE) {
    const xcb_window_t w = xcb_generate_id(c);
    const std::uint32_t values[] = {background, XCB_EVENT_MASK_PROPERTY_CHANGE | events, cursor};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK | (cursor ? XCB_CW_CURSOR : 0), values);
    return w;
}

// Maps WINDOWS as ordinary windows that take the focus when activated, waits until the window
// manager manages them (activating or clicking one it has not taken on yet does nothing) unless
// not WAIT, prints "ID X Y" of each (its corner on the screen), then "key WINDOW GROUP" for each
// key pressed and "press X Y" for each click in one, until the display goes.
int serve(const std::vector<xcb_window_t>& windows, bool wait = true) {
    xcb_icccm_wm_hints_t hints{};
    xcb_icccm_wm_hints_set_input(&hints, 1);
    xcb_icccm_wm_hints_set_normal(&hints);
    for (xcb_window_t w : windows) {
        xcb_icccm_set_wm_hints(c, w, &hints);
        xcb_map_window(c, w);
    }
    xcb_flush(c);
    const xcb_atom_t wmState = atom("WM_STATE");
    for (xcb_window_t w : windows) {
        while (wait && !property(w, wmState, wmState, 2))
            std::free(nextEvent());
        auto origin = owned(xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, w, screen->root, 0, 0), nullptr));
        std::printf("%u %d %d\n", w, origin ? origin->dst_x : 0, origin ? origin->dst_y : 0);
    }
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7F) == XCB_KEY_PRESS) {
            const auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
            // The core state carries the XKB group in bits 13 and 14.
            std::printf("key %u %u\n", key->event, (key->state >> 13) & 3u);
        } else if ((event->response_type & 0x7F) == XCB_BUTTON_PRESS) {
            const auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
            std::printf("press %d %d\n", press->root_x, press->root_y);
        }
        std::free(event);
    }
    return 0;
}

// COUNT windows of WM_CLASS class CLASS ("" for none), served; --icon gives them a 16 x 16 icon
// of that colour and a 64 x 64 one in blue; --paint gives one that colour and place, undecorated.
int windows(const Args& args) {
    const std::string& cls = args[0];
    bool badNames = false, wait = true, painted = false;
    std::vector<std::uint32_t> icon;
    int place[4] = {40, 40, 240, 160};
    std::uint32_t colour = screen->white_pixel;
    for (std::size_t i = 2; i < args.size(); ++i) {
        badNames = badNames || args[i] == "--bad-names";
        wait = wait && args[i] != "--no-wait";
        if (args[i] == "--icon" && i + 1 < args.size()) {
            icon = {16, 16};
            icon.insert(icon.end(), 16 * 16, 0xff000000u | hexNumber(args[++i]));
            icon.insert(icon.end(), {64, 64});
            icon.insert(icon.end(), 64 * 64, 0xff0000ffu);
        } else if (args[i] == "--paint" && i + 5 < args.size()) {
            // A TrueColor root visual of depth 24 takes the colour as the pixel value.
            colour = hexNumber(args[++i]);
            for (int& value : place)
                value = number(args[++i]);
            painted = true;
        }
    }
    const xcb_atom_t netWmName = atom("_NET_WM_NAME"), utf8 = atom("UTF8_STRING");
    std::vector<xcb_window_t> created;
    for (int i = 0; i < number(args[1]); ++i) {
        const xcb_window_t w =
            createWindow(place[0] + 30 * i, place[1] + 30 * i, place[2], place[3], colour,
                         XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS);
        const std::string title = (cls.empty() ? "nameless" : cls) + " " + std::to_string(i + 1);
        setText(w, netWmName, utf8, badNames ? "caf\xE9 \xFF title" : title); // not UTF-8
        setText(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, badNames ? "caf\xE9" : title);
        if (!cls.empty())
            setClass(w, "e2e-window", cls);
        if (!icon.empty())
            setWords(w, atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL, icon);
        setWords(w, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, {static_cast<std::uint32_t>(getpid())});
        if (painted) { // the place asked for is the user's, which the window manager keeps
            undecorated(w);
            xcb_size_hints_t size{};
            xcb_icccm_size_hints_set_position(&size, 1, place[0], place[1]);
            xcb_icccm_size_hints_set_size(&size, 1, place[2], place[3]);
            xcb_icccm_set_wm_normal_hints(c, w, &size);
        }
        created.push_back(w);
    }
    return serve(created, wait);
}

// An I-beam of 16 x 16 pixels: a stem with a serif at each end, opaque black with a grey rim.
constexpr std::uint16_t kBeamSide = 16, kBeamHotX = 7, kBeamHotY = 8;
std::vector<std::uint32_t> beamPicture() {
    std::vector<std::uint32_t> argb(kBeamSide * kBeamSide, 0);
    for (int y = 2; y < 14; ++y)
        argb[y * kBeamSide + 7] = argb[y * kBeamSide + 8] = 0xff000000;
    for (int x = 4; x < 12; ++x)
        argb[1 * kBeamSide + x] = argb[14 * kBeamSide + x] = 0x80404040; // premultiplied
    return argb;
}

// The picture as a cursor theme's file: one image (Xcursor format, little-endian).
void writeThemeCursor(const std::string& folder, const std::vector<std::uint32_t>& argb) {
    std::filesystem::create_directories(folder + "/cursors");
    std::ofstream out(folder + "/cursors/xterm", std::ios::binary);
    std::vector<std::uint32_t> words = {16u,       0x10000u,  1u,          0xfffd0002u, kBeamSide,
                                        28u,       36u,       0xfffd0002u, kBeamSide,   1u,
                                        kBeamSide, kBeamSide, kBeamHotX,   kBeamHotY,   0u};
    words.insert(words.end(), argb.begin(), argb.end());
    out << "Xcur";
    for (std::uint32_t v : words)
        for (int i = 0; i < 4; ++i)
            out.put(static_cast<char>(v >> (8 * i)));
    if (!out)
        fail("cannot write the theme's cursor in " + folder);
}

// A cursor from an ARGB picture (Render), named by nobody.
xcb_cursor_t pictureCursor(const std::vector<std::uint32_t>& argb) {
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
// it, and where its drawing begins. 600x400; its cursor is the font's I-beam named "xterm", the
// arrow "left_ptr", the I-beam "unnamed", or ("theme:FOLDER") an unnamed I-beam picture also
// written as FOLDER/cursors/xterm, as Chrome shows its theme's; with L R T B undecorated with
// those _GTK_FRAME_EXTENTS. Prints "ID X Y" (its corner).
int browser(const Args& args) {
    if (args.size() != 2 && args.size() != 6)
        fail("usage: browser CLASS CURSOR [L R T B]");
    const std::string& cursorKind = args[1];
    auto xfixes =
        owned(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 2, 0), nullptr));
    if (!xfixes || xfixes->major_version < 2)
        fail("no XFixes 2 to name cursors");
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
        cursor = pictureCursor(beam);
    } else if (cursorKind != "unnamed") {
        fail("unknown cursor " + cursorKind);
    }
    const xcb_window_t w = createWindow(100, 100, 600, 400, screen->white_pixel, 0, cursor);
    setText(w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), args[0] + " - New Tab");
    setClass(w, "e2e-browser", args[0]);
    if (args.size() == 6) {
        undecorated(w);
        std::vector<std::uint32_t> margins;
        for (int i = 2; i < 6; ++i)
            margins.push_back(
                static_cast<std::uint32_t>(std::strtoul(args[i].c_str(), nullptr, 10)));
        setWords(w, atom("_GTK_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, margins);
    }
    return serve({w});
}

// The first _NET_WM_WINDOW_TYPE of W without its prefix; "-" when it has none.
std::string windowType(xcb_window_t w) {
    const auto types = property(w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 1);
    if (!types || types->size() < 4)
        return "-";
    xcb_atom_t first = 0;
    std::memcpy(&first, types->data(), 4);
    const std::string type = atomName(first), prefix = "_NET_WM_WINDOW_TYPE_";
    return type.starts_with(prefix) ? type.substr(prefix.size()) : type;
}

// "ID X Y W H TYPE WHERE" of each viewable window of class CLASS below PARENT, LEVELS levels
// down at most (under a reparenting window manager clients are below its frames). TYPE is its
// first _NET_WM_WINDOW_TYPE without the prefix ("-" for none); WHERE is the class of the nearest
// window around it that has one (the tray's for a tray icon), else "popup" for an
// override-redirect window and "-" for others.
void listWindows(const std::string& cls, xcb_window_t parent, int levels, const std::string& host) {
    auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr));
    const xcb_window_t* children = tree ? xcb_query_tree_children(tree.get()) : nullptr;
    for (int i = 0; tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
        const xcb_window_t w = children[i];
        auto a =
            owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
        if (!a || a->map_state != XCB_MAP_STATE_VIEWABLE)
            continue; // nor is anything inside it
        const std::string own = classOf(w);
        if (own == cls) {
            auto geometry = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
            auto place = owned(xcb_translate_coordinates_reply(
                c, xcb_translate_coordinates(c, w, screen->root, 0, 0), nullptr));
            if (geometry && place)
                std::printf("%u %d %d %u %u %s %s\n", w, place->dst_x, place->dst_y,
                            geometry->width, geometry->height, windowType(w).c_str(),
                            host != "-" || !a->override_redirect ? host.c_str() : "popup");
        }
        if (levels > 1)
            listWindows(cls, w, levels - 1, own.empty() ? host : own);
    }
}

// Paints the root's background.
int rootColour(const Args& args) {
    const std::uint32_t colour = hexNumber(args[0]);
    const xcb_window_t root = screen->root;
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
    setWords(root, atom("_XROOTPMAP_ID"), XCB_ATOM_PIXMAP, {pixmap});
    xcb_set_close_down_mode(c, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    xcb_clear_area(c, 0, root, 0, 0, 0, 0);
    return roundTrip();
}

// The pixels of the screen in X Y W H (its part on the screen, from LEFT TOP, WIDTH x HEIGHT)
// as 0xRRGGBB: depth 24 is stored in 32 bits a pixel, little endian here, rows unpadded.
struct ScreenPart {
    int left, top, width, height;
    std::vector<std::uint32_t> pixels;
};
ScreenPart readScreen(const Args& args) {
    const int x = number(args[0]), y = number(args[1]);
    ScreenPart part{std::max(x, 0), std::max(y, 0), 0, 0, {}};
    part.width = std::min<int>(x + number(args[2]), screen->width_in_pixels) - part.left;
    part.height = std::min<int>(y + number(args[3]), screen->height_in_pixels) - part.top;
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

// "RRGGBB COUNT R G B" of each colour in the rectangle, most frequent first.
int colours(const Args& args) {
    std::map<std::uint32_t, int> counts;
    for (std::uint32_t pixel : readScreen(args).pixels)
        ++counts[pixel];
    std::vector<std::pair<std::uint32_t, int>> sorted(counts.begin(), counts.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    for (const auto& [colour, count] : sorted)
        std::printf("%06x %d %u %u %u\n", colour, count, colour >> 16, colour >> 8 & 0xff,
                    colour & 0xff);
    return 0;
}

// Where the dark pixels of a drawing are (its extent tells whether it was drawn at its own
// size or stretched), or those of one colour: "LEFT TOP RIGHT BOTTOM", inclusive, relative to
// X Y; exit status 1 when there are none.
int pixelExtent(const Args& args, bool ofColour) {
    const std::uint32_t level = static_cast<std::uint32_t>(number(args[4]));
    const std::uint32_t colour = hexNumber(args[4]);
    const ScreenPart part = readScreen(args);
    int left = part.width, top = part.height, right = -1, bottom = -1;
    for (int row = 0; row < part.height; ++row) {
        for (int column = 0; column < part.width; ++column) {
            const std::uint32_t p =
                part.pixels[static_cast<std::size_t>(row) * part.width + column];
            if (ofColour ? p == colour
                         : (p >> 16) < level && (p >> 8 & 0xff) < level && (p & 0xff) < level) {
                left = std::min(left, column);
                right = std::max(right, column);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
        }
    }
    if (right < 0)
        return 1;
    const int dx = part.left - number(args[0]), dy = part.top - number(args[1]);
    std::printf("%d %d %d %d\n", left + dx, top + dy, right + dx, bottom + dy);
    return 0;
}

// "ready" once recording (RECORD), then "read" for every GetProperty of PROPERTY by any client.
int propertyReads(const Args& args) {
    const xcb_atom_t property = atom(args[0].c_str());
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
            // Several requests may come together, without element headers, in this machine's
            // byte order; only GetProperty requests are recorded, 24 bytes each.
            const std::uint8_t* requests = xcb_record_enable_context_data(reply);
            for (int at = 0; at + 24 <= xcb_record_enable_context_data_length(reply); at += 24) {
                xcb_atom_t asked = 0;
                std::memcpy(&asked, requests + at + 8, 4);
                if (asked == property)
                    std::printf("read\n");
            }
        }
        std::free(reply);
    }
    xcb_disconnect(data);
    return 0;
}

std::uint8_t lockedGroup() {
    auto state =
        owned(xcb_xkb_get_state_reply(c, xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    if (!state)
        fail("cannot read the XKB state");
    return state->lockedGroup;
}

// Prints the locked XKB group now and after every change.
int watchGroups() {
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
    xcb_xkb_select_events_details_t details{};
    details.affectState = XCB_XKB_STATE_PART_GROUP_LOCK;
    details.stateDetails = XCB_XKB_STATE_PART_GROUP_LOCK;
    xcb_xkb_select_events_aux(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, 0, 0,
                              0, &details);
    std::uint8_t last = lockedGroup(); // after selecting: no change slips between
    std::printf("%u\n", last);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        auto* state = reinterpret_cast<xcb_xkb_state_notify_event_t*>(event);
        if ((event->response_type & 0x7F) == xkb->first_event &&
            state->xkbType == XCB_XKB_STATE_NOTIFY && state->lockedGroup != last)
            std::printf("%u\n", last = state->lockedGroup);
        std::free(event);
    }
    return 0;
}

// Presses and releases KEYCODE (XTest) without touching the group (xdotool does).
int press(int keycode) {
    for (std::uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE})
        xcb_test_fake_input(c, type, static_cast<std::uint8_t>(keycode), XCB_CURRENT_TIME, XCB_NONE,
                            0, 0, 0);
    return roundTrip();
}

// Locks GROUP as a layout switch does.
int lock(const Args& args) {
    xcb_xkb_latch_lock_state(c, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1,
                             static_cast<std::uint8_t>(number(args[0])), 0, 0, 0);
    return roundTrip();
}

// Activates WINDOW as a pager does and presses KEYCODE MS ms after it has the focus.
int typeAfter(const Args& args) {
    const xcb_window_t window = windowId(args[0]);
    std::uint32_t mask = XCB_EVENT_MASK_FOCUS_CHANGE;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    askWindowManager(window, "_NET_ACTIVE_WINDOW", 2, 0); // 2: from a pager
    for (bool focused = false; !focused;) {
        xcb_generic_event_t* event = nextEvent();
        focused = (event->response_type & 0x7F) == XCB_FOCUS_IN &&
                  reinterpret_cast<xcb_focus_in_event_t*>(event)->event == window;
        std::free(event);
    }
    usleep(static_cast<useconds_t>(number(args[1])) * 1000);
    return press(number(args[2]));
}

// The server knows the process of each local client (X-Resource 1.2): every connection of PID
// counts, so a connection that is opened again and again shows as well as a leaked window.
// Prints "clients N", then "TYPE<tab>COUNT" of the X resources of PID's connections.
int xResources(const Args& args) {
    const auto pid = static_cast<std::uint32_t>(std::strtoul(args[0].c_str(), nullptr, 10));
    auto version = owned(xcb_res_query_version_reply(c, xcb_res_query_version(c, 1, 2), nullptr));
    if (!version ||
        std::pair<int, int>(version->server_major, version->server_minor) < std::pair(1, 2))
        fail("the display has no X-Resource 1.2");
    xcb_res_client_id_spec_t all{XCB_NONE, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    auto* ids = xcb_res_query_client_ids_reply(c, xcb_res_query_client_ids(c, 1, &all), nullptr);
    if (!ids)
        fail("cannot list the clients");
    std::vector<std::uint32_t> clients;
    for (auto it = xcb_res_query_client_ids_ids_iterator(ids); it.rem;
         xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
            xcb_res_client_id_value_value_length(it.data) >= 1 &&
            *xcb_res_client_id_value_value(it.data) == pid)
            clients.push_back(it.data->spec.client);
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
            counts[atomName(it.data->resource_type)] += it.data->count;
        std::free(resources);
    }
    std::printf("clients\t%zu\n", clients.size());
    for (const auto& [type, count] : counts)
        std::printf("%s\t%llu\n", type.c_str(), static_cast<unsigned long long>(count));
    return clients.empty() ? 1 : 0;
}

struct Command {
    const char* usage;        // the name, then the arguments
    std::size_t fewest, most; // arguments
    std::function<int(const Args&)> run;
};

const std::vector<Command> kCommands = {
    {"windows CLASS COUNT [--bad-names] [--no-wait] [--icon RGB] [--paint RGB X Y W H]", 2, 11,
     windows},
    {"browser CLASS CURSOR [L R T B]", 2, 6, browser},
    {"agent-windows CLASS", 1, 1,
     [](const Args& a) { return listWindows(a[0], screen->root, 8, "-"), 0; }},
    // Exit status 0 when a tray manager / a compositing manager runs, 1 otherwise.
    {"tray", 0, 0, [](const Args&) { return selectionOwned("_NET_SYSTEM_TRAY_S"); }},
    {"compositing", 0, 0, [](const Args&) { return selectionOwned("_NET_WM_CM_S"); }},
    {"root-colour RRGGBB", 1, 1, rootColour},
    {"colours X Y W H", 4, 4, colours},
    {"dark-extent X Y W H LEVEL", 5, 5, [](const Args& a) { return pixelExtent(a, false); }},
    {"colour-extent X Y W H RRGGBB", 5, 5, [](const Args& a) { return pixelExtent(a, true); }},
    {"property-reads PROPERTY", 1, 1, propertyReads},
    {"x-resources PID", 1, 1, xResources},
    {"watch-groups", 0, 0, [](const Args&) { return watchGroups(); }},
    {"press KEYCODE", 1, 1, [](const Args& a) { return press(number(a[0])); }},
    {"type-after WINDOW MS KEYCODE", 3, 3, typeAfter},
    {"group", 0, 0, [](const Args&) { return std::printf("%u\n", lockedGroup()) < 0; }},
    {"lock GROUP", 1, 1, lock},
    // The window manager then asks the client to close it (WM_DELETE_WINDOW).
    {"close WINDOW", 1, 1,
     [](const Args& a) { return askWindowManager(windowId(a[0]), "_NET_CLOSE_WINDOW", 0, 2); }},
    {"show-desktop", 0, 0,
     [](const Args&) { return askWindowManager(screen->root, "_NET_SHOWING_DESKTOP", 1, 0); }},
};

} // namespace

int main(int argc, char** argv) {
    const std::string name = argc > 1 ? argv[1] : "";
    const Args args(argv + std::min(argc, 2), argv + argc);
    const auto command = std::find_if(kCommands.begin(), kCommands.end(), [&](const Command& k) {
        return std::string(k.usage).substr(0, std::string(k.usage).find(' ')) == name;
    });
    if (command == kCommands.end() || args.size() < command->fewest ||
        args.size() > command->most) {
        std::string usage = "usage:";
        for (const Command& k : kCommands)
            if (command == kCommands.end() || &k == &*command)
                usage += std::string("\n  e2e_client ") + k.usage;
        fail(usage);
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // the scripts read each line as it comes
    c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c))
        fail("cannot connect to the display");
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    screen = screens.data;
    auto xkb = owned(xcb_xkb_use_extension_reply(c, xcb_xkb_use_extension(c, 1, 0), nullptr));
    if (!(xkb && xkb->supported)) // the keyboard's commands need it; every test display has it
        fail("the display has no XKB");
    const int status = command->run(args);
    xcb_disconnect(c);
    return status;
}

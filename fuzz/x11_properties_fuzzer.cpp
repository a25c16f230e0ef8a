// SPDX-License-Identifier: MIT
// What the X11 agent reads from other clients and from the settings: text properties in any
// encoding, the root window's _XKB_RULES_NAMES, the identity and name properties of windows
// with the frame extents, stored key combos, installed desktop files, the Xcursor files of
// cursor themes and the icons windows set. The first byte chooses the reader; the rest is its
// input.

#include "fuzz_support.h"

#include "x11/cursor_theme_shapes.h"
#include "x11/desktop_entries.h"
#include "x11/stored_key_combo.h"
#include "x11/text_encoding.h"
#include "x11/window_facts.h"
#include "x11/window_icon.h"
#include "x11/xkb_layout_ids.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using namespace velmora;
using namespace velmora::x11;

namespace {

constexpr xcb_atom_t kUtf8String = 300; // any atom the server might give UTF8_STRING

void textEncodings(std::string_view bytes) {
    const std::string sane = sanitizeUtf8(bytes);
    fuzz::check(fuzz::wellFormedUtf8(sane), "sanitizeUtf8 gave malformed UTF-8");
    fuzz::check(!fuzz::wellFormedUtf8(bytes) || sane == bytes, "sanitizeUtf8 changed valid text");
    fuzz::check(fuzz::wellFormedUtf8(latin1ToUtf8(bytes)), "latin1ToUtf8 gave malformed UTF-8");
    fuzz::check(fuzz::wellFormedUtf8(legacyTextToUtf8(bytes)),
                "legacyTextToUtf8 gave malformed UTF-8");
    std::string joined;
    for (const std::string& part : splitNulSeparated(bytes)) {
        fuzz::check(part.find('\0') == std::string::npos, "a NUL inside a split string");
        joined += part;
        joined += '\0';
    }
    std::string withNul(bytes);
    if (!withNul.empty() && withNul.back() != '\0')
        withNul += '\0';
    fuzz::check(joined == withNul, "splitNulSeparated lost or added bytes");
}

void xkbRulesNames(FuzzedDataProvider& data) {
    const std::size_t groups = data.ConsumeIntegralInRange<std::size_t>(0, 8);
    const std::string property = data.ConsumeRemainingBytesAsString();
    const std::vector<XkbLayoutChoice> layouts = parseXkbRulesNames(property);
    const std::vector<std::string> ids = inputSourceIdsForGroups(layouts, groups);
    fuzz::check(ids.size() == groups, "not one input source id per group");
    for (std::size_t group = 0; group < groups; ++group) {
        fuzz::check(ids[group].rfind("xkb:", 0) == 0, "an input source id without its prefix");
        badgeIconRefFor(layouts, group);
    }
    if (auto latin = latinGroupFor(layouts, groups))
        fuzz::check(*latin < groups && layouts[*latin].layout == "us", "a wrong Latin group");
}

// A property reply as xcb hands it over: the fixed header, then the value.
class FakeReply {
  public:
    explicit FakeReply(FuzzedDataProvider& data) {
        const std::uint8_t formats[] = {0, 8, 16, 32};
        const std::uint8_t format = formats[data.ConsumeIntegralInRange<int>(0, 3)];
        const xcb_atom_t type = data.PickValueInArray<xcb_atom_t>(
            {XCB_ATOM_NONE, XCB_ATOM_STRING, XCB_ATOM_CARDINAL, kUtf8String});
        const std::string value = data.ConsumeRandomLengthString(256);
        const std::size_t unit = format ? format / 8 : 1;
        const std::size_t count = format ? value.size() / unit : 0;
        storage_.assign((sizeof(xcb_get_property_reply_t) + count * unit) / 8 + 1, 0);
        auto* reply = reinterpret_cast<xcb_get_property_reply_t*>(storage_.data());
        reply->response_type = 1;
        reply->format = format;
        reply->type = type;
        reply->value_len = static_cast<std::uint32_t>(count);
        reply->length = static_cast<std::uint32_t>((count * unit + 3) / 4);
        std::memcpy(reply + 1, value.data(), count * unit);
        present_ = data.ConsumeBool() || data.remaining_bytes() == 0;
    }
    const xcb_get_property_reply_t* get() const {
        return present_ ? reinterpret_cast<const xcb_get_property_reply_t*>(storage_.data())
                        : nullptr;
    }

  private:
    std::vector<std::uint64_t> storage_;
    bool present_ = true;
};

void windowFacts(FuzzedDataProvider& data) {
    FakeReply wmClass(data), gtkId(data), kdeFile(data), pid(data), machine(data);
    const std::string host = data.ConsumeRandomLengthString(16);
    const auto window = data.ConsumeIntegral<xcb_window_t>();
    const WindowIdentityHints hints =
        identityHintsOf({wmClass.get(), gtkId.get(), kdeFile.get(), pid.get(), machine.get()},
                        kUtf8String, host, window);
    fuzz::check(!hints.fallbackKey.empty(), "a window without a fallback key");
    for (const auto* text : {&hints.gtkApplicationId, &hints.kdeDesktopFile, &hints.wmClassClass})
        fuzz::check(!*text || fuzz::wellFormedUtf8(**text), "an identity hint is no UTF-8");
    FakeReply name(data);
    if (auto text = propertyName(name.get(), kUtf8String))
        fuzz::check(fuzz::wellFormedUtf8(*text) && text->find('\0') == std::string::npos,
                    "a window name is no UTF-8 or holds a NUL");
    FakeReply extents(data);
    const std::vector<std::uint32_t> words = propertyWords(extents.get());
    for (bool shrink : {false, true}) {
        const WindowBounds bounds = boundsWithExtents(
            data.ConsumeIntegral<std::int64_t>(), data.ConsumeIntegral<std::int64_t>(),
            data.ConsumeIntegral<std::int64_t>(), data.ConsumeIntegral<std::int64_t>(), words,
            shrink);
        fuzz::check(bounds.width >= 0 && bounds.height >= 0, "a window of negative size");
    }
}

void storedKeyCombo(FuzzedDataProvider& data) {
    PlistValue value;
    if (data.ConsumeBool()) {
        PlistDictionary fields;
        if (data.ConsumeBool())
            fields["keyCode"] = fuzz::plistFrom(data, 1);
        if (data.ConsumeBool())
            fields["modifierFlags"] = fuzz::plistFrom(data, 1);
        value = PlistValue(std::move(fields));
    } else {
        value = fuzz::plistFrom(data);
    }
    const KeyComboReading reading = readStoredKeyCombo(value);
    fuzz::check(reading.combo.has_value() || !reading.problem.empty(),
                "a refused key combo without a reason");
    if (reading.combo) {
        fuzz::check((reading.combo->modifierFlags & ~kStoredModifierMask) == 0,
                    "a key combo keeps unknown modifier bits");
        modifierLabel(reading.combo->modifierFlags);
    }
}

void desktopFiles(FuzzedDataProvider& data) {
    static fuzz::ScratchFile file;
    const std::string locale = data.ConsumeRandomLengthString(24);
    const std::string text = data.ConsumeRemainingBytesAsString();
    if (auto entry = parseDesktopEntry(text))
        localizedName(*entry, locale);
    const std::string path = file.write(text);
    if (auto entry = readDesktopEntry(path))
        localizedName(*entry, locale);
}

void xcursorFile(std::string_view file) {
    std::uint64_t pixels = 0;
    for (const CursorShape& shape : readXcursorImages(file)) {
        fuzz::check(shape.width > 0 && shape.height > 0 && shape.xhot < shape.width &&
                        shape.yhot < shape.height &&
                        shape.alpha.size() == std::uint64_t{shape.width} * shape.height,
                    "a cursor image that does not hold together");
        pixels += shape.alpha.size();
    }
    // Four bytes a pixel: images that share their pixels must not multiply them.
    fuzz::check(pixels <= file.size() / 4, "more cursor pixels read than the file holds");
}

// A _NET_WM_ICON value: the input's words, then as many more as it says (zeros, never read
// whole), handed out as the server does.
void windowIcon(FuzzedDataProvider& data) {
    const auto wanted = data.ConsumeIntegral<std::uint32_t>();
    const auto phantom = data.ConsumeIntegral<std::uint32_t>();
    std::vector<std::uint32_t> words(data.remaining_bytes() / 4);
    if (!words.empty()) // an empty vector's data() may be null, which memcpy must not get
        data.ConsumeData(words.data(), words.size() * 4);
    const std::uint64_t size = words.size() + std::uint64_t{phantom};
    std::uint64_t read = 0;
    auto icon = chooseWindowIcon(
        [&](std::uint32_t offset, std::uint32_t count) -> std::optional<PropertyWordSpan> {
            PropertyWordSpan span;
            const std::uint64_t end = std::min<std::uint64_t>(size, std::uint64_t{offset} + count);
            for (std::uint64_t i = offset; i < end; ++i)
                span.words.push_back(i < words.size() ? words[i] : 0);
            span.wordsAfter = size - std::min(size, std::max<std::uint64_t>(end, offset));
            read += span.words.size();
            return span;
        },
        wanted);
    fuzz::check(read <= kWindowIconFirstRead + 2 * kMaxWindowIconImages +
                            std::uint64_t{kMaxWindowIconSide} * kMaxWindowIconSide,
                "more of a window icon read than its headers and one image");
    if (icon)
        fuzz::check(icon->width > 0 && icon->height > 0 && icon->width <= kMaxWindowIconSide &&
                        icon->height <= kMaxWindowIconSide &&
                        icon->argb.size() == std::uint64_t{icon->width} * icon->height,
                    "a window icon that does not hold together");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0)
        return 0;
    FuzzedDataProvider data(bytes + 1, size - 1);
    switch (bytes[0] % 7) {
    case 0:
        textEncodings(std::string_view(reinterpret_cast<const char*>(bytes) + 1, size - 1));
        break;
    case 1:
        xkbRulesNames(data);
        break;
    case 2:
        windowFacts(data);
        break;
    case 3:
        storedKeyCombo(data);
        break;
    case 4:
        desktopFiles(data);
        break;
    case 6:
        windowIcon(data);
        break;
    default:
        xcursorFile(std::string_view(reinterpret_cast<const char*>(bytes) + 1, size - 1));
        break;
    }
    return 0;
}

// SPDX-License-Identifier: MIT
#include "rule_checks.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <string_view>

namespace velmora::program {

namespace {

// Longer text is compared with nothing: a name is short, and the distance costs its square.
constexpr std::size_t kMaxCompared = 128;
constexpr std::size_t kMaxNameBytes = 256;
constexpr std::string_view kXkbPrefix = "xkb:";

std::string folded(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// The edit distance of A and B ignoring ASCII case; "too far" for text too long to compare.
std::size_t distance(std::string_view a, std::string_view b) {
    if (a.size() > kMaxCompared || b.size() > kMaxCompared)
        return std::numeric_limits<std::size_t>::max();
    const std::string x = folded(a), y = folded(b);
    std::vector<std::size_t> row(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= x.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] != y[j - 1])});
            diagonal = above;
        }
    }
    return row[y.size()];
}

// A name of an input method or a keyboard layout: printable, without spaces, not too long.
bool isPlainName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxNameBytes &&
           std::all_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) > ' ' && c != '\x7f'; });
}

// XKB's names of layouts and variants: "us", "de", "dvorak-l", "ru_sun".
bool isXkbName(std::string_view name) {
    return !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
    });
}

struct XkbChoice {
    std::string layout;
    std::string variant;
};

// "de" or "de(nodeadkeys)" after "xkb:"; none for anything else.
std::optional<XkbChoice> parseXkbChoice(std::string_view text) {
    const auto open = text.find('(');
    if (open == std::string_view::npos)
        return isXkbName(text) ? std::optional<XkbChoice>({std::string(text), ""}) : std::nullopt;
    if (!text.ends_with(')'))
        return std::nullopt;
    const std::string_view layout = text.substr(0, open);
    const std::string_view variant = text.substr(open + 1, text.size() - open - 2);
    if (!isXkbName(layout) || !isXkbName(variant))
        return std::nullopt;
    return XkbChoice{std::string(layout), std::string(variant)};
}

std::string xkbId(const std::string& layout, const std::string& variant) {
    return std::string(kXkbPrefix) + layout + (variant.empty() ? "" : "(" + variant + ")");
}

// How near WANTED is to a source called CODE ("de(nodeadkeys)") and DESCRIPTION ("German").
std::size_t nearness(std::string_view wanted, std::string_view code, std::string_view description) {
    std::size_t best = std::min(distance(wanted, code), distance(wanted, description));
    // "russ" for "Russian": the start of a name is nearly the name.
    if (wanted.size() >= 3 && folded(description).starts_with(folded(wanted)))
        best = std::min<std::size_t>(best, 1);
    return best;
}

// The ID of the keymap's sources and XKB's layouts closest to WANTED (what the user typed,
// without any prefix); the keymap's first, then layouts before their variants. None when none
// is close: then a guess would only mislead.
std::optional<std::string> closestSourceId(std::string_view wanted,
                                           const std::vector<KnownSource>& keymap,
                                           const std::vector<NamedLayout>& registry) {
    std::optional<std::string> best;
    std::size_t bestDistance = std::max<std::size_t>(1, wanted.size() / 3) + 1;
    auto consider = [&](const std::string& id, std::string_view code, std::string_view name) {
        const std::size_t d = nearness(wanted, code, name);
        if (d < bestDistance) {
            bestDistance = d;
            best = id;
        }
    };
    for (const KnownSource& source : keymap) {
        // "us" of "xkb:us", "pinyin" of "fcitx5:pinyin".
        std::string_view code = source.id;
        code.remove_prefix(std::min(code.size(), code.find(':') + 1));
        consider(source.id, code, source.name);
    }
    for (bool variants : {false, true})
        for (const NamedLayout& info : registry)
            if (info.variant.empty() != variants) {
                const std::string id = xkbId(info.layout, info.variant);
                consider(id, std::string_view(id).substr(kXkbPrefix.size()), info.description);
            }
    return best;
}

std::string quoted(std::string_view text) {
    // What the user typed, shown as typed but never more than a line of it.
    std::string shown(text.substr(0, 80));
    if (text.size() > 80)
        shown += "...";
    return "\"" + shown + "\"";
}

} // namespace

std::optional<SourceIdRefusal> refuseSourceId(const std::string& id,
                                              const std::vector<KnownSource>& keymap,
                                              const std::vector<NamedLayout>& registry,
                                              const std::vector<KnownSource>& framework) {
    for (const KnownSource& source : keymap)
        if (source.id == id)
            return std::nullopt;
    const std::string_view text = id;
    if (text.starts_with("com.apple.keylayout.") && isPlainName(text.substr(20)))
        return std::nullopt;
    for (const auto& [prefix, frameworkName] :
         {std::pair{"fcitx5:", "Fcitx5"}, {"ibus:", "IBus"}}) {
        if (!text.starts_with(prefix) || !isPlainName(text.substr(std::strlen(prefix))))
            continue;
        // The framework's own list, when it runs, says which of its names exist.
        std::vector<KnownSource> known;
        for (const KnownSource& source : framework)
            if (source.id.starts_with(prefix))
                known.push_back(source);
        if (known.empty() || std::any_of(known.begin(), known.end(),
                                         [&](const KnownSource& s) { return s.id == id; }))
            return std::nullopt;
        return SourceIdRefusal{quoted(id) + " is not an input source ID that can be selected (" +
                                   frameworkName + " has no input method " +
                                   quoted(text.substr(std::strlen(prefix))) + ")",
                               closestSourceId(text.substr(std::strlen(prefix)), known, {})};
    }

    std::string problem;
    std::string_view wanted = text;
    if (text.starts_with(kXkbPrefix)) {
        wanted.remove_prefix(kXkbPrefix.size());
        auto choice = parseXkbChoice(wanted);
        if (choice) {
            if (registry.empty())
                return std::nullopt; // nothing to check it against: its shape is right
            bool layoutKnown = false;
            for (const NamedLayout& info : registry) {
                if (info.layout != choice->layout)
                    continue;
                layoutKnown = true;
                if (info.variant == choice->variant)
                    return std::nullopt;
            }
            problem = layoutKnown ? "XKB knows no variant " + quoted(choice->variant) +
                                        " of the layout " + quoted(choice->layout)
                                  : "XKB knows no keyboard layout " + quoted(choice->layout);
        } else {
            problem = "it is not of the form xkb:LAYOUT or xkb:LAYOUT(VARIANT)";
        }
    } else {
        problem = "IDs look like xkb:us or xkb:de(nodeadkeys)";
        // "XKB:de", "kb:de": what follows the last colon is what was meant.
        if (auto colon = wanted.rfind(':'); colon != std::string_view::npos)
            wanted.remove_prefix(colon + 1);
    }
    return SourceIdRefusal{quoted(id) + " is not an input source ID that can be selected (" +
                               problem + ")",
                           closestSourceId(wanted, keymap, registry)};
}

std::optional<std::string> closestName(const std::string& wanted,
                                       const std::vector<std::string>& known) {
    if (std::find(known.begin(), known.end(), wanted) != known.end())
        return std::nullopt;
    std::optional<std::string> best;
    std::size_t bestDistance = std::max<std::size_t>(1, wanted.size() / 4) + 1;
    for (const std::string& name : known) {
        if (folded(name) == folded(wanted))
            return name;
        const std::size_t d = distance(wanted, name);
        if (d < bestDistance) {
            bestDistance = d;
            best = name;
        }
    }
    return best;
}

} // namespace velmora::program

// SPDX-License-Identifier: MIT
#include "xkb_registry_layouts.h"

#include <xkbcommon/xkbregistry.h>

#include <memory>

namespace velmora::program {

namespace {

// The registry's files are the system's, but a broken one must not make a list without end.
constexpr std::size_t kMaxLayouts = 20000;

struct ContextUnref {
    void operator()(rxkb_context* context) const { rxkb_context_unref(context); }
};

std::string text(const char* value) {
    return value ? std::string(value) : std::string();
}

} // namespace

std::vector<NamedLayout> xkbRegistryLayouts() {
    std::unique_ptr<rxkb_context, ContextUnref> context(
        rxkb_context_new(RXKB_CONTEXT_LOAD_EXOTIC_RULES));
    if (!context)
        return {};
    // A registry that cannot be read is said once, by the caller's outcome, not in the
    // library's own words.
    rxkb_context_set_log_level(context.get(), RXKB_LOG_LEVEL_CRITICAL);
    if (!rxkb_context_parse_default_ruleset(context.get()))
        return {};
    std::vector<NamedLayout> layouts;
    for (rxkb_layout* layout = rxkb_layout_first(context.get());
         layout && layouts.size() < kMaxLayouts; layout = rxkb_layout_next(layout))
        layouts.push_back({text(rxkb_layout_get_name(layout)),
                           text(rxkb_layout_get_variant(layout)),
                           text(rxkb_layout_get_description(layout))});
    return layouts;
}

} // namespace velmora::program

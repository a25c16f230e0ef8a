// SPDX-License-Identifier: MIT
// The settings file as the store reads it, and the typed reads the agent makes of what it got.
// The first byte chooses the way in: even, the bytes are parsed as a domain (XML or binary
// property list), written back as XML and parsed again; odd, they are a settings file on disk
// read by PlistFileDefaults (only when they parse, see readFile). Either way every key is then read
// through Settings, the shortcut table and the stored lists.

#include "fuzz_support.h"

#include "editor/stored_lists.h"
#include "engine/settings.h"
#include "hotkeys/stored_shortcuts.h"
#include "sim/memory_defaults.h"
#include "store/plist_conversion.h"
#include "store/plist_file_defaults.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace velmora;

namespace {

const char* const kKeys[] = {
    keys::kRules,
    keys::kOrderOfAppsRule,
    keys::kNotDisplayAppName,
    keys::kShortcutOfInput,
    keys::kEnableTipOfState,
    keys::kFollowWindow,
    keys::kEnableBrowserAddressEnglish,
    keys::kAutoStartAtLogin,
    keys::kHideMenuBarIcon,
    keys::kChangedTimes,
};

void readTyped(UserDefaults& defaults) {
    Settings settings(defaults);
    for (const char* key : kKeys) {
        settings.objectForKey(key);
        settings.boolForKey(key);
        settings.integerForKey(key);
        storedStrings(settings, key);
        storedArray(settings, key);
    }
    const PlistDictionary rules = settings.rules();
    int looked = 0;
    for (const auto& [bundle, record] : rules) {
        if (++looked > 64)
            break;
        auto id = settings.ruleInputSourceID(bundle);
        const PlistValue* stored = record.find(record::kId);
        fuzz::check(!id || (stored && stored->string() && *stored->string() == *id),
                    "a rule's input source differs from its record's id");
    }
    if (auto shortcuts = storedShortcuts(settings))
        for (const auto& [input, shortcut] : *shortcuts) {
            shortcutField(&shortcut, "keyCode");
            shortcutField(&shortcut, "modifierFlags");
        }
}

void parseWhole(std::string_view bytes) {
    std::string error;
    auto domain = store::parseDomain(bytes, &error);
    if (!domain) {
        fuzz::check(!error.empty(), "a refused settings file without a reason");
        return;
    }
    // What is written back must read as the same settings.
    if (auto xml = store::domainToXml(*domain)) {
        std::string again;
        auto reread = store::parseDomain(*xml, &again);
        fuzz::check(reread.has_value(), "the XML written for a domain does not parse");
        fuzz::check(fuzz::sameValue(PlistValue(reread->values), PlistValue(domain->values)),
                    "a domain changes when written and read");
    }
    sim::MemoryDefaults defaults;
    for (const auto& [key, value] : domain->values)
        defaults.setObjectForKey(value, key);
    readTyped(defaults);
}

void readFile(std::string_view bytes) {
    // A file that does not parse is judged by the store only once it has stood unchanged for a
    // tenth of a second (another program may be writing it): such files would slow the run to
    // a crawl, and parseWhole already tries them.
    std::string error;
    if (!store::parseDomain(bytes, &error))
        return;
    static fuzz::ScratchFile file;
    PlistFileDefaults defaults(file.write(bytes), PlistFileDefaults::Access::ReadOnly);
    readTyped(defaults);
    defaults.problem();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 1)
        readFile(bytes);
    else
        parseWhole(bytes);
    return 0;
}

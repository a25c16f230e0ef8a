// SPDX-License-Identifier: MIT
#include "desktop_entries.h"

#include "posix/desktop_entry_file.h"
#include "posix/xdg_base_dirs.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <system_error>

namespace velmora::x11 {

namespace fs = std::filesystem;

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The escapes a string value may hold: \s \n \t \r \\.
std::string unescape(std::string_view value) {
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's':
            result += ' ';
            break;
        case 'n':
            result += '\n';
            break;
        case 't':
            result += '\t';
            break;
        case 'r':
            result += '\r';
            break;
        case '\\':
            result += '\\';
            break;
        default:
            result += '\\';
            result += value[i];
        }
    }
    return result;
}

std::string foldCase(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

std::optional<fs::file_time_type> stampOf(const fs::path& directory) {
    std::error_code error;
    auto stamp = fs::last_write_time(directory, error);
    if (error)
        return std::nullopt;
    return stamp;
}

// "kde4/okular.desktop" below an applications folder has the id "kde4-okular".
std::string desktopIdFor(const fs::path& relative) {
    std::string id = relative.generic_string();
    id.resize(id.size() - std::string_view(".desktop").size());
    std::replace(id.begin(), id.end(), '/', '-');
    return id;
}

// "GNOME;Unity;" as its items.
std::vector<std::string> splitList(std::string_view text, char separator) {
    std::vector<std::string> items;
    while (!text.empty()) {
        std::size_t end = text.find(separator);
        if (std::string_view item = trim(text.substr(0, end)); !item.empty())
            items.emplace_back(item);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return items;
}

// KEY is BASE or BASE[LOCALE]: then VALUE goes into LOCALIZED under "" or LOCALE.
bool takeLocalized(std::string_view key, std::string_view base, std::string value,
                   std::map<std::string, std::string>& localized) {
    if (!key.starts_with(base))
        return false;
    key.remove_prefix(base.size());
    if (key.empty())
        localized[""] = std::move(value);
    else if (key.size() >= 2 && key.front() == '[' && key.back() == ']')
        localized[std::string(key.substr(1, key.size() - 2))] = std::move(value);
    else
        return false;
    return true;
}

// The keys of GROUP that KEYS asks for; none for an entry the user deleted (Hidden=true).
std::optional<DesktopEntry> entryOf(const util::DesktopEntryKeys& group, EntryKeys keys) {
    DesktopEntry entry;
    for (const auto& [key, escaped] : group) {
        std::string value = unescape(escaped);
        if (key == "Hidden" && value == "true")
            return std::nullopt;
        if (key == "StartupWMClass")
            entry.startupWMClass = value;
        else if (key == "Icon")
            entry.icon = value;
        else if (key == "Type")
            entry.type = value;
        else if (key == "NoDisplay")
            entry.noDisplay = value == "true";
        else if (key == "OnlyShowIn")
            entry.onlyShowIn = splitList(value, ';');
        else if (key == "NotShowIn")
            entry.notShowIn = splitList(value, ';');
        else if (!takeLocalized(key, "Name", value, entry.names) && keys == EntryKeys::Chooser &&
                 !takeLocalized(key, "GenericName", value, entry.genericNames))
            takeLocalized(key, "Keywords", std::move(value), entry.keywords);
    }
    return entry;
}

} // namespace

std::optional<DesktopEntry> parseDesktopEntry(std::string_view text, EntryKeys keys) {
    const std::optional<util::DesktopEntryKeys> group = util::parseDesktopEntry(text);
    return group ? entryOf(*group, keys) : std::nullopt;
}

std::string localizedName(const DesktopEntry& entry, std::string_view locale) {
    return localizedValue(entry.names, locale);
}

std::string localizedValue(const std::map<std::string, std::string>& localized,
                           std::string_view locale) {
    std::string_view modifier;
    if (std::size_t at = locale.find('@'); at != std::string_view::npos) {
        modifier = locale.substr(at);
        locale = locale.substr(0, at);
    }
    if (std::size_t dot = locale.find('.'); dot != std::string_view::npos)
        locale = locale.substr(0, dot);
    std::string_view lang = locale.substr(0, locale.find('_'));
    std::vector<std::string> candidates;
    if (!modifier.empty())
        candidates.push_back(std::string(locale) + std::string(modifier));
    candidates.emplace_back(locale);
    if (!modifier.empty())
        candidates.push_back(std::string(lang) + std::string(modifier));
    candidates.emplace_back(lang);
    for (const auto& candidate : candidates) {
        if (candidate.empty())
            continue;
        if (auto it = localized.find(candidate); it != localized.end())
            return it->second;
    }
    auto plain = localized.find("");
    return plain == localized.end() ? std::string() : plain->second;
}

bool offeredInChoosers(const DesktopEntry& entry, std::string_view currentDesktops) {
    if (entry.type != "Application" || entry.noDisplay)
        return false;
    const std::vector<std::string> current = splitList(currentDesktops, ':');
    auto namesCurrent = [&](const std::vector<std::string>& desktops) {
        return std::any_of(desktops.begin(), desktops.end(), [&](const std::string& desktop) {
            return std::find(current.begin(), current.end(), desktop) != current.end();
        });
    };
    if (!entry.onlyShowIn.empty() && !namesCurrent(entry.onlyShowIn))
        return false;
    return !namesCurrent(entry.notShowIn);
}

std::string messagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value)
            return value;
    return "C";
}

std::vector<fs::path> applicationDirectories() {
    std::vector<fs::path> directories;
    if (std::optional<std::string> dataHome = util::dataHome())
        directories.push_back(fs::path(*dataHome) / "applications");
    for (const std::string& dataDir : util::dataDirs())
        directories.push_back(fs::path(dataDir) / "applications");
    return directories;
}

std::optional<std::string> desktopIdOf(const fs::path& file,
                                       const std::vector<fs::path>& directories) {
    const std::string name = file.filename().string();
    if (!name.ends_with(".desktop") || name.size() == std::string_view(".desktop").size())
        return std::nullopt;
    // The path as given, then with links followed: a link in a folder is that folder's file.
    std::error_code error;
    std::vector<fs::path> paths{fs::absolute(file, error).lexically_normal()};
    if (fs::path real = fs::weakly_canonical(file, error); !error)
        paths.push_back(real);
    for (const auto& path : paths)
        for (const auto& directory : directories) {
            std::error_code folderError;
            const fs::path folder = fs::absolute(directory, folderError).lexically_normal();
            const fs::path relative = path.lexically_relative(folder);
            if (!folderError && !relative.empty() && *relative.begin() != ".." &&
                *relative.begin() != ".")
                return desktopIdFor(relative);
        }
    return name.substr(0, name.size() - std::string_view(".desktop").size());
}

std::optional<DesktopEntry> readDesktopEntry(const fs::path& path) {
    const std::optional<util::DesktopEntryKeys> group = util::readDesktopEntry(path.string());
    std::optional<DesktopEntry> entry = group ? entryOf(*group, EntryKeys::Identity) : std::nullopt;
    if (entry)
        entry->path = path.string();
    return entry;
}

DesktopEntryIndex DesktopEntryIndex::scan(const std::vector<fs::path>& directories,
                                          EntryKeys keys) {
    DesktopEntryIndex index;
    index.directories_ = directories;
    std::set<std::string> seenIds;
    for (const auto& directory : directories) {
        index.stamps_.push_back(stampOf(directory));
        std::error_code error;
        fs::recursive_directory_iterator it(directory, error), end;
        std::vector<fs::path> files;
        for (; !error && it != end; it.increment(error))
            if (it->path().extension() == ".desktop" && it->is_regular_file(error))
                files.push_back(it->path());
        std::sort(files.begin(), files.end()); // a stable result whatever the folder order
        for (const auto& file : files) {
            std::string id = desktopIdFor(file.lexically_relative(directory));
            if (!seenIds.insert(id).second)
                continue;
            const std::optional<util::DesktopEntryKeys> group =
                util::readDesktopEntry(file.string());
            std::optional<DesktopEntry> entry = group ? entryOf(*group, keys) : std::nullopt;
            if (!entry)
                continue;
            entry->id = id;
            entry->path = file.string();
            std::size_t slot = index.entries_.size();
            index.byId_.emplace(id, slot);
            index.byFoldedId_.emplace(foldCase(id), slot);
            if (entry->startupWMClass)
                index.byWMClass_.emplace(*entry->startupWMClass, slot);
            index.entries_.push_back(std::move(*entry));
        }
    }
    return index;
}

const DesktopEntry* DesktopEntryIndex::findById(std::string_view id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : &entries_[it->second];
}

const DesktopEntry* DesktopEntryIndex::findByStartupWMClass(std::string_view wmClass) const {
    auto it = byWMClass_.find(wmClass);
    return it == byWMClass_.end() ? nullptr : &entries_[it->second];
}

const DesktopEntry* DesktopEntryIndex::findByIdIgnoringCase(std::string_view name) const {
    auto it = byFoldedId_.find(foldCase(name));
    return it == byFoldedId_.end() ? nullptr : &entries_[it->second];
}

bool DesktopEntryIndex::isStale() const {
    for (std::size_t i = 0; i < directories_.size(); ++i)
        if (stampOf(directories_[i]) != stamps_[i])
            return true;
    return false;
}

} // namespace velmora::x11

// SPDX-License-Identifier: MIT
#pragma once
// The installed applications' desktop files: how an X window is tied to an application id, a
// display name and an icon. Only the keys that these need are read.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::x11 {

struct DesktopEntry {
    std::string id;   // desktop-file id without ".desktop", e.g. "org.gnome.Nautilus"
    std::string path; // the file it was read from
    std::optional<std::string> startupWMClass;
    std::optional<std::string> icon; // Icon: an icon-theme name or an absolute path
    // "Name" under "", each "Name[LOCALE]" under LOCALE.
    std::map<std::string, std::string> names;

    // What application choosers need (EntryKeys::Chooser), by locale as names are. Keywords
    // are the raw ';'-separated list.
    std::map<std::string, std::string> genericNames;
    std::map<std::string, std::string> keywords;
    std::string type;       // "Application", "Link", ...; empty when the file does not say
    bool noDisplay = false; // NoDisplay=true: installed, but not offered in lists
    std::vector<std::string> onlyShowIn, notShowIn; // desktop names
};

// Which keys are kept. Identity: what ties windows to applications, for the agent's lasting
// index (generic names and keywords left out: in every language they would triple its size).
// Chooser: also what a chooser of applications searches.
enum class EntryKeys { Identity, Chooser };

// The [Desktop Entry] group of TEXT as util::parseDesktopEntry reads it (the first group of
// that name, a key's first value); none when there is no such group, the text is no UTF-8, or
// it says Hidden=true (the user deleted the entry).
std::optional<DesktopEntry> parseDesktopEntry(std::string_view text,
                                              EntryKeys keys = EntryKeys::Identity);

// The Name for LOCALE (a POSIX locale such as "de_AT.UTF-8@euro"), trying lang_COUNTRY@MODIFIER,
// lang_COUNTRY, lang@MODIFIER, lang, then the plain Name; empty when there is no Name at all.
std::string localizedName(const DesktopEntry& entry, std::string_view locale);

// The value of LOCALIZED (names, genericNames, keywords) for LOCALE, found as localizedName
// finds a name.
std::string localizedValue(const std::map<std::string, std::string>& localized,
                           std::string_view locale);

// Whether a chooser of applications offers ENTRY on the desktop CURRENTDESKTOPS (the
// ':'-separated $XDG_CURRENT_DESKTOP, may be empty): an application (Type=Application) without
// NoDisplay=true, and OnlyShowIn naming one of the current desktops when it is given, NotShowIn
// naming none.
bool offeredInChoosers(const DesktopEntry& entry, std::string_view currentDesktops);

// The locale that messages are shown in: LC_ALL, else LC_MESSAGES, else LANG; "C" when unset.
std::string messagesLocale();

// The "applications" folders of $XDG_DATA_HOME and $XDG_DATA_DIRS, most important first.
std::vector<std::filesystem::path> applicationDirectories();

// The desktop-file id of FILE (a path ending in ".desktop") as the first of DIRECTORIES that
// holds it makes it ("kde4/okular.desktop" below one gives "kde4-okular"), symbolic links
// followed; outside all of them, the file's name without ".desktop". None for a path that
// does not end in ".desktop" or has nothing before it.
std::optional<std::string> desktopIdOf(const std::filesystem::path& file,
                                       const std::vector<std::filesystem::path>& directories);

// The entry in the desktop file at PATH; none when it cannot be read as util::readDesktopEntry
// reads it (a regular file of at most util::kMaxDesktopFileBytes, UTF-8), or is no (visible)
// desktop entry.
std::optional<DesktopEntry> readDesktopEntry(const std::filesystem::path& path);

class DesktopEntryIndex {
  public:
    DesktopEntryIndex() = default;
    // Reads every *.desktop file below DIRECTORIES. A desktop id found in an earlier folder
    // hides the same id in later ones, as the desktop-entry rules say.
    static DesktopEntryIndex scan(const std::vector<std::filesystem::path>& directories,
                                  EntryKeys keys = EntryKeys::Identity);

    const DesktopEntry* findById(std::string_view id) const;
    const DesktopEntry* findByStartupWMClass(std::string_view wmClass) const;
    // The entry whose id equals NAME when both are folded to lower case (ASCII).
    const DesktopEntry* findByIdIgnoringCase(std::string_view name) const;

    // Every entry, in the order of the folders and then of the paths.
    const std::vector<DesktopEntry>& entries() const { return entries_; }

    // Whether a folder was created, removed or had entries added or removed since the scan.
    bool isStale() const;
    std::size_t size() const { return entries_.size(); }

  private:
    std::vector<DesktopEntry> entries_;
    std::map<std::string, std::size_t, std::less<>> byId_;
    std::map<std::string, std::size_t, std::less<>> byFoldedId_;
    std::map<std::string, std::size_t, std::less<>> byWMClass_;
    std::vector<std::filesystem::path> directories_;
    std::vector<std::optional<std::filesystem::file_time_type>> stamps_;
};

} // namespace velmora::x11

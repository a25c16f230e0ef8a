#include "autostart_entry.h"

#include "desktop_entry_reader.h"
#include "exec_line.h"
#include "program_resolver.h"

namespace velmora::xdg {

namespace {

std::string_view valueOf(const DesktopEntryKeys& keys, std::string_view key) {
    auto it = keys.find(key);
    return it == keys.end() ? std::string_view() : std::string_view(it->second);
}

} // namespace

std::optional<std::string> resolveAutostartEntry(const std::string& path,
                                                 std::optional<std::string_view> pathVariable) {
    const std::optional<DesktopEntryKeys> keys = readDesktopEntry(path);
    if (!keys || valueOf(*keys, "Type") != "Application")
        return std::nullopt;
    const std::string_view hidden = valueOf(*keys, "Hidden");
    if (hidden == "true" || hidden == "1")
        return std::nullopt;
    const std::optional<std::string> word = execProgram(valueOf(*keys, "Exec"));
    if (!word)
        return std::nullopt;
    return resolveProgram(*word, pathVariable);
}

std::string autostartEntryText(std::string_view program, std::string_view desktopId) {
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Velmora\n"
                       "Comment=Switches the keyboard layout for each application\n";
    text += "Exec=" + execValueFor(program) + "\n";
    text += "Icon=" + std::string(desktopId) + "\n";
    text += "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n";
    return text;
}

} // namespace velmora::xdg

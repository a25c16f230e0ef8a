// SPDX-License-Identifier: MIT
#include "autostart_entry.h"

#include "exec_line.h"
#include "posix/desktop_entry_file.h"
#include "program_resolver.h"

namespace velmora::xdg {

namespace {

using util::DesktopEntryKeys;

std::string_view valueOf(const DesktopEntryKeys& keys, std::string_view key) {
    auto it = keys.find(key);
    return it == keys.end() ? std::string_view() : std::string_view(it->second);
}

} // namespace

std::optional<std::string> resolveAutostartEntry(const std::string& path,
                                                 std::optional<std::string_view> pathVariable) {
    const std::optional<DesktopEntryKeys> keys = util::readDesktopEntry(path);
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

std::string autostartEntryText(std::string_view program, std::string_view desktopId,
                               std::string_view argument) {
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Velmora\n"
                       "Comment=Switches the keyboard layout for each application\n";
    // Appended piece by piece: GCC 12 misreads "literal" + std::string at -O2 as an overlapping
    // copy (-Wrestrict).
    text += "Exec=";
    text += execValueFor(program);
    if (!argument.empty()) {
        text += ' ';
        text += argument;
    }
    text += "\nIcon=";
    text += desktopId;
    text += "\nTerminal=false\n"
            "X-GNOME-Autostart-enabled=true\n";
    return text;
}

std::optional<std::string> withExecArgument(std::string_view text, std::string_view argument) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    bool seenGroup = false;
    bool inGroup = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        std::string_view line = text.substr(start, end - start);
        // The line without the blanks at its end (a carriage return among them): where the
        // argument goes.
        std::size_t contentEnd = line.size();
        while (contentEnd > 0 && blank(line[contentEnd - 1]))
            --contentEnd;
        std::string_view content = line.substr(0, contentEnd);
        while (!content.empty() && blank(content.front()))
            content.remove_prefix(1);
        if (!content.empty() && content.front() == '[') {
            // The same groups as the reader: only the first [Desktop Entry] counts.
            const std::size_t close = content.find(']');
            inGroup = !seenGroup && close != std::string_view::npos &&
                      content.substr(1, close - 1) == "Desktop Entry";
            seenGroup = seenGroup || inGroup;
        } else if (inGroup && content.starts_with("Exec")) {
            std::string_view rest = content.substr(4);
            while (!rest.empty() && blank(rest.front()))
                rest.remove_prefix(1);
            if (!rest.empty() && rest.front() == '=') {
                rest.remove_prefix(1);
                while (!rest.empty()) {
                    while (!rest.empty() && blank(rest.front()))
                        rest.remove_prefix(1);
                    std::size_t word = 0;
                    while (word < rest.size() && !blank(rest[word]))
                        ++word;
                    if (rest.substr(0, word) == argument)
                        return std::nullopt;
                    rest.remove_prefix(word);
                }
                const std::size_t at = start + contentEnd;
                return std::string(text.substr(0, at)) + " " + std::string(argument) +
                       std::string(text.substr(at));
            }
        }
        start = end + 1;
    }
    return std::nullopt;
}

} // namespace velmora::xdg

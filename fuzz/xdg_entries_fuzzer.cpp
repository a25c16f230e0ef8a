// SPDX-License-Identifier: MIT
// The XDG readers of the login item: desktop-entry files, the Exec line inside them, and whole
// autostart entries read from a file. The first byte chooses the reader.

#include "fuzz_support.h"

#include "posix/desktop_entry_file.h"
#include "util/utf8.h"
#include "xdg/autostart_entry.h"
#include "xdg/exec_line.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace velmora;

namespace {

void desktopEntry(std::string_view text) {
    fuzz::check(util::isValidUtf8(text) == fuzz::wellFormedUtf8(text),
                "isValidUtf8 misjudges a text");
    // A NUL counts as invalid: no desktop file holds one.
    if (auto keys = util::parseDesktopEntry(text))
        fuzz::check(fuzz::wellFormedUtf8(text) && text.find('\0') == std::string_view::npos,
                    "a desktop entry was read from text that is no UTF-8");
}

void execLine(FuzzedDataProvider& data) {
    const std::string value = data.ConsumeRandomLengthString(512);
    if (auto program = xdg::execProgram(value)) {
        fuzz::check(!program->empty(), "an empty program from an Exec line");
        const std::string written = xdg::execValueFor(*program);
        fuzz::check(xdg::execProgram(written) == program,
                    "the Exec value written for a program starts another");
    }
    // Any program this one could be installed as must come back from its own Exec value.
    const std::string program = data.ConsumeRemainingBytesAsString();
    if (!program.empty() && program.find('\0') == std::string::npos)
        fuzz::check(xdg::execProgram(xdg::execValueFor(program)) == program,
                    "the Exec value written for a program starts another");
}

void autostartEntry(FuzzedDataProvider& data) {
    static fuzz::ScratchFile file;
    const std::string pathVariable = data.ConsumeRandomLengthString(64);
    const bool withPath = data.ConsumeBool();
    const std::string& path = file.write(data.ConsumeRemainingBytesAsString());
    if (auto program = xdg::resolveAutostartEntry(
            path, withPath ? std::optional<std::string_view>(pathVariable) : std::nullopt))
        fuzz::check(!program->empty() && program->front() == '/',
                    "an autostart entry resolved to no absolute path");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0)
        return 0;
    FuzzedDataProvider data(bytes + 1, size - 1);
    switch (bytes[0] % 3) {
    case 0:
        desktopEntry(std::string_view(reinterpret_cast<const char*>(bytes) + 1, size - 1));
        break;
    case 1:
        execLine(data);
        break;
    default:
        autostartEntry(data);
        break;
    }
    return 0;
}

// The Exec value's two layers of escapes, read and written.
#include "exec_line.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace velmora::xdg {
namespace {

TEST(ExecLine, FirstWordOfTheFormsDesktopsWrite) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/usr/bin/editor %U", "/usr/bin/editor"},
        {"  /usr/bin/editor\t--new", "/usr/bin/editor"},
        {"\"/opt/My App/run\" --flag", "/opt/My App/run"},
        {"'/opt/single quoted/run' %f", "/opt/single quoted/run"},
        // In the file: a quoted backslash, escaped once for the quoting, once for the file.
        {"\"/opt/back\\\\\\\\slash\"", "/opt/back\\slash"},
        {"\"/opt/\\\\$HOME/\\\\\"q\\\\\"\"", "/opt/$HOME/\"q\""},
        {"/opt/100%%/run", "/opt/100%/run"},
        // \s is a blank of the string layer, so it ends the word.
        {"/opt/a\\sb", "/opt/a"},
        {"/opt/a\\\\ b", "/opt/a b"},
    };
    for (const auto& [value, program] : cases)
        EXPECT_EQ(execProgram(value), program) << value;
}

TEST(ExecLine, NoProgramInBrokenOrEmptyValues) {
    for (const char* value : {"", "   ", "%u", "/opt/run%f", "\"/opt/unterminated", "'/opt/x",
                              "\"\" --flag", "/opt/run\\"})
        EXPECT_EQ(execProgram(value), std::nullopt) << value;
}

TEST(ExecLine, WrittenValueStartsTheSameProgram) {
    for (const char* program :
         {"/usr/bin/velmora", "/opt/My Apps/velmora", "/opt/q\"uote/and'single", "/opt/$HOME/`x`",
          "/opt/back\\slash", "/opt/100%/run", "/opt/new\nline\tand\rreturn", "/opt/a=b/#c;d|e&f",
          "/opt/ünïcödé/ключ", "/opt/(paren)/*?~<>"})
        EXPECT_EQ(execProgram(execValueFor(program)), program) << execValueFor(program);
    // Plain paths stay readable for people and for desktops that read Exec loosely.
    EXPECT_EQ(execValueFor("/usr/local/bin/velmora"), "/usr/local/bin/velmora");
    EXPECT_EQ(execValueFor("/opt/a b").front(), '"');
}

} // namespace
} // namespace velmora::xdg

// SPDX-License-Identifier: MIT
#pragma once
// Scenario files: parsing into statements, and running them against a simulated desktop.

#include "scenario_lexer.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora::sim {

class ScenarioRunner;

struct Statement {
    int line = 0;
    std::function<void(ScenarioRunner&)> run;
};

struct ParseError {
    int line = 0;
    std::string reason;
};

// What a statement's parser sees and may record while the file is read.
struct ParseContext {
    int line = 0;
    std::string text;                    // the line without its comment
    std::vector<Word> words;             // words[0] is the statement's name
    bool launched = false;               // a launch came before this line
    std::int64_t time = 0;               // the latest time named by at or wait so far
    std::string error;                   // set by a parser that refuses the line
    std::set<std::string> windowHandles; // windows in the list at this line

    // The raw text after word I (for JSON values that run to the end of the line).
    std::string restAfterWord(std::size_t i) const;
    bool fail(std::string reason) {
        error = std::move(reason);
        return false;
    }
};

using StatementParser = std::function<bool(ParseContext&, Statement&)>;

// Every statement name of the format, with its parser; an empty parser marks a statement of
// the format that this build does not support yet.
using StatementTable = std::map<std::string, StatementParser>;
StatementTable buildStatementTable();
void addWorldStatements(StatementTable& table);
void addDrivingStatements(StatementTable& table);
void addCheckStatements(StatementTable& table);
void addWindowStatements(StatementTable& table);
void addEventStatements(StatementTable& table);
void addPopoverStatements(StatementTable& table);
void addSettingsStatements(StatementTable& table);

// What a drag from another program carries.
inline constexpr const char* kForeignDragText = "text from another program";

struct Scenario {
    std::vector<Statement> statements;
};

// Parses the whole file; on the first error returns it and nothing else.
std::optional<ParseError> parseScenario(std::istream& in, Scenario& out);

// Parses a scenario one line at a time, for programs that write the story as they run it.
// Lines are numbered from 1 in the order given; what a line may refer to (launch, earlier
// times, windows in the list) is what the lines before it left.
class ScenarioLineParser {
  public:
    ScenarioLineParser();
    // Parses the next line; a statement that runs is appended to OUT. On error returns it and
    // appends nothing.
    std::optional<ParseError> parseLine(const std::string& raw, std::vector<Statement>& out);

  private:
    StatementTable table_;
    ParseContext context_;
    int lineNumber_ = 0;
};

} // namespace velmora::sim

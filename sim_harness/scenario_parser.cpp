// SPDX-License-Identifier: MIT
#include "scenario.h"

#include <istream>

namespace velmora::sim {

std::string ParseContext::restAfterWord(std::size_t i) const {
    if (i >= words.size())
        return {};
    return text.substr(words[i].end);
}

namespace {
// Statements whose last argument is a JSON value running to the end of the line.
bool restIsJson(const std::vector<Word>& words) {
    if (words.empty() || words[0].quoted)
        return false;
    const std::string& name = words[0].text;
    if (name == "defaults" || name == "file")
        return !words.back().quoted && words.back().text == "=";
    if ((name == "expect") && words.size() == 3 && words[1].text == "defaults")
        return true;
    return false;
}
} // namespace

StatementTable buildStatementTable() {
    StatementTable table;
    addWorldStatements(table);
    addDrivingStatements(table);
    addCheckStatements(table);
    addWindowStatements(table);
    addEventStatements(table);
    addPopoverStatements(table);
    addSettingsStatements(table);
    return table;
}

ScenarioLineParser::ScenarioLineParser() : table_(buildStatementTable()) {}

std::optional<ParseError> ScenarioLineParser::parseLine(const std::string& raw,
                                                        std::vector<Statement>& out) {
    const int lineNumber = ++lineNumber_;
    std::string error;
    auto text = stripComment(raw, &error);
    if (!text)
        return ParseError{lineNumber, error};
    ParseContext& context = context_;
    context.line = lineNumber;
    context.text = *text;
    context.words.clear();
    context.error.clear();
    if (!lexWords(*text, context.words, &error, restIsJson))
        return ParseError{lineNumber, error};
    if (context.words.empty())
        return std::nullopt;
    const Word& name = context.words[0];
    auto it = name.quoted || name.key ? table_.end() : table_.find(name.text);
    if (it == table_.end())
        return ParseError{lineNumber, "unknown statement: " + name.text};
    if (!it->second)
        return ParseError{lineNumber, "not supported yet: " + name.text};
    Statement statement;
    statement.line = lineNumber;
    if (!it->second(context, statement))
        return ParseError{lineNumber, context.error.empty() ? "bad statement" : context.error};
    if (statement.run)
        out.push_back(std::move(statement));
    return std::nullopt;
}

std::optional<ParseError> parseScenario(std::istream& in, Scenario& out) {
    ScenarioLineParser parser;
    std::string raw;
    int lineNumber = 0;
    while (std::getline(in, raw)) {
        ++lineNumber;
        if (auto error = parser.parseLine(raw, out.statements))
            return error;
    }
    if (in.bad())
        return ParseError{lineNumber, "cannot read the scenario"};
    return std::nullopt;
}

} // namespace velmora::sim

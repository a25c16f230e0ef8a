#include "scenario.h"

#include <istream>

namespace velmora::sim {

std::string ParseContext::restAfterWord(std::size_t i) const {
    if (i + 1 >= words.size())
        return {};
    return text.substr(words[i + 1].column - 1);
}

StatementTable buildStatementTable() {
    StatementTable table;
    addWorldStatements(table);
    addDrivingStatements(table);
    addCheckStatements(table);
    return table;
}

std::optional<ParseError> parseScenario(std::istream& in, Scenario& out) {
    const StatementTable table = buildStatementTable();
    ParseContext context;
    std::string raw;
    int lineNumber = 0;
    while (std::getline(in, raw)) {
        ++lineNumber;
        std::string error;
        auto text = stripComment(raw, &error);
        if (!text)
            return ParseError{lineNumber, error};
        context.line = lineNumber;
        context.text = *text;
        context.words.clear();
        context.error.clear();
        if (!lexWords(*text, context.words, &error))
            return ParseError{lineNumber, error};
        if (context.words.empty())
            continue;
        const Word& name = context.words[0];
        auto it = name.quoted || name.key ? table.end() : table.find(name.text);
        if (it == table.end())
            return ParseError{lineNumber, "unknown statement: " + name.text};
        if (!it->second)
            return ParseError{lineNumber, "not supported yet: " + name.text};
        Statement statement;
        statement.line = lineNumber;
        if (!it->second(context, statement))
            return ParseError{lineNumber, context.error.empty() ? "bad statement" : context.error};
        if (statement.run)
            out.statements.push_back(std::move(statement));
    }
    if (in.bad())
        return ParseError{lineNumber, "cannot read the scenario"};
    return std::nullopt;
}

} // namespace velmora::sim

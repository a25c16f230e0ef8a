// SPDX-License-Identifier: MIT
#include "rule_commands.h"

namespace velmora::program {

void printRules(const Settings& settings, std::ostream& out) {
    for (const auto& [app, record] : settings.rules()) {
        const PlistValue* id = record.find(record::kId);
        const std::string* text = id ? id->string() : nullptr;
        out << app << '\t' << (text ? *text : "-") << '\n';
    }
}

void setRule(Settings& settings, const std::string& app, const std::string& sourceId) {
    settings.updateRuleRecord(app,
                              [&](PlistDictionary& record) { record[record::kId] = sourceId; });
}

void removeRule(Settings& settings, const std::string& app) {
    settings.updateRuleRecord(app, [](PlistDictionary& record) { record.erase(record::kId); });
}

} // namespace velmora::program

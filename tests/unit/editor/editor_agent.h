// SPDX-License-Identifier: MIT
#pragma once
// An agent on the simulated desktop with its popover shown once, and short ways to reach the
// rule editor's lists, table, boxes and buttons.

#include "sim_agent.h"

#include <gtest/gtest.h>

namespace velmora::testing {

class EditorAgent : public SimAgent {
  public:
    // Starts the agent; the popover shows at start-up (the system has been up for days).
    void launch() {
        SimAgent::launch();
        ASSERT_NE(desktop.ruleTable(), nullptr);
    }

    PopoverViewController& controller() { return *desktop.popoverController(); }
    EditorLists& lists() { return agent().editorLists(); }
    sim::SimTableView& table() { return *desktop.ruleTable(); }
    std::vector<std::string> apps() { return lists().allApplications.value_or(Lines{}); }
    sim::SimButton& button(std::shared_ptr<Button> PopoverLayout::*which) {
        return *desktop.layoutButton(which);
    }
    sim::SimComboBox* box(std::int64_t row) {
        return dynamic_cast<sim::SimComboBox*>(
            table().viewAtColumnRow(kColumnSelectInput, row).get());
    }
    Popover& popover() { return *agent().popover(); }
    // The user closes the popover and opens it again from the status item.
    void reopenPopover() {
        desktop.views().popover()->dismiss();
        desktop.views().statusItem()->click();
    }
    void setStored(const std::string& key, PlistValue value) {
        desktop.rawStore().setObjectForKey(value, key);
    }
    PlistValue rules() { return stored("velmora").value_or(PlistValue()); }
};

inline PlistArray strings(std::initializer_list<const char*> list) {
    PlistArray array;
    for (const char* text : list)
        array.emplace_back(text);
    return array;
}

} // namespace velmora::testing

// SPDX-License-Identifier: MIT
#pragma once
// The popover's content view: its set-up when it loads, the rebuild before every showing,
// the expand/collapse toggle and its geometry, and which table a table callback is about.
//
// Main thread only.

#include "editor/editor_lists.h"
#include "platform/application.h"
#include "platform/views.h"
#include "platform/workspace.h"

#include <cstdint>
#include <functional>
#include <string>

namespace velmora {

class PopoverView {
  public:
    // What the view asks of its controller and of the popover's host. An empty function is
    // skipped.
    struct Hooks {
        std::function<void(const WorkspaceNotification&)> didLaunchApplicationNotification;
        std::function<void()> popoverWillShowNotification;
        std::function<void()> initOfInput;
        std::function<void()> setUpDragging;
        std::function<void(std::int64_t n)> addPopoverSizeTo;
    };

    static constexpr Size kViewSize{288, 330};
    static constexpr double kRowHeight = 25.0;
    static constexpr const char* kVersionKey = "Version";
    static constexpr const char* kCollapsedImage = "close";
    static constexpr const char* kExpandedImage = "open";

    PopoverView(EditorLists& lists, Workspace& workspace, ViewFactory& views,
                Application& application, const PopoverLayout& outlets, Hooks hooks,
                std::string versionSeparator = ":")
        : lists_(lists), workspace_(workspace), views_(views), application_(application),
          outlets_(outlets), hooks_(std::move(hooks)),
          versionSeparator_(std::move(versionSeparator)) {}

    void viewDidLoad();
    void popoverWillShowNotification();
    void adjustPopoverSize();

    // The rule table has a row per application, the shortcut table one per catalogue entry,
    // another table none.
    std::int64_t numberOfRowsInTableView(const TableView& tableView) const;
    bool isRuleTable(const TableView& tableView) const;
    bool isShortcutTable(const TableView& tableView) const;

    // The version label's text: "Version", the separator ("Version:1.2" by default) and the
    // program's version.
    std::string versionText() const;
    // Where the toggle puts the shortcut section and the box for N catalogue entries.
    static Rect shortcutViewFrame(std::int64_t n);
    static Point allAppsBoxOrigin(std::int64_t n);

  private:
    EditorLists& lists_;
    Workspace& workspace_;
    ViewFactory& views_;
    Application& application_;
    const PopoverLayout& outlets_;
    Hooks hooks_;
    std::string versionSeparator_;
};

} // namespace velmora

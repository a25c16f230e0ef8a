// SPDX-License-Identifier: MIT
#include "editor/popover_view.h"

namespace velmora {

void PopoverView::viewDidLoad() {
    if (outlets_.removeButton)
        outlets_.removeButton->setEnabled(false);
    lists_.allApplications.emplace();
    if (outlets_.view)
        outlets_.view->setFrame(Rect{{0, 0}, kViewSize});
    if (outlets_.versionCode)
        outlets_.versionCode->setStringValue(versionText());
    if (outlets_.adjustSizeButton)
        outlets_.adjustSizeButton->setImageNamed(kCollapsedImage);
    if (hooks_.didLaunchApplicationNotification)
        workspace_.addObserver(kApplicationLaunchedNotification,
                               hooks_.didLaunchApplicationNotification);
    if (hooks_.popoverWillShowNotification)
        views_.addPopoverObserver(kPopoverWillShowNotification, hooks_.popoverWillShowNotification);
    if (hooks_.setUpDragging)
        hooks_.setUpDragging();
}

std::string PopoverView::versionText() const {
    return application_.localizedStringForKeyValueTable(kVersionKey, "", "") + versionSeparator_ +
           application_.objectForInfoDictionaryKey(kShortVersionKey).value_or("");
}

void PopoverView::popoverWillShowNotification() {
    if (hooks_.initOfInput)
        hooks_.initOfInput();
    if (outlets_.adjustSizeButton)
        outlets_.adjustSizeButton->setImageNamed(kCollapsedImage);
    lists_.popoverOpened = false;
    if (outlets_.shortcutTableView)
        outlets_.shortcutTableView->reloadData();
    if (outlets_.velmoraTableView)
        outlets_.velmoraTableView->reloadData();
}

Rect PopoverView::shortcutViewFrame(std::int64_t n) {
    return Rect{{0, static_cast<double>(-72 - 27 * n)},
                {kViewSize.width, static_cast<double>(27 * n + 27)}};
}

Point PopoverView::allAppsBoxOrigin(std::int64_t n) {
    return Point{0, static_cast<double>(-247 - 27 * n)};
}

void PopoverView::adjustPopoverSize() {
    if (outlets_.adjustSizeButton)
        outlets_.adjustSizeButton->setImageNamed(lists_.popoverOpened ? kCollapsedImage
                                                                      : kExpandedImage);
    const auto n = static_cast<std::int64_t>(lists_.catalogue.size());
    if (outlets_.shortcutView)
        outlets_.shortcutView->setFrame(shortcutViewFrame(n));
    if (outlets_.allAppsBox)
        outlets_.allAppsBox->setFrameOrigin(allAppsBoxOrigin(n));
    if (hooks_.addPopoverSizeTo)
        hooks_.addPopoverSizeTo(n);
}

bool PopoverView::isRuleTable(const TableView& tableView) const {
    return outlets_.velmoraTableView && &tableView == outlets_.velmoraTableView.get();
}

bool PopoverView::isShortcutTable(const TableView& tableView) const {
    return outlets_.shortcutTableView && &tableView == outlets_.shortcutTableView.get();
}

std::int64_t PopoverView::numberOfRowsInTableView(const TableView& tableView) const {
    if (isRuleTable(tableView))
        return lists_.allApplications ? static_cast<std::int64_t>(lists_.allApplications->size())
                                      : 0;
    if (isShortcutTable(tableView))
        return static_cast<std::int64_t>(lists_.catalogue.size());
    return 0;
}

} // namespace velmora

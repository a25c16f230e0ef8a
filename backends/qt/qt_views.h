// SPDX-License-Identifier: MIT
#pragma once
// The views factory of the Qt desktop: the status item (a tray icon), the popover and its
// content, the cells of its tables, the open panel and the indicator. The reset window is the
// program's business (it must never take the focus, which a toolkit window cannot promise).
//
// The popover and the status item work together: a tray click within kReopenGuardMilliseconds
// of the popover closing is the click that closed it, and is ignored; without a tray the
// popover is an ordinary window. Main thread only.

#include "application_chooser_model.h"
#include "key_translation.h"

#include "platform/views.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::qt {

class QtPopover;
class QtStatusItem;

class QtViews : public ViewFactory {
  public:
    static constexpr int kReopenGuardMilliseconds = 300;

    // LOG takes one line for the program's log.
    explicit QtViews(std::function<void(const std::string&)> log);
    ~QtViews() override;

    IndicatorViews makeIndicatorViews() override;
    std::shared_ptr<StatusItem> makeStatusItem(double length) override;
    std::shared_ptr<Popover> makePopover() override;
    PopoverLayout makePopoverLayout() override;
    std::shared_ptr<ImageView> makeImageView() override;
    std::shared_ptr<TextField> makeTextField() override;
    std::shared_ptr<ComboBox> makeComboBox() override;
    std::shared_ptr<View> makeView() override;
    std::shared_ptr<Box> makeBox() override;
    // Recorders made from now on name and store keys through KEYS.
    void setKeyTranslation(KeyTranslation keys) { keys_ = std::move(keys); }
    std::shared_ptr<TaggedShortcutRecorder> makeShortcutRecorder() override;
    std::shared_ptr<Menu> makeMenu(const std::vector<MenuItemDescription>& items) override;
    // The alert closes a popup popover before it shows.
    std::shared_ptr<Alert> makeAlert() override;
    // The application chooser once the program said what to offer
    // (setApplicationChoices), else the file dialog.
    std::shared_ptr<OpenPanel> openPanel() override;
    // What the application chooser offers, asked each time it shows; ICONS as the chooser's
    // model takes them (empty: looked up by the choice's icon).
    void setApplicationChoices(std::function<std::vector<ApplicationChoice>()> choices,
                               ApplicationChooserModel::IconLoader icons = {});
    void addPopoverObserver(const std::string& name, std::function<void()> observer) override;

    // Whether the status item made last is in a tray (false before one is made).
    bool hasSystemTray() const;
    // From the desktop: a tray came or went (PRESENT: whether there is one now, when the
    // desktop knows). Once the desktop says it will tell, status items made afterwards stop
    // looking for a tray on their own.
    void announceSystemTrayChanges() { trayChangesAnnounced_ = true; }
    void systemTrayChanged(std::optional<bool> present = std::nullopt);
    // What a press inside a popover does, after the press was handled (the program's
    // controller re-checks its buttons then).
    void setPopoverMouseDownObserver(std::function<void()> observer);
    // The last status item and popover made; nullptr before.
    std::shared_ptr<QtStatusItem> statusItem() const { return statusItem_.lock(); }
    std::shared_ptr<QtPopover> popover() const { return popover_.lock(); }

  private:
    void post(const std::string& name);

    std::function<void(const std::string&)> log_;
    std::weak_ptr<QtStatusItem> statusItem_;
    bool trayChangesAnnounced_ = false;
    std::weak_ptr<QtPopover> popover_;
    std::function<void()> mouseDown_;
    KeyTranslation keys_;
    std::function<std::vector<ApplicationChoice>()> choices_;
    ApplicationChooserModel::IconLoader choiceIcons_;
    std::map<std::string, std::vector<std::function<void()>>> observers_;
};

} // namespace velmora::qt

// SPDX-License-Identifier: MIT
#pragma once
// The status item as a tray icon (StatusNotifierItem or XEmbed, as Qt finds the desktop's
// tray). A left click (or a double click, which trays also send) runs the item button's
// action, except within a moment of the popover closing: the press that closed the popover
// must not open it again at once. The tray's context menu has a "Show" entry as well, for
// trays that never send a left click.
//
// A desktop may have no tray yet when the agent starts (a panel still loading at login): the
// icon is asked for all the same, and Qt shows it when a tray appears; until then the item
// looks for one every two seconds, and the first time none is there the log says so once.
// Main thread only.

#include "platform/status_item.h"

#include <QMenu>
#include <QObject>
#include <QRect>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora::qt {

// The item's button: not a widget, but the action, the state and the place of the item.
class QtStatusButton final : public Button {
  public:
    using Geometry = std::function<QRect()>;
    // GEOMETRY: where the tray shows the icon; INPLACE: whether it shows it there to stay.
    explicit QtStatusButton(Geometry geometry, std::function<bool()> inPlace = {})
        : geometry_(std::move(geometry)), inPlace_(std::move(inPlace)) {}

    void setHidden(bool hidden) override { hidden_ = hidden; }
    bool isHidden() const override { return hidden_; }
    // Where the tray shows the item (global coordinates, bottom-left origin); empty when the
    // tray does not say.
    Rect frame() const override;
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    void setImageNamed(const std::string& name) override { imageName_ = name; }
    std::string imageName() const override { return imageName_; }
    void setAction(Action action) override { action_ = std::move(action); }
    void setTag(std::int64_t tag) override { tag_ = tag; }
    std::int64_t tag() const override { return tag_; }
    void setState(std::int64_t) override {}
    std::int64_t state() const override { return 0; }

    // The tray icon's rectangle in Qt's global coordinates; empty when unknown.
    QRect trayGeometry() const { return geometry_ ? geometry_() : QRect(); }
    // False while the tray has yet to take the icon in (before, it sits at a corner of the
    // screen); true when there is nothing to wait for.
    bool iconInPlace() const { return !inPlace_ || inPlace_(); }
    // A click: the action of an enabled button.
    void perform();

  private:
    Geometry geometry_;
    std::function<bool()> inPlace_;
    bool hidden_ = false;
    bool enabled_ = true;
    std::string imageName_;
    Action action_;
    std::int64_t tag_ = 0;
};

class QtStatusItem final : public QObject, public StatusItem {
  public:
    struct Hooks {
        // Whether a click now would be the one that just closed the popover.
        std::function<bool()> popoverJustClosed;
        // One line for the log.
        std::function<void(const std::string&)> log;
        // Whether trayChanged() is called when a tray comes or goes; otherwise the item looks
        // for one every kTrayPollMilliseconds while there is none.
        bool trayChangesAnnounced = false;
    };
    static constexpr int kTrayPollMilliseconds = 2000;

    explicit QtStatusItem(Hooks hooks);
    ~QtStatusItem() override;

    void setHighlightMode(bool highlight) override { highlight_ = highlight; }
    // A template image is drawn in the colour of window text.
    void setImage(ImagePtr image) override;
    std::shared_ptr<Button> button() override { return button_; }
    bool isVisible() const override { return visible_; }
    void setVisible(bool visible) override;

    // Whether the desktop has a tray to show the item in.
    bool trayAvailable() const { return trayAvailable_; }
    // False while a tray that embeds its icons (XEmbed) has yet to take the item's icon in;
    // true when there is nothing to wait for: no tray, the item hidden, or a tray that shows
    // the icon in a way that never says where (StatusNotifierItem).
    bool iconInPlace() const;
    // Where the tray shows the icon (Qt's global coordinates); empty when unknown.
    QRect iconGeometry() const;
    QSystemTrayIcon& trayIcon() { return tray_; }
    QMenu& contextMenu() { return menu_; }
    // What the tray's activation does; public for the tests, which have no tray to click.
    void activated(QSystemTrayIcon::ActivationReason reason);
    // A tray appeared or went away; PRESENT says whether there is one now when the desktop
    // knows (Qt may learn it later on its own connection), else Qt is asked.
    void trayChanged(std::optional<bool> present = std::nullopt) { checkTray(present); }

  private:
    void checkTray(std::optional<bool> present = std::nullopt);
    // The server's answer for Qt's XEmbed icon; none without one.
    std::optional<QRect> embeddedIconGeometry() const;

    Hooks hooks_;
    QSystemTrayIcon tray_;
    QMenu menu_;
    QTimer poll_;
    std::shared_ptr<QtStatusButton> button_;
    ImagePtr image_;
    bool highlight_ = false;
    bool visible_ = true;
    bool trayAvailable_ = false;
    bool toldNoTray_ = false;
};

} // namespace velmora::qt

// SPDX-License-Identifier: MIT
#include "qt_status_item.h"

#include "desktop_coordinates.h"
#include "named_images.h"
#include "qt_images.h"

#include "x11_window_traits.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>

namespace velmora::qt {

namespace {

constexpr int kTrayIconSide = 22;

} // namespace

Rect QtStatusButton::frame() const {
    QRect tray = trayGeometry();
    if (!tray.isValid() || tray.isEmpty())
        return {};
    return Rect{Point{static_cast<double>(tray.x()),
                      static_cast<double>(desktopBottom() - (tray.y() + tray.height()))},
                Size{static_cast<double>(tray.width()), static_cast<double>(tray.height())}};
}

void QtStatusButton::perform() {
    if (!enabled_)
        return;
    if (Action action = action_)
        action();
}

QtStatusItem::QtStatusItem(Hooks hooks)
    : hooks_(std::move(hooks)),
      button_(std::make_shared<QtStatusButton>([this] { return iconGeometry(); },
                                               [this] { return iconInPlace(); })) {
    tray_.setToolTip(QGuiApplication::applicationDisplayName());
    QAction* show = menu_.addAction(QCoreApplication::translate("Velmora", "Show"));
    QObject::connect(show, &QAction::triggered, this, [this] { button_->perform(); });
    tray_.setContextMenu(&menu_);
    QObject::connect(&tray_, &QSystemTrayIcon::activated, this,
                     [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    setImage(nullptr);

    // Qt shows the icon by itself once a tray appears; the look is for trayAvailable().
    poll_.setInterval(kTrayPollMilliseconds);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { checkTray(); });
    checkTray();
}

QtStatusItem::~QtStatusItem() {
    tray_.setContextMenu(nullptr);
}

void QtStatusItem::setImage(ImagePtr image) {
    image_ = std::move(image);
    QImage picture;
    if (auto* qtImage = dynamic_cast<const QtImage*>(image_.get()))
        picture = qtImage->image();
    if (!picture.isNull() && image_->isTemplate())
        picture = tintedGlyph(picture, QGuiApplication::palette().color(QPalette::WindowText));
    if (picture.isNull()) {
        // Nothing to show, but a tray item needs an icon to be there at all.
        picture = QImage(kTrayIconSide, kTrayIconSide, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
    }
    tray_.setIcon(QIcon(QPixmap::fromImage(picture)));
}

void QtStatusItem::setVisible(bool visible) {
    visible_ = visible;
    // Asked for even without a tray: Qt shows it when one appears.
    tray_.setVisible(visible);
}

std::optional<QRect> QtStatusItem::embeddedIconGeometry() const {
    if (!tray_.isVisible())
        return std::nullopt;
    // Qt's XEmbed icon is a top-level window of its own until the tray takes it in; a
    // StatusNotifierItem icon has no window here.
    for (const QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QSystemTrayIconSys"))
            return x11EmbeddedWindowGeometry(*widget);
    return std::nullopt;
}

QRect QtStatusItem::iconGeometry() const {
    return embeddedIconGeometry().value_or(tray_.geometry());
}

bool QtStatusItem::iconInPlace() const {
    if (!trayAvailable_ || !visible_)
        return true;
    const std::optional<QRect> embedded = embeddedIconGeometry();
    return !embedded || !embedded->isEmpty();
}

void QtStatusItem::activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
        return;
    if (hooks_.popoverJustClosed && hooks_.popoverJustClosed())
        return;
    button_->perform();
}

void QtStatusItem::checkTray(std::optional<bool> present) {
    const bool available = present.value_or(QSystemTrayIcon::isSystemTrayAvailable());
    if (available != trayAvailable_) {
        trayAvailable_ = available;
        tray_.setVisible(visible_);
    }
    if (available) {
        poll_.stop();
        return;
    }
    if (!toldNoTray_ && hooks_.log) {
        toldNoTray_ = true;
        hooks_.log("no system tray on this desktop (yet): the settings open in a window at "
                   "start and when velmora is started again");
    }
    if (!hooks_.trayChangesAnnounced && !poll_.isActive())
        poll_.start();
}

} // namespace velmora::qt

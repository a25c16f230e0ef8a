// SPDX-License-Identifier: MIT
#include "qt_popover_layout.h"

#include "qt_box.h"
#include "qt_controls.h"
#include "qt_table_view.h"
#include "qt_view.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace velmora::qt {

namespace {

constexpr double kButtonSide = 26;
constexpr double kBarTop = 266; // from the top of the collapsed content
constexpr double kRuleTableHeight = 262;

// A frame given by its distance from the top of the collapsed content.
Rect fromTop(double x, double top, double width, double height) {
    return Rect{{x, kPopoverContentSize.height - (top + height)}, {width, height}};
}

std::shared_ptr<QtButton> textButton(const QString& text, const QString& tip) {
    auto button = std::make_shared<QtButton>();
    button->button()->setText(text);
    button->button()->setToolTip(tip);
    return button;
}

} // namespace

PopoverLayout makeQtPopoverLayout() {
    PopoverLayout layout;
    auto view = std::make_shared<QtPlainView>(ViewWidget::Pinning::Top);
    view->setFrame(Rect{{0, 0}, kPopoverContentSize});
    layout.view = view;

    auto rules = std::make_shared<QtTableView>(std::vector<QtTableView::Column>{
        {kColumnIcon, QCoreApplication::translate("Velmora", "Icon"), 36},
        {kColumnApplicationName, QCoreApplication::translate("Velmora", "Application"), 110},
        {kColumnSelectInput, QCoreApplication::translate("Velmora", "Layout"), 140}});
    rules->setFrame(fromTop(0, 0, kPopoverContentSize.width, kRuleTableHeight));
    layout.velmoraTableView = rules;

    // A shortcut cell's recorder is 110 wide: its column leaves it room.
    auto shortcuts = std::make_shared<QtTableView>(std::vector<QtTableView::Column>{
        {kShortcutColumnIcon, QCoreApplication::translate("Velmora", "Icon"), 40},
        {kShortcutColumnInput, QCoreApplication::translate("Velmora", "Layout"), 128},
        {kShortcutColumnShortcut, QCoreApplication::translate("Velmora", "Shortcut"), 118}});
    layout.shortcutTableView = shortcuts;

    auto add = textButton(QStringLiteral("+"),
                          QCoreApplication::translate("Velmora", "Add an application"));
    add->setFrame(fromTop(6, kBarTop, kButtonSide, kButtonSide));
    layout.addButton = add;
    auto remove = textButton(QStringLiteral("\u2212"),
                             QCoreApplication::translate("Velmora", "Remove the application"));
    remove->setFrame(fromTop(6 + kButtonSide + 2, kBarTop, kButtonSide, kButtonSide));
    layout.removeButton = remove;
    auto adjust = std::make_shared<QtButton>();
    adjust->button()->setToolTip(QCoreApplication::translate("Velmora", "Shortcuts"));
    adjust->setFrame(fromTop(288 - 2 * (kButtonSide + 4), kBarTop, kButtonSide, kButtonSide));
    adjust->setImageNamed("close");
    layout.adjustSizeButton = adjust;
    auto settings =
        textButton(QStringLiteral("\u22ef"), QCoreApplication::translate("Velmora", "Settings"));
    settings->setFrame(fromTop(288 - (kButtonSide + 6), kBarTop, kButtonSide, kButtonSide));
    layout.actionSelectionButton = settings;

    auto version = std::make_shared<QtTextField>();
    version->setBezeled(false);
    version->setEditable(false);
    version->setDrawsBackground(false);
    version->setFrame(fromTop(8, 302, 200, 22));
    layout.versionCode = version;

    // The program puts the shortcut section 45 below the collapsed content: its heading fills
    // that room, right above the table, instead of an empty band.
    auto* heading = new QLabel(QCoreApplication::translate("Velmora", "Layout shortcuts"),
                               widgetOf(view.get()));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setGeometry(10, static_cast<int>(kPopoverContentSize.height) + 20, 268, 22);

    // Out of sight below the content until the first expansion places it.
    auto section = std::make_shared<QtPlainView>(ViewWidget::Pinning::Fill);
    section->setFrame(Rect{{0, -72}, {288, 27}});
    section->addSubview(shortcuts);
    layout.shortcutView = section;

    auto box = std::make_shared<QtBox>();
    box->setFrame(Rect{{0, -247}, {288, 175}});
    auto hint = new QLabel(
        QCoreApplication::translate("Velmora", "Each keyboard layout can have a shortcut that "
                                               "selects it in any application."),
        box->widget());
    hint->setWordWrap(true);
    hint->setGeometry(10, 8, 268, 40);
    layout.allAppsBox = box;

    for (std::shared_ptr<View> child : std::initializer_list<std::shared_ptr<View>>{
             layout.velmoraTableView, layout.addButton, layout.removeButton,
             layout.adjustSizeButton, layout.actionSelectionButton, layout.versionCode,
             layout.shortcutView, layout.allAppsBox})
        view->addSubview(child);
    return layout;
}

} // namespace velmora::qt

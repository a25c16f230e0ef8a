// SPDX-License-Identifier: MIT
// The status item, popover, its layout, the chooser and the file dialog on Qt's offscreen
// platform (no tray: activations are emitted directly).

#include "qt/popover_placement.h"
#include "qt/qt_alert.h"
#include "qt/qt_application_chooser.h"
#include "qt/qt_controls.h"
#include "qt/qt_images.h"
#include "qt/qt_open_panel.h"
#include "qt/qt_popover.h"
#include "qt/qt_popover_layout.h"
#include "qt/qt_status_item.h"
#include "qt/qt_table_view.h"
#include "qt/qt_view.h"
#include "qt/qt_views.h"
#include "scoped_environment.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace velmora::qt {
namespace {

// Below the icon and centred on it; a panel at the bottom: above it.
TEST(PopoverPlacement, StaysBesideTheIconOnTheScreen) {
    const QRect screen(0, 0, 1280, 800);
    const QSize size(290, 332);
    EXPECT_EQ(popoverPosition(size, QRect(600, 776, 24, 24), QPoint(), screen),
              QPoint(466, 776 - kPopoverGap - 332));
    EXPECT_EQ(popoverPosition(size, QRect(1260, 0, 20, 20), QPoint(), screen).x(), 1280 - 290);
    EXPECT_EQ(popoverPosition(size, QRect(-5, 0, 20, 20), QPoint(), screen).x(), 0);
    // Room on neither side: the side with more, then inside the screen.
    const QRect low(0, 0, 1280, 500);
    for (auto [top, y] : {std::pair{300, 0}, {150, 500 - 332}, {100, 126}})
        EXPECT_EQ(popoverPosition(size, QRect(600, top, 24, 24), QPoint(), low).y(), y) << top;
}

TEST(PopoverPlacement, FollowsThePointerWithoutATray) {
    const QSize size(290, 332);
    const QRect panel(0, 30, 1280, 770); // a panel of 30 at the top
    for (QRect unknown : {QRect(), QRect(0, 0, 0, 0), QRect(10, 10, -5, 5)})
        EXPECT_EQ(popoverPosition(size, unknown, QPoint(640, 5), panel), QPoint(495, 30));
    EXPECT_EQ(popoverPosition(size, QRect(), QPoint(640, 790), panel),
              QPoint(495, 790 - kPopoverGap - 332));
    const QRect right(1280, 0, 1920, 1080); // a second screen
    EXPECT_EQ(popoverPosition(size, QRect(), QPoint(1285, 0), right).x(), 1280);
    // Larger than the screen: the top-left corner stays on it.
    EXPECT_EQ(popoverPosition(QSize(2000, 2000), QRect(), QPoint(640, 400), panel), QPoint(0, 30));
}

class QtPopovers : public ::testing::Test {
  protected:
    void SetUp() override {
        popover_ = std::make_unique<QtPopover>(QtPopover::Hooks{
            .post =
                [this](const std::string& name) {
                    posted_.push_back(name + (popover_->isShown() ? " shown" : " closed"));
                },
            .anchoredToTray = [this] { return tray_; },
        });
        content_ = std::make_shared<QtPlainView>(ViewWidget::Pinning::Top);
        content_->setFrame(Rect{{0, 0}, {288, 330}});
        popover_->setBehavior(PopoverBehavior::Transient);
        popover_->setContentView(content_);
    }
    void TearDown() override { popover_.reset(); }

    std::vector<std::string> posted_;
    bool tray_ = true;
    std::shared_ptr<QtPlainView> content_;
    std::unique_ptr<QtPopover> popover_;
};

TEST_F(QtPopovers, PostsWillShowBeforeShowingAndEveryClose) {
    popover_->showRelativeToRectOfViewPreferredEdge({}, nullptr, RectEdge::MaxY);
    EXPECT_TRUE(popover_->isShown());
    // Shown again while shown: it takes its new size, posting nothing.
    popover_->setContentSize(Size{288, 648});
    popover_->showRelativeToRectOfViewPreferredEdge({}, nullptr, RectEdge::MaxY);
    EXPECT_EQ(popover_->window()->size(), QSize(290, 650)); // with its border
    EXPECT_FALSE(popover_->closedWithin(QtViews::kReopenGuardMilliseconds));
    popover_->performClose();
    EXPECT_TRUE(popover_->closedWithin(QtViews::kReopenGuardMilliseconds));
    popover_->performClose(); // closed already: nothing
    // Closed by Qt, as a popup is when the user presses elsewhere.
    popover_->showRelativeToRectOfViewPreferredEdge({}, nullptr, RectEdge::MaxY);
    popover_->window()->close();
    EXPECT_EQ(posted_, (std::vector<std::string>{"NSPopoverWillShowNotification closed",
                                                 "NSPopoverDidCloseNotification closed",
                                                 "NSPopoverWillShowNotification closed",
                                                 "NSPopoverDidCloseNotification closed"}));
}

TEST_F(QtPopovers, WaitsForTheTrayIconToStayPut) {
    bool inPlace = false;
    QRect icon(500, 40, 22, 22); // where it sits before the tray takes it in
    QtStatusButton button([&] { return icon; }, [&] { return inPlace; });
    popover_->showRelativeToRectOfViewPreferredEdge({}, &button, RectEdge::MaxY);
    EXPECT_FALSE(popover_->isShown());
    EXPECT_TRUE(popover_->isWaitingForTray());
    popover_->performClose(); // gives the show up
    EXPECT_FALSE(popover_->isWaitingForTray());
    EXPECT_TRUE(posted_.empty());

    popover_->showRelativeToRectOfViewPreferredEdge({}, &button, RectEdge::MaxY);
    inPlace = true;
    icon.moveTop(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return popover_->isShown(); }));
    EXPECT_EQ(popover_->window()->pos(), QPoint(510 - 145, 22 + kPopoverGap));
    // The icon where it was at the last show: at once.
    popover_->performClose();
    popover_->showRelativeToRectOfViewPreferredEdge({}, &button, RectEdge::MaxY);
    EXPECT_TRUE(popover_->isShown());
}

// A press on the background travels from the content up to the window: heard once.
TEST_F(QtPopovers, ObserverHearsPressesAfterTheyAreHandled) {
    auto button = std::make_shared<QtButton>();
    button->setFrame(Rect{{10, 10}, {20, 20}});
    content_->addSubview(button);
    std::vector<std::string> order;
    button->setAction([&] { order.push_back("click"); });
    popover_->setMouseDownObserver([&] { order.push_back("mouse down"); });
    popover_->showRelativeToRectOfViewPreferredEdge({}, nullptr, RectEdge::MaxY);
    QTest::mouseClick(button->button(), Qt::LeftButton);
    QCoreApplication::processEvents();
    QTest::mouseClick(content_->widget(), Qt::LeftButton, {}, QPoint(200, 100));
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"click", "mouse down", "mouse down"}));
}

// The alert closes a popup popover before it shows; an ordinary window stays.
class QtAlerts : public QtPopovers {
  protected:
    // Runs an alert with two buttons and presses the one at PRESS (none: closes the box);
    // whether the popover was shown while the alert was.
    std::pair<std::int64_t, bool> run(std::optional<int> press) {
        QtAlert alert([this] { return popover_.get(); });
        alert.setMessageText("Tip:\n        text");
        alert.addButtonWithTitle("OK");
        alert.addButtonWithTitle("Later");
        bool shownMeanwhile = false;
        QTimer::singleShot(0, [&] {
            QMessageBox* box = alert.box();
            if (!box)
                return;
            text_ = box->text();
            shownMeanwhile = popover_->isShown();
            if (press)
                box->buttons()[*press]->click();
            else
                box->done(QDialog::Rejected);
        });
        return {alert.runModal(), shownMeanwhile};
    }

    QString text_;
};

TEST_F(QtAlerts, APopupPopoverClosesBeforeTheAlertShows) {
    popover_->showRelativeToRectOfViewPreferredEdge({}, nullptr, RectEdge::MaxY);
    ASSERT_EQ(popover_->window()->windowType(), Qt::Popup);
    EXPECT_EQ(run(1), std::pair(std::int64_t{1}, false)); // the answer is the button pressed
    EXPECT_EQ(text_, QStringLiteral("Tip:\n        text"));
}

TEST_F(QtAlerts, AnOrdinaryWindowStaysOpen) {
    tray_ = false;
    popover_->showRelativeToRectOfViewPreferredEdge({}, nullptr, RectEdge::MaxY);
    ASSERT_TRUE(popover_->isOrdinaryWindow());
    EXPECT_EQ(run(0), std::pair(std::int64_t{0}, true));
}

TEST_F(QtAlerts, ABoxClosedWithoutAButtonAnswersMinusOne) {
    EXPECT_EQ(run(std::nullopt).first, -1);
}

TEST(QtStatusItems, ATrayClickRunsTheActionUnlessJustClosed) {
    bool justClosed = false;
    QtStatusItem::Hooks hooks;
    hooks.popoverJustClosed = [&] { return justClosed; };
    QtStatusItem item(hooks);
    int clicks = 0;
    item.button()->setAction([&] { ++clicks; });
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick,
                        QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick})
        item.activated(reason);
    EXPECT_EQ(clicks, 2);
    justClosed = true;
    item.activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(clicks, 2);
    // The menu's "Show" is a deliberate choice: always heard.
    item.contextMenu().actions().at(0)->trigger();
    EXPECT_EQ(clicks, 3);
    item.button()->setEnabled(false);
    justClosed = false;
    item.activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(clicks, 3);
}

TEST(QtStatusItems, ATemplateImageIsDrawnInTheColourOfText) {
    QtStatusItem item(QtStatusItem::Hooks{});
    QtImages images;
    ImagePtr icon = images.imageNamed("menuIcon");
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), (Size{22, 22}));
    icon->setTemplate(true);
    item.setImage(icon);
    QImage shown = item.trayIcon().icon().pixmap(22, 22).toImage();
    const QColor text = QGuiApplication::palette().color(QPalette::WindowText);
    int inked = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixelColor(x, y).alpha() == 255) {
                ++inked;
                EXPECT_EQ(shown.pixelColor(x, y).rgb(), text.rgb());
            }
    EXPECT_GT(inked, 30);
    item.setImage(nullptr); // nothing to show, but still an icon to click
    EXPECT_FALSE(item.trayIcon().icon().isNull());
    EXPECT_EQ(images.imageNamed("unknown"), nullptr);
}

class QtOpenPanels : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        root_.mkpath("home/applications");
        root_.mkpath("one");
        root_.mkpath("two/applications");
    }
    QString touch(const QString& path) {
        root_.mkpath(QFileInfo(root_.filePath(path)).path());
        QFile file(root_.filePath(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return root_.filePath(path);
    }
    // Begins PANEL with a handler that holds it until it has run, as the rule editor's does, and
    // notes the answer and the paths chosen.
    template <class Panel>
    void begin(const std::shared_ptr<Panel>& panel, const QString& folder = "/Applications") {
        panel->setDirectoryURL(folder.toStdString());
        panel->beginWithCompletionHandler([this, panel](std::int64_t result) {
            answers_.push_back(result);
            chosen_ = panel->URLs();
        });
    }
    std::vector<std::string> chosen(const QString& path) { return {path.toStdString()}; }

    QTemporaryDir folder_;
    QDir root_{folder_.path()};
    test_support::ScopedEnvironment environment_{
        {"XDG_DATA_HOME", root_.filePath("home").toStdString()},
        {"XDG_DATA_DIRS", (root_.filePath("one") + ":" + root_.filePath("two")).toStdString()}};
    int closedBefore_ = 0;
    std::vector<std::int64_t> answers_;
    std::vector<std::string> chosen_;
};

// The system's applications folder before the user's.
TEST_F(QtOpenPanels, ThePanelStartsInTheFirstApplicationsFolderThereIs) {
    EXPECT_EQ(startingFolder(root_.filePath("one").toStdString()), root_.filePath("one"));
    root_.rmdir("two/applications");
    EXPECT_EQ(startingFolder("/Applications-not-here"), root_.filePath("home/applications"));
    root_.rmdir("home/applications");
    EXPECT_EQ(startingFolder(""), QDir::homePath());
}

TEST_F(QtOpenPanels, TheAnswerReachesTheHandlerOnceWithThePathChosen) {
    const QString mail = touch("two/applications/org.example.Mail.desktop");
    auto panel = std::make_shared<QtOpenPanel>([&] { ++closedBefore_; });
    std::weak_ptr<QtOpenPanel> watch = panel;
    begin(panel);
    panel.reset();
    ASSERT_FALSE(watch.expired());
    BundleFileDialog* dialog = watch.lock()->dialog();
    EXPECT_EQ(closedBefore_, 1);
    EXPECT_EQ(QDir(dialog->directory()).absolutePath(), root_.filePath("two/applications"));
    dialog->selectFile(mail);
    dialog->accept();
    EXPECT_EQ(answers_, (std::vector<std::int64_t>{DialogResult::Accepted}));
    EXPECT_EQ(chosen_, chosen(mail));
    EXPECT_TRUE(watch.expired()); // let go once answered
}

TEST_F(QtOpenPanels, ABundleFolderCanBeChosen) {
    touch("Bundles/Mail.app/Contents/Info.plist");
    root_.mkpath("Bundles/Plain");
    EXPECT_FALSE(BundleFileDialog::isBundle(root_.filePath("Bundles/Plain")));
    auto panel = std::make_shared<QtOpenPanel>(nullptr);
    begin(panel, root_.filePath("Bundles"));
    panel->dialog()->selectFile(root_.filePath("Bundles/Mail.app"));
    panel->dialog()->accept();
    EXPECT_EQ(chosen_, chosen(root_.filePath("Bundles/Mail.app")));
}

TEST_F(QtOpenPanels, ACancelIsAnAnswerToo) {
    auto panel = std::make_shared<QtOpenPanel>(nullptr);
    begin(panel);
    panel->beginWithCompletionHandler([&](std::int64_t) { answers_.push_back(-1); }); // ignored
    panel->dialog()->reject();
    EXPECT_EQ(answers_, (std::vector<std::int64_t>{DialogResult::Rejected}));
    EXPECT_TRUE(chosen_.empty());
    EXPECT_EQ(panel->dialog(), nullptr);
}

// Two running applications, a thousand installed ones, and some to find by name, generic name,
// keyword or id.
ApplicationChoice choice(std::string path, std::string id, std::string name, bool running = false) {
    return {std::move(path), std::move(id), std::move(name), {}, {}, {}, running};
}

std::vector<ApplicationChoice> someChoices(const QString& editorPath) {
    std::vector<ApplicationChoice> choices;
    for (int i = 0; i < 1000; ++i) {
        choices.push_back(choice("/apps/app" + std::to_string(i) + ".desktop",
                                 "app" + std::to_string(i),
                                 QString("App %1").arg(i, 4, 10, QChar('0')).toStdString()));
        choices.back().icon = "app-icon";
    }
    choices.push_back(choice("window-class:Term", "Term", "Zeta Term", true));
    choices.push_back(choice("/apps/terminal.desktop", "org.example.Terminal", "Terminal"));
    choices.push_back(choice(editorPath.toStdString(), "org.example.Quill", "Quill Editor"));
    choices.back().genericName = "Text Editor";
    choices.back().keywords = {"notes"};
    choices.push_back(choice("/apps/mail.desktop", "org.example.Mail", "Mail", true));
    choices.push_back(choice("/apps/nameless.desktop", "org.example.Nameless\nX", ""));
    return choices;
}

std::vector<std::string> shownNames(const ApplicationChooserModel& model, int rows = 3) {
    std::vector<std::string> names;
    for (int row = 0; row < std::min(rows, model.rowCount()); ++row)
        names.push_back(model.data(model.index(row), Qt::DisplayRole).toString().toStdString());
    return names;
}

class QtChoosers : public QtOpenPanels {
  protected:
    void SetUp() override {
        QtOpenPanels::SetUp();
        quill_ = touch("two/applications/org.example.Quill.desktop");
        panel_ = std::make_shared<QtApplicationChooserPanel>([this] { return someChoices(quill_); },
                                                             nullptr, [&] { ++closedBefore_; });
        begin(panel_);
        chooser_ = panel_->chooser();
        ASSERT_TRUE(chooser_ && QTest::qWaitForWindowExposed(chooser_));
    }
    ApplicationChooserDialog& chooser() { return *chooser_; }
    void search(const QString& text) {
        chooser().searchField()->clear();
        QTest::keyClicks(chooser().searchField(), text);
    }

    QString quill_;
    std::shared_ptr<QtApplicationChooserPanel> panel_;
    ApplicationChooserDialog* chooser_ = nullptr;
};

// Typing straight into the search field: tests/e2e/popover.sh.
TEST_F(QtChoosers, TheRunningComeFirst) {
    EXPECT_EQ(closedBefore_, 1);
    EXPECT_EQ(chooser().model().rowCount(), 1005);
    EXPECT_EQ(shownNames(chooser().model()),
              (std::vector<std::string>{"Mail", "Zeta Term", "App 0000"}));
}

TEST_F(QtChoosers, OnlyTheRowsDrawnLoadTheirIconsOnceEach) {
    chooser().list()->viewport()->repaint();
    const int loaded = chooser().model().loadedIcons();
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, 40);
    chooser().list()->viewport()->repaint();
    EXPECT_EQ(chooser().model().loadedIcons(), loaded);
}

// Any case, every word, in the name, generic name, keywords or id; a name that starts with the
// text comes before one with a word that does, running or not.
TEST_F(QtChoosers, TypingNarrowsTheListAndTheArrowsMoveInIt) {
    const std::vector<std::pair<QString, std::vector<std::string>>> searches{
        {"TERM", {"Terminal", "Zeta Term"}},
        {"text ed", {"Quill Editor"}},
        {"NOTES", {"Quill Editor"}},
        {"example.quill", {"Quill Editor"}},
        {"nameless x", {"org.example.Nameless X"}},
        {"app 099", {"App 0990", "App 0991", "App 0992"}},
        {"nothing like it", {}}};
    for (const auto& [text, names] : searches) {
        search(text);
        EXPECT_EQ(shownNames(chooser().model()), names) << text.toStdString();
    }
    EXPECT_EQ(chooser().currentChoice(), nullptr);
    chooser().accept(); // nothing to choose: still open
    EXPECT_TRUE(chooser().isVisible());
    search("term");
    QTest::keyClick(chooser().searchField(), Qt::Key_Down);
    EXPECT_EQ(chooser().currentChoice()->id, "Term");
    EXPECT_EQ(chooser().focusWidget(), chooser().searchField());
}

TEST_F(QtChoosers, ADoubleClickChoosesTheRowAndLetsThePanelGo) {
    std::weak_ptr<QtApplicationChooserPanel> watch = panel_;
    panel_.reset();
    QListView* list = chooser().list(); // still there: the handler holds the panel
    const QPoint second = list->visualRect(chooser().model().index(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second); // as a double click starts
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(answers_, (std::vector<std::int64_t>{DialogResult::Accepted}));
    EXPECT_EQ(chosen_, (std::vector<std::string>{"window-class:Term"}));
    EXPECT_TRUE(watch.expired());
}

TEST_F(QtChoosers, EscapeCancels) {
    QTest::keyClick(chooser_, Qt::Key_Escape);
    EXPECT_EQ(answers_, (std::vector<std::int64_t>{DialogResult::Rejected}));
    EXPECT_TRUE(chosen_.empty());
    EXPECT_EQ(panel_->chooser(), nullptr);
}

// "Other..." shows the file dialog in the applications folder; its answer is the panel's.
TEST_F(QtChoosers, OtherLeavesForTheFileDialog) {
    for (QPushButton* button : chooser().findChildren<QPushButton*>())
        if (button->text() == "Other...")
            button->click();
    EXPECT_EQ(panel_->chooser(), nullptr);
    ASSERT_TRUE(panel_->filePanel() && panel_->filePanel()->dialog());
    BundleFileDialog* dialog = panel_->filePanel()->dialog();
    EXPECT_EQ(QDir(dialog->directory()).absolutePath(), root_.filePath("two/applications"));
    dialog->selectFile(quill_);
    dialog->accept();
    EXPECT_EQ(answers_, (std::vector<std::int64_t>{DialogResult::Accepted}));
    EXPECT_EQ(chosen_, chosen(quill_));
    EXPECT_EQ(panel_->filePanel(), nullptr);
}

// A factory whose reset window is not needed here.
class TestViews final : public QtViews {
  public:
    TestViews() : QtViews([this](const std::string& line) { log.push_back(line); }) {}
    std::shared_ptr<Window> makeResetWindow() override { return nullptr; }
    std::vector<std::string> log;
};

TEST(QtPopoverLayout, EveryColumnHasAHeader) {
    PopoverLayout layout = makeQtPopoverLayout();
    for (View* table : {layout.velmoraTableView.get(), layout.shortcutTableView.get()}) {
        auto* widget = dynamic_cast<QTableView*>(widgetOf(table));
        ASSERT_TRUE(widget);
        for (int column = 0; column < widget->model()->columnCount(); ++column)
            EXPECT_FALSE(widget->model()->headerData(column, Qt::Horizontal).toString().isEmpty())
                << "a column without a header: " << column;
    }
}

TEST(QtPopoverLayout, TheShortcutsStartOutOfSight) {
    PopoverLayout layout = makeQtPopoverLayout();
    const QRect visible = widgetOf(layout.view.get())->rect();
    EXPECT_FALSE(visible.intersects(widgetOf(layout.shortcutView.get())->geometry()));
    EXPECT_FALSE(visible.intersects(widgetOf(layout.allAppsBox.get())->geometry()));
}

TEST(QtViewFactory, TheOpenPanelClosesThePopover) {
    TestViews views;
    std::vector<std::string> seen;
    views.addPopoverObserver(kPopoverWillShowNotification, [&] { seen.push_back("will"); });
    views.addPopoverObserver(kPopoverDidCloseNotification, [&] { seen.push_back("did"); });
    views.addPopoverObserver(kPopoverDidCloseNotification, nullptr);
    auto item = views.makeStatusItem(kVariableStatusItemLength);
    EXPECT_EQ(views.log.size(), 1u); // offscreen: no tray, said once
    auto popover = views.makePopover();
    popover->setContentView(views.makePopoverLayout().view);
    popover->showRelativeToRectOfViewPreferredEdge({}, item->button().get(), RectEdge::MaxY);
    EXPECT_TRUE(views.popover()->isOrdinaryWindow()); // no tray to hang it from
    auto panel = views.openPanel();
    panel->beginWithCompletionHandler([](std::int64_t) {});
    EXPECT_FALSE(popover->isShown());
    EXPECT_EQ(seen, (std::vector<std::string>{"will", "did"}));
    // The tray click that closed the popover does not open it again.
    int clicks = 0;
    item->button()->setAction([&] { ++clicks; });
    views.statusItem()->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(clicks, 0);
    dynamic_cast<QtOpenPanel&>(*panel).dialog()->reject();
}

} // namespace
} // namespace velmora::qt

// SPDX-License-Identifier: MIT
// The popover's views as Qt widgets (offscreen, driven with QTest): bottom-left frames, children
// following a parent's height, image views, choice boxes and buttons.

#include "qt/qt_controls.h"
#include "qt/qt_image_views.h"
#include "qt/qt_images.h"
#include "qt/qt_view.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace velmora::qt {
namespace {

TEST(QtViewFrames, FramesHaveTheirOriginAtTheBottomLeft) {
    QtPlainView parent;
    parent.setFrame(Rect{{0, 0}, {200, 100}});
    auto child = std::make_shared<QtPlainView>();
    child->setFrame(Rect{{10, 20}, {30, 40}}); // before it is anywhere
    parent.addSubview(child);
    EXPECT_EQ(child->widget()->geometry(), QRect(10, 40, 30, 40));
    child->setFrameOrigin(Point{0, -50}); // below the parent's bottom
    EXPECT_EQ(child->widget()->geometry(), QRect(0, 110, 30, 40));
    EXPECT_EQ(child->frame(), (Rect{{0, -50}, {30, 40}}));
    // Nonsense sizes are nothing; a view is never put inside itself or its own child.
    child->setFrameSize(Size{-5, 1e300});
    EXPECT_EQ(child->widget()->width(), 0);
    parent.addSubview(nullptr);
    child->addSubview(std::shared_ptr<View>(&parent, [](View*) {}));
    EXPECT_EQ(parent.widget()->parent(), nullptr);
    EXPECT_EQ(child->subviews().size(), 0u);
}

// Shown widgets, as table cells are when resized (a hidden one learns on show). The popover's
// content growing downwards is driven end to end in tests/e2e/shortcuts.sh.
TEST(QtViewFrames, ChildrenKeepTheirPlaceFromTheBottomOrFill) {
    QtImageView cell;
    auto icon = std::make_shared<QtImageView>();
    icon->setFrame(Rect{{15, 1}, {20, 20}});
    cell.addSubview(icon);
    cell.widget()->show();
    cell.widget()->resize(50, 25); // the table gives the cell its height after its views' frames
    EXPECT_EQ(icon->widget()->geometry(), QRect(15, 4, 20, 20));
    EXPECT_EQ(icon->frame(), (Rect{{15, 1}, {20, 20}}));
    // A filling view's child takes all of it, whatever its own frame says.
    auto section = std::make_shared<QtPlainView>(ViewWidget::Pinning::Fill);
    section->setFrame(Rect{{0, 0}, {50, 25}});
    cell.addSubview(section);
    auto table = std::make_shared<QtPlainView>();
    table->setFrame(Rect{{3, 3}, {10, 10}});
    section->addSubview(table);
    section->setFrameSize(Size{50, 20});
    EXPECT_EQ(table->widget()->geometry(), QRect(0, 0, 50, 20));
}

TEST(QtViewFrames, WidgetsLiveAsLongAsTheirHolders) {
    QWidget window;
    window.resize(100, 100);
    window.show();
    QPointer<QWidget> kept;
    {
        QtPlainView holder;
        holder.setFrame(Rect{{0, 0}, {100, 100}});
        auto hidden = std::make_shared<QtPlainView>();
        hidden->setHidden(true);
        holder.addSubview(hidden);
        attachView(holder, window);
        EXPECT_FALSE(hidden->widget()->isVisible()); // hidden views stay hidden when put inside
        hidden->setHidden(false);
        EXPECT_TRUE(hidden->widget()->isVisible());
        kept = holder.widget();
    }
    // The view is gone, its widget lives on in the window that holds it.
    EXPECT_TRUE(kept);
    QPointer<QWidget> dropped;
    {
        QtTextField loose;
        dropped = loose.widget();
    }
    EXPECT_FALSE(dropped); // a view without a place takes its widget with it
    // A view whose widget Qt deleted answers calmly.
    auto orphan = std::make_shared<QtComboBox>();
    delete orphan->widget();
    orphan->setStringValue("x");
    orphan->setFrame(Rect{{1, 2}, {3, 4}});
    EXPECT_TRUE(orphan->objectValues().empty());
}

TEST(QtImageViews, ImagesAreScaledDownInProportionAndCentred) {
    EXPECT_EQ(ImageWidget::placement(QSize(20, 20), QSize(64, 32)), QRect(0, 5, 20, 10));
    EXPECT_EQ(ImageWidget::placement(QSize(20, 20), QSize(8, 8)), QRect(6, 6, 8, 8));
    EXPECT_TRUE(ImageWidget::placement(QSize(20, 20), QSize()).isEmpty());
}

class QtComboBoxes : public ::testing::Test {
  protected:
    void SetUp() override {
        box_.addItemsWithObjectValues({"-", "English (US)", "German", "German"});
        box_.setTag(3);
        box_.setStringValue("German");
        box_.setSelectionDidChangeObserver([this](ComboBox& box) {
            seen_.push_back(std::to_string(box.tag()) + " " +
                            box.objectValueOfSelectedItem().value_or("none") + " " +
                            box.stringValue());
        });
    }
    QComboBox* combo() { return box_.comboBox(); }

    QtComboBox box_;
    std::vector<std::string> seen_;
};

TEST_F(QtComboBoxes, TheTextShownSelectsNoItem) {
    EXPECT_EQ(box_.objectValueOfSelectedItem(), std::nullopt);
    EXPECT_EQ(combo()->currentIndex(), -1);
    // Shown as a value, not greyed as a hint.
    EXPECT_EQ(combo()->palette().color(QPalette::PlaceholderText),
              combo()->palette().color(QPalette::ButtonText));
    EXPECT_TRUE(seen_.empty()); // the program's own changes are no user's choice
    box_.addItemsWithObjectValues({"Russian"});
    EXPECT_EQ(combo()->currentIndex(), -1);
    // A text that does not fit is cut, and the tool tip has the whole of it.
    combo()->resize(140, 25);
    combo()->grab();
    EXPECT_TRUE(combo()->toolTip().isEmpty());
    box_.setStringValue("English (US, international with dead keys) (missing)");
    combo()->grab();
    EXPECT_EQ(combo()->toolTip().toStdString(), box_.stringValue());
}

TEST_F(QtComboBoxes, AnObserverThatDropsTheBoxIsSafe) {
    auto box = std::make_shared<QtComboBox>();
    QWidget holder;
    attachView(*box, holder);
    box->addItemsWithObjectValues({"a", "b"});
    std::string chosen;
    box->setSelectionDidChangeObserver([&](ComboBox& sender) {
        chosen = sender.objectValueOfSelectedItem().value_or("");
        box.reset(); // the way a table reload drops its cells
    });
    QComboBox* widget = static_cast<QtComboBox*>(box.get())->comboBox();
    QTest::keyClick(widget, Qt::Key_Down);
    EXPECT_EQ(chosen, "a");
    EXPECT_FALSE(box);
    QTest::keyClick(widget, Qt::Key_Down); // the widget lives on in its holder, unheard
    EXPECT_EQ(chosen, "a");
}

TEST_F(QtComboBoxes, TheWheelChangesOnlyAFocusedBox) {
    QWidget window;
    attachView(box_, window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget other(&window);
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.setFocus();
    auto turn = [&] {
        QWheelEvent wheel(QPointF(5, 5), combo()->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(combo(), &wheel);
        return wheel.isAccepted();
    };
    EXPECT_FALSE(turn()); // left to the table around it
    EXPECT_EQ(combo()->currentIndex(), -1);
    combo()->setFocus();
    ASSERT_TRUE(combo()->hasFocus());
    turn();
    EXPECT_NE(combo()->currentIndex(), -1);
    EXPECT_EQ(seen_.size(), 1u);
}

TEST(QtButtons, AClickRunsTheActionOfAnEnabledButton) {
    QtButton button;
    int clicks = 0;
    button.setAction([&] { ++clicks; }); // a click runs it: QtPopovers.ObserverHears...
    button.setEnabled(false);
    button.button()->click();
    EXPECT_EQ(clicks, 0);
    QtButton check(QtButton::Kind::TwoState); // the action sees the new state
    std::int64_t seen = -1;
    check.setAction([&] { seen = check.state(); });
    check.setState(ControlState::On);
    check.button()->click();
    EXPECT_EQ(seen, ControlState::Off);
}

TEST(QtButtons, ImagesShowByName) {
    QtButton expand;
    expand.setImageNamed("close");
    QImage closed = expand.button()->icon().pixmap(16, 16).toImage();
    expand.setImageNamed("open");
    EXPECT_NE(expand.button()->icon().pixmap(16, 16).toImage(), closed);
    expand.setImageNamed("no such image");
    EXPECT_TRUE(expand.button()->icon().isNull());
}

} // namespace
} // namespace velmora::qt

// SPDX-License-Identifier: MIT
// The Qt run loop, images, layout badges and the indicator's face, offscreen. Waits end on
// events; their deadline only stops a hang.

#include "indicator/template_test.h"
#include "qt/deadline_queue.h"
#include "qt/indicator_face.h"
#include "qt/indicator_widget.h"
#include "qt/layout_badge.h"
#include "qt/qt_images.h"
#include "qt/qt_indicator_views.h"
#include "qt/qt_run_loop.h"
#include "scoped_environment.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

namespace velmora::qt {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until DONE says so (or the safety deadline passes).
template <typename Done> bool runUntil(Done done) {
    return QTest::qWaitFor(done, 20000);
}

TEST(QtRunLoop, TimersFireUntilStopped) {
    QtRunLoop runLoop;
    int oneShot = 0, stopped = 0, distant = 0, repeating = 0;
    // Nobody keeps this one: the run loop does until it fired.
    runLoop.scheduledTimer(5ms, false, [&] { ++oneShot; });
    auto invalidated = runLoop.scheduledTimer(5ms, false, [&] { ++stopped; });
    invalidated->invalidate();
    auto parked = runLoop.scheduledTimer(5ms, false, [&] { ++distant; });
    parked->setFireDateDistantFuture();
    std::shared_ptr<Timer> ticking;
    ticking = runLoop.scheduledTimer(2ms, true, [&] {
        if (++repeating == 3)
            ticking->invalidate();
    });
    // A later timer that fires after all the others were due.
    bool later = false;
    runLoop.scheduledTimer(60ms, false, [&] { later = true; });
    ASSERT_TRUE(runUntil([&] { return later; }));
    EXPECT_EQ(oneShot, 1);
    EXPECT_EQ(stopped, 0);
    EXPECT_EQ(distant, 0);
    EXPECT_EQ(repeating, 3);
}

// Deadlines are set relative to one moment and the order is asserted by deadline only, so a
// slow machine that wakes late runs the same work in the same order.
class DeadlineQueues : public ::testing::Test {
  protected:
    using Clock = DeadlineQueue::Clock;
    // Work due AFTER the base moment that notes NAME, and whether it ran before it was due.
    DeadlineQueue::Id add(std::string name, std::chrono::milliseconds after) {
        return queue_.add(base_ + after, [this, name, due = base_ + after] {
            early_ = early_ || Clock::now() < due;
            ran_.push_back(name);
        });
    }
    void runAll() {
        ASSERT_TRUE(runUntil([&] { return queue_.pending() == 0; }));
    }

    QObject context_;
    DeadlineQueue queue_{context_};
    const Clock::time_point base_ = Clock::now();
    std::vector<std::string> ran_;
    bool early_ = false;
};

// Work added by running work, due already, runs before later work in the same pass.
TEST_F(DeadlineQueues, RunByDeadlineThenInTheOrderAdded) {
    add("late", 9ms);
    add("first", 3ms);
    const auto cancelled = add("cancelled", 1ms);
    add("second", 3ms);
    queue_.cancel(cancelled);
    queue_.cancel(cancelled); // twice is harmless
    queue_.add(base_ + 5ms, [&] {
        ran_.push_back("adder");
        add("added", 5ms);
    });
    runAll();
    EXPECT_EQ(ran_, (std::vector<std::string>{"first", "second", "adder", "added", "late"}));
    EXPECT_FALSE(early_);
}

TEST(QtRunLoop, MainQueueRunsInOrderAfterTheCurrentWork) {
    QtRunLoop runLoop;
    std::vector<int> order;
    runLoop.dispatchAsyncMain([&] {
        order.push_back(1);
        runLoop.dispatchAsyncMain([&] { order.push_back(3); });
    });
    runLoop.dispatchAsyncMain([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty()); // queued, not run at once
    ASSERT_TRUE(runUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(QtRunLoop, GlobalWorkHandsBackToTheMainThread) {
    QtRunLoop runLoop;
    std::atomic<bool> ranElsewhere{false};
    bool backOnMain = false, delayedOnMain = false;
    QThread* main = QThread::currentThread();
    runLoop.dispatchAsyncGlobal([&] {
        ranElsewhere = QThread::currentThread() != main;
        runLoop.dispatchAsyncMain([&] { backOnMain = QThread::currentThread() == main; });
        runLoop.dispatchAfterMain(3ms, [&] { delayedOnMain = QThread::currentThread() == main; });
    });
    ASSERT_TRUE(runUntil([&] { return backOnMain && delayedOnMain; }));
    EXPECT_TRUE(ranElsewhere);
}

TEST(QtRunLoop, QueuedWorkNotYetRunIsDroppedWithTheRunLoop) {
    bool ran = false;
    {
        QtRunLoop runLoop;
        runLoop.dispatchAsyncMain([&] { ran = true; });
        runLoop.scheduledTimer(1ms, false, [&] { ran = true; });
    }
    QCoreApplication::processEvents();
    QThread::msleep(5);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

// At shutdown a running job is waited for before its objects go, and what it hands back never runs.
TEST(QtRunLoop, DrainWaitsForRunningJobsAndRunsNothingAfterwards) {
    QtRunLoop runLoop;
    std::atomic<bool> started{false}, finished{false}, lateJobRan{false};
    bool mainRan = false, delayedRan = false, timerRan = false;
    runLoop.scheduledTimer(1ms, false, [&] { timerRan = true; });
    runLoop.dispatchAsyncGlobal([&] {
        started = true;
        for (int i = 0; i < 50; ++i) // still busy when drained, as an address-bar check can be
            runLoop.sleep(1ms);
        runLoop.dispatchAsyncMain([&] { mainRan = true; });
        runLoop.dispatchAfterMain(0ms, [&] { delayedRan = true; });
        runLoop.dispatchAsyncGlobal([&] { lateJobRan = true; });
        finished = true;
    });
    while (!started)
        QThread::yieldCurrentThread();
    runLoop.drain();
    EXPECT_TRUE(finished);
    runLoop.dispatchAsyncMain([&] { mainRan = true; });
    // An event loop that runs again after the end (a nested one, say) finds nothing to do.
    QThread::msleep(5);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(mainRan);
    EXPECT_FALSE(delayedRan);
    EXPECT_FALSE(timerRan);
    EXPECT_FALSE(lateJobRan);
}

class QtImagesTest : public ::testing::Test {
  protected:
    QImage fourColours() {
        QImage image(2, 2, QImage::Format_ARGB32);
        image.setPixelColor(0, 0, QColor(255, 0, 0, 255));
        image.setPixelColor(1, 0, QColor(0, 255, 0, 255));
        image.setPixelColor(0, 1, QColor(0, 0, 255, 255));
        image.setPixelColor(1, 1, QColor(0, 0, 0, 0));
        return image;
    }
    QtImages images_;
};

TEST_F(QtImagesTest, PixelBytesAreRgbaRowsWithoutPadding) {
    auto bytes = images_.copyFirstImagePixelBytes(QtImage(fourColours()));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 255, 0, 255, //
                                                0, 0, 255, 255, 0, 0, 0, 0}));
    EXPECT_EQ(
        images_.copyFirstImagePixelBytes(QtImage(QImage(3, 2, QImage::Format_RGB888)))->size(),
        24u);
    // Window icons come as non-premultiplied ARGB words; too few of them give no image.
    ImagePtr argb =
        images_.imageWithARGBPixels(2, 2, {0xffff0000, 0xff00ff00, 0xff0000ff, 0x00000000});
    ASSERT_TRUE(argb);
    EXPECT_EQ(images_.copyFirstImagePixelBytes(*argb), bytes);
    EXPECT_EQ(images_.imageWithARGBPixels(2, 2, {0xffff0000}), nullptr);
    EXPECT_EQ(images_.imageWithARGBPixels(0, 2, {}), nullptr);
}

TEST_F(QtImagesTest, FilesLoadByPathOrUrl) {
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath("icon.png");
    ASSERT_TRUE(fourColours().save(path));
    ImagePtr byPath = images_.imageWithContentsOfURL(path.toStdString());
    ImagePtr byUrl = images_.imageWithContentsOfURL("file://" + path.toStdString());
    ASSERT_TRUE(byPath && byUrl);
    EXPECT_EQ(byPath->size(), (Size{2, 2}));
    EXPECT_EQ(images_.copyFirstImagePixelBytes(*byUrl), images_.copyFirstImagePixelBytes(*byPath));
    EXPECT_EQ(images_.imageWithContentsOfURL(path.toStdString() + ".none"), nullptr);
}

// Icon names in hicolor and the data folders' pixmaps, as SVG, PNG or XPM, with or without the
// suffix; a file too large to read on the main thread gives nothing, by name or by path.
TEST_F(QtImagesTest, IconNamesAreFoundInEveryFormatButHugeOnes) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    test_support::ScopedEnvironment dataHome{{"XDG_DATA_HOME", data.path().toStdString()}};
    QDir folder(data.path());
    ASSERT_TRUE(folder.mkpath("icons/hicolor/scalable/apps") && folder.mkpath("pixmaps"));
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("icons/hicolor/index.theme", "[Icon Theme]\nName=Hicolor\nDirectories=scalable/apps\n"
                                       "[scalable/apps]\nSize=48\nType=Scalable\n");
    const QByteArray square = "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>"
                              "<rect width='8' height='8' fill='#ff0000'/></svg>";
    write("icons/hicolor/scalable/apps/vector.svg", square);
    write("icons/hicolor/scalable/apps/huge.svg",
          square + QByteArray(QtImages::kMaxSvgFileBytes, ' '));
    ASSERT_TRUE(fourColours().save(folder.filePath("pixmaps/raster.png")));
    ASSERT_TRUE(fourColours().save(folder.filePath("pixmaps/old.xpm")));
    for (std::string name : {"vector", "vector.svg", "raster", "raster.png", "old"}) {
        ImagePtr image = images_.imageWithIconRef(name);
        EXPECT_TRUE(image && image->size().width > 0) << name;
    }
    for (std::string name : {"huge", "missing", "../pixmaps/raster", ""})
        EXPECT_EQ(images_.imageWithIconRef(name), nullptr) << name;
    const std::string huge = folder.filePath("icons/hicolor/scalable/apps/huge.svg").toStdString();
    EXPECT_EQ(images_.imageWithContentsOfURL(huge), nullptr);
    EXPECT_EQ(images_.imageWithContentsOfURL(data.path().toStdString()), nullptr); // a folder
}

// Scaling to the row's size: the window's own icon in tests/e2e/identity.sh.
TEST(LayoutBadgeRefs, TheLayoutNamesTheLabel) {
    EXPECT_EQ(parseLayoutBadgeRef("velmora-badge:us"), (LayoutBadge{"US", false}));
    EXPECT_EQ(parseLayoutBadgeRef("velmora-badge:de(nodeadkeys)"), (LayoutBadge{"DE", true}));
    // At most three letters or digits, punctuation skipped.
    EXPECT_EQ(parseLayoutBadgeRef("velmora-badge:latam"), (LayoutBadge{"LAT", false}));
    EXPECT_EQ(parseLayoutBadgeRef("velmora-badge:n_e/c-vndr(alt-intl)"),
              (LayoutBadge{"NEC", true}));
    // Anything else is no badge.
    for (std::string ref : {"", "us", "velmora-badge", ":", ":()", ":us(", ":us()", ":us(intl)x",
                            ":us(a(b))", ":u s", ":__", ":caf\xC3\xA9", ":us)"})
        EXPECT_EQ(parseLayoutBadgeRef(ref.starts_with(":") ? "velmora-badge" + ref : ref),
                  std::nullopt)
            << ref;
    EXPECT_EQ(parseLayoutBadgeRef("Velmora-badge:us"), std::nullopt);
    EXPECT_EQ(parseLayoutBadgeRef(std::string("velmora-badge:u\0s", 16)), std::nullopt);
    EXPECT_EQ(parseLayoutBadgeRef("velmora-badge:" + std::string(200, 'a')), std::nullopt);
}

class LayoutBadgeImages : public QtImagesTest {
  protected:
    std::vector<std::uint8_t> pixels(const std::string& ref) {
        ImagePtr image = images_.imageWithIconRef(ref);
        EXPECT_TRUE(image) << ref;
        if (!image)
            return {};
        EXPECT_EQ(image->size(), (Size{kBadgeSide, kBadgeSide})) << ref;
        return images_.copyFirstImagePixelBytes(*image).value_or(std::vector<std::uint8_t>{});
    }
    // Pixels at least half opaque, in the rectangle X0 <= x < X1, Y0 <= y < Y1.
    static int inked(const std::vector<std::uint8_t>& rgba, int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                count += rgba[static_cast<std::size_t>((y * kBadgeSide + x) * 4 + 3)] >= 128;
        return count;
    }
};

TEST_F(LayoutBadgeImages, EachLayoutIsItsOwnOneColourGlyph) {
    auto us = pixels("velmora-badge:us");
    auto usIntl = pixels("velmora-badge:us(intl)");
    auto lat = pixels("velmora-badge:latam");
    EXPECT_NE(us, usIntl);
    for (const auto* glyph : {&us, &usIntl, &lat}) {
        // Every pixel is black, the glyph is in the alpha alone.
        for (std::size_t i = 0; i + 3 < glyph->size(); i += 4)
            ASSERT_EQ((*glyph)[i] | (*glyph)[i + 1] | (*glyph)[i + 2], 0) << i;
        // There is a glyph, and most of the ground is clear.
        int ink = inked(*glyph, 0, 0, kBadgeSide, kBadgeSide);
        EXPECT_GT(ink, 15);
        EXPECT_LT(ink, kBadgeSide * kBadgeSide / 2);
    }
    // Three letters still fit: ink in the left and the right third.
    EXPECT_GT(inked(lat, 0, 0, 6, kBadgeSide), 0);
    EXPECT_GT(inked(lat, 12, 0, kBadgeSide, kBadgeSide), 0);
    // The variant's dot is in the bottom right corner, which the plain glyph leaves clear.
    EXPECT_EQ(inked(us, 15, 15, 18, 18), 0);
    EXPECT_GT(inked(usIntl, 15, 15, 18, 18), 0);
    // So the program takes them for one-colour glyphs, in both forms of the test.
    ImagePtr image = images_.imageWithIconRef("velmora-badge:de(nodeadkeys)");
    EXPECT_TRUE(canTemplate(images_, image.get(), 2) && canTemplate(images_, image.get(), 3));
}

TEST_F(LayoutBadgeImages, EveryCallerGetsItsOwnImage) {
    ImagePtr first = images_.imageWithIconRef("velmora-badge:de");
    ImagePtr second = images_.imageWithIconRef("velmora-badge:de(nodeadkeys)");
    ImagePtr third = images_.imageWithIconRef("velmora-badge:de");
    ASSERT_TRUE(first && second && third);
    EXPECT_NE(first, third);
    first->setTemplate(true);
    EXPECT_FALSE(third->isTemplate());
    EXPECT_NE(images_.copyFirstImagePixelBytes(*first), images_.copyFirstImagePixelBytes(*second));
    // Far more badges than are kept: each is still right.
    for (char a = 'a'; a <= 'z'; ++a)
        for (char b : {'a', 'b'})
            ASSERT_TRUE(images_.imageWithIconRef(std::string("velmora-badge:") + a + b));
    EXPECT_EQ(images_.copyFirstImagePixelBytes(*images_.imageWithIconRef("velmora-badge:de")),
              images_.copyFirstImagePixelBytes(*third));
}

// Alpha values by row, one character a pixel: '#' 255, '+' 128, '-' 127, '.' 0.
QImage alphaPattern(std::initializer_list<const char*> rows) {
    const int width = static_cast<int>(std::strlen(*rows.begin()));
    QImage image(width, static_cast<int>(rows.size()), QImage::Format_ARGB32);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < width; ++x) {
            int alpha = row[x] == '#' ? 255 : row[x] == '+' ? 128 : row[x] == '-' ? 127 : 0;
            image.setPixel(x, y, qRgba(0, 0, 0, alpha));
        }
        ++y;
    }
    return image;
}

TEST(IndicatorShape, TheOpaqueRegionHoldsThePixelsHalfOpaque) {
    QImage image = alphaPattern({"..##..", //
                                 "..#+..", //
                                 "#-..##", //
                                 "#-..##", //
                                 "......"});
    QRegion region = opaqueRegion(image);
    EXPECT_EQ(region, QRegion(2, 0, 2, 2) + QRegion(0, 2, 1, 2) + QRegion(4, 2, 2, 2));
    EXPECT_EQ(region.rectCount(), 3); // rows alike are one band
    EXPECT_TRUE(opaqueRegion(QImage()).isEmpty());
    QImage opaque(3, 2, QImage::Format_RGB32); // opaque everywhere
    opaque.fill(Qt::black);
    EXPECT_EQ(opaqueRegion(opaque), QRegion(0, 0, 3, 2));
}

// Icons keep their size and proportions, centred.
TEST(IndicatorShape, IconsAreCentred) {
    const QSize side(32, 32);
    EXPECT_EQ(iconPlacement(side, QSize(26, 18)), QRect(3, 7, 26, 18));
    EXPECT_EQ(iconPlacement(side, QSize(64, 32)), QRect(0, 8, 32, 16)); // scaled down
    EXPECT_EQ(iconPlacement(side, QSize(1000, 1)), QRect(0, 15, 32, 1));
    EXPECT_TRUE(iconPlacement(side, QSize(0, 5)).isEmpty());
    EXPECT_TRUE(iconPlacement(QSize(), QSize(5, 5)).isEmpty());
}

} // namespace
} // namespace velmora::qt

namespace velmora::qt {
int printQtFaceTexts(); // qt_application_test.cpp
}

int main(int argc, char** argv) {
    // No display is needed, nor used when there is one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Run again by a test, in the language of its environment.
    if (argc == 2 && std::string_view(argv[1]) == "--print-qt-face-texts")
        return velmora::qt::printQtFaceTexts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The Qt run loop's timers and queues, and Qt images. Waits end on events, each with a
// generous safety deadline that only stops a broken test from hanging.

#include "qt_images.h"
#include "qt_run_loop.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace velmora::qt {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until DONE says so (or the safety deadline passes).
template <typename Done> bool runUntil(Done done) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    check.start(1);
    QTimer::singleShot(20s, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

TEST(QtRunLoop, MainQueueRunsInOrderAndAfterTheCurrentWork) {
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

TEST(QtRunLoop, TimersFireFromTheRunLoopAloneAndStopWhenAsked) {
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

TEST(QtRunLoop, GlobalQueueWorksOffTheMainThreadAndHandsBack) {
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
    QtImage image(fourColours());
    auto bytes = images_.copyFirstImagePixelBytes(image);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 255, 0, 255, //
                                                 0, 0, 255, 255, 0, 0, 0, 0}));
    // Three pixels a row: 12 bytes, no padding to a multiple of anything.
    QtImage odd(QImage(3, 2, QImage::Format_RGB888));
    EXPECT_EQ(images_.copyFirstImagePixelBytes(odd)->size(), 24u);
}

TEST_F(QtImagesTest, FilesLoadByPathOrFileUrlAndMissingOnesGiveNothing) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString path = QDir(folder.path()).filePath("icon.png");
    ASSERT_TRUE(fourColours().save(path));
    ImagePtr byPath = images_.imageWithContentsOfURL(path.toStdString());
    ImagePtr byUrl = images_.imageWithContentsOfURL("file://" + path.toStdString());
    ASSERT_TRUE(byPath && byUrl);
    EXPECT_EQ(byPath->size(), (Size{2, 2}));
    EXPECT_EQ(images_.copyFirstImagePixelBytes(*byUrl), images_.copyFirstImagePixelBytes(*byPath));
    EXPECT_EQ(
        images_.imageWithContentsOfURL(QDir(folder.path()).filePath("none.png").toStdString()),
        nullptr);
}

TEST_F(QtImagesTest, ScalingDrawsAllOfTheSourceAtTheNewSizeAsNoTemplate) {
    QtImage source(fourColours());
    source.setTemplate(true);
    ImagePtr scaled = images_.scaledImage(source, Size{4, 8});
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->size(), (Size{4, 8}));
    EXPECT_FALSE(scaled->isTemplate());
    const QImage& pixels = dynamic_cast<QtImage&>(*scaled).image();
    EXPECT_EQ(pixels.pixelColor(0, 0).red(), 255); // top-left stays red
    EXPECT_EQ(pixels.pixelColor(3, 7).alpha(), 0); // bottom-right stays clear
    EXPECT_EQ(images_.scaledImage(source, Size{0, 5})->size(), (Size{0, 0}));
}

} // namespace
} // namespace velmora::qt

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The program as a Qt application: English texts, and only real URLs handed to the desktop's
// handler. (The login entry starting this program by its resolved path, quitting with status 0
// and the settings saved: tests/e2e/settings_menu.sh.)

#include "qt_application.h"
#include "url_opener.h"

#include "menu/alfred_tip.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::qt {
namespace {

TEST(QtApplicationInfos, TheTipIsInEnglishOtherKeysComeBackAsTheyAre) {
    QtApplicationInfo info;
    const std::string tip = info.localizedStringForKeyValueTable(kAlfredTipKey, "", "");
    EXPECT_EQ(tip.rfind("Tip:\n        Switching input sources for Alfred", 0), 0u) << tip;
    EXPECT_EQ(info.localizedStringForKeyValueTable("Version", "", ""), "Version");
    EXPECT_EQ(info.localizedStringForKeyValueTable(kAlfredTipKey, "", "Other"), kAlfredTipKey);
}

class UrlOpening : public ::testing::Test {
  protected:
    void SetUp() override { path_ = qgetenv("PATH"); }
    void TearDown() override { qputenv("PATH", path_); }
    bool open(const std::string& url) {
        return openURLWithDesktop(url, [this](const std::string& line) { log_.push_back(line); });
    }
    // A PATH whose first xdg-open writes the URL it got into a file, or one without any.
    void fakeHandler(bool present) {
        ASSERT_TRUE(bin_.isValid());
        if (present) {
            QFile script(bin_.filePath(QStringLiteral("xdg-open")));
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\nprintf '%s' \"$1\" >\"${0%/*}/opened.part\"\n"
                         "mv \"${0%/*}/opened.part\" \"${0%/*}/opened\"\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        // The fake comes first; without it no folder of the PATH has one.
        qputenv("PATH",
                present ? bin_.path().toLocal8Bit() + ':' + path_ : bin_.path().toLocal8Bit());
    }
    QString opened() {
        QFile file(bin_.filePath(QStringLiteral("opened")));
        // The handler runs detached: its answer is awaited, not timed.
        for (int attempt = 0; attempt < 6000 && !file.exists(); ++attempt)
            QThread::msleep(5);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QByteArray path_;
    QTemporaryDir bin_;
    std::vector<std::string> log_;
};

TEST_F(UrlOpening, OnlyAbsoluteURLsOfReasonableLengthReachTheHandlerAndAMissingOneIsSaid) {
    // A desktop without a handler gets one clear line.
    fakeHandler(false);
    EXPECT_FALSE(open("https://www.example.org/velmora"));
    ASSERT_EQ(log_.size(), 1u);
    EXPECT_NE(log_[0].find("xdg-open"), std::string::npos) << log_[0];
    log_.clear();

    fakeHandler(true);
    for (const std::string& odd :
         {std::string(), std::string("-e rm"), std::string("relative/page"),
          std::string("http://[broken"), "https://example.org/" + std::string(5000, 'a')})
        EXPECT_FALSE(open(odd)) << odd;
    EXPECT_EQ(log_.size(), 5u);
    EXPECT_TRUE(open("https://www.example.org/velmora/support"));
    EXPECT_EQ(opened(), QStringLiteral("https://www.example.org/velmora/support"));
}

} // namespace
} // namespace velmora::qt

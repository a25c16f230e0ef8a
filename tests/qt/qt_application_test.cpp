// SPDX-License-Identifier: MIT
// The program as a Qt application: its texts in English and in the user's language, and only
// real URLs handed to the desktop's handler.

#include "english_texts.h"
#include "qt/qt_application.h"
#include "qt/qt_menu.h"
#include "qt/qt_status_item.h"
#include "qt/qt_translations.h"
#include "qt/shortcut_text.h"
#include "qt/url_opener.h"

#include "menu/alfred_tip.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace velmora::qt {
namespace {

TEST(QtApplicationInfos, TheTipIsInEnglishOtherKeysComeBackAsTheyAre) {
    QtApplicationInfo info({}, logAgent, program::englishTextsOfOwnKeys());
    const std::string tip = info.localizedStringForKeyValueTable(kAlfredTipKey, "", "");
    EXPECT_EQ(tip.rfind("Tip:\n        Switching input sources for Alfred", 0), 0u) << tip;
    EXPECT_EQ(info.localizedStringForKeyValueTable("Version", "", ""), "Version");
    EXPECT_EQ(info.localizedStringForKeyValueTable(kAlfredTipKey, "", "Other"), kAlfredTipKey);
}

TEST(UrlOpening, OnlyAbsoluteURLsOfReasonableLengthReachTheDesktop) {
    std::vector<std::string> log;
    for (const std::string& odd :
         {std::string(), std::string("-e rm"), std::string("relative/page"),
          std::string("http://[broken"), "https://example.org/" + std::string(5000, 'a')})
        EXPECT_FALSE(openURLWithDesktop(odd, [&](const std::string& line) { log.push_back(line); }))
            << odd;
    EXPECT_EQ(log.size(), 5u);
}

} // namespace

// The texts of the Qt face that a user sees first, one a line: a settings menu entry as the
// program gives it, the tray's own entry's text, a shortcut. main() runs this for
// --print-qt-face-texts.
int printQtFaceTexts() {
    installTranslations();
    QtMenu menu(std::vector<MenuItemDescription>{{"Quit Velmora", "Quit:"}});
    QtStatusItem item({});
    const QList<QAction*> trayEntries = item.contextMenu().actions();
    std::printf("%s\n%s\n%s\n", qPrintable(menu.actionAt(0)->text()),
                qPrintable(trayEntries.isEmpty() ? QString() : trayEntries[0]->text()),
                qPrintable(shortcutText(ModifierFlag::Control, 38, {})));
    return 0;
}

namespace {

// The program started with LANG=de_DE.UTF-8 shows German; C and English show English.
TEST(Translations, TheQtFaceSpeaksTheLanguageOfTheEnvironment) {
    auto textsUnder = [](const QString& lang) {
        QProcess self;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("LANG"), lang);
        self.setProcessEnvironment(environment);
        self.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--print-qt-face-texts")});
        self.waitForFinished(60'000);
        return QString::fromUtf8(self.readAllStandardOutput()).split(u'\n');
    };
    const QStringList german = textsUnder(QStringLiteral("de_DE.UTF-8"));
    EXPECT_EQ(german.mid(0, 3),
              QStringList({QStringLiteral("Velmora beenden"), QStringLiteral("Anzeigen"),
                           QStringLiteral("Strg+Taste 38")}));
    const QStringList english = {QStringLiteral("Quit Velmora"), QStringLiteral("Show"),
                                 QStringLiteral("Ctrl+Key 38")};
    EXPECT_EQ(textsUnder(QStringLiteral("C")).mid(0, 3), english);
    EXPECT_EQ(textsUnder(QStringLiteral("en_US.UTF-8")).mid(0, 3), english);
}

} // namespace
} // namespace velmora::qt

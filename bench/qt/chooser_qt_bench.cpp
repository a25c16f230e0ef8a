// SPDX-License-Identifier: MIT
// What the add button's application chooser costs with 1,000 installed applications (Qt's
// offscreen platform): each showing reads the desktop files afresh, builds the list and draws
// it; icons (small SVG drawings in the hicolor theme, one per application) load only for the
// rows drawn. Also how long narrowing the list takes as the user types. With --screenshot PATH,
// the chooser as first shown is saved as an image.

#include "application_choices.h"
#include "qt/qt_application_chooser.h"
#include "qt/qt_images.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;

constexpr int kInstalled = 1000;
constexpr int kRunning = 10;
constexpr int kShowings = 20;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Ten running applications: half with a desktop file, half known by their window class.
class BenchWorkspace final : public Workspace {
  public:
    explicit BenchWorkspace(const QString& applications) {
        for (int i = 0; i < kRunning; ++i) {
            RunningApplication app;
            if (i % 2 == 0) {
                app.bundleIdentifier = "org.example.App" + std::to_string(i * 7);
                app.bundlePath =
                    QDir(applications)
                        .filePath(QString::fromStdString(*app.bundleIdentifier) + ".desktop")
                        .toStdString();
            } else {
                app.bundleIdentifier = "Class" + std::to_string(i);
            }
            app.localizedName = *app.bundleIdentifier;
            running_.push_back(app);
        }
    }
    std::optional<RunningApplication> frontApplication() override { return std::nullopt; }
    std::vector<RunningApplication> runningApplications() override { return running_; }
    void addObserver(const std::string&, Observer) override {}

  private:
    std::vector<RunningApplication> running_;
};

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    std::string screenshot;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--screenshot")
            screenshot = argv[i + 1];
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication application(argc, argv);

    QTemporaryDir data;
    QDir root(data.path());
    root.mkpath("home/applications");
    root.mkpath("home/icons/hicolor/scalable/apps");
    root.mkpath("system");
    qputenv("XDG_DATA_HOME", root.filePath("home").toUtf8());
    qputenv("XDG_DATA_DIRS", root.filePath("system").toUtf8());
    const QString applications = root.filePath("home/applications");
    for (int i = 0; i < kInstalled; ++i) {
        const QString id = QString("org.example.App%1").arg(i);
        const QByteArray entry = QString("[Desktop Entry]\nType=Application\nName=Application %1\n"
                                         "Name[de]=Anwendung %1\nGenericName=Tool number %1\n"
                                         "Keywords=bench;tool%1;\nExec=app%1 %U\nIcon=app-%1\n"
                                         "Categories=Utility;\n")
                                     .arg(i)
                                     .toUtf8();
        const QByteArray icon =
            QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\">"
                    "<circle cx=\"24\" cy=\"24\" r=\"20\" fill=\"#%1\"/></svg>\n")
                .arg((i * 2654435761u) & 0xFFFFFF, 6, 16, QChar('0'))
                .toUtf8();
        if (!write(QDir(applications).filePath(id + ".desktop"), entry) ||
            !write(root.filePath(QString("home/icons/hicolor/scalable/apps/app-%1.svg").arg(i)),
                   icon)) {
            std::fprintf(stderr, "velmora: could not write the bench's files\n");
            return 1;
        }
    }

    BenchWorkspace workspace(applications);
    qt::QtImages images;
    qt::QtApplicationChooserPanel panel(
        [&workspace] { return program::currentApplicationChoices(workspace); },
        // Icons from the theme, as the agent finds a desktop file's.
        [&images](const qt::ApplicationChoice& choice) {
            auto icon =
                std::dynamic_pointer_cast<qt::QtImage>(images.imageWithIconRef(choice.icon));
            return icon ? QIcon(QPixmap::fromImage(icon->image())) : QIcon();
        },
        nullptr);
    std::vector<double> showings;
    int rows = 0;
    int icons = 0;
    for (int i = 0; i < kShowings; ++i) {
        const auto start = Clock::now();
        panel.beginWithCompletionHandler([](std::int64_t) {});
        qt::ApplicationChooserDialog* chooser = panel.chooser();
        if (!chooser || !QTest::qWaitForWindowExposed(chooser))
            return 1;
        chooser->list()->viewport()->repaint(); // drawn, icons and all
        showings.push_back(millisecondsSince(start));
        rows = chooser->model().rowCount();
        icons = chooser->model().loadedIcons();
        if (i == 0 && !screenshot.empty() &&
            !chooser->grab().save(QString::fromStdString(screenshot))) {
            std::fprintf(stderr, "velmora: could not save %s\n", screenshot.c_str());
            return 1;
        }
        chooser->reject();
        QApplication::processEvents();
    }

    // Of which reading the desktop files and the running applications.
    std::vector<double> reads;
    for (int i = 0; i < kShowings; ++i) {
        const auto start = Clock::now();
        if (program::currentApplicationChoices(workspace).empty())
            return 1;
        reads.push_back(millisecondsSince(start));
    }

    // Typing narrows the list: a letter at a time, the list redrawn after each.
    panel.beginWithCompletionHandler([](std::int64_t) {});
    qt::ApplicationChooserDialog* chooser = panel.chooser();
    if (!chooser || !QTest::qWaitForWindowExposed(chooser))
        return 1;
    std::vector<double> keys;
    for (const char* text : {"a", "ap", "app", "appl", "application 9", "tool12", "x"}) {
        const auto start = Clock::now();
        chooser->searchField()->setText(QString::fromUtf8(text));
        chooser->list()->viewport()->repaint();
        keys.push_back(millisecondsSince(start));
    }
    chooser->reject();

    std::printf("applications listed: %d (%d installed, %d running)\n", rows, kInstalled, kRunning);
    std::printf("first showing: %.1f ms; later showings: median %.1f ms, max %.1f ms over %d\n",
                showings.front(), median({showings.begin() + 1, showings.end()}),
                *std::max_element(showings.begin() + 1, showings.end()), kShowings - 1);
    std::printf("of which reading the applications: median %.1f ms\n", median(reads));
    std::printf("icons loaded for the first drawing: %d of %d\n", icons, rows);
    std::printf("narrowing as the user types: median %.1f ms, max %.1f ms over %zu\n", median(keys),
                *std::max_element(keys.begin(), keys.end()), keys.size());
    return 0;
}

// SPDX-License-Identifier: MIT
// A Wayland window whose app id is the first argument (QT_QPA_PLATFORM=wayland), shown until
// the process is killed: the application the KDE test activates.
#include <QGuiApplication>
#include <QRasterWindow>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc > 1)
        QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1]));
    QRasterWindow window;
    window.resize(200, 100);
    window.show();
    return QGuiApplication::exec();
}

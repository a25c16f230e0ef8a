// SPDX-License-Identifier: MIT
// A Wayland window whose app id is the first argument (QT_QPA_PLATFORM=wayland), shown until
// the process is killed: the application the Wayland tests activate. It takes text, as a text
// field does: the input-method module QT_IM_MODULE names (fcitx, ibus) makes its input context
// and focuses it whenever the window gets the keyboard focus.
#include <QGuiApplication>
#include <QInputMethodQueryEvent>
#include <QRasterWindow>

namespace {

class TextWindow : public QRasterWindow {
  protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::InputMethodQuery)
            return QRasterWindow::event(event);
        auto* query = static_cast<QInputMethodQueryEvent*>(event);
        query->setValue(Qt::ImEnabled, true);
        query->accept();
        return true;
    }
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc > 1)
        QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1]));
    TextWindow window;
    window.resize(200, 100);
    window.show();
    return QGuiApplication::exec();
}

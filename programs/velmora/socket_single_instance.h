// SPDX-License-Identifier: MIT
#pragma once
// One agent per user and Wayland desktop: the first one listens on a local socket in
// $XDG_RUNTIME_DIR named after the desktop's own socket; a later one finds it answering,
// asks it to show its settings and leaves. A socket left by an agent that crashed answers
// nobody and is taken over. (Two agents started in the same instant may both run; the X11
// agent's claim under a server grab has no Wayland counterpart.)
//
// Main thread only, once the QCoreApplication exists.

#include <QLocalServer>

#include <functional>
#include <string>

namespace velmora::program {

class SocketSingleInstance {
  public:
    enum class Outcome { Claimed, AlreadyRunning };

    // DESKTOPSOCKET: the desktop's socket ($SWAYSOCK), which names this desktop's session.
    explicit SocketSingleInstance(const std::string& desktopSocket);
    // Takes the name unless another agent answers on it; that one is asked to show its
    // settings when ASKTOREOPEN.
    Outcome claim(bool askToReopen);
    // What a request to reopen does. Main thread.
    void setReopenHandler(std::function<void()> handler) { reopen_ = std::move(handler); }

  private:
    QString name_;
    QLocalServer server_;
    std::function<void()> reopen_;
};

} // namespace velmora::program

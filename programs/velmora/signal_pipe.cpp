// SPDX-License-Identifier: MIT
#include "signal_pipe.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace velmora::program {

namespace {

// The one piece of process-wide state: where the handler writes. A handler cannot reach an
// object any other way.
std::atomic<int> signalWriteEnd{-1};

void onSignal(int number) {
    int saved = errno;
    int fd = signalWriteEnd.load();
    if (fd >= 0) {
        auto byte = static_cast<unsigned char>(number);
        [[maybe_unused]] ssize_t written = write(fd, &byte, 1);
    }
    errno = saved;
}

void install(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

SignalPipe::SignalPipe() {
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    signalWriteEnd.store(writeEnd_);
    install(onSignal);
}

SignalPipe::~SignalPipe() {
    install(SIG_DFL);
    signalWriteEnd.store(-1);
    if (readEnd_ >= 0)
        close(readEnd_);
    if (writeEnd_ >= 0)
        close(writeEnd_);
}

int SignalPipe::takeSignal() {
    unsigned char byte = 0;
    if (readEnd_ < 0 || read(readEnd_, &byte, 1) != 1)
        return 0;
    return byte;
}

} // namespace velmora::program

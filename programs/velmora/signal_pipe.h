// SPDX-License-Identifier: MIT
#pragma once
// SIGINT and SIGTERM turned into bytes on a pipe, so that the event loop hears of them and the
// work happens there: a signal handler may do almost nothing safely.

namespace velmora::program {

class SignalPipe {
  public:
    // Installs the handlers. One instance at a time.
    SignalPipe();
    // Restores the default handlers.
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // Readable once a signal arrived.
    int readDescriptor() const { return readEnd_; }
    // The number of a signal that arrived, 0 when none is waiting.
    int takeSignal();

  private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
};

} // namespace velmora::program

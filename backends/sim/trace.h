// SPDX-License-Identifier: MIT
#pragma once
// The simulated desktop's trace: one line per effect the agent had on the desktop, each
// prefixed with the virtual time in whole milliseconds.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::sim {

class Trace {
  public:
    explicit Trace(std::function<std::int64_t()> clock) : clock_(std::move(clock)) {}

    // Prints "T TEXT". Lines go to the stream when one is set and are kept for tests.
    void emit(const std::string& text);
    void setOutput(std::ostream* out) { out_ = out; }
    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }

  private:
    std::function<std::int64_t()> clock_;
    std::ostream* out_ = nullptr;
    std::vector<std::string> lines_;
};

// A quoted text of the trace and of show lines: '"' and '\' escaped, line breaks as \n.
std::string quoted(const std::string& text);

} // namespace velmora::sim

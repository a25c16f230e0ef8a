// SPDX-License-Identifier: MIT
#include "framework_input_sources.h"

#include "x11/xkb_input_sources.h"

#include <utility>

namespace velmora::program {

namespace {

// The address bar asks for the Latin layout by an alias the keymap's sources know; a
// framework has its entry for the US layout instead.
std::optional<std::string> frameworkId(const std::optional<std::string>& id) {
    if (id == x11::kLatinLayoutAlias)
        return "xkb:us";
    return id;
}

} // namespace

FrameworkInputSources::FrameworkInputSources(InputSources& layouts,
                                             std::vector<InputMethodFramework*> frameworks,
                                             Post post, Log log)
    : layouts_(layouts), frameworks_(std::move(frameworks)), post_(std::move(post)),
      log_(std::move(log)) {
    for (InputMethodFramework* framework : frameworks_)
        framework->setRunningChanged([this] { frameworksChanged(); });
    frameworksChanged();
}

FrameworkInputSources::~FrameworkInputSources() {
    for (InputMethodFramework* framework : frameworks_)
        framework->setRunningChanged(nullptr);
}

InputSources& FrameworkInputSources::provider() {
    if (active_)
        return *active_;
    return layouts_;
}

std::optional<InputSource> FrameworkInputSources::currentSource() {
    return provider().currentSource();
}

std::vector<InputSource>
FrameworkInputSources::sourcesMatching(const std::optional<std::string>& id,
                                       bool includeAllInstalled) {
    if (active_)
        return active_->sourcesMatching(frameworkId(id), includeAllInstalled);
    return layouts_.sourcesMatching(id, includeAllInstalled);
}

bool FrameworkInputSources::isSameSource(const std::string& id, const std::string& currentID) {
    if (active_)
        return active_->isSameSource(*frameworkId(id), currentID);
    return layouts_.isSameSource(id, currentID);
}

void FrameworkInputSources::select(const InputSource& source) {
    if (!source.inputSourceID)
        return;
    const auto found = provider().sourcesMatching(source.inputSourceID, false);
    if (!found.empty())
        provider().select(found.front());
}

void FrameworkInputSources::frameworksChanged() {
    InputMethodFramework* running = nullptr;
    std::size_t runningCount = 0;
    for (InputMethodFramework* framework : frameworks_)
        if (framework->running()) {
            ++runningCount;
            if (!running)
                running = framework;
        }
    if (runningCount > 1 && !toldBothRunning_) {
        toldBothRunning_ = true;
        log_("several input-method frameworks run; using " + running->frameworkName() + "'s");
    }
    const bool switched = running != active_;
    if (switched) {
        if (running)
            log_("input sources from " + running->frameworkName());
        else
            log_(active_->frameworkName() + " is gone; input sources from the keyboard layouts");
    }
    active_ = running;
    // A restart keeps the provider but its input sources and the current one may be new.
    post_(DesktopBroadcast::EnabledInputSourcesChanged);
    post_(DesktopBroadcast::SelectedInputSourceChanged);
}

} // namespace velmora::program

#include "plist_file_defaults.h"

#include "plist_conversion.h"
#include "settings_file_io.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

namespace velmora {

namespace {

using Clock = std::chrono::steady_clock;

// Changes that are not flushed explicitly reach the file this long after the first of them.
constexpr auto kWriteDelay = std::chrono::seconds(1);

// A file changing under our eyes is read this many times before it is judged unusable.
constexpr int kReadAttempts = 3;

// One whole line per call, so that messages from several threads do not interleave.
void report(const std::string& text) {
    std::string line = "velmora: " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace

// Every member function runs with MUTEX held.
struct PlistFileDefaults::State {
    explicit State(std::string p) : path(std::move(p)) {}

    const std::string path;
    std::mutex mutex;
    std::condition_variable wake;

    // The file as last read, with PENDING applied on top.
    store::Domain domain;
    // What this process changed and has not written yet; none marks a removal. These win over
    // whatever a reload brings, so that a change made by another program meanwhile does not
    // undo ours.
    std::map<std::string, std::optional<PlistValue>> pending;
    // The version of the file that DOMAIN came from (or that we wrote last).
    store::FileStamp stamp;
    // False while the file is a bad one that could not be moved aside: writing would destroy it.
    bool mayWrite = true;
    // When the background writer flushes PENDING; none when nothing waits.
    std::optional<Clock::time_point> due;
    bool stopping = false;
    std::thread writer;

    void refreshIfChanged() {
        if (store::stampOf(path) != stamp)
            load();
    }

    void load() {
        for (int attempt = 1;; ++attempt) {
            store::FileContents file = store::readWholeFile(path);
            std::string problem = file.error;
            if (problem.empty()) {
                // A zero-byte file holds nothing to rescue, and it is what another program
                // leaves for a moment when it rewrites the file in place: read it as empty.
                if (file.bytes.empty())
                    return adopt(store::Domain{}, file.stamp);
                if (auto parsed = store::parseDomain(file.bytes, &problem))
                    return adopt(std::move(*parsed), file.stamp);
            }
            // Another program may be half way through writing it: look again rather than set
            // aside a version that is about to be complete.
            if (attempt < kReadAttempts && store::stampOf(path) != file.stamp)
                continue;
            return setAside(problem, file.stamp);
        }
    }

    void adopt(store::Domain loaded, const store::FileStamp& loadedStamp) {
        domain = std::move(loaded);
        stamp = loadedStamp;
        mayWrite = true;
        applyPending();
        if (!pending.empty())
            schedule(); // a write that could not happen before may happen now
    }

    void setAside(const std::string& problem, const store::FileStamp& badStamp) {
        domain = store::Domain{};
        std::string error;
        if (auto movedTo = store::moveAside(path, &error)) {
            report("the settings file " + path + " is unusable (" + problem + "); moved it to " +
                   *movedTo + " and started from empty settings");
            stamp = store::FileStamp{};
            stamp.error = ENOENT;
            mayWrite = true;
        } else {
            report("the settings file " + path + " is unusable (" + problem +
                   ") and could not be moved aside (" + error +
                   "); settings are kept in memory only and the file is left untouched");
            stamp = badStamp; // said once; look again only when the file changes
            mayWrite = false;
        }
        applyPending();
    }

    void applyPending() {
        for (const auto& [key, value] : pending) {
            domain.originals.erase(key);
            if (value)
                domain.values.insert_or_assign(key, *value);
            else
                domain.values.erase(key);
        }
    }

    void change(const std::string& key, std::optional<PlistValue> value) {
        domain.originals.erase(key);
        if (value)
            domain.values.insert_or_assign(key, *value);
        else
            domain.values.erase(key);
        pending.insert_or_assign(key, std::move(value));
        schedule();
    }

    void schedule() {
        if (due)
            return; // the first unwritten change sets the time; later ones ride along
        due = Clock::now() + kWriteDelay;
        wake.notify_one();
    }

    void flush() {
        // Another program's changes to other keys are kept: merge with the file as it is now.
        if (!pending.empty())
            refreshIfChanged();
        if (due) {
            due.reset();
            wake.notify_one(); // lets the writer go back to waiting without a deadline
        }
        if (pending.empty())
            return;
        if (!mayWrite)
            return; // already said when the bad file was found
        auto xml = store::domainToXml(domain);
        std::string error = "the property list could not be printed";
        auto written = xml ? store::replaceFileAtomically(path, *xml, &error) : std::nullopt;
        if (!written) {
            report("could not save the settings to " + path + " (" + error +
                   "); will try again at the next change");
            return;
        }
        stamp = *written;
        pending.clear();
    }

    // The background writer: sleeps without a deadline until a change is pending, then until
    // exactly its due time.
    void runWriter(std::unique_lock<std::mutex>& lock) {
        while (!stopping) {
            if (!due) {
                wake.wait(lock, [&] { return stopping || due.has_value(); });
                continue;
            }
            const Clock::time_point when = *due;
            if (!wake.wait_until(lock, when, [&] { return stopping || due != when; }))
                flush();
        }
    }
};

PlistFileDefaults::PlistFileDefaults(std::string path)
    : path_(std::move(path)), state_(std::make_unique<State>(path_)) {
    {
        std::lock_guard lock(state_->mutex);
        state_->load();
    }
    State* state = state_.get();
    state_->writer = std::thread([state] {
        std::unique_lock lock(state->mutex);
        state->runWriter(lock);
    });
}

PlistFileDefaults::~PlistFileDefaults() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_one();
    state_->writer.join();
    std::lock_guard lock(state_->mutex);
    state_->flush();
}

std::optional<PlistValue> PlistFileDefaults::objectForKey(const std::string& key) {
    std::lock_guard lock(state_->mutex);
    state_->refreshIfChanged();
    auto it = state_->domain.values.find(key);
    if (it == state_->domain.values.end())
        return std::nullopt;
    return it->second;
}

void PlistFileDefaults::readObjectForKey(const std::string& key,
                                         const std::function<void(const PlistValue*)>& reader) {
    std::lock_guard lock(state_->mutex);
    state_->refreshIfChanged();
    auto it = state_->domain.values.find(key);
    reader(it == state_->domain.values.end() ? nullptr : &it->second);
}

void PlistFileDefaults::setObjectForKey(const PlistValue& value, const std::string& key) {
    std::lock_guard lock(state_->mutex);
    state_->change(key, value);
}

void PlistFileDefaults::removeObjectForKey(const std::string& key) {
    std::lock_guard lock(state_->mutex);
    state_->change(key, std::nullopt);
}

void PlistFileDefaults::synchronize() {
    std::lock_guard lock(state_->mutex);
    if (state_->pending.empty())
        state_->refreshIfChanged(); // nothing to write: bring in what others wrote
    else
        state_->flush();
}

} // namespace velmora

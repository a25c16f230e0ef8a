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
    State(std::string p, bool r) : path(std::move(p)), readOnly(r) {}

    const std::string path;
    const bool readOnly;
    std::mutex mutex;
    std::condition_variable wake;

    // The file as last read, with PENDING applied on top.
    store::Domain domain;
    // What this process changed and has not written yet; none marks a removal. These win over
    // whatever a reload brings, so that a change made by another program meanwhile does not
    // undo ours.
    std::map<std::string, std::optional<PlistValue>> pending;
    // The version of the file that DOMAIN came from (or that we wrote last), or the unusable
    // version looked at last: a bad file is judged once, not at every read.
    store::FileStamp stamp;
    // The file on disk now could not be used by a read after the first one, and DOMAIN still
    // holds the settings read before it. The next write moves the file aside first.
    struct Unusable {
        std::string problem;
        bool zeroBytes = false; // nothing to rescue: the next write simply replaces it
    };
    std::optional<Unusable> unusable;
    // False while the file is a bad one that could not be moved aside: writing would destroy it.
    bool mayWrite = true;
    // The first read is done: from then on a bad file no longer empties the domain.
    bool started = false;
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
            bool zeroBytes = false;
            if (problem.empty()) {
                // No file is an empty domain: deleting the file is how to start afresh.
                // A zero-byte file holds nothing to rescue, and it is what another program
                // leaves for a moment when it rewrites the file in place: read it as empty,
                // unless it would wipe settings read before, as a mistaken truncation would.
                // Those are kept, as for any other unusable file.
                const bool zeroByteFile = file.bytes.empty() && file.stamp.exists();
                if (file.bytes.empty() &&
                    (!zeroByteFile || !started || !holdsSettingsFromTheFile()))
                    return adopt(store::Domain{}, file.stamp);
                if (zeroByteFile) {
                    zeroBytes = true;
                    problem = "it is empty";
                } else if (auto parsed = store::parseDomain(file.bytes, &problem)) {
                    return adopt(std::move(*parsed), file.stamp);
                }
            }
            // Another program may be half way through writing it: look again rather than judge
            // a version that is about to be complete.
            if (attempt < kReadAttempts && store::stampOf(path) != file.stamp)
                continue;
            if (!started && !readOnly)
                return setAside(problem, file.stamp);
            // Keep DOMAIN as it is: the last good settings with our changes on top.
            stamp = file.stamp;
            unusable = Unusable{problem, zeroBytes};
            mayWrite = true; // a new version: the next write tries to move this one aside
            return;
        }
    }

    // Whether DOMAIN holds anything besides this process's own unwritten changes.
    bool holdsSettingsFromTheFile() const {
        for (const auto& entry : domain.values)
            if (!pending.contains(entry.first))
                return true;
        return false;
    }

    void adopt(store::Domain loaded, const store::FileStamp& loadedStamp) {
        domain = std::move(loaded);
        stamp = loadedStamp;
        unusable.reset();
        mayWrite = true;
        applyPending();
        if (!pending.empty())
            schedule(); // a write that could not happen before may happen now
    }

    // The first read found a bad file: it is moved aside, and the store starts empty.
    void setAside(const std::string& problem, const store::FileStamp& badStamp) {
        domain = store::Domain{};
        std::string error;
        if (auto movedTo = store::moveAside(path, &error)) {
            report("the settings file " + path + " is unusable (" + problem + "); moved it to " +
                   *movedTo + " and started from empty settings");
            stamp = missingFile();
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

    static store::FileStamp missingFile() {
        store::FileStamp missing;
        missing.error = ENOENT;
        return missing;
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
        if (due || readOnly)
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
        if (pending.empty() || readOnly)
            return;
        if (!mayWrite)
            return; // already said when the bad file was found
        std::string movedTo;
        if (unusable && !unusable->zeroBytes) {
            std::string error;
            auto moved = store::moveAside(path, &error);
            if (!moved) {
                report("the settings file " + path + " could not be read (" + unusable->problem +
                       ") and could not be moved aside (" + error +
                       "); kept the last good settings in memory only and left the file "
                       "untouched");
                mayWrite = false; // until the file changes
                return;
            }
            movedTo = *moved;
            stamp = missingFile(); // no reload of the missing file: it would empty the domain
        }
        auto xml = store::domainToXml(domain);
        std::string error = "the property list could not be printed";
        auto written = xml ? store::replaceFileAtomically(path, *xml, &error) : std::nullopt;
        if (unusable) {
            std::string text = "the settings file " + path;
            if (unusable->zeroBytes)
                text += " was empty; kept the last good settings";
            else
                text += " could not be read (" + unusable->problem +
                        "); kept the last good settings; moved the bad file to " + movedTo;
            if (written)
                text += unusable->zeroBytes ? " and saved them with this change"
                                            : " and saved the last good settings with this change";
            else
                text += "; could not save them (" + error + "); will try again at the next change";
            report(text);
            unusable.reset();
            if (!written)
                return;
        } else if (!written) {
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

PlistFileDefaults::PlistFileDefaults(std::string path, Access access)
    : path_(std::move(path)), state_(std::make_unique<State>(path_, access == Access::ReadOnly)) {
    {
        std::lock_guard lock(state_->mutex);
        state_->load();
        state_->started = true;
    }
    if (state_->readOnly)
        return; // nothing is ever written: no writer
    State* state = state_.get();
    state_->writer = std::thread([state] {
        std::unique_lock lock(state->mutex);
        state->runWriter(lock);
    });
}

PlistFileDefaults::~PlistFileDefaults() {
    if (!state_->writer.joinable())
        return; // read-only
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

std::string PlistFileDefaults::problem() {
    std::lock_guard lock(state_->mutex);
    state_->refreshIfChanged();
    return state_->unusable ? state_->unusable->problem : std::string();
}

void PlistFileDefaults::synchronize() {
    std::lock_guard lock(state_->mutex);
    if (state_->pending.empty())
        state_->refreshIfChanged(); // nothing to write: bring in what others wrote
    else
        state_->flush();
}

} // namespace velmora

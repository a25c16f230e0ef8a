// SPDX-License-Identifier: MIT
#include "plist_file_defaults.h"

#include "plist_conversion.h"
#include "settings_file_io.h"

#include <QLoggingCategory>

#include <algorithm>
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

// A version of the file that looks bad is judged once it has stood unchanged this long (its
// change time), looking again this often, and after this many reads at most: another program
// may be writing it.
constexpr auto kSettleTime = std::chrono::milliseconds(100);
constexpr auto kLookAgain = std::chrono::milliseconds(10);
constexpr int kMaxReads = 20;

// How long ago STAMP's version was made (its change time); none for a file that is not there.
std::chrono::nanoseconds ageOf(const store::FileStamp& stamp) {
    if (!stamp.exists())
        return std::chrono::nanoseconds::max();
    return std::chrono::system_clock::now().time_since_epoch() -
           std::chrono::nanoseconds(stamp.changedNs);
}

// A file that another program writes while a write is being prepared is merged again this
// many times at most.
constexpr int kWriteAttempts = 5;

// After a failed write the background writer tries again on its own, this long after the
// failure and twice as long after each further one, up to the longest: room made on a full
// disk must not wait for the next change to be used.
constexpr Clock::duration kFirstRetry = std::chrono::seconds(2);
constexpr Clock::duration kLongestRetry = std::chrono::minutes(5);

// The store's lines on standard error form the logging category velmora.store, which
// QT_LOGGING_RULES="velmora.store.info=false" turns off. The store writes them itself, as
// "velmora: LINE", since the one-shot commands and other users of the store install no message
// handler of the program's.
Q_LOGGING_CATEGORY(logStore, "velmora.store", QtInfoMsg)

// One whole line per call, so that messages from several threads do not interleave.
void report(const std::string& text) {
    if (!logStore().isInfoEnabled())
        return;
    std::string line = "velmora: " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace

// Every member function runs with MUTEX held.
struct PlistFileDefaults::State {
    State(std::string p, Access access, BadFileObserver observer)
        : path(std::move(p)), readOnly(access == Access::ReadOnly),
          badFileObserver(std::move(observer)) {
        if (access == Access::Exclusive)
            exclusive.emplace(store::fileToReplace(path));
    }

    const std::string path;
    const bool readOnly;
    const BadFileObserver badFileObserver;
    Clock::duration writeDelay = kWriteDelay;
    // Held for the store's whole life with Access::Exclusive; each write takes it otherwise.
    std::optional<store::WriterLock> exclusive;
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

    // One version of a file as judged by readSettled: DOMAIN, or why it cannot be used.
    struct Version {
        store::FileStamp stamp;
        std::optional<store::Domain> domain;
        std::string problem;
        bool zeroBytes = false;
    };

    // Reads FILE until it finds a good version or one that has stood long enough to be judged.
    // A missing file, and a zero-byte one when ZERO_BYTES_ARE_EMPTY, is an empty domain.
    static Version readSettled(const std::string& file, bool zeroBytesAreEmpty) {
        for (int attempt = 1;; ++attempt) {
            store::FileContents contents = store::readWholeFile(file);
            Version version{contents.stamp, std::nullopt, contents.error, false};
            if (version.problem.empty()) {
                const bool zeroByteFile = contents.bytes.empty() && contents.stamp.exists();
                if (contents.bytes.empty() && (!zeroByteFile || zeroBytesAreEmpty)) {
                    version.domain.emplace();
                    return version;
                }
                if (zeroByteFile) {
                    version.zeroBytes = true;
                    version.problem = "it is empty";
                } else if ((version.domain =
                                store::parseDomain(contents.bytes, &version.problem))) {
                    return version;
                }
            }
            // Another program may be half way through writing it in place (truncated, part
            // written, perhaps descheduled in between on a busy machine): a bad version is
            // judged only once it has stood unchanged for a moment, and read again whenever it
            // changes meanwhile. Paid only for versions that look bad.
            if (attempt < kMaxReads) {
                const auto age = ageOf(version.stamp);
                if (age < kSettleTime) {
                    std::this_thread::sleep_for(
                        std::min<std::chrono::nanoseconds>(kSettleTime - age, kLookAgain));
                    continue;
                }
                if (store::stampOf(file) != version.stamp)
                    continue;
            }
            return version;
        }
    }

    void load() {
        // No file is an empty domain: deleting the file is how to start afresh. A zero-byte
        // file holds nothing to rescue, and it is what another program leaves for a moment
        // when it rewrites the file in place: read it as empty, unless it would wipe settings
        // read before, as a mistaken truncation would. Those are kept, as for any other
        // unusable file.
        Version version = readSettled(path, !started || !holdsSettingsFromTheFile());
        if (version.domain)
            return adopt(std::move(*version.domain), version.stamp);
        if (!started && !readOnly)
            return setAside(version.problem, version.stamp);
        // Keep DOMAIN as it is: the last good settings with our changes on top.
        stamp = version.stamp;
        unusable = Unusable{version.problem, version.zeroBytes};
        mayWrite = true; // a new version: the next write tries to move this one aside
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
        if (auto movedTo = store::moveAside(store::fileToReplace(path), &error)) {
            reportBadFile("the settings file " + path + " is unusable (" + problem +
                          "); moved it to " + *movedTo + " and started from empty settings");
            stamp = missingFile();
            mayWrite = true;
        } else {
            reportBadFile("the settings file " + path + " is unusable (" + problem +
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
        if (readOnly)
            return;
        // The first unwritten change sets the time; later ones ride along. A retry set for
        // later is brought forward.
        const Clock::time_point soon = Clock::now() + writeDelay;
        if (due && *due <= soon)
            return;
        due = soon;
        wake.notify_one();
    }

    // How long after the last failed write the next try comes; zero after a write that worked.
    Clock::duration retry = Clock::duration::zero();

    void retryLater() {
        retry = retry == Clock::duration::zero() ? kFirstRetry : std::min(retry * 2, kLongestRetry);
        due = Clock::now() + retry;
        wake.notify_one();
    }

    void flush() {
        if (pending.empty() || readOnly)
            return clearDue();
        // Other processes of this program wait until this write is in place, so that each
        // merges with the other's file; other programs do not wait, so the file is compared
        // once more just before the rename.
        std::optional<store::WriterLock> lock;
        if (!exclusive)
            lock.emplace(store::fileToReplace(path));
        repaired.reset();
        for (int attempt = 1;; ++attempt) {
            // Another program's changes to other keys are kept: merge with the file as it is now.
            refreshIfChanged();
            clearDue(); // after the reload, which asks for a write of what is pending
            if (!mayWrite)
                return; // already said when the bad file was found
            const std::string file = store::fileToReplace(path);
            std::string movedTo;
            if (unusable && !unusable->zeroBytes) {
                std::string error;
                auto moved = store::moveAside(file, &error);
                if (!moved) {
                    reportBadFile("the settings file " + path + " could not be read (" +
                                  unusable->problem + ") and could not be moved aside (" + error +
                                  "); kept the last good settings in memory only and left the file "
                                  "untouched");
                    mayWrite = false; // until the file changes
                    return;
                }
                movedTo = *moved;
                stamp = missingFile(); // no reload of the missing file: it would empty the domain
            }
            if (!movedTo.empty() || (unusable && unusable->zeroBytes))
                repaired = RepairNote{unusable->problem, unusable->zeroBytes, movedTo};
            unusable.reset();
            store::removeStaleTemporaries(file);
            auto xml = store::domainToXml(domain);
            std::string error = "the property list could not be printed";
            auto version = xml ? store::NewVersion::write(file, *xml, &error) : std::nullopt;
            // Changed while this version was written: merge again, a few times at most.
            if (version && attempt < kWriteAttempts && store::stampOf(path) != stamp)
                continue;
            auto committed = version ? version->commit(stamp, &error) : std::nullopt;
            if (!committed) {
                reportWrite(error);
                return retryLater();
            }
            retry = Clock::duration::zero();
            stamp = committed->stamp;
            if (!committed->replaced.empty()) {
                // Another program wrote the file between the merge and the swap: its version
                // is merged now and written again, at once or (after many tries) soon.
                takeIn(committed->replaced);
                if (attempt < kWriteAttempts)
                    continue;
                reportWrite("");
                return schedule(); // PENDING stays: it is in the file, and goes again with them
            }
            reportWrite("");
            pending.clear();
            return;
        }
    }

    // REPLACED is the version of another program that a write took the place of: it becomes
    // the file DOMAIN comes from, and is removed. A bad one is kept beside the settings file.
    void takeIn(const std::string& replaced) {
        Version version = readSettled(replaced, false);
        if (version.domain) {
            domain = std::move(*version.domain);
            applyPending();
        } else if (version.stamp.exists() && !version.zeroBytes) {
            std::string error;
            auto moved = store::moveAside(store::fileToReplace(path), &error, replaced);
            reportBadFile(
                "another program wrote the settings file " + path +
                " as it was being saved, and its version could not be read (" + version.problem +
                "); " +
                (moved ? "moved it to " + *moved : "left it as " + replaced + " (" + error + ")"));
            return;
        }
        std::remove(replaced.c_str());
    }

    void clearDue() {
        if (due) {
            due.reset();
            wake.notify_one(); // lets the writer go back to waiting without a deadline
        }
    }

    // A bad or empty file replaced by the write under way, for its message.
    struct RepairNote {
        std::string problem;
        bool zeroBytes = false;
        std::string movedTo; // where the bad file went; "" when it was empty
    };
    std::optional<RepairNote> repaired;
    // The last failed write's message: a write that fails the same way says nothing more.
    std::string lastFailure;

    // One line for the write just done (ERROR "") or failed.
    void reportWrite(const std::string& error) {
        std::string text;
        const bool aboutBadFile = repaired.has_value();
        if (repaired) {
            text = "the settings file " + path;
            if (repaired->zeroBytes)
                text += " was empty; kept the last good settings";
            else
                text += " could not be read (" + repaired->problem +
                        "); kept the last good settings; moved the bad file to " +
                        repaired->movedTo;
            if (error.empty())
                text += repaired->zeroBytes ? " and saved them with this change"
                                            : " and saved the last good settings with this change";
            else
                text += "; could not save them (" + error + ")";
            repaired.reset();
        } else if (!error.empty()) {
            text = "could not save the settings to " + path + " (" + error +
                   "); the file is left as it was";
        }
        if (error.empty())
            lastFailure.clear();
        else if (text == lastFailure)
            return;
        else
            lastFailure = text;
        if (text.empty())
            return;
        if (aboutBadFile)
            reportBadFile(text);
        else
            report(text);
    }

    void reportBadFile(const std::string& text) {
        report(text);
        if (badFileObserver)
            badFileObserver(text);
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

PlistFileDefaults::PlistFileDefaults(std::string path, Access access,
                                     BadFileObserver badFileObserver)
    : path_(std::move(path)),
      state_(std::make_unique<State>(path_, access, std::move(badFileObserver))) {
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

void PlistFileDefaults::setWriteDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(state_->mutex);
    state_->writeDelay = std::max(delay, std::chrono::milliseconds::zero());
}

bool PlistFileDefaults::hasUnsavedChanges() {
    std::lock_guard lock(state_->mutex);
    return !state_->pending.empty();
}

void PlistFileDefaults::synchronize() {
    std::lock_guard lock(state_->mutex);
    if (state_->pending.empty())
        state_->refreshIfChanged(); // nothing to write: bring in what others wrote
    else
        state_->flush();
}

} // namespace velmora

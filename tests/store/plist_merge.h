#pragma once
// Another program writing the settings file with libplist alone, not through this program's
// store: the concurrent-writer test and the kill-writes tool both play that program. It keeps
// every key it finds in the file, so that any key lost is lost by the store.

#include <plist/plist.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace velmora::store_test {

// What is left of FD from its start on.
inline std::string readAll(int fd) {
    std::string bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()))) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
}

// The bytes of FILE; none when it cannot be opened.
inline std::string readPath(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "";
    std::string bytes = readAll(fd);
    ::close(fd);
    return bytes;
}

// The keys of BYTES copied into DICT where DICT has none; given OWN (the keys that are DICT's
// own), BYTES is the newer version of every other key, and its values replace DICT's. False
// when BYTES are not a dictionary (no bytes at all are an empty one).
inline bool mergeInto(plist_t dict, const std::string& bytes, plist_t own = nullptr) {
    if (bytes.empty())
        return true;
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    if (root == nullptr || plist_get_node_type(root) != PLIST_DICT) {
        if (root)
            plist_free(root);
        return false;
    }
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(root, &it);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(root, it, &key, &value);
        if (key == nullptr)
            break;
        if (own ? plist_dict_get_item(own, key) == nullptr
                : plist_dict_get_item(dict, key) == nullptr)
            plist_dict_set_item(dict, key, plist_copy(value));
        std::free(key);
    }
    std::free(it);
    plist_free(root);
    return true;
}

inline std::string toXml(plist_t dict) {
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(dict, &xml, &length);
    std::string bytes(xml, length);
    plist_to_xml_free(xml);
    return bytes;
}

inline bool writeWhole(const std::string& file, const std::string& bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && written;
}

// DICT (this program's own keys), with the other keys of FILE merged in, written as the new
// file SWAP and swapped in for FILE. When the swap takes out a version this write did not see
// (another writer's), that version is the newest for every key but this program's own: DICT is
// merged with it and written again, ten rounds at most. Keeping the older values read before
// would write back stale values of the other writer's keys (its switch count, for one). False
// when a version found was not a dictionary.
inline bool swapInMerging(plist_t dict, const std::string& file, const std::string& swap) {
    plist_t own = plist_copy(dict);
    std::string seen = readPath(file);
    bool whole = mergeInto(dict, seen);
    for (int round = 0; round < 10 && whole; ++round) {
        if (!writeWhole(swap, toXml(dict)))
            break;
        if (::renameat2(AT_FDCWD, swap.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) != 0) {
            ::rename(swap.c_str(), file.c_str());
            break;
        }
        const std::string taken = readPath(swap);
        if (taken == seen)
            break;
        seen = readPath(file);
        whole = mergeInto(dict, taken, own) && mergeInto(dict, seen);
    }
    plist_free(own);
    ::unlink(swap.c_str());
    return whole;
}

// Version KEYS of the other program: it sets other0 ... other<KEYS-1> and keeps every other
// key it finds. IN_PLACE writes through the descriptor it read from, truncated and then in two
// halves PAUSE apart (a slow writer); else a new file is swapped in. False when a version found
// was not a dictionary.
inline bool writeOtherVersion(const std::string& file, int keys, bool inPlace,
                              std::chrono::microseconds pause) {
    plist_t dict = plist_new_dict();
    for (int k = 0; k < keys; ++k)
        plist_dict_set_item(dict, ("other" + std::to_string(k)).c_str(), plist_new_uint(k));
    bool whole = true;
    if (inPlace) {
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        whole = mergeInto(dict, readAll(fd));
        const std::string bytes = toXml(dict);
        const std::size_t half = bytes.size() / 2;
        bool written = ::ftruncate(fd, 0) == 0 && ::pwrite(fd, bytes.data(), half, 0) >= 0;
        std::this_thread::sleep_for(pause);
        written = written && ::pwrite(fd, bytes.data() + half, bytes.size() - half,
                                      static_cast<off_t>(half)) >= 0;
        if (!written)
            std::fprintf(stderr, "cannot write %s in place\n", file.c_str());
        ::close(fd);
    } else {
        whole = swapInMerging(dict, file, file + ".other");
    }
    plist_free(dict);
    return whole;
}

} // namespace velmora::store_test

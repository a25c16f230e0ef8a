// SPDX-License-Identifier: MIT
#include "sim_login_items.h"

#include <algorithm>

namespace velmora::sim {

namespace {

// An entry as a snapshot hands it out: it names the world's entry by its serial number, so
// it survives changes of the list and finds nothing once its entry is gone.
class SimLoginItem final : public LoginItem {
  public:
    explicit SimLoginItem(std::uint64_t serial) : serial(serial) {}
    const std::uint64_t serial;
};

class SimLoginItemsList final : public LoginItemsList {
  public:
    SimLoginItemsList(SimWorld& world, Trace& trace) : world_(world), trace_(trace) {}

    std::vector<LoginItemPtr> snapshot() override {
        std::vector<LoginItemPtr> items;
        for (const auto& entry : world_.loginItems)
            items.push_back(std::make_shared<SimLoginItem>(entry.serial));
        return items;
    }

    std::optional<std::string> resolvedPath(const LoginItem& item) override {
        auto it = find(item);
        if (it == world_.loginItems.end() || it->path.empty())
            return std::nullopt;
        return it->path;
    }

    LoginItemPtr appendItem(const std::string& url) override {
        const std::uint64_t serial = world_.nextLoginItemSerial++;
        world_.loginItems.push_back(SimLoginEntry{serial, url});
        trace_.emit("login-item add " + url);
        return std::make_shared<SimLoginItem>(serial);
    }

    void removeItem(const LoginItem& item) override {
        auto it = find(item);
        if (it == world_.loginItems.end())
            return;
        const std::string path = it->path;
        world_.loginItems.erase(it);
        trace_.emit("login-item remove " + path);
    }

  private:
    std::vector<SimLoginEntry>::iterator find(const LoginItem& item) {
        const auto* ours = dynamic_cast<const SimLoginItem*>(&item);
        if (!ours)
            return world_.loginItems.end();
        return std::find_if(
            world_.loginItems.begin(), world_.loginItems.end(),
            [&](const SimLoginEntry& entry) { return entry.serial == ours->serial; });
    }

    SimWorld& world_;
    Trace& trace_;
};

} // namespace

std::unique_ptr<LoginItemsList> SimLoginItems::create() {
    if (world_.loginItemsUnavailable)
        return nullptr;
    return std::make_unique<SimLoginItemsList>(world_, trace_);
}

} // namespace velmora::sim

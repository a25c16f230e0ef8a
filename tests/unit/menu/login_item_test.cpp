// SPDX-License-Identifier: MIT
// The program's login item over a simulated login-items list that cannot be used. (Which entry is
// the program's, duplicates, a moved program: login-items.scenario.)

#include "menu/login_item.h"
#include "sim/sim_login_items.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr const char* kOwnPath = "/Applications/Velmora.app";

class FixedApplication final : public Application {
  public:
    std::string bundlePath() override { return kOwnPath; }
    void log(const std::string&) override {}
};

struct LoginList {
    sim::SimWorld world;
    sim::Trace trace{[] { return std::int64_t{0}; }};
    sim::SimLoginItems items{world, trace};
    FixedApplication application;
    BundleLoginItem loginItem{&items, application};

    explicit LoginList(std::vector<std::string> paths) { sim::setLoginItems(world, paths); }
    std::vector<std::string> paths() const {
        std::vector<std::string> out;
        for (const auto& entry : world.loginItems)
            out.push_back(entry.path);
        return out;
    }
};

using Paths = std::vector<std::string>;

TEST(LoginItem, AListThatCannotBeOpenedIsLeftAlone) {
    LoginList list({kOwnPath});
    list.world.loginItemsUnavailable = true;
    list.loginItem.addToLoginItems();
    list.loginItem.removeFromLoginItems();
    EXPECT_EQ(list.paths(), Paths{kOwnPath});
    BundleLoginItem without(nullptr, list.application);
    without.addToLoginItems();
    without.removeFromLoginItems();
    EXPECT_TRUE(list.trace.lines().empty());
    LoginList empty({});
    empty.loginItem.removeFromLoginItems();
    EXPECT_TRUE(empty.world.loginItems.empty());
    EXPECT_TRUE(empty.trace.lines().empty());
}

} // namespace
} // namespace velmora

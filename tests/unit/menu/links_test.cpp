// SPDX-License-Identifier: MIT
// The pages the settings menu opens: built-in addresses, or the ones a build names.

#include "menu/links.h"

#include <gtest/gtest.h>

#include <map>

namespace velmora {
namespace {

class InfoApplication final : public Application {
  public:
    std::map<std::string, std::string> info;
    std::string bundlePath() override { return "/Applications/Velmora.app"; }
    void log(const std::string&) override {}
    std::optional<std::string> objectForInfoDictionaryKey(const std::string& key) override {
        auto it = info.find(key);
        return it == info.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

TEST(Links, PagesNamedByTheBuildWinAndAnEmptyNameIsNone) {
    InfoApplication application;
    application.info[kVelmoraReviewURLKey] = "https://example.org/review";
    application.info[kVelmoraSupportURLKey] = "https://example.org/help";
    application.info[kVelmoraVideoURLKey] = "";
    EXPECT_EQ(reviewURL(application), "https://example.org/review");
    EXPECT_EQ(supportURL(application), "https://example.org/help");
    EXPECT_EQ(videoURL(application), std::string(kVelmoraWebsite) + "/videos");
    application.info.clear();
    EXPECT_EQ(reviewURL(application), std::nullopt);
    EXPECT_EQ(supportURL(application), std::string(kVelmoraWebsite) + "/support");
}

} // namespace
} // namespace velmora

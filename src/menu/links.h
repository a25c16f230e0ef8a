// SPDX-License-Identifier: MIT
#pragma once
// The pages the settings menu opens: the review page the desktop names, and two pages of the
// maker's website. A build may name its own in the program's information dictionary.

#include "platform/application.h"

#include <optional>
#include <string>

namespace velmora {

inline constexpr const char* kVelmoraWebsite = "https://www.quorvant.com/velmora";

// Where users rate the program: the page the information dictionary names; none where it
// names none (a desktop without a store page).
std::optional<std::string> reviewURL(Application& application);
// The support page and the page of videos on the maker's website.
std::string supportURL(Application& application);
std::string videoURL(Application& application);

} // namespace velmora

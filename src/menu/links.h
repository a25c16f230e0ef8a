#pragma once
// The pages the settings menu opens: the store's review page and two pages of the maker's
// website. A build may name its own in the program's information dictionary.

#include "platform/application.h"

#include <string>

namespace velmora {

inline constexpr const char* kVelmoraStoreIdentifier = "1586435730";
inline constexpr const char* kVelmoraWebsite = "https://www.quorvant.com/velmora";

// "macappstore://itunes.apple.com/WebObjects/MZUserPublishing.woa/wa/addUserReview?id=...
// &type=Productivity" unless the information dictionary names another page.
std::string reviewURL(Application& application);
// The support page and the page of videos on the maker's website.
std::string supportURL(Application& application);
std::string videoURL(Application& application);

} // namespace velmora

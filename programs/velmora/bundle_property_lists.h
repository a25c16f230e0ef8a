#pragma once
// Property-list files as the rule editor reads them when the user adds an application: the
// chosen item's "Contents/Info.plist". On Linux the chosen item is usually a desktop file,
// which stands for an application bundle: ".../foo.desktop/Contents/Info.plist" reads as
// {"CFBundleIdentifier": the desktop-file id, "CFBundleName": its Name}. Any other path is
// read as the property list it is (XML or binary), as a real bundle's Info.plist would be.

#include "platform/property_list_files.h"

namespace velmora::program {

class BundlePropertyLists final : public PropertyListFiles {
  public:
    // Property lists larger than this are not read.
    static constexpr std::uintmax_t kMaxBytes = 4 << 20;

    std::optional<PlistDictionary> dictionaryWithContentsOfFile(const std::string& path) override;
};

} // namespace velmora::program

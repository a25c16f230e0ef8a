#pragma once
// Property-list files on disk (an application bundle's Contents/Info.plist).

#include "platform/property_list.h"

#include <optional>
#include <string>

namespace velmora {

class PropertyListFiles {
  public:
    PropertyListFiles() = default;
    PropertyListFiles(const PropertyListFiles&) = delete;
    PropertyListFiles& operator=(const PropertyListFiles&) = delete;
    virtual ~PropertyListFiles() = default;

    // The dictionary in the property-list file at PATH; none when there is no such file, it
    // cannot be read or parsed, or its top value is not a dictionary.
    virtual std::optional<PlistDictionary>
    dictionaryWithContentsOfFile(const std::string& path) = 0;
};

} // namespace velmora

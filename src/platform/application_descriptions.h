// SPDX-License-Identifier: MIT
#pragma once
// What the desktop says about an application the user chose in the open panel, by the path
// the panel gave: how the desktop identifies it and what it calls it.

#include <optional>
#include <string>

namespace velmora {

struct ApplicationDescription {
    std::string identifier; // never empty
    std::string name;       // may be empty
};

class ApplicationDescriptions {
  public:
    ApplicationDescriptions() = default;
    ApplicationDescriptions(const ApplicationDescriptions&) = delete;
    ApplicationDescriptions& operator=(const ApplicationDescriptions&) = delete;
    virtual ~ApplicationDescriptions() = default;

    // The application at PATH; none when PATH names no application the desktop can identify.
    virtual std::optional<ApplicationDescription> describeApplication(const std::string& path) = 0;
};

} // namespace velmora

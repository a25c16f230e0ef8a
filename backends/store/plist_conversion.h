// SPDX-License-Identifier: MIT
#pragma once
// Between the bytes of a settings file and the domain the store keeps: libplist parses and
// prints, this converts its nodes to and from PlistValue.

#include "platform/property_list.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::store {

struct PlistNodeDeleter {
    void operator()(void* node) const;
};
// A libplist node (plist_t) and everything below it.
using PlistNode = std::unique_ptr<void, PlistNodeDeleter>;

// The top-level dictionary of a settings file.
struct Domain {
    PlistDictionary values;
    // The original nodes of entries that hold something PlistValue cannot (data, dates).
    // VALUES shows them as well as it can (dates and data as text); these
    // are written back unchanged so that another tool's entries survive our writes. An entry
    // that this program sets or removes loses its original here.
    std::map<std::string, PlistNode> originals;
};

// Parses an XML or binary property list whose top level is a dictionary; a binary one reads
// as its XML form does (keys cut at a NUL, UIDs as {"CF$UID": n}). Strings end at a NUL. On
// failure returns none and sets ERROR to a reason fit for a message.
std::optional<Domain> parseDomain(std::string_view bytes, std::string* error);

// The XML property list of DOMAIN; none when libplist fails to print it.
std::optional<std::string> domainToXml(const Domain& domain);

PlistNode toPlistNode(const PlistValue& value);

} // namespace velmora::store

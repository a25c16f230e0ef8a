// SPDX-License-Identifier: MIT
#include "plist_conversion.h"

#include "xml_error_position.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <plist/plist.h>

namespace velmora::store {

void PlistNodeDeleter::operator()(void* node) const {
    plist_free(node);
}

namespace {

// Seconds from the Unix epoch to 2001-01-01T00:00:00Z, where property-list dates count from.
constexpr std::int64_t kPlistDateEpoch = 978'307'200;

std::string base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16 |
                          static_cast<unsigned char>(bytes[i + 1]) << 8 |
                          static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[n >> 18];
        out += kDigits[(n >> 12) & 63];
        out += kDigits[(n >> 6) & 63];
        out += kDigits[n & 63];
    }
    if (i < bytes.size()) {
        std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kDigits[n >> 18];
        out += kDigits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

// A date as the XML form of property lists writes it.
std::string isoDate(plist_t node) {
    std::int32_t seconds = 0;
    std::int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    std::time_t unixTime = static_cast<std::time_t>(kPlistDateEpoch + seconds);
    std::tm utc{};
    gmtime_r(&unixTime, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::optional<PlistValue> fromNode(plist_t node, bool* lossy);

PlistArray arrayFrom(plist_t node, bool* lossy) {
    PlistArray items;
    std::uint32_t count = plist_array_get_size(node);
    items.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (auto item = fromNode(plist_array_get_item(node, i), lossy))
            items.push_back(std::move(*item));
    }
    return items;
}

// Files that this program wrote list keys in order, which the end hints make cheap to insert.
PlistDictionary dictionaryFrom(plist_t node, bool* lossy) {
    PlistDictionary entries;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iter, &key, &item);
        if (!item) {
            std::free(key);
            break;
        }
        if (auto value = fromNode(item, lossy); value && key)
            entries.insert_or_assign(entries.end(), key, std::move(*value));
        std::free(key);
    }
    std::free(iter);
    return entries;
}

// Sets *LOSSY when NODE, or something inside it, has no exact PlistValue form.
std::optional<PlistValue> fromNode(plist_t node, bool* lossy) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return PlistValue(b != 0);
    }
    case PLIST_UINT: {
        // libplist keeps every integer in 64 unsigned bits, negative ones in two's complement.
        // Numbers above INT64_MAX cannot be told from negative ones and read as negative.
        std::uint64_t n = 0;
        plist_get_uint_val(node, &n);
        return PlistValue(std::bit_cast<std::int64_t>(n));
    }
    case PLIST_REAL: {
        double r = 0;
        plist_get_real_val(node, &r);
        return PlistValue(r);
    }
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return PlistValue(std::string(text ? text : "", text ? length : 0));
    }
    case PLIST_ARRAY:
        return PlistValue(arrayFrom(node, lossy));
    case PLIST_DICT:
        return PlistValue(dictionaryFrom(node, lossy));
    case PLIST_DATE:
        *lossy = true;
        return PlistValue(isoDate(node));
    case PLIST_DATA: {
        *lossy = true;
        std::uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return PlistValue(base64(std::string_view(bytes ? bytes : "", bytes ? length : 0)));
    }
    case PLIST_UID: {
        *lossy = true;
        std::uint64_t uid = 0;
        plist_get_uid_val(node, &uid);
        return PlistValue(std::bit_cast<std::int64_t>(uid));
    }
    default:
        *lossy = true;
        return std::nullopt;
    }
}

// Cuts every string below NODE at its first NUL. Either form of file may hold one; the XML this
// program writes cannot, so this makes what is read what a write keeps. It must happen before a
// node is copied: plist_copy copies such a string only up to the NUL but keeps its length, and
// printing the copy reads past its end.
void cutStringsAtNul(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        if (text && std::memchr(text, '\0', length)) {
            const std::string cut(text);
            plist_set_string_val(node, cut.c_str());
        }
        break;
    }
    case PLIST_ARRAY:
        for (std::uint32_t i = 0, count = plist_array_get_size(node); i < count; ++i)
            cutStringsAtNul(plist_array_get_item(node, i));
        break;
    case PLIST_DICT: {
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        for (;;) {
            plist_t item = nullptr;
            plist_dict_next_item(node, iter, nullptr, &item); // the keys may hold a NUL
            if (!item)
                break;
            cutStringsAtNul(item);
        }
        std::free(iter);
        break;
    }
    default:
        break;
    }
}

const char* typeName(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
        return "an array";
    case PLIST_STRING:
        return "a string";
    case PLIST_UINT:
    case PLIST_REAL:
        return "a number";
    case PLIST_BOOLEAN:
        return "a boolean";
    case PLIST_DATE:
        return "a date";
    case PLIST_DATA:
        return "data";
    default:
        return "not a dictionary";
    }
}

} // namespace

PlistNode toPlistNode(const PlistValue& value) {
    switch (value.type()) {
    case PlistValue::Type::Dictionary: {
        PlistNode dict(plist_new_dict());
        for (const auto& [key, item] : *value.dictionary())
            plist_dict_set_item(dict.get(), key.c_str(), toPlistNode(item).release());
        return dict;
    }
    case PlistValue::Type::Array: {
        PlistNode array(plist_new_array());
        for (const auto& item : *value.array())
            plist_array_append_item(array.get(), toPlistNode(item).release());
        return array;
    }
    case PlistValue::Type::String:
        return PlistNode(plist_new_string(value.string()->c_str()));
    case PlistValue::Type::Integer:
        return PlistNode(plist_new_uint(std::bit_cast<std::uint64_t>(*value.integer())));
    case PlistValue::Type::Real:
        return PlistNode(plist_new_real(*value.real()));
    case PlistValue::Type::Boolean:
        return PlistNode(plist_new_bool(*value.boolean() ? 1 : 0));
    }
    return PlistNode(plist_new_dict());
}

std::optional<Domain> parseDomain(std::string_view bytes, std::string* error) {
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        *error = "too large to be a settings file";
        return std::nullopt;
    }
    const auto length = static_cast<std::uint32_t>(bytes.size());
    plist_t parsed = nullptr;
    plist_from_memory(bytes.data(), length, &parsed);
    PlistNode root(parsed);
    if (!root) {
        if (plist_is_binary(bytes.data(), length)) {
            *error = "not a valid binary property list (damaged or truncated)";
            return std::nullopt;
        }
        *error = "not a valid property list (damaged, truncated or not XML)";
        if (std::string where = xmlErrorPosition(bytes); !where.empty())
            *error = "not a valid property list: " + where;
        return std::nullopt;
    }
    cutStringsAtNul(root.get());
    if (plist_is_binary(bytes.data(), length)) {
        // A binary file is read in the XML form this program writes it in. Its dictionary keys
        // may hold a NUL: libplist stops the whole program (an assertion) when it hands out
        // such a key, and its XML form cuts the key there. A date held as a real that XML
        // cannot print reads as the empty <date/> written for it (2001-01-01); UIDs read as
        // the {"CF$UID": n} dictionaries that stand for them in XML.
        char* xml = nullptr; // libplist leaves a non-null pointer alone
        std::uint32_t xmlLength = 0;
        plist_to_xml(root.get(), &xml, &xmlLength);
        plist_t again = nullptr;
        if (xml && xmlLength > 0)
            plist_from_xml(xml, xmlLength, &again);
        plist_to_xml_free(xml);
        root.reset(again);
        if (!root) {
            *error = "not a valid binary property list (it has no XML form)";
            return std::nullopt;
        }
    }
    if (plist_get_node_type(root.get()) != PLIST_DICT) {
        *error = std::string("its top level is ") + typeName(root.get()) + ", not a dictionary";
        return std::nullopt;
    }

    Domain domain;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(root.get(), &iter);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(root.get(), iter, &key, &item);
        if (!item) {
            std::free(key);
            break;
        }
        if (key) {
            bool lossy = false;
            if (auto value = fromNode(item, &lossy))
                domain.values.insert_or_assign(domain.values.end(), key, std::move(*value));
            if (lossy)
                domain.originals.insert_or_assign(key, PlistNode(plist_copy(item)));
        }
        std::free(key);
    }
    std::free(iter);
    return domain;
}

std::optional<std::string> domainToXml(const Domain& domain) {
    PlistNode root(plist_new_dict());
    for (const auto& [key, value] : domain.values) {
        auto original = domain.originals.find(key);
        PlistNode node = original != domain.originals.end()
                             ? PlistNode(plist_copy(original->second.get()))
                             : toPlistNode(value);
        plist_dict_set_item(root.get(), key.c_str(), node.release());
    }
    // Entries that had no PlistValue form at all are kept as well.
    for (const auto& [key, original] : domain.originals) {
        if (!domain.values.contains(key))
            plist_dict_set_item(root.get(), key.c_str(), plist_copy(original.get()));
    }
    char* xml = nullptr; // libplist leaves a non-null pointer alone
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml || length == 0) {
        // Writing nothing would turn the settings into an empty domain.
        plist_to_xml_free(xml);
        return std::nullopt;
    }
    std::string text(xml, length);
    plist_to_xml_free(xml);
    return text;
}

} // namespace velmora::store

#include "platform/foundation/PropertyList.h"

#include "platform/foundation/BinaryPropertyListReader.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/FileUtil.h"
#include "platform/foundation/XmlPropertyListReader.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <plist/plist.h>

namespace velmora::PropertyList {
namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

void setError(std::string* error, std::string message) {
    if (error)
        *error = std::move(message);
}

plist_t toPlist(const Value& value, int depth) {
    if (depth > kMaxNesting)
        return nullptr;
    switch (value.type()) {
    case Value::Type::Boolean: return plist_new_bool(*value.boolean() ? 1 : 0);
    case Value::Type::Integer: return plist_new_uint(static_cast<uint64_t>(*value.integer()));
    case Value::Type::Real: return plist_new_real(*value.real());
    case Value::Type::String: return plist_new_string(value.string()->c_str());
    case Value::Type::Date: {
        double since2001 = value.date()->secondsSince1970 - DateFormat::kSecondsFrom1970To2001;
        double whole = std::floor(since2001);
        if (!(whole >= INT32_MIN && whole <= INT32_MAX))
            return nullptr;
        return plist_new_date(static_cast<int32_t>(whole),
                              static_cast<int32_t>((since2001 - whole) * 1e6));
    }
    case Value::Type::Data: {
        const Data& data = *value.data();
        return plist_new_data(reinterpret_cast<const char*>(data.data()), data.size());
    }
    case Value::Type::Array: {
        PlistPtr array(plist_new_array());
        for (const Value& item : *value.array()) {
            plist_t child = toPlist(item, depth + 1);
            if (!child)
                return nullptr;
            plist_array_append_item(array.get(), child);
        }
        return array.release();
    }
    case Value::Type::Dictionary: {
        PlistPtr dict(plist_new_dict());
        for (const auto& [key, item] : *value.dictionary()) {
            plist_t child = toPlist(item, depth + 1);
            if (!child)
                return nullptr;
            plist_dict_set_item(dict.get(), key.c_str(), child);
        }
        return dict.release();
    }
    default: return nullptr;
    }
}

} // namespace

// Both forms are read by our own bounded readers; libplist (which recurses, expands shared
// references and asserts on some damaged input) is used only for writing.
std::optional<Value> parse(std::string_view bytes, std::string* error) {
    if (bytes.empty()) {
        setError(error, "empty file");
        return std::nullopt;
    }
    if (bytes.size() > kMaxFileSize) {
        setError(error, "file too large for a property list");
        return std::nullopt;
    }
    if (bytes.starts_with("bplist"))
        return BinaryPropertyListReader(bytes, kMaxNesting).read(error);
    return XmlPropertyListReader(bytes, kMaxNesting).read(error);
}

std::optional<Value> readFile(const std::string& path, std::string* error) {
    std::string readError;
    auto bytes = FileUtil::readFile(path, kMaxFileSize, &readError);
    if (!bytes) {
        setError(error, path + ": " + readError);
        return std::nullopt;
    }
    std::string parseError;
    auto value = parse(*bytes, &parseError);
    if (!value)
        setError(error, path + ": " + parseError);
    return value;
}

std::optional<std::string> toXml(const Value& value, std::string* error) {
    PlistPtr root(toPlist(value, 0));
    if (!root) {
        setError(error, "value holds something a property list cannot store (null, a date out "
                        "of range, or too deep nesting)");
        return std::nullopt;
    }
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml) {
        setError(error, "could not write the property list");
        return std::nullopt;
    }
    std::string result(xml, length);
    plist_to_xml_free(xml);
    return result;
}

bool writeXmlFile(const std::string& path, const Value& value, std::string* error) {
    auto xml = toXml(value, error);
    if (!xml)
        return false;
    std::string writeError;
    if (!FileUtil::writeFileAtomically(path, *xml, &writeError)) {
        setError(error, path + ": " + writeError);
        return false;
    }
    return true;
}

} // namespace velmora::PropertyList

#include "platform/foundation/PropertyList.h"

#include "platform/foundation/DateFormat.h"
#include "platform/foundation/FileUtil.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// libplist parses recursively without a depth limit, so an absurdly nested file could exhaust
// the stack. XML nesting is cheap to measure beforehand; binary containers are walked with the
// same limit when converted.
bool xmlNestingWithinLimit(std::string_view bytes) {
    int depth = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] != '<')
            continue;
        std::string_view rest = bytes.substr(i + 1);
        bool closing = rest.starts_with('/');
        if (closing)
            rest.remove_prefix(1);
        bool container = rest.starts_with("dict") || rest.starts_with("array");
        if (!container)
            continue;
        std::size_t close = rest.find('>');
        bool selfClosing = close != std::string_view::npos && close > 0 && rest[close - 1] == '/';
        if (closing)
            --depth;
        else if (!selfClosing && ++depth > kMaxNesting)
            return false;
    }
    return true;
}

bool looksBinary(std::string_view bytes) {
    return bytes.starts_with("bplist00");
}

// libplist 2.2 asserts (and so aborts the process) when a binary dictionary key holds a NUL
// character, and cuts other strings short at one. Such a file is refused before libplist sees it:
// the walk follows the trailer's offset table and checks every ASCII and UTF-16 string object.
struct BinaryTrailer {
    unsigned offsetSize = 0;
    std::uint64_t objectCount = 0;
    std::uint64_t offsetTableStart = 0;
};

std::uint64_t readBigEndian(std::string_view bytes, std::size_t at, unsigned width) {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::optional<BinaryTrailer> binaryTrailer(std::string_view bytes) {
    constexpr std::size_t kHeaderSize = 8, kTrailerSize = 32;
    if (bytes.size() < kHeaderSize + kTrailerSize)
        return std::nullopt;
    std::size_t trailer = bytes.size() - kTrailerSize;
    BinaryTrailer result;
    result.offsetSize = static_cast<unsigned char>(bytes[trailer + 6]);
    result.objectCount = readBigEndian(bytes, trailer + 8, 8);
    result.offsetTableStart = readBigEndian(bytes, trailer + 24, 8);
    if (result.offsetSize < 1 || result.offsetSize > 8 || result.offsetTableStart > trailer ||
        result.objectCount > (trailer - result.offsetTableStart) / result.offsetSize)
        return std::nullopt;
    return result;
}

// The byte range of a string object's characters, or nothing when the object is not a string
// or its length runs past the end of the file.
std::optional<std::string_view> stringObjectBytes(std::string_view bytes, std::uint64_t at,
                                                  unsigned& charWidth) {
    if (at >= bytes.size())
        return std::nullopt;
    auto marker = static_cast<unsigned char>(bytes[at]);
    unsigned type = marker >> 4;
    if (type != 0x5 && type != 0x6)
        return std::nullopt;
    charWidth = type == 0x5 ? 1 : 2;
    std::uint64_t length = marker & 0x0F;
    std::uint64_t start = at + 1;
    if (length == 0x0F) {
        if (start >= bytes.size())
            return std::nullopt;
        auto lengthMarker = static_cast<unsigned char>(bytes[start]);
        unsigned width = 1u << (lengthMarker & 0x0F);
        if ((lengthMarker >> 4) != 0x1 || width > 8 || start + 1 + width > bytes.size())
            return std::nullopt;
        length = readBigEndian(bytes, start + 1, width);
        start += 1 + width;
    }
    if (length > bytes.size() / charWidth || start + length * charWidth > bytes.size())
        return std::nullopt;
    return bytes.substr(start, length * charWidth);
}

bool holdsNulCharacter(std::string_view characters, unsigned charWidth) {
    for (std::size_t i = 0; i + charWidth <= characters.size(); i += charWidth) {
        bool nul = characters[i] == '\0' && (charWidth == 1 || characters[i + 1] == '\0');
        if (nul)
            return true;
    }
    return false;
}

bool binaryHasNulInStrings(std::string_view bytes) {
    auto trailer = binaryTrailer(bytes);
    if (!trailer)
        return false; // libplist refuses a broken trailer itself
    for (std::uint64_t i = 0; i < trailer->objectCount; ++i) {
        std::size_t entry = trailer->offsetTableStart + i * trailer->offsetSize;
        unsigned charWidth = 1;
        auto characters =
            stringObjectBytes(bytes, readBigEndian(bytes, entry, trailer->offsetSize), charWidth);
        if (characters && holdsNulCharacter(*characters, charWidth))
            return true;
    }
    return false;
}

std::optional<Value> fromPlist(plist_t node, int depth);

std::optional<Value> arrayFromPlist(plist_t node, int depth) {
    Array array;
    uint32_t count = plist_array_get_size(node);
    array.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto item = fromPlist(plist_array_get_item(node, i), depth + 1);
        if (!item)
            return std::nullopt;
        array.push_back(std::move(*item));
    }
    return Value(std::move(array));
}

std::optional<Value> dictionaryFromPlist(plist_t node, int depth) {
    Dictionary dictionary;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(node, &it);
    bool ok = true;
    while (ok) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        if (!item) {
            std::free(key);
            break;
        }
        auto value = fromPlist(item, depth + 1);
        if (value && key)
            dictionary.set(key, std::move(*value));
        else
            ok = false;
        std::free(key);
    }
    std::free(it);
    if (!ok)
        return std::nullopt;
    return Value(std::move(dictionary));
}

std::optional<Value> fromPlist(plist_t node, int depth) {
    if (!node || depth > kMaxNesting)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return Value(b != 0);
    }
    case PLIST_UINT: {
        // Integers are signed 64-bit in every file that the system reads or writes.
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        return Value(static_cast<std::int64_t>(u));
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return Value(d);
    }
    case PLIST_STRING: {
        // The pointer form with its length: the copying getter asserts (and aborts the
        // process) on a string holding a NUL byte, which a damaged binary file can contain.
        uint64_t length = 0;
        const char* s = plist_get_string_ptr(node, &length);
        return Value(s ? std::string(s, length) : std::string());
    }
    case PLIST_KEY: {
        char* s = nullptr;
        plist_get_key_val(node, &s);
        Value v(s ? s : "");
        std::free(s);
        return v;
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return Value(Date{sec + usec / 1e6 + DateFormat::kSecondsFrom1970To2001});
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return Value(bytes ? Data(bytes, bytes + length) : Data());
    }
    case PLIST_ARRAY: return arrayFromPlist(node, depth);
    case PLIST_DICT: return dictionaryFromPlist(node, depth);
    default: return std::nullopt;
    }
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

std::optional<Value> parse(std::string_view bytes, std::string* error) {
    if (bytes.empty()) {
        setError(error, "empty file");
        return std::nullopt;
    }
    if (bytes.size() > kMaxFileSize) {
        setError(error, "file too large for a property list");
        return std::nullopt;
    }
    if (!looksBinary(bytes) && !xmlNestingWithinLimit(bytes)) {
        setError(error, "containers nested too deeply");
        return std::nullopt;
    }
    if (looksBinary(bytes) && binaryHasNulInStrings(bytes)) {
        setError(error, "malformed binary property list (a string holds a NUL character)");
        return std::nullopt;
    }
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    PlistPtr owner(root);
    if (!root) {
        setError(error, looksBinary(bytes) ? "malformed binary property list"
                                           : "not a property list (malformed XML)");
        return std::nullopt;
    }
    auto value = fromPlist(root, 0);
    if (!value)
        setError(error, "unsupported or too deeply nested content");
    return value;
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

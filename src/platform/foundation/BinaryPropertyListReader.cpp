#include "platform/foundation/BinaryPropertyListReader.h"

#include "platform/foundation/DateFormat.h"

#include <unicode/ustring.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace velmora {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTrailerSize = 32;
// What a value costs in memory, about: the value itself and its share of a container.
constexpr unsigned kExpandedBytesPerValue = 48;

enum ObjectType : unsigned {
    kSimple = 0x0, // false, true (null and fill are not property-list values)
    kInteger = 0x1,
    kReal = 0x2,
    kDate = 0x3,
    kData = 0x4,
    kAsciiString = 0x5,
    kUtf16String = 0x6,
    kArray = 0xA,
    kDictionary = 0xD,
};

bool holdsNul(std::u16string_view text) {
    return text.find(u'\0') != std::u16string_view::npos;
}

} // namespace

BinaryPropertyListReader::BinaryPropertyListReader(std::string_view bytes, int maxNesting)
    : _bytes(bytes), _maxNesting(maxNesting) {}

std::optional<Value> BinaryPropertyListReader::read(std::string* error) {
    std::optional<Value> result;
    if (readTrailer() && readOffsets() && countReferences())
        result = object(_trailer.topObject, 0);
    if (!result && error)
        *error = _error.empty() ? "malformed binary property list" : _error;
    return result;
}

std::nullopt_t BinaryPropertyListReader::fail(std::string reason) {
    if (_error.empty())
        _error = std::move(reason);
    return std::nullopt;
}

std::uint64_t BinaryPropertyListReader::bigEndian(std::uint64_t at, unsigned width) const {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i)
        value = (value << 8) | static_cast<unsigned char>(_bytes[at + i]);
    return value;
}

// Objects lie between the header and the offset table.
bool BinaryPropertyListReader::fits(std::uint64_t start, std::uint64_t count,
                                    std::uint64_t width) const {
    std::uint64_t end = _trailer.offsetTableStart;
    return start <= end && count <= (end - start) / width;
}

bool BinaryPropertyListReader::readTrailer() {
    if (_bytes.size() < kHeaderSize + kTrailerSize || !_bytes.starts_with("bplist00")) {
        fail("malformed binary property list (no header or trailer)");
        return false;
    }
    std::size_t at = _bytes.size() - kTrailerSize;
    _trailer.offsetSize = static_cast<unsigned char>(_bytes[at + 6]);
    _trailer.referenceSize = static_cast<unsigned char>(_bytes[at + 7]);
    _trailer.objectCount = bigEndian(at + 8, 8);
    _trailer.topObject = bigEndian(at + 16, 8);
    _trailer.offsetTableStart = bigEndian(at + 24, 8);
    bool sizesValid = _trailer.offsetSize >= 1 && _trailer.offsetSize <= 8 &&
                      _trailer.referenceSize >= 1 && _trailer.referenceSize <= 8;
    bool tableInside = _trailer.offsetTableStart >= kHeaderSize && _trailer.offsetTableStart <= at;
    if (!sizesValid || !tableInside || _trailer.objectCount == 0 ||
        _trailer.objectCount > (at - _trailer.offsetTableStart) / _trailer.offsetSize ||
        _trailer.topObject >= _trailer.objectCount) {
        fail("malformed binary property list (broken trailer)");
        return false;
    }
    return true;
}

bool BinaryPropertyListReader::readOffsets() {
    _offsets.resize(_trailer.objectCount);
    for (std::uint64_t i = 0; i < _trailer.objectCount; ++i) {
        _offsets[i] =
            bigEndian(_trailer.offsetTableStart + i * _trailer.offsetSize, _trailer.offsetSize);
        if (_offsets[i] < kHeaderSize || _offsets[i] >= _trailer.offsetTableStart) {
            fail("malformed binary property list (object offset out of range)");
            return false;
        }
    }
    return true;
}

// Sets the expansion budget from the references the file holds; checks every object's header.
bool BinaryPropertyListReader::countReferences() {
    std::uint64_t references = 1;
    for (std::uint64_t i = 0; i < _trailer.objectCount; ++i) {
        auto h = header(i);
        if (!h)
            return false;
        if (h->type != kArray && h->type != kDictionary)
            continue;
        if (!referencesFit(*h)) {
            fail("malformed binary property list (object runs past its end)");
            return false;
        }
        references += h->type == kArray ? h->count : 2 * h->count;
    }
    _valuesLeft = references * kValuesPerReference;
    return true;
}

// The references of an array, or the keys and then the values of a dictionary.
bool BinaryPropertyListReader::referencesFit(const Header& h) const {
    std::uint64_t perEntry = h.type == kDictionary ? 2 : 1;
    return h.count <= std::numeric_limits<std::uint64_t>::max() / 2 &&
           fits(h.start, perEntry * h.count, _trailer.referenceSize);
}

std::optional<BinaryPropertyListReader::Header>
BinaryPropertyListReader::header(std::uint64_t object) {
    std::uint64_t at = _offsets[object];
    auto marker = static_cast<unsigned char>(_bytes[at]);
    Header h{static_cast<unsigned>(marker >> 4u), static_cast<unsigned>(marker & 0x0Fu), at + 1};
    bool hasLength = h.type == kData || h.type == kAsciiString || h.type == kUtf16String ||
                     h.type == kArray || h.type == kDictionary;
    if (!hasLength || h.count != 0x0F)
        return h;
    // The length follows as an integer object of 1, 2, 4 or 8 bytes.
    if (!fits(h.start, 1, 1))
        return fail("malformed binary property list (length out of range)");
    auto lengthMarker = static_cast<unsigned char>(_bytes[h.start]);
    unsigned width = 1u << (lengthMarker & 0x0Fu);
    if ((lengthMarker >> 4u) != kInteger || width > 8 || !fits(h.start + 1, width, 1))
        return fail("malformed binary property list (length out of range)");
    h.count = bigEndian(h.start + 1, width);
    h.start += 1 + width;
    return h;
}

bool BinaryPropertyListReader::spend(std::uint64_t payloadBytes) {
    std::uint64_t cost = kExpandedBytesPerValue + payloadBytes;
    if (_valuesLeft == 0 || cost > _expandedBytesLeft) {
        fail("binary property list expands beyond its size (shared references)");
        return false;
    }
    --_valuesLeft;
    _expandedBytesLeft -= cost;
    return true;
}

std::optional<std::uint64_t> BinaryPropertyListReader::reference(std::uint64_t at) {
    std::uint64_t ref = bigEndian(at, _trailer.referenceSize);
    if (ref >= _trailer.objectCount)
        return fail("malformed binary property list (object reference out of range)");
    return ref;
}

std::optional<Value> BinaryPropertyListReader::object(std::uint64_t ref, int depth) {
    if (depth > _maxNesting)
        return fail("containers nested too deeply");
    auto h = header(ref);
    if (!h)
        return std::nullopt;
    switch (h->type) {
    case kArray: return array(*h, depth);
    case kDictionary: return dictionary(*h, depth);
    default: return scalar(*h);
    }
}

std::optional<Value> BinaryPropertyListReader::scalar(const Header& h) {
    switch (h.type) {
    case kSimple:
        // Only true and false: null (0x00) and fill (0x0F) are no values of this system.
        if (h.count == 0x8 || h.count == 0x9)
            return spend(0) ? std::optional<Value>(Value(h.count == 0x9)) : std::nullopt;
        return fail("malformed binary property list (unsupported object type)");
    case kInteger: return integer(h);
    case kReal: return real(h);
    case kDate: return date(h);
    case kData: {
        if (!fits(h.start, h.count, 1))
            break;
        if (!spend(h.count))
            return std::nullopt;
        auto first = reinterpret_cast<const std::uint8_t*>(_bytes.data() + h.start);
        return Value(Data(first, first + h.count));
    }
    case kAsciiString:
    case kUtf16String: {
        auto s = text(h);
        if (!s || !spend(s->size()))
            return std::nullopt;
        return Value(std::move(*s));
    }
    default: return fail("malformed binary property list (unsupported object type)");
    }
    return fail("malformed binary property list (object runs past its end)");
}

// 1, 2 and 4-byte integers are unsigned, 8-byte ones signed; a 16-byte integer is kept only
// when its value fits in 64 signed bits, never wrapped.
std::optional<Value> BinaryPropertyListReader::integer(const Header& h) {
    unsigned width = 1u << h.count;
    if (h.count > 4 || !fits(h.start, width, 1))
        return fail("malformed binary property list (bad integer)");
    std::int64_t value = 0;
    if (width == 16) {
        std::uint64_t high = bigEndian(h.start, 8), low = bigEndian(h.start + 8, 8);
        bool negativeFits = high == ~std::uint64_t{0} && (low >> 63) == 1;
        bool positiveFits = high == 0 && (low >> 63) == 0;
        if (!negativeFits && !positiveFits)
            return fail("malformed binary property list (an integer beyond 64 bits)");
        value = static_cast<std::int64_t>(low);
    } else {
        value = static_cast<std::int64_t>(bigEndian(h.start, width));
    }
    return spend(0) ? std::optional<Value>(Value(value)) : std::nullopt;
}

std::optional<Value> BinaryPropertyListReader::real(const Header& h) {
    if ((h.count != 2 && h.count != 3) || !fits(h.start, 1u << h.count, 1))
        return fail("malformed binary property list (bad real number)");
    double value = 0;
    if (h.count == 2) {
        auto bits = static_cast<std::uint32_t>(bigEndian(h.start, 4));
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        value = f;
    } else {
        std::uint64_t bits = bigEndian(h.start, 8);
        std::memcpy(&value, &bits, sizeof value);
    }
    return spend(0) ? std::optional<Value>(Value(value)) : std::nullopt;
}

std::optional<Value> BinaryPropertyListReader::date(const Header& h) {
    if (h.count != 3 || !fits(h.start, 8, 1))
        return fail("malformed binary property list (bad date)");
    std::uint64_t bits = bigEndian(h.start, 8);
    double since2001 = 0;
    std::memcpy(&since2001, &bits, sizeof since2001);
    double since1970 = since2001 + DateFormat::kSecondsFrom1970To2001;
    if (!std::isfinite(since1970) || std::fabs(since1970) > DateFormat::kMaxSecondsFrom1970)
        return fail("malformed binary property list (a date out of range)");
    return spend(0) ? std::optional<Value>(Value(Date{since1970})) : std::nullopt;
}

// ASCII strings must be ASCII (a byte beyond it would put bytes that are not UTF-8 into a
// value); UTF-16 strings must be valid (no lone surrogates). A NUL character is refused in
// either: no text of the system holds one.
std::optional<std::string> BinaryPropertyListReader::text(const Header& h) {
    static const std::string nulMessage =
        "malformed binary property list (a string holds a NUL character)";
    if (h.type == kAsciiString) {
        if (!fits(h.start, h.count, 1))
            return fail("malformed binary property list (object runs past its end)");
        std::string s(_bytes.substr(h.start, h.count));
        if (s.find('\0') != std::string::npos)
            return fail(nulMessage);
        if (std::any_of(s.begin(), s.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            return fail("malformed binary property list (an ASCII string holds a byte beyond "
                        "ASCII)");
        return s;
    }
    if (!fits(h.start, h.count, 2) || h.count > std::numeric_limits<int32_t>::max() / 3)
        return fail("malformed binary property list (object runs past its end)");
    std::u16string units(h.count, u'\0');
    for (std::uint64_t i = 0; i < h.count; ++i)
        units[i] = static_cast<char16_t>(bigEndian(h.start + 2 * i, 2));
    if (holdsNul(units))
        return fail(nulMessage);
    std::string utf8(units.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(utf8.data(), static_cast<int32_t>(utf8.size()), &length, units.data(),
                static_cast<int32_t>(units.size()), &status);
    if (U_FAILURE(status))
        return fail("malformed binary property list (invalid UTF-16 text)");
    utf8.resize(static_cast<std::size_t>(length));
    return utf8;
}

std::optional<Value> BinaryPropertyListReader::array(const Header& h, int depth) {
    if (!spend(0))
        return std::nullopt;
    Array items;
    // Never more room than the values the budget still allows; the rest grows as values come.
    items.reserve(std::min(
        {h.count, _valuesLeft, _expandedBytesLeft / kExpandedBytesPerValue, std::uint64_t{4096}}));
    for (std::uint64_t i = 0; i < h.count; ++i) {
        auto ref = reference(h.start + i * _trailer.referenceSize);
        auto item = ref ? object(*ref, depth + 1) : std::nullopt;
        if (!item)
            return std::nullopt;
        items.push_back(std::move(*item));
    }
    return Value(std::move(items));
}

std::optional<Value> BinaryPropertyListReader::dictionary(const Header& h, int depth) {
    if (!spend(0))
        return std::nullopt;
    Dictionary entries;
    std::uint64_t valuesStart = h.start + h.count * _trailer.referenceSize;
    for (std::uint64_t i = 0; i < h.count; ++i) {
        auto keyRef = reference(h.start + i * _trailer.referenceSize);
        auto keyHeader = keyRef ? header(*keyRef) : std::nullopt;
        if (!keyHeader)
            return std::nullopt;
        if (keyHeader->type != kAsciiString && keyHeader->type != kUtf16String)
            return fail("malformed binary property list (a dictionary key is not a string)");
        auto key = text(*keyHeader);
        if (!key || !spend(key->size()))
            return std::nullopt;
        auto valueRef = reference(valuesStart + i * _trailer.referenceSize);
        auto value = valueRef ? object(*valueRef, depth + 1) : std::nullopt;
        if (!value)
            return std::nullopt;
        entries.set(std::move(*key), std::move(*value));
    }
    return Value(std::move(entries));
}

} // namespace velmora

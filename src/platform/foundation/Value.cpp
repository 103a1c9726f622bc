#include "platform/foundation/Value.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <ostream>

namespace velmora {

Value::Value() = default;
Value::Value(std::nullptr_t) {}
Value::Value(bool b) : _storage(b) {}
Value::Value(int i) : _storage(static_cast<std::int64_t>(i)) {}
Value::Value(std::int64_t i) : _storage(i) {}
Value::Value(double d) : _storage(d) {}
Value::Value(const char* s) : _storage(std::string(s ? s : "")) {}
Value::Value(std::string s) : _storage(std::move(s)) {}
Value::Value(std::string_view s) : _storage(std::string(s)) {}
Value::Value(Date d) : _storage(d) {}
Value::Value(Data d) : _storage(std::move(d)) {}
namespace {

// An empty dictionary is held as an empty box: no allocation until something is added.
template <typename T> std::unique_ptr<T> boxed(T&& container) {
    return container.empty() ? nullptr : std::make_unique<T>(std::move(container));
}
template <typename T> std::unique_ptr<T> copied(const std::unique_ptr<T>& container) {
    return container ? std::make_unique<T>(*container) : nullptr;
}
template <typename T> const T& emptyContainer() {
    static const T empty;
    return empty;
}

} // namespace

Value::Value(Array a) : _storage(std::move(a)) {}
Value::Value(Dictionary d) : _storage(Box<Dictionary>{boxed(std::move(d))}) {}
Value::Value(const Value& other) {
    copyFrom(other);
}

Value& Value::operator=(const Value& other) {
    if (this != &other) {
        Value copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void Value::copyFrom(const Value& other) {
    if (auto* d = std::get_if<Box<Dictionary>>(&other._storage)) {
        _storage = Box<Dictionary>{copied(d->ptr)};
    } else {
        std::visit(
            [this](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (!std::is_same_v<T, Box<Dictionary>>)
                    _storage = v;
            },
            other._storage);
    }
}

Value::Type Value::type() const {
    return static_cast<Type>(_storage.index());
}

const bool* Value::boolean() const {
    return std::get_if<bool>(&_storage);
}
const std::int64_t* Value::integer() const {
    return std::get_if<std::int64_t>(&_storage);
}
const double* Value::real() const {
    return std::get_if<double>(&_storage);
}
const std::string* Value::string() const {
    return std::get_if<std::string>(&_storage);
}
const Date* Value::date() const {
    return std::get_if<Date>(&_storage);
}
const Data* Value::data() const {
    return std::get_if<Data>(&_storage);
}

const Array* Value::array() const {
    return std::get_if<Array>(&_storage);
}
Array* Value::array() {
    return std::get_if<Array>(&_storage);
}
const Dictionary* Value::dictionary() const {
    auto* box = std::get_if<Box<Dictionary>>(&_storage);
    if (!box)
        return nullptr;
    return box->ptr ? box->ptr.get() : &emptyContainer<Dictionary>();
}
Dictionary* Value::dictionary() {
    auto* box = std::get_if<Box<Dictionary>>(&_storage);
    if (box && !box->ptr)
        box->ptr = std::make_unique<Dictionary>();
    return box ? box->ptr.get() : nullptr;
}

namespace {

bool stringReadsAsTrue(const std::string& s) {
    auto it =
        std::find_if_not(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c) != 0; });
    if (it == s.end())
        return false;
    char c = *it;
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

} // namespace

bool Value::boolValue() const {
    switch (type()) {
    case Type::Boolean: return *boolean();
    case Type::Integer: return *integer() != 0;
    case Type::Real: return *real() != 0.0;
    case Type::String: return stringReadsAsTrue(*string());
    default: return false;
    }
}

std::int64_t Value::integerValue() const {
    switch (type()) {
    case Type::Boolean: return *boolean() ? 1 : 0;
    case Type::Integer: return *integer();
    case Type::Real: return NumberText::saturatingInteger(*real());
    case Type::String: return NumberText::leadingInteger(*string());
    default: return 0;
    }
}

double Value::doubleValue() const {
    switch (type()) {
    case Type::Boolean: return *boolean() ? 1.0 : 0.0;
    case Type::Integer: return static_cast<double>(*integer());
    case Type::Real: return *real();
    case Type::String: return NumberText::leadingReal(*string());
    default: return 0.0;
    }
}

std::string Value::stringValue() const {
    switch (type()) {
    case Type::Boolean: return *boolean() ? "True" : "False";
    case Type::Integer: return std::to_string(*integer());
    case Type::Real: return NumberText::shortest(*real());
    case Type::String: return *string();
    default: return {};
    }
}

bool Value::operator==(const Value& other) const {
    if (isNumber() && other.isNumber()) {
        if (isInteger() && other.isInteger())
            return *integer() == *other.integer();
        return doubleValue() == other.doubleValue();
    }
    if (type() != other.type())
        return false;
    switch (type()) {
    case Type::Null: return true;
    case Type::Boolean: return *boolean() == *other.boolean();
    case Type::String: return *string() == *other.string();
    case Type::Date: return *date() == *other.date();
    case Type::Data: return *data() == *other.data();
    case Type::Array: return *array() == *other.array();
    case Type::Dictionary: return *dictionary() == *other.dictionary();
    default: return false;
    }
}

// ---- JSON ----

namespace {

void appendJsonString(std::string& out, std::string_view s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                static const char* hex = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 0xF];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

void newline(std::string& out, int indent, int depth) {
    if (indent < 0)
        return;
    out += '\n';
    out.append(static_cast<std::size_t>(indent * depth), ' ');
}

void appendWrappedScalar(std::string& out, std::string_view key, std::string_view text) {
    out += "{\"";
    out += key;
    out += "\": ";
    appendJsonString(out, text);
    out += '}';
}

} // namespace

std::string Value::toJson(int indent) const {
    std::string out;
    writeJson(out, indent, 0);
    return out;
}

void Value::writeJson(std::string& out, int indent, int depth) const {
    const char* colon = indent < 0 ? ":" : ": ";
    switch (type()) {
    case Type::Null: out += "null"; break;
    case Type::Boolean: out += *boolean() ? "true" : "false"; break;
    case Type::Integer: out += std::to_string(*integer()); break;
    case Type::Real: out += std::isfinite(*real()) ? NumberText::shortest(*real()) : "null"; break;
    case Type::String: appendJsonString(out, *string()); break;
    case Type::Date:
        appendWrappedScalar(out, "date", DateFormat::iso8601(date()->secondsSince1970));
        break;
    case Type::Data: appendWrappedScalar(out, "data", Base64::encode(*data())); break;
    case Type::Array: {
        const Array& a = *array();
        out += '[';
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (i)
                out += ',';
            newline(out, indent, depth + 1);
            a[i].writeJson(out, indent, depth + 1);
        }
        if (!a.empty())
            newline(out, indent, depth);
        out += ']';
        break;
    }
    case Type::Dictionary: {
        const Dictionary& d = *dictionary();
        out += '{';
        bool first = true;
        for (const auto& [key, value] : d) {
            if (!first)
                out += ',';
            first = false;
            newline(out, indent, depth + 1);
            appendJsonString(out, key);
            out += colon;
            value.writeJson(out, indent, depth + 1);
        }
        if (!d.empty())
            newline(out, indent, depth);
        out += '}';
        break;
    }
    }
}

std::ostream& operator<<(std::ostream& out, const Value& value) {
    return out << value.toJson();
}

// ---- Dictionary ----

Dictionary::Dictionary(std::initializer_list<Entry> entries) {
    for (const auto& [key, value] : entries)
        set(key, value);
}

Dictionary::Dictionary(const Dictionary& other) = default;

Dictionary& Dictionary::operator=(const Dictionary& other) {
    if (this != &other) {
        Dictionary copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Dictionary::~Dictionary() = default;

std::size_t Dictionary::homeSlot(std::string_view key) const {
    return std::hash<std::string_view>{}(key) & (_slots.size() - 1);
}

// A table of at least twice room slots, filled anew from the entries; none below the size
// from which an index pays.
void Dictionary::rebuildIndex(std::size_t room) {
    _slots.clear();
    if (std::max(room, _entries.size()) < kIndexedFrom)
        return;
    std::size_t size = 32;
    while (size < 2 * std::max(room, _entries.size()))
        size *= 2;
    _slots.assign(size, 0);
    for (std::size_t at = 0; at < _entries.size(); ++at)
        placeInIndex(at);
}

// Puts the entry at position at in the first empty slot from its key's home on.
void Dictionary::placeInIndex(std::size_t at) {
    std::size_t slot = homeSlot(_entries[at].first);
    while (_slots[slot] != 0)
        slot = (slot + 1) & (_slots.size() - 1);
    _slots[slot] = static_cast<std::uint32_t>(at + 1);
}

// Indexes the entry just appended, growing the table when it would be more than half full.
void Dictionary::indexLast() {
    if (_slots.empty() || 2 * _entries.size() > _slots.size())
        rebuildIndex(_entries.size());
    else
        placeInIndex(_entries.size() - 1);
}

// The slot that holds key's position, or the table's size.
std::size_t Dictionary::slotOf(std::string_view key) const {
    for (std::size_t slot = homeSlot(key);; slot = (slot + 1) & (_slots.size() - 1)) {
        if (_slots[slot] == 0)
            return _slots.size();
        if (_entries[_slots[slot] - 1].first == key)
            return slot;
    }
}

// Empties slot (which holds position at) before that entry is erased: the entries after it in
// its probe run move back where a search finds them, and the positions after at drop by one.
void Dictionary::unindex(std::size_t slot, std::size_t at) {
    std::size_t mask = _slots.size() - 1;
    std::size_t hole = slot;
    _slots[hole] = 0;
    for (std::size_t next = (hole + 1) & mask; _slots[next] != 0; next = (next + 1) & mask) {
        std::size_t home = homeSlot(_entries[_slots[next] - 1].first);
        // It stays when its home lies cyclically after the hole, up to where it is.
        bool stays = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (stays)
            continue;
        _slots[hole] = _slots[next];
        _slots[next] = 0;
        hole = next;
    }
    for (std::uint32_t& held : _slots)
        if (held > at + 1)
            --held;
}

std::size_t Dictionary::position(std::string_view key) const {
    if (!_slots.empty()) {
        std::size_t slot = slotOf(key);
        return slot == _slots.size() ? _entries.size() : _slots[slot] - 1;
    }
    for (std::size_t i = 0; i < _entries.size(); ++i)
        if (_entries[i].first == key)
            return i;
    return _entries.size();
}

const Value* Dictionary::find(std::string_view key) const {
    std::size_t at = position(key);
    return at < _entries.size() ? &_entries[at].second : nullptr;
}

Value* Dictionary::find(std::string_view key) {
    std::size_t at = position(key);
    return at < _entries.size() ? &_entries[at].second : nullptr;
}

const Value& Dictionary::get(std::string_view key) const {
    static const Value null;
    const Value* v = find(key);
    return v ? *v : null;
}

void Dictionary::set(std::string key, Value value) {
    if (Value* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    _entries.emplace_back(std::move(key), std::move(value));
    if (!_slots.empty() || _entries.size() >= kIndexedFrom)
        indexLast();
}

Value& Dictionary::operator[](std::string_view key) {
    if (Value* existing = find(key))
        return *existing;
    set(std::string(key), Value());
    return _entries.back().second;
}

bool Dictionary::remove(std::string_view key) {
    std::size_t at = _entries.size();
    if (_slots.empty()) {
        at = position(key);
    } else if (std::size_t slot = slotOf(key); slot != _slots.size()) {
        at = _slots[slot] - 1;
        unindex(slot, at);
    }
    if (at == _entries.size())
        return false;
    _entries.erase(_entries.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

void Dictionary::reserve(std::size_t count) {
    if (count > _entries.capacity())
        _entries.reserve(count);
    if (count >= kIndexedFrom && 2 * count > _slots.size())
        rebuildIndex(count);
}

void Dictionary::clear() {
    _entries.clear();
    _slots.clear();
}

std::vector<std::string> Dictionary::keys() const {
    std::vector<std::string> result;
    result.reserve(_entries.size());
    for (const auto& entry : _entries)
        result.push_back(entry.first);
    return result;
}

bool Dictionary::operator==(const Dictionary& other) const {
    if (size() != other.size())
        return false;
    return std::all_of(_entries.begin(), _entries.end(), [&other](const Entry& entry) {
        const Value* theirs = other.find(entry.first);
        return theirs && *theirs == entry.second;
    });
}

} // namespace velmora

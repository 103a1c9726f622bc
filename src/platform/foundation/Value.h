#pragma once

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace velmora {

class Value;
class Dictionary;
using Array = std::vector<Value>;
using Data = std::vector<std::uint8_t>;

// A point in time, as seconds since 1970-01-01 00:00:00 UTC.
struct Date {
    double secondsSince1970 = 0;
    bool operator==(const Date&) const = default;
};

// A property-list value: null, Boolean, integer, real, string, date, data, array or dictionary.
// Containers are held by value; copying a Value copies the whole tree. Empty containers take
// no storage of their own, so long lists of empty items stay small.
class Value {
public:
    enum class Type { Null, Boolean, Integer, Real, String, Date, Data, Array, Dictionary };

    Value();
    Value(std::nullptr_t);
    Value(bool b);
    Value(int i);
    Value(std::int64_t i);
    Value(double d);
    Value(const char* s);
    Value(std::string s);
    Value(std::string_view s);
    Value(Date d);
    Value(Data d);
    Value(Array a);
    Value(Dictionary d);
    Value(const Value& other);
    Value(Value&& other) noexcept = default;
    Value& operator=(const Value& other);
    Value& operator=(Value&& other) noexcept = default;
    ~Value() = default;

    Type type() const;
    bool isNull() const { return type() == Type::Null; }
    bool isBoolean() const { return type() == Type::Boolean; }
    bool isInteger() const { return type() == Type::Integer; }
    bool isReal() const { return type() == Type::Real; }
    bool isNumber() const { return isInteger() || isReal(); }
    bool isString() const { return type() == Type::String; }
    bool isDate() const { return type() == Type::Date; }
    bool isData() const { return type() == Type::Data; }
    bool isArray() const { return type() == Type::Array; }
    bool isDictionary() const { return type() == Type::Dictionary; }

    // Typed access: null when the value is of another type.
    const bool* boolean() const;
    const std::int64_t* integer() const;
    const double* real() const;
    const std::string* string() const;
    const Date* date() const;
    const Data* data() const;
    const Array* array() const;
    Array* array();
    const Dictionary* dictionary() const;
    Dictionary* dictionary();

    // The platform's Boolean reading: Booleans as they are; numbers are true when non-zero;
    // strings are true when, after leading white space, they begin with Y, y, T, t or a
    // digit 1 to 9; every other value is false.
    bool boolValue() const;
    // Numbers as they are, strings read as decimal numbers (0 when they are not), else 0.
    std::int64_t integerValue() const;
    double doubleValue() const;
    // Strings as they are, numbers in decimal, Booleans as "True"/"False", else "".
    std::string stringValue() const;

    // Numbers compare by value (1 equals 1.0); dictionaries compare regardless of order.
    bool operator==(const Value& other) const;

    // JSON text: dictionaries as objects in dictionary order, dates as {"date": ISO 8601},
    // data as {"data": Base64}, non-finite reals as null. indent < 0 writes one line.
    std::string toJson(int indent = -1) const;

private:
    // An array is held in place (a vector may hold the incomplete Value); a dictionary, whose
    // type is not complete here, in a box that stays empty for an empty dictionary.
    template <typename T> struct Box { std::unique_ptr<T> ptr; };
    using Storage = std::variant<std::monostate, bool, std::int64_t, double, std::string, Date,
                                 Data, Array, Box<Dictionary>>;
    Storage _storage;

    void copyFrom(const Value& other);
    void writeJson(std::string& out, int indent, int depth) const;
    friend class Dictionary;
};

// Writes the value's one-line JSON form (diagnostics and test output).
std::ostream& operator<<(std::ostream& out, const Value& value);

// A dictionary that keeps its keys in insertion order: the order in which its entries are
// read from a file is the order in which they are walked.
class Dictionary {
public:
    using Entry = std::pair<std::string, Value>;
    using const_iterator = std::vector<Entry>::const_iterator;

    Dictionary() = default;
    Dictionary(std::initializer_list<Entry> entries);
    Dictionary(const Dictionary& other);
    Dictionary(Dictionary&& other) noexcept = default;
    Dictionary& operator=(const Dictionary& other);
    Dictionary& operator=(Dictionary&& other) noexcept = default;
    ~Dictionary();

    std::size_t size() const { return _entries.size(); }
    bool empty() const { return _entries.empty(); }
    const_iterator begin() const { return _entries.begin(); }
    const_iterator end() const { return _entries.end(); }

    bool contains(std::string_view key) const { return find(key) != nullptr; }
    const Value* find(std::string_view key) const;
    Value* find(std::string_view key);
    // The value for key, or a null value when it is absent.
    const Value& get(std::string_view key) const;
    // Replaces the value of an existing key in place; appends a new key at the end.
    void set(std::string key, Value value);
    // The value for key, inserted as null at the end when absent.
    Value& operator[](std::string_view key);
    bool remove(std::string_view key);
    void clear();
    // Room for this many entries and their keys' index, so that adding them moves none and
    // grows no index on the way (a reader that knows the count).
    void reserve(std::size_t count);
    std::vector<std::string> keys() const;

    // Equal when both hold the same keys with equal values, in any order.
    bool operator==(const Dictionary& other) const;

private:
    // Small dictionaries (most records of a server list) are searched in place; a key index is
    // kept only once a dictionary grows past this size.
    static constexpr std::size_t kIndexedFrom = 12;

    std::vector<Entry> _entries;
    // The key index: open addressing with linear probing over a power-of-two table, at most
    // half full, of entry positions plus one (0 marks an empty slot). It holds positions rather
    // than addresses of keys, so it stays right when the entries move in memory, is copied as
    // it is, and a removal adjusts it in place.
    std::vector<std::uint32_t> _slots;

    std::size_t position(std::string_view key) const;
    std::size_t slotOf(std::string_view key) const;
    std::size_t homeSlot(std::string_view key) const;
    void placeInIndex(std::size_t at);
    void indexLast();
    void unindex(std::size_t slot, std::size_t at);
    void rebuildIndex(std::size_t room);
};

} // namespace velmora

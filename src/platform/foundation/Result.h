#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace velmora {

// Why something failed, as a person reads it ("there is no queue \"X\" on localhost:631").
struct Failure {
    std::string reason;
};

// What an operation that can fail gives back: its value, or the reason it failed. This is the
// one way the printing layer, the CUPS code, the favorites store and the commands report a
// failure; a Result is never both, and a failure always has a reason.
//
//     Result<std::string> queue = cups.chooseQueue(requested);
//     if (!queue)
//         return fail(queue.error());
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : _value(std::move(value)) {}
    Result(Failure failure) : _error(std::move(failure.reason)) {
        if (_error.empty())
            _error = "an unknown failure";
    }

    bool ok() const { return _value.has_value(); }
    explicit operator bool() const { return ok(); }

    // The value; asking a failure for one is a programming error.
    const T& value() const& { return checked(); }
    T& value() & { return checked(); }
    T&& value() && { return std::move(checked()); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    // The reason of a failure; empty for a value.
    const std::string& error() const { return _error; }

private:
    std::optional<T> _value;
    std::string _error;

    T& checked() const {
        if (!_value)
            throw std::logic_error("a failed result has no value: " + _error);
        return const_cast<T&>(*_value);
    }
};

// An operation that gives nothing back but may fail.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : _failed(true), _error(std::move(failure.reason)) {
        if (_error.empty())
            _error = "an unknown failure";
    }

    bool ok() const { return !_failed; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return _error; }

private:
    bool _failed = false;
    std::string _error;
};

using Status = Result<void>;

} // namespace velmora

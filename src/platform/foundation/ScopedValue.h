#pragma once

#include <utility>

namespace velmora {

// Gives a variable a value for one scope and puts back what it held before when the scope
// ends, also through an exception or when a nested scope set it too.
template <typename T> class ScopedValue {
public:
    ScopedValue(T& target, T value)
        : _target(target), _saved(std::exchange(target, std::move(value))) {}
    ~ScopedValue() { _target = std::move(_saved); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& _target;
    T _saved;
};

} // namespace velmora

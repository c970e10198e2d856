// Gives a variable a value for the time of a scope and puts the old value back when the scope
// ends, also when it ends by an exception. The engine uses it for its re-entrancy flags and the
// positions it borrows while it prints into another place.
#pragma once

#include <utility>

namespace vl {

template <class T>
class ScopedValue
{
public:
    ScopedValue(T& variable, T value)
        : FVariable(variable)
        , FSaved(std::exchange(variable, std::move(value)))
    {}
    ~ScopedValue() { FVariable = std::move(FSaved); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& FVariable;
    T FSaved;
};

} // namespace vl

#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace fw {

// Failures inside the framework are exceptions of these classes. The program's
// own code catches none of them; the event dispatcher reports an unhandled one
// and quits with status 1.
class RuntimeException : public std::runtime_error {
public:
    RuntimeException(std::string className, const std::string& message)
        : std::runtime_error(message), m_className(std::move(className)) {}
    const std::string& ClassName() const { return m_className; }

private:
    std::string m_className;
};

// The name an exception class reports, fixed at compile time, so that each
// class below is a type of its own that a handler can catch by itself.
template <std::size_t N>
struct ExceptionName {
    constexpr ExceptionName(const char (&text)[N]) { std::copy_n(text, N, Text); }
    char Text[N];
};

// A framework exception that differs from the others only in its name.
template <ExceptionName Name>
class NamedException : public RuntimeException {
public:
    explicit NamedException(const std::string& message)
        : RuntimeException(Name.Text, message) {}
};

using NilObjectException = NamedException<"NilObjectException">;
using OutOfBoundsException = NamedException<"OutOfBoundsException">;
using IllegalCastException = NamedException<"IllegalCastException">;
// A property list that names a property its class does not know, or that ends
// in the middle of an entry. Layout errors must be loud.
using PropertyListException = NamedException<"PropertyListException">;
// Asking the class registry for an object of a class that is not registered,
// or of one that has no factory (an abstract class).
using ClassRegistryException = NamedException<"ClassRegistryException">;
// Raised by start-up when a plug-in library or one of its functions is missing.
using PluginLoadException = NamedException<"PluginLoadException">;

// Dereferences a shared pointer the way the framework does: nil raises.
template <class P>
auto& Deref(const P& p, const char* what = "object")
{
    if (!p)
        throw NilObjectException(std::string("nil ") + what);
    return *p;
}

} // namespace fw

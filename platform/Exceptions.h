#pragma once

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

class NilObjectException : public RuntimeException {
public:
    explicit NilObjectException(const std::string& message)
        : RuntimeException("NilObjectException", message) {}
};

class OutOfBoundsException : public RuntimeException {
public:
    explicit OutOfBoundsException(const std::string& message)
        : RuntimeException("OutOfBoundsException", message) {}
};

class IllegalCastException : public RuntimeException {
public:
    explicit IllegalCastException(const std::string& message)
        : RuntimeException("IllegalCastException", message) {}
};

// A property list that names a property its class does not know, or that ends
// in the middle of an entry. Layout errors must be loud.
class PropertyListException : public RuntimeException {
public:
    explicit PropertyListException(const std::string& message)
        : RuntimeException("PropertyListException", message) {}
};

// Asking the class registry for an object of a class that is not registered,
// or of one that has no factory (an abstract class).
class ClassRegistryException : public RuntimeException {
public:
    explicit ClassRegistryException(const std::string& message)
        : RuntimeException("ClassRegistryException", message) {}
};

// Raised by start-up when a plug-in library or one of its functions is missing.
class PluginLoadException : public RuntimeException {
public:
    explicit PluginLoadException(const std::string& message)
        : RuntimeException("PluginLoadException", message) {}
};

// Dereferences a shared pointer the way the framework does: nil raises.
template <class P>
auto& Deref(const P& p, const char* what = "object")
{
    if (!p)
        throw NilObjectException(std::string("nil ") + what);
    return *p;
}

} // namespace fw

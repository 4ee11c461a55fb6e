#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/Exceptions.h"

namespace fw {

struct Color {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const Color&) const = default;
};
constexpr Color RGB(int r, int g, int b)
{
    return Color { uint8_t(r), uint8_t(g), uint8_t(b) };
}

enum class PropertyType { Int32, Boolean, Color, Text };
using PropertyValue = std::variant<int32_t, bool, Color, std::string>;

class Object;

struct PropertySetter {
    PropertyType Type;
    // Empty: the property is accepted and stored (readable through
    // Object::StoredProperty) but has no effect on this platform.
    std::function<void(Object&, const PropertyValue&)> Apply;
};

// Every class, the framework's and the program's, registers one descriptor.
struct ClassDescriptor {
    std::string Name;
    std::string Base; // "" for a root class
    std::function<std::shared_ptr<Object>()> Factory; // may be empty (abstract)
    std::map<std::string, PropertySetter> Properties;
};

void RegisterClass(ClassDescriptor descriptor);
// nullptr when no class of that name is registered.
const ClassDescriptor* FindClass(const std::string& name);
// Looks a property up along the class's chain of bases; nullptr when unknown.
const PropertySetter* FindProperty(const std::string& className, const std::string& property);
// A new object of a registered class through its factory; raises when the
// class is unknown or abstract.
std::shared_ptr<Object> NewObjectOfClass(const std::string& className);

class Object;

// The descriptor of a class the framework makes with `std::make_shared<T>()`.
template <class T>
ClassDescriptor DescribeClass(const std::string& name, const std::string& base)
{
    ClassDescriptor descriptor;
    descriptor.Name = name;
    descriptor.Base = base;
    descriptor.Factory = [] { return std::static_pointer_cast<Object>(std::make_shared<T>()); };
    return descriptor;
}

class Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object();
    // The name this object's descriptor is registered under.
    virtual std::string ClassName() const = 0;

    // Values of properties that are accepted but have no effect here.
    const PropertyValue* StoredProperty(const std::string& name) const;
    void StoreProperty(const std::string& name, PropertyValue value);

private:
    std::map<std::string, PropertyValue> m_stored;
};

// Checked cast: nil stays nil; an object of another class raises
// IllegalCastException.
template <class T, class U>
std::shared_ptr<T> RuntimeCheckCast(const std::shared_ptr<U>& p)
{
    if (!p)
        return nullptr;
    auto cast = std::dynamic_pointer_cast<T>(p);
    if (!cast)
        throw IllegalCastException("cannot cast " + p->ClassName() + " to the requested class");
    return cast;
}

} // namespace fw

#include "platform/Object.h"

#include <map>
#include <string>

namespace fw {

namespace {

// A function-local map, so classes may register from static initialisers of
// any translation unit without depending on initialisation order. Nodes of a
// std::map never move, so pointers handed out by FindClass stay valid.
std::map<std::string, ClassDescriptor>& Registry()
{
    static std::map<std::string, ClassDescriptor> registry;
    return registry;
}

} // namespace

void RegisterClass(ClassDescriptor descriptor)
{
    // Registering a name again replaces its descriptor in place; tests rely on
    // this to install a class with test-specific setters.
    std::string name = descriptor.Name;
    Registry()[name] = std::move(descriptor);
}

const ClassDescriptor* FindClass(const std::string& name)
{
    auto& registry = Registry();
    auto it = registry.find(name);
    return it == registry.end() ? nullptr : &it->second;
}

const PropertySetter* FindProperty(const std::string& className, const std::string& property)
{
    const ClassDescriptor* descriptor = FindClass(className);
    // A chain longer than the number of classes must loop back on itself;
    // stopping there keeps a mistaken registration from hanging the lookup.
    size_t steps = Registry().size();
    while (descriptor && steps-- > 0) {
        auto it = descriptor->Properties.find(property);
        if (it != descriptor->Properties.end())
            return &it->second;
        if (descriptor->Base.empty())
            return nullptr;
        descriptor = FindClass(descriptor->Base);
    }
    return nullptr;
}

std::shared_ptr<Object> NewObjectOfClass(const std::string& className)
{
    const ClassDescriptor* descriptor = FindClass(className);
    if (!descriptor)
        throw ClassRegistryException("no class named \"" + className + "\" is registered");
    if (!descriptor->Factory)
        throw ClassRegistryException("the class \"" + className + "\" is abstract: it has no factory");
    std::shared_ptr<Object> object = descriptor->Factory();
    if (!object)
        throw NilObjectException("the factory of the class \"" + className + "\" made no object");
    return object;
}

Object::~Object() = default;

const PropertyValue* Object::StoredProperty(const std::string& name) const
{
    auto it = m_stored.find(name);
    return it == m_stored.end() ? nullptr : &it->second;
}

void Object::StoreProperty(const std::string& name, PropertyValue value)
{
    m_stored[name] = std::move(value);
}

} // namespace fw

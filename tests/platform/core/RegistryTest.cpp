#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/Object.h"

using namespace fw;

namespace {

class Shape : public Object {
public:
    std::string ClassName() const override { return "RegistryTest.Shape"; }
};

class Square : public Shape {
public:
    std::string ClassName() const override { return "RegistryTest.Square"; }
};

PropertySetter Stored(PropertyType type)
{
    return PropertySetter { type, {} };
}

void RegisterShapes()
{
    RegisterClass({ "RegistryTest.Root", "", {}, { { "Name", Stored(PropertyType::Text) }, { "Size", Stored(PropertyType::Int32) } } });
    RegisterClass({ "RegistryTest.Shape", "RegistryTest.Root", {}, { { "Filled", Stored(PropertyType::Boolean) } } });
    RegisterClass({ "RegistryTest.Square", "RegistryTest.Shape", [] { return std::make_shared<Square>(); },
        { { "Size", Stored(PropertyType::Boolean) } } });
}

template <class Exception, class F>
std::string MessageOf(F&& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.what();
    }
    ADD_FAILURE() << "nothing was raised";
    return {};
}

} // namespace

TEST(Registry, FindPropertyWalksTheBaseChainNearestFirst)
{
    RegisterShapes();
    ASSERT_NE(FindClass("RegistryTest.Square"), nullptr);
    EXPECT_EQ(FindClass("RegistryTest.Square")->Base, "RegistryTest.Shape");
    EXPECT_EQ(FindClass("RegistryTest.Nowhere"), nullptr);

    const PropertySetter* name = FindProperty("RegistryTest.Square", "Name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->Type, PropertyType::Text);
    ASSERT_NE(FindProperty("RegistryTest.Square", "Filled"), nullptr);
    // Square's own Size hides the root's.
    EXPECT_EQ(FindProperty("RegistryTest.Square", "Size")->Type, PropertyType::Boolean);
    EXPECT_EQ(FindProperty("RegistryTest.Shape", "Size")->Type, PropertyType::Int32);

    EXPECT_EQ(FindProperty("RegistryTest.Square", "Colour"), nullptr);
    EXPECT_EQ(FindProperty("RegistryTest.Square", "name"), nullptr) << "property names are exact";
    EXPECT_EQ(FindProperty("RegistryTest.Nowhere", "Name"), nullptr);
}

TEST(Registry, BrokenBaseChainsEndTheLookup)
{
    RegisterClass({ "RegistryTest.Orphan", "RegistryTest.MissingBase", {}, {} });
    EXPECT_EQ(FindProperty("RegistryTest.Orphan", "Name"), nullptr);

    // A chain that loops must not hang the lookup.
    RegisterClass({ "RegistryTest.LoopA", "RegistryTest.LoopB", {}, {} });
    RegisterClass({ "RegistryTest.LoopB", "RegistryTest.LoopA", {}, { { "Here", Stored(PropertyType::Int32) } } });
    EXPECT_NE(FindProperty("RegistryTest.LoopA", "Here"), nullptr);
    EXPECT_EQ(FindProperty("RegistryTest.LoopA", "Elsewhere"), nullptr);
}

TEST(Registry, RegisteringAgainReplacesTheDescriptor)
{
    RegisterClass({ "RegistryTest.Again", "", {}, { { "Old", Stored(PropertyType::Int32) } } });
    const ClassDescriptor* first = FindClass("RegistryTest.Again");
    RegisterClass({ "RegistryTest.Again", "", {}, { { "New", Stored(PropertyType::Int32) } } });
    EXPECT_EQ(FindClass("RegistryTest.Again"), first) << "pointers handed out stay valid";
    EXPECT_EQ(FindProperty("RegistryTest.Again", "Old"), nullptr);
    EXPECT_NE(FindProperty("RegistryTest.Again", "New"), nullptr);
}

TEST(Registry, NewObjectOfClassUsesTheFactoryOrRaisesClearly)
{
    RegisterShapes();
    auto object = NewObjectOfClass("RegistryTest.Square");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->ClassName(), "RegistryTest.Square");
    EXPECT_NE(NewObjectOfClass("RegistryTest.Square"), object) << "each call makes a new object";

    EXPECT_NE(MessageOf<ClassRegistryException>([] { NewObjectOfClass("RegistryTest.Nowhere"); })
                  .find("RegistryTest.Nowhere"),
        std::string::npos);
    EXPECT_NE(MessageOf<ClassRegistryException>([] { NewObjectOfClass("RegistryTest.Shape"); }).find("abstract"),
        std::string::npos);

    RegisterClass({ "RegistryTest.Null", "", [] { return std::shared_ptr<Object>(); }, {} });
    EXPECT_THROW(NewObjectOfClass("RegistryTest.Null"), NilObjectException);

    // The dispatcher reports framework failures by their class name.
    try {
        NewObjectOfClass("RegistryTest.Nowhere");
    } catch (const RuntimeException& e) {
        EXPECT_EQ(e.ClassName(), "ClassRegistryException");
    }
}

TEST(Registry, StoredPropertiesKeepTheLastValue)
{
    Square square;
    EXPECT_EQ(square.StoredProperty("Composite"), nullptr);
    square.StoreProperty("Composite", true);
    square.StoreProperty("Composite", false);
    square.StoreProperty("Caption", std::string("Work"));
    ASSERT_NE(square.StoredProperty("Composite"), nullptr);
    EXPECT_EQ(*square.StoredProperty("Composite"), PropertyValue(false));
    EXPECT_EQ(*square.StoredProperty("Caption"), PropertyValue(std::string("Work")));
}

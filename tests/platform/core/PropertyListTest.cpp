#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/PropertyList.h"

using namespace fw;
using namespace std::string_literals;

namespace {

// A control-like class whose setters record what they were given, in order.
class Gadget : public Object {
public:
    std::string ClassName() const override { return "PropertyListTest.Gadget"; }
    int32_t Left = 0;
    int32_t Top = 0;
    bool Enabled = false;
    Color Back;
    std::string Caption;
    std::vector<std::string> Applied;
};

template <class T>
std::function<void(Object&, const PropertyValue&)> Sets(T Gadget::*field, const char* name)
{
    return [field, name](Object& object, const PropertyValue& value) {
        auto& gadget = dynamic_cast<Gadget&>(object);
        gadget.*field = std::get<T>(value);
        gadget.Applied.push_back(name);
    };
}

class PropertyListTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterClass({ "PropertyListTest.Base", "", {},
            { { "Top", { PropertyType::Int32, Sets(&Gadget::Top, "Top") } } } });
        RegisterClass({ "PropertyListTest.Gadget", "PropertyListTest.Base", {},
            {
                { "Left", { PropertyType::Int32, Sets(&Gadget::Left, "Left") } },
                { "Enabled", { PropertyType::Boolean, Sets(&Gadget::Enabled, "Enabled") } },
                { "BackColor", { PropertyType::Color, Sets(&Gadget::Back, "BackColor") } },
                { "Caption", { PropertyType::Text, Sets(&Gadget::Caption, "Caption") } },
                { "Composite", { PropertyType::Boolean, {} } },
                { "HelpTag", { PropertyType::Text, {} } },
            } });
    }

    static std::string ErrorOf(std::string_view bytes)
    {
        try {
            DecodePropertyList("PropertyListTest.Gadget", bytes);
        } catch (const PropertyListException& e) {
            return e.what();
        }
        ADD_FAILURE() << "the list was accepted";
        return {};
    }
};

const std::string kAll = PropertyList()
                             .Int("Left", -20)
                             .Text("Caption", "Work\0 \xC3\xA9"s)
                             .Bool("Enabled", true)
                             .Colour("BackColor", RGB(255, 128, 0))
                             .Int("Top", std::numeric_limits<int32_t>::min())
                             .Text("HelpTag", "")
                             .Bytes();

} // namespace

TEST_F(PropertyListTest, BuilderWritesTheDocumentedBytes)
{
    EXPECT_EQ(PropertyList().Int("Width", 865).Bytes(), "Width \x00\x00\x03\x61"s);
    EXPECT_EQ(PropertyList().Int("Left", -2).Bytes(), "Left \xFF\xFF\xFF\xFE"s);
    EXPECT_EQ(PropertyList().Bool("Visible", true).Bool("Enabled", false).Bytes(), "Visible \x01" "Enabled \x00"s);
    EXPECT_EQ(PropertyList().Colour("TextColor", RGB(1, 2, 255)).Bytes(), "TextColor \x01\x02\xFF"s);
    EXPECT_EQ(PropertyList().Text("Caption", "New").Bytes(), "Caption \x00\x00\x00\x03New"s);

    EXPECT_THROW(PropertyList().Int("Two words", 1), PropertyListException);
    EXPECT_THROW(PropertyList().Int("", 1), PropertyListException);
}

TEST_F(PropertyListTest, AllFourTypesComeBackInStoredOrder)
{
    auto decoded = DecodePropertyList("PropertyListTest.Gadget", kAll);
    ASSERT_EQ(decoded.size(), 6u);
    std::vector<std::string> names;
    for (auto& p : decoded)
        names.push_back(p.Name);
    EXPECT_EQ(names, (std::vector<std::string> { "Left", "Caption", "Enabled", "BackColor", "Top", "HelpTag" }));
    EXPECT_EQ(decoded[0].Value, PropertyValue(int32_t(-20)));
    EXPECT_EQ(decoded[1].Value, PropertyValue("Work\0 \xC3\xA9"s));
    EXPECT_EQ(decoded[2].Value, PropertyValue(true));
    EXPECT_EQ(decoded[3].Value, PropertyValue(RGB(255, 128, 0)));
    EXPECT_EQ(decoded[4].Value, PropertyValue(std::numeric_limits<int32_t>::min()));
    EXPECT_EQ(decoded[5].Value, PropertyValue(std::string()));
    EXPECT_TRUE(DecodePropertyList("PropertyListTest.Gadget", "").empty());
}

TEST_F(PropertyListTest, MassSetterAppliesInOrderAndStoresInertProperties)
{
    Gadget gadget;
    RuntimeMassPropertySetter(gadget,
        PropertyList().Int("Left", 5).Bool("Composite", true).Int("Top", 7).Text("Caption", "Scratch").Int("Left", 9));
    EXPECT_EQ(gadget.Applied, (std::vector<std::string> { "Left", "Top", "Caption", "Left" }));
    EXPECT_EQ(gadget.Left, 9) << "a property set twice keeps the later value";
    EXPECT_EQ(gadget.Top, 7) << "inherited from the base class";
    EXPECT_EQ(gadget.Caption, "Scratch");
    ASSERT_NE(gadget.StoredProperty("Composite"), nullptr);
    EXPECT_EQ(*gadget.StoredProperty("Composite"), PropertyValue(true));
    EXPECT_EQ(gadget.StoredProperty("Left"), nullptr) << "applied properties are not also stored";
}

TEST_F(PropertyListTest, BadListsNameTheProperty)
{
    auto expectNames = [](const std::string& message, const std::string& what) {
        EXPECT_NE(message.find(what), std::string::npos) << message;
    };
    expectNames(ErrorOf(PropertyList().Int("Left", 1).Int("Width", 2)), "\"Width\"");
    expectNames(ErrorOf(PropertyList().Int("Top", 1).Bytes().substr(0, 7)), "\"Top\"");
    expectNames(ErrorOf("Enabled "), "\"Enabled\"");
    expectNames(ErrorOf("Enabled \x02"), "\"Enabled\"");
    expectNames(ErrorOf("BackColor \x01\x02"), "\"BackColor\"");
    expectNames(ErrorOf("Caption \x00\x00\x00"s), "\"Caption\"");
    expectNames(ErrorOf("Caption \x00\x00\x00\x05" "abcd"s), "\"Caption\"");
    expectNames(ErrorOf("Caption \x80\x00\x00\x01" "a"s), "negative");
    expectNames(ErrorOf("Caption \x7F\xFF\xFF\xFF" "a"s), "\"Caption\"");
    // Without a blank no name can be read; the message gives the offset.
    expectNames(ErrorOf(PropertyList().Int("Left", 1).Bytes() + "Top"), "byte 9");
    // Garbage names are shown escaped, never raw.
    expectNames(ErrorOf("\x01\xFF \x00"s), "\\x01\\xFF");
    // A class nobody registered knows no properties.
    EXPECT_THROW(DecodePropertyList("PropertyListTest.Nowhere", kAll), PropertyListException);
}

TEST_F(PropertyListTest, EveryCutOfAValidListIsCaughtOrDecodesAPrefix)
{
    // Cutting at each byte exercises every way an entry can end early and
    // makes sure none of them reads past the end.
    size_t complete = 0;
    for (size_t cut = 0; cut <= kAll.size(); ++cut) {
        std::string bytes = kAll.substr(0, cut);
        try {
            auto decoded = DecodePropertyList("PropertyListTest.Gadget", bytes);
            ++complete;
            auto full = DecodePropertyList("PropertyListTest.Gadget", kAll);
            for (size_t i = 0; i < decoded.size(); ++i)
                EXPECT_EQ(decoded[i].Value, full[i].Value);
        } catch (const PropertyListException&) {
        }
    }
    EXPECT_EQ(complete, 7u) << "only the empty list and the six entry boundaries decode";
}

TEST_F(PropertyListTest, ABadListChangesNothing)
{
    Gadget gadget;
    std::string bytes = PropertyList().Int("Left", 40).Bool("Composite", true).Bytes() + "Enabled \x07";
    EXPECT_THROW(RuntimeMassPropertySetter(gadget, bytes), PropertyListException);
    EXPECT_EQ(gadget.Left, 0);
    EXPECT_TRUE(gadget.Applied.empty());
    EXPECT_EQ(gadget.StoredProperty("Composite"), nullptr);
}

TEST_F(PropertyListTest, LongListsDecodeWhole)
{
    PropertyList list;
    std::string big(1 << 20, 'x');
    for (int i = 0; i < 20000; ++i)
        list.Int("Left", i).Text("HelpTag", i == 0 ? std::string_view(big) : "t");
    auto decoded = DecodePropertyList("PropertyListTest.Gadget", list);
    ASSERT_EQ(decoded.size(), 40000u);
    EXPECT_EQ(std::get<std::string>(decoded[1].Value).size(), big.size());
    EXPECT_EQ(decoded[39998].Value, PropertyValue(int32_t(19999)));
}

#include "ui/Properties.h"

#include <gtest/gtest.h>

#include "testing/ui/PropertyAccess.h"
#include "ui/TComponent.h"

namespace {

using namespace ui;
using glimra::test::GetIntProperty;
using glimra::test::GetLinesProperty;
using glimra::test::GetTextProperty;
using glimra::test::SetIntProperty;
using glimra::test::SetLinesProperty;
using glimra::test::SetTextProperty;

// A component with one property of each plain kind, and a derived class that
// adds one and redeclares another.
class TSample : public TComponent {
  public:
    using TComponent::TComponent;
    std::string caption;
    std::vector<std::string> lines;
    int count = 0;
    bool flag = false;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties() {
        static const PropertyRegistry r = [] {
            PropertyRegistry reg("TSample", &TComponent::ClassProperties());
            Registrar<TSample>(reg)
                .Text(
                    "Caption", [](const TSample& s) { return s.caption; },
                    [](TSample& s, const std::string& v) { s.caption = v; })
                .Lines(
                    "Items", [](const TSample& s) { return s.lines; },
                    [](TSample& s, const std::vector<std::string>& v) { s.lines = v; })
                .Integer(
                    "Count", [](const TSample& s) { return s.count; },
                    [](TSample& s, int v) { s.count = v; })
                .Boolean(
                    "Flag", [](const TSample& s) { return s.flag; },
                    [](TSample& s, bool v) { s.flag = v; });
            return reg;
        }();
        return r;
    }
};

class TDerived : public TSample {
  public:
    using TSample::TSample;
    std::string hint;
    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties() {
        static const PropertyRegistry r = [] {
            PropertyRegistry reg("TDerived", &TSample::ClassProperties());
            Registrar<TDerived>(reg)
                .Text(
                    "Hint", [](const TDerived& d) { return d.hint; },
                    [](TDerived& d, const std::string& v) { d.hint = v; })
                .Text(
                    "Caption", [](const TDerived& d) { return "[" + d.caption + "]"; },
                    [](TDerived& d, const std::string& v) { d.caption = v; });
            return reg;
        }();
        return r;
    }
};

TEST(PropertyRegistry, SetsAndReadsEveryPlainKindByName) {
    TSample s(nullptr);
    SetTextProperty(s, "Caption", "Norvanta");
    SetLinesProperty(s, "Items", {"one", "two"});
    SetIntProperty(s, "Count", -7);
    SetIntProperty(s, "Flag", 1);
    EXPECT_EQ(s.caption, "Norvanta");
    EXPECT_EQ(GetTextProperty(s, "Caption"), "Norvanta");
    EXPECT_EQ(GetLinesProperty(s, "Items"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(GetIntProperty(s, "Count"), -7);
    EXPECT_TRUE(s.flag);
    EXPECT_EQ(GetIntProperty(s, "Flag"), 1);
    // Names are matched without regard to letter case, and base properties are found.
    SetTextProperty(s, "cAPTION", "x");
    EXPECT_EQ(s.caption, "x");
    SetTextProperty(s, "name", "Sample1");
    EXPECT_EQ(s.Name(), "Sample1");
    SetIntProperty(s, "Tag", 42);
    EXPECT_EQ(s.Tag(), 42);
}

TEST(PropertyRegistry, UnknownNamesAndWrongKindsAreReported) {
    TSample s(nullptr);
    EXPECT_THROW(SetTextProperty(s, "Colour", "red"), EPropertyError);
    EXPECT_THROW(GetIntProperty(s, ""), EPropertyError);
    EXPECT_THROW(SetTextProperty(s, "Count", "3"), EPropertyError);
    EXPECT_THROW(GetLinesProperty(s, "Caption"), EPropertyError);
    try {
        GetTextProperty(s, "Nothing");
        FAIL();
    } catch (const EPropertyError& e) {
        EXPECT_NE(std::string(e.what()).find("Nothing"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("TSample"), std::string::npos);
    }
}

TEST(PropertyRegistry, DerivedClassAddsAndRedeclares) {
    TDerived d(nullptr);
    SetTextProperty(d, "Caption", "c");
    SetTextProperty(d, "Hint", "h");
    EXPECT_EQ(GetTextProperty(d, "Caption"), "[c]");
    EXPECT_EQ(d.hint, "h");
    std::vector<std::string> names;
    d.Properties().ForEach([&](const Property& p) { names.push_back(p.name); });
    EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "Caption", "Items", "Count", "Flag",
                                               "Hint"}));
    // ForEach hands out the derived declaration of a redeclared property.
    d.Properties().ForEach([&](const Property& p) {
        if (p.name == "Caption") {
            EXPECT_EQ(p.getText(d), "[c]");
        }
    });
}

TEST(Components, OwnerDestroysOwnedAndNotifiesRemoval) {
    struct TWatcher : TComponent {
        using TComponent::TComponent;
        TComponent* watched = nullptr;
        void Notification(TComponent* c, TOperation op) override {
            if (op == TOperation::opRemove && c == watched) watched = nullptr;
        }
    };
    TWatcher watcher(nullptr);
    auto* owner = new TComponent(nullptr);
    auto* a = new TComponent(owner);
    auto* b = new TComponent(owner);
    a->SetName("First");
    b->SetName("Second");
    ASSERT_EQ(owner->Components(), (std::vector<TComponent*>{a, b}));
    EXPECT_EQ(owner->FindComponent("second"), b);
    EXPECT_EQ(owner->FindComponent(""), nullptr);
    watcher.watched = b;
    watcher.FreeNotification(b);
    delete a;
    EXPECT_EQ(owner->Components(), (std::vector<TComponent*>{b}));
    delete owner;  // destroys b, which tells the watcher
    EXPECT_EQ(watcher.watched, nullptr);
}

}  // namespace

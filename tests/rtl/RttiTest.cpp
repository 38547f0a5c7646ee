#include "rtl/Collection.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

using namespace rtl;

namespace {

enum class TColour { clRed, clGreen, clBlue };
const TTypeInfo* TypeInfo_TColour() {
  static const TTypeInfo* t = DefineEnumType("TColour", {"clRed", "clGreen", "clBlue"});
  return t;
}
const TTypeInfo* TypeInfo_TColours() {
  static const TTypeInfo* t = DefineSetType("TColours", TypeInfo_TColour());
  return t;
}
const TTypeInfo* TypeInfo_TNotifyEvent() {
  static const TTypeInfo* t = DefineMethodType("TNotifyEvent");
  return t;
}

class TWidget : public TComponent {
  RTL_CLASS(TWidget, TComponent)
  explicit TWidget(TComponent* AOwner) : TComponent(AOwner), FLines(std::make_unique<TStringList>()) {}

  String Caption() const { return FCaption; }
  void SetCaption(const String& v) { FCaption = v; }
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  TColour Colour() const { return FColour; }
  void SetColour(TColour v) { FColour = v; }
  TSet<TColour> Colours() const { return FColours; }
  void SetColours(TSet<TColour> v) { FColours = v; }
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* v) { FLines->Assign(v); }
  void Clicked(TObject*) { ++FClicks; }

  TNotifyEvent OnClick;
  int FClicks = 0;

private:
  String FCaption;
  int FWidth = 0;
  bool FEnabled = true;
  TColour FColour = TColour::clRed;
  TSet<TColour> FColours;
  std::unique_ptr<TStringList> FLines;
};

TClass TWidget::StaticClass() {
  static TClass info =
      ClassBuilder<TWidget>("TWidget")
          .StrProp("Caption", &TWidget::Caption, &TWidget::SetCaption)
          .IntProp("Width", &TWidget::Width, &TWidget::SetWidth)
          .BoolProp("Enabled", &TWidget::Enabled, &TWidget::SetEnabled, true)
          .EnumProp("Colour", TypeInfo_TColour(), &TWidget::Colour, &TWidget::SetColour, TColour::clRed)
          .SetProp("Colours", TypeInfo_TColours(), &TWidget::Colours, &TWidget::SetColours)
          .ObjProp<TStrings>("Lines", &TWidget::Lines, &TWidget::SetLines)
          .Event("OnClick", TypeInfo_TNotifyEvent(), &TWidget::OnClick)
          .Method("Clicked", &TWidget::Clicked)
          .Build();
  return info;
}

}  // namespace

TEST(Rtti, PropertiesAreListedAncestorsFirstAndFoundIgnoringCase) {
  TWidget w(nullptr);
  auto props = GetPropList(&w);
  ASSERT_GE(props.size(), 9u);
  EXPECT_EQ(props[0]->Name, "Name");
  EXPECT_EQ(props[1]->Name, "Tag");
  EXPECT_EQ(props[2]->Name, "Caption");
  EXPECT_EQ(GetPropInfo(&w, "caption"), props[2]);
  EXPECT_EQ(GetPropInfo(&w, "Missing"), nullptr);
  EXPECT_TRUE(TWidget::StaticClass()->InheritsFrom(TComponent::StaticClass()));
}

TEST(Rtti, ValuesReadAndWriteAsText) {
  TWidget w(nullptr);
  SetPropValue(&w, GetPropInfo(&w, "Caption"), "Hello");
  SetPropValue(&w, GetPropInfo(&w, "Width"), "120");
  SetPropValue(&w, GetPropInfo(&w, "Enabled"), "false");
  SetPropValue(&w, GetPropInfo(&w, "Colour"), "CLBLUE");
  SetPropValue(&w, GetPropInfo(&w, "Colours"), "[clRed, clBlue]");
  EXPECT_EQ(w.Caption(), "Hello");
  EXPECT_EQ(w.Width(), 120);
  EXPECT_FALSE(w.Enabled());
  EXPECT_EQ(w.Colour(), TColour::clBlue);
  EXPECT_EQ(GetPropValue(&w, GetPropInfo(&w, "Colours")), "[clRed,clBlue]");
  EXPECT_EQ(GetPropValue(&w, GetPropInfo(&w, "Enabled")), "False");
  EXPECT_EQ(GetPropValue(&w, GetPropInfo(&w, "Lines")), "(TStringList)");
  EXPECT_THROW(SetPropValue(&w, GetPropInfo(&w, "Width"), "12x"), EConvertError);
  EXPECT_THROW(SetPropValue(&w, GetPropInfo(&w, "Colour"), "clPink"), EPropertyError);
  EXPECT_THROW(SetPropValue(&w, GetPropInfo(&w, "Colours"), "[clPink]"), EPropertyError);
}

TEST(Rtti, OnlyValuesThatDifferFromTheDefaultAreStored) {
  TWidget w(nullptr);
  EXPECT_FALSE(IsStoredProp(&w, GetPropInfo(&w, "Enabled")));  // default True
  EXPECT_FALSE(IsStoredProp(&w, GetPropInfo(&w, "Width")));
  EXPECT_FALSE(IsStoredProp(&w, GetPropInfo(&w, "Name")));  // the name has its own place
  w.SetEnabled(false);
  w.SetWidth(3);
  EXPECT_TRUE(IsStoredProp(&w, GetPropInfo(&w, "Enabled")));
  EXPECT_TRUE(IsStoredProp(&w, GetPropInfo(&w, "Width")));
}

TEST(Rtti, EventsBindToPublishedMethodsAndRefuseOtherSignatures) {
  TWidget w(nullptr);
  const TPropInfo* ev = GetPropInfo(&w, "OnClick");
  const TMethodInfo* m = TWidget::StaticClass()->FindMethod("clicked");
  ASSERT_NE(m, nullptr);
  ev->SetMethodName(&w, "Clicked");
  ev->BindMethod(&w, m->Bind(&w));
  w.OnClick(&w);
  EXPECT_EQ(w.FClicks, 1);
  EXPECT_EQ(GetPropValue(&w, ev), "Clicked");
  EXPECT_THROW(ev->BindMethod(&w, std::any(42)), EPropertyError);
}

TEST(ClassRegistry, FindsByNameIgnoringCaseAndCreatesOwnedInstances) {
  RegisterClass(TWidget::StaticClass());
  TComponent root(nullptr);
  TObject* obj = FindClass("twidget")->Create(&root);
  EXPECT_EQ(root.ComponentCount(), 1);
  EXPECT_EQ(obj->ClassName(), "TWidget");
  EXPECT_THROW(FindClass("TNobody"), EClassNotFound);
  UnRegisterClass(TWidget::StaticClass());
  EXPECT_EQ(GetClass("TWidget"), nullptr);
}

namespace {
class TItem : public TCollectionItem {
  RTL_CLASS(TItem, TCollectionItem)
  explicit TItem(TCollection* C) : TCollectionItem(C) {}
  String Value;
  void Assign(TPersistent* Source) override {
    if (auto* s = dynamic_cast<TItem*>(Source)) {
      Value = s->Value;
      return;
    }
    TCollectionItem::Assign(Source);
  }
};
TClass TItem::StaticClass() {
  static TClass info = ClassBuilder<TItem>("TItem").Build();
  return info;
}
}  // namespace

TEST(Collection, ItemsAreOwnedMovedDeletedAndAssigned) {
  TCollection c(TItem::StaticClass());
  int changes = 0;
  c.OnChange = [&](TObject*) { ++changes; };
  auto* a = static_cast<TItem*>(c.Add());
  auto* b = static_cast<TItem*>(c.Add());
  a->Value = "a";
  b->Value = "b";
  EXPECT_GT(changes, 0);
  b->SetIndex(0);
  EXPECT_EQ(c.Items(0), b);
  EXPECT_EQ(a->Index(), 1);
  TCollection copy(TItem::StaticClass());
  copy.Assign(&c);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(static_cast<TItem*>(copy.Items(0))->Value, "b");
  delete a;
  EXPECT_EQ(c.Count(), 1);
  c.Delete(0);
  EXPECT_EQ(c.Count(), 0);
  EXPECT_THROW(c.Items(0), EListError);
}

TEST(Rtti, NamedIntegerConstantsReadAndWriteByName) {
  static const TTypeInfo* shade = [] {
    TTypeInfo* t = const_cast<TTypeInfo*>(DefineEnumType("TShade", {}));
    t->Kind = TTypeKind::tkInteger;
    return t;
  }();
  RegisterIntegerConsts(
      shade, [](const String& s, int64_t& v) { return SameText(s, "shDark") ? (v = -5, true) : false; },
      [](int64_t v, String& s) { return v == -5 ? (s = "shDark", true) : false; });
  TPropInfo p;
  p.Name = "Shade";
  p.PropType = shade;
  int64_t value = 0;
  p.GetOrd = [&](TObject*) { return value; };
  p.SetOrd = [&](TObject*, int64_t v) { value = v; };
  TObject o;
  SetPropValue(&o, &p, "SHDARK");
  EXPECT_EQ(value, -5);
  EXPECT_EQ(GetPropValue(&o, &p), "shDark");
  SetPropValue(&o, &p, "7");
  EXPECT_EQ(GetPropValue(&o, &p), "7");
  EXPECT_THROW(SetPropValue(&o, &p, "shLight"), EConvertError);
}

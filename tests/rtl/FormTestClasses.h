// Small component classes for the form-file tests: one property of every kind the reader and
// writer handle. Registered by FormTestClasses::Register().
#pragma once

#include "rtl/Collection.h"
#include "rtl/Component.h"
#include "rtl/Strings.h"

#include <memory>

namespace formtest {

using namespace rtl;

enum class TTestKind { tkAlpha, tkBeta, tkGamma };
enum class TTestOption { toBold, toItalic, toUnderline };
using TTestOptions = TSet<TTestOption>;

inline const TTypeInfo* KindType() {
  static const TTypeInfo* t = DefineEnumType("TTestKind", {"tkAlpha", "tkBeta", "tkGamma"});
  return t;
}
inline const TTypeInfo* OptionsType() {
  static const TTypeInfo* t =
      DefineSetType("TTestOptions", DefineEnumType("TTestOption", {"toBold", "toItalic", "toUnderline"}));
  return t;
}
inline const TTypeInfo* NotifyType() {
  static const TTypeInfo* t = DefineMethodType("TNotifyEvent");
  return t;
}

class TTestFont : public TPersistent {
  RTL_CLASS(TTestFont, TPersistent)
  const String& Name() const { return FName; }
  void SetName(const String& v) { FName = v; }
  int Size() const { return FSize; }
  void SetSize(int v) { FSize = v; }
  void Assign(TPersistent* Source) override {
    auto* f = As<TTestFont>(Source);
    FName = f->FName;
    FSize = f->FSize;
  }

private:
  String FName = "Tahoma";
  int FSize = 8;
};

class TTestItem : public TCollectionItem {
  RTL_CLASS(TTestItem, TCollectionItem)
  explicit TTestItem(TCollection* c) : TCollectionItem(c) {}
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v) { FCaption = v; }
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; }

private:
  String FCaption;
  int FWidth = 50;
};

class TTestRoot;

class TTestWidget : public TComponent {
  RTL_CLASS(TTestWidget, TComponent)
  explicit TTestWidget(TComponent* AOwner)
      : TComponent(AOwner),
        FLines(std::make_unique<TStringList>()),
        FColumns(std::make_unique<TOwnedCollection>(this, TTestItem::StaticClass())) {}
  ~TTestWidget() override { SetLink(nullptr); }

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v) { FCaption = v; }
  int Count() const { return FCount; }
  void SetCount(int v) { FCount = v; }
  bool Active() const { return FActive; }
  void SetActive(bool v) { FActive = v; }
  TTestKind Kind() const { return FKind; }
  void SetKind(TTestKind v) { FKind = v; }
  TTestOptions Options() const { return FOptions; }
  void SetOptions(TTestOptions v) { FOptions = v; }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  TTestFont* Font() const { return FFont.get(); }
  void SetFont(TTestFont* v) { FFont->Assign(v); }
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* v) { FLines->Assign(v); }
  TCollection* Columns() const { return FColumns.get(); }
  void SetColumns(TCollection* v) { FColumns->Assign(v); }
  TComponent* Link() const { return FLink; }
  void SetLink(TComponent* v) {
    if (FLink) FLink->RemoveFreeNotification(this);
    FLink = v;
    if (FLink) FLink->FreeNotification(this);
  }
  // A reference that takes a root only (no free notification: the root outlives the widget).
  TTestRoot* Partner() const { return FPartner; }
  void SetPartner(TTestRoot* v) { FPartner = v; }
  TNotifyEvent OnChange;

  // What the reader did, for the tests to look at.
  TComponent* ParentSeen = nullptr;
  bool LoadingWhenLoaded = false;
  int LoadedCalls = 0;
  int* LoadedOrder = nullptr;  // incremented and recorded by Loaded
  int LoadedRank = 0;

  void SetParentComponent(TComponent* Value) override { ParentSeen = Value; }
  void Loaded() override {
    LoadingWhenLoaded = ComponentState().Contains(TComponentStateItem::csLoading);
    ++LoadedCalls;
    inherited::Loaded();
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FLink) FLink = nullptr;
  }

private:
  String FCaption;
  int FCount = 0;
  bool FActive = false;
  TTestKind FKind = TTestKind::tkAlpha;
  TTestOptions FOptions;
  double FRatio = 0;
  std::unique_ptr<TTestFont> FFont = std::make_unique<TTestFont>();
  std::unique_ptr<TStringList> FLines;
  std::unique_ptr<TOwnedCollection> FColumns;
  TComponent* FLink = nullptr;
  TTestRoot* FPartner = nullptr;
};

// A root with a handler that form files may name.
class TTestRoot : public TComponent {
  RTL_CLASS(TTestRoot, TComponent)
  explicit TTestRoot(TComponent* AOwner) : TComponent(AOwner) {}
  void WidgetChange(TObject* Sender) { LastSender = Sender; }
  int Other(int x) { return x; }
  TObject* LastSender = nullptr;
  bool LoadedCalled = false;
  bool ChildrenLoadedFirst = false;
  void Loaded() override {
    LoadedCalled = true;
    ChildrenLoadedFirst = true;
    for (int i = 0; i < ComponentCount(); ++i)
      if (auto* w = dynamic_cast<TTestWidget*>(Components(i)); w && w->LoadedCalls == 0) ChildrenLoadedFirst = false;
    inherited::Loaded();
  }
};

inline TClass TTestFont::StaticClass() {
  static TClass info = ClassBuilder<TTestFont>("TTestFont")
                           .StrProp("Name", &TTestFont::Name, &TTestFont::SetName, "Tahoma")
                           .IntProp("Size", &TTestFont::Size, &TTestFont::SetSize, 8)
                           .Build();
  return info;
}

inline TClass TTestItem::StaticClass() {
  static TClass info = ClassBuilder<TTestItem>("TTestItem")
                           .StrProp("Caption", &TTestItem::Caption, &TTestItem::SetCaption)
                           .IntProp("Width", &TTestItem::Width, &TTestItem::SetWidth, 50)
                           .Build();
  return info;
}

inline TClass TTestWidget::StaticClass() {
  static TClass info = ClassBuilder<TTestWidget>("TTestWidget")
                           .StrProp("Caption", &TTestWidget::Caption, &TTestWidget::SetCaption)
                           .IntProp("Count", &TTestWidget::Count, &TTestWidget::SetCount)
                           .BoolProp("Active", &TTestWidget::Active, &TTestWidget::SetActive)
                           .EnumProp("Kind", KindType(), &TTestWidget::Kind, &TTestWidget::SetKind, TTestKind::tkAlpha)
                           .SetProp("Options", OptionsType(), &TTestWidget::Options, &TTestWidget::SetOptions)
                           .FloatProp("Ratio", &TTestWidget::Ratio, &TTestWidget::SetRatio)
                           .ObjProp<TTestFont>("Font", &TTestWidget::Font, &TTestWidget::SetFont)
                           .ObjProp<TStrings>("Lines", &TTestWidget::Lines, &TTestWidget::SetLines)
                           .ObjProp<TCollection>("Columns", &TTestWidget::Columns, &TTestWidget::SetColumns)
                           .RefProp<TComponent>("Link", &TTestWidget::Link, &TTestWidget::SetLink)
                           .RefProp<TTestRoot>("Partner", &TTestWidget::Partner, &TTestWidget::SetPartner)
                           .Event("OnChange", NotifyType(), &TTestWidget::OnChange)
                           .Build();
  return info;
}

inline TClass TTestRoot::StaticClass() {
  static TClass info = ClassBuilder<TTestRoot>("TTestRoot")
                           .Method("WidgetChange", &TTestRoot::WidgetChange)
                           .Method("Other", &TTestRoot::Other)
                           .Build();
  return info;
}

inline void Register() {
  RegisterClass(TTestWidget::StaticClass());
  RegisterClass(TTestRoot::StaticClass());
}

}  // namespace formtest

// Object-tree nodes for the designer tests, modelled on how a package arranges connection
// components: sessions at the top, databases under the session they name (or a shared
// transient default-session node), data sets under the database they name (or a transient
// "implied" node standing for a missing database).
#pragma once

#include "DesignTestClasses.h"

#include "designintf/Registry.h"
#include "designintf/Sprigs.h"
#include "rtl/SysUtils.h"

namespace designtest {

using designintf::CaptionFor;
using designintf::TComponentSprig;
using designintf::TSprig;
using designintf::TTransientSprig;

class TSessSprig : public TComponentSprig {
  DESIGN_CLASS(TSessSprig, TComponentSprig)
  using TComponentSprig::TComponentSprig;
  TTestSession* Session() { return rtl::As<TTestSession>(Item()); }
  String Name() override { return Session()->SessionName(); }
  String Caption() override { return CaptionFor(Name(), UniqueName()); }
  bool AnyProblems() override { return Session()->SessionName().empty(); }
};

class TDefaultSessSprig : public TTransientSprig {
  DESIGN_CLASS(TDefaultSessSprig, TTransientSprig)
  TDefaultSessSprig() : TTransientSprig(nullptr) {}
  String UniqueName() override { return "<DefaultSession>"; }
};

class TSpareSprig : public TTransientSprig {
  DESIGN_CLASS(TSpareSprig, TTransientSprig)
  TSpareSprig() : TTransientSprig(nullptr) {}
  String UniqueName() override { return "<Spare>"; }
};

class TDbSprig : public TComponentSprig {
  DESIGN_CLASS(TDbSprig, TComponentSprig)
  using TComponentSprig::TComponentSprig;
  TTestDatabase* Database() { return rtl::As<TTestDatabase>(Item()); }
  String Name() override { return Database()->DatabaseName(); }
  String Caption() override { return CaptionFor(Name(), UniqueName()); }
  bool AnyProblems() override { return Database()->DatabaseName().empty(); }
  void FigureParent() override {
    String key = Database()->SessionName().empty() ? "<DefaultSession>" : Database()->SessionName();
    TSprig* parent = Root()->Find(key, false);
    if (!parent && key == "<DefaultSession>") parent = Root()->Add(new TDefaultSessSprig());
    if (parent) parent->Add(this);
  }
  // A spare transient child nobody fills: the builder drops it.
  void FigureChildren() override {
    if (!Find("<Spare>", false)) Add(new TSpareSprig());
  }
  bool DragOverTo(TSprig* AItem) override { return rtl::Is<TSessSprig>(AItem) || rtl::Is<TDefaultSessSprig>(AItem); }
  bool DragDropTo(TSprig* AItem) override {
    String target = rtl::Is<TSessSprig>(AItem) ? static_cast<TSessSprig*>(AItem)->Session()->SessionName() : "";
    bool changed = DragOverTo(AItem) && !rtl::SameText(target, Database()->SessionName());
    if (changed) Database()->SetSessionName(target);
    ReparentChildren();
    return changed;
  }
  static bool PaletteOverTo(TSprig* AParent, rtl::TClass) { return rtl::Is<TSessSprig>(AParent); }
};

class TImpliedSprig : public TTransientSprig {
  DESIGN_CLASS(TImpliedSprig, TTransientSprig)
  explicit TImpliedSprig(String ADatabaseName = {})
      : TTransientSprig(nullptr), FDatabaseName(std::move(ADatabaseName)) {}
  String UniqueName() override { return "<Implied>." + FDatabaseName; }

private:
  String FDatabaseName;
};

inline int ReparentCalls = 0;

class TDsSprig : public TComponentSprig {
  DESIGN_CLASS(TDsSprig, TComponentSprig)
  using TComponentSprig::TComponentSprig;
  TTestDataSet* DataSet() { return rtl::As<TTestDataSet>(Item()); }
  bool AnyProblems() override { return DataSet()->DatabaseName().empty(); }
  void FigureParent() override {
    TSprig* db = Root()->Find(DataSet()->DatabaseName(), true);
    if (!rtl::Is<TDbSprig>(db)) {
      String key = "<Implied>." + DataSet()->DatabaseName();
      db = Root()->Find(key, false);
      if (!db) db = Root()->Add(new TImpliedSprig(DataSet()->DatabaseName()));
    }
    db->Add(this);
  }
  void Reparent() override { ++ReparentCalls; }
};

inline void RegisterTestSprigs() {
  designintf::RegisterSprigType(TTestSession::StaticClass(), TSessSprig::StaticClass());
  designintf::RegisterSprigType(TTestDatabase::StaticClass(), TDbSprig::StaticClass());
  designintf::RegisterSprigType(TTestDataSet::StaticClass(), TDsSprig::StaticClass());
}

}  // namespace designtest

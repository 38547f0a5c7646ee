// What the component-editor and code-editor bridge tests share: a design session as the
// designer makes one (module services, an open data module with a SQLite database on a file of
// its own), the design settings read from a korv.ini of the test's own, the scripted user
// interface, and host dialogs that record how they were opened.
#pragma once

#include "KVComponentEditors.h"
#include "KVDatabaseEditor.h"
#include "KVReg.h"

#include "ScopedEnv.h"
#include "TempFolder.h"

#include "designer/ModuleServices.h"
#include "designer/OpenModule.h"
#include "designintf/HostDialogs.h"
#include "designintf/Registry.h"
#include "korv/Korv.h"
#include "rtl/Registry.h"
#include "vcl/HeadlessUI.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace editortest {

using rtl::String;
using Lines = std::vector<String>;

// Host dialogs that note each opening and show nothing.
class TRecordingHostDialogs : public designintf::IHostDialogs {
public:
  struct TCall {
    String Kind;  // "fields" or "collection"
    rtl::TComponent* Component = nullptr;
    rtl::TCollection* Collection = nullptr;
    String PropertyName;
    designintf::TColOptions Options;
  };

  void ShowFieldsEditor(designintf::IDesigner*, rtl::TComponent* DataSet, designintf::TDSDesignerClass) override {
    Calls.push_back({"fields", DataSet, nullptr, {}, {}});
  }
  void ShowCollectionEditor(designintf::IDesigner*, designintf::TCollectionEditorClass, rtl::TComponent* Component,
                            rtl::TCollection* Collection, const String& PropertyName,
                            designintf::TColOptions Options) override {
    Calls.push_back({"collection", Component, Collection, PropertyName, Options});
  }
  bool ExecuteFieldLinkDesigner(designintf::TFieldLinkProperty&) override {
    ADD_FAILURE() << "field-link designer opened";
    return false;
  }
  bool EditStrings(designintf::IDesigner*, rtl::TPersistent*, const String&, rtl::TStrings*) override {
    ADD_FAILURE() << "string-list editor opened";
    return false;
  }

  std::vector<TCall> Calls;
};

inline constexpr const char* kTestPackage = "EditorTests";

class EditorFixture : public ::testing::Test {
protected:
  EditorFixture() : Config("XDG_CONFIG_HOME", Temp.File("config")) {
    std::filesystem::create_directories(Temp.Path() / "settings");
    rtl::TRegistry reg;
    reg.OpenKey("Software\\Korvane", true);
    reg.WriteString("RootDir", Temp.File("settings"));
    PreviousDialogs = designintf::SetHostDialogs(&Dialogs);
    {
      designintf::TPackageRegistrationScope scope(kTestPackage);
      dclkorv::RegisterComponentEditors();
    }
    std::ofstream(Temp.File("shop.db"));  // an empty file is an empty database

    auto root = std::make_unique<rtl::TDataModule>(nullptr);
    root->SetName("DataModule1");
    Module = std::make_unique<designer::TOpenModule>(std::move(root), Temp.File("DataModule1.dfm"));
    Database = Create<korv::TKVDatabase>("Database1");
    Database->SetDatabaseName("SHOP");
    Database->SetServerType(korv::TKVServerType::stSQLite);
    Database->SetRemoteDatabase(Temp.File("shop.db"));
  }
  ~EditorFixture() override {
    Module.reset();
    dclkorv::DesignSettings.reset();
    designintf::UnregisterPackage(kTestPackage);
    designintf::SetHostDialogs(PreviousDialogs);
    korv::DefServerType = SavedServerType;
  }

  // Design settings read from a korv.ini holding Ini and the SQL editor switch.
  void UseSettings(bool SQLEditor, const String& Ini = {}) {
    std::ofstream(Temp.File("settings/korv.ini")) << "[SQLEditor]\nEnabled=" << (SQLEditor ? 1 : 0) << "\n" << Ini;
    dclkorv::DesignSettings = std::make_unique<dclkorv::TDesignSettings>();
  }
  String ReadIni() const { return rtl::ReadFileToString(Temp.File("settings/korv.ini")); }

  template <class T>
  T* Create(const String& Name) {
    return rtl::As<T>(Module->CreateComponent(T::StaticClass(), Name));
  }
  // A data set of class T on the database SHOP.
  template <class T>
  T* CreateDataSet(const String& Name) {
    T* ds = Create<T>(Name);
    ds->SetDatabaseName("SHOP");
    return ds;
  }

  // The editor the registrations give for Component, working on the open module.
  std::unique_ptr<designintf::TComponentEditor> EditorFor(rtl::TComponent* Component) {
    return Module->GetComponentEditor(Component);
  }
  static Lines Verbs(designintf::TComponentEditor& Editor) {
    Lines out;
    for (int i = 0; i < Editor.GetVerbCount(); ++i) out.push_back(Editor.GetVerb(i));
    return out;
  }

  // Modified calls since the last call of this.
  int NewModifiedCalls() {
    const int count = Module->ModifiedCount() - SeenModified;
    SeenModified = Module->ModifiedCount();
    return count;
  }

  TTempFolder Temp;
  TScopedEnv Config;
  vcl::TScriptedUserInterface UI;
  vcl::TUserInterfaceScope Scope{&UI};
  designer::TDesignerServices Services;
  TRecordingHostDialogs Dialogs;
  designintf::IHostDialogs* PreviousDialogs = nullptr;
  std::unique_ptr<designer::TOpenModule> Module;
  korv::TKVDatabase* Database = nullptr;
  int SeenModified = 0;
  korv::TKVServerType SavedServerType = korv::DefServerType;
};

}  // namespace editortest

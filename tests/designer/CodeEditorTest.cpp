// The code editors behind a text module's Show: the developer's editor program (run through the
// shell on a temporary file; here small shell scripts the tests write) and the scripted editor,
// and the module commands of designer scripts, on a query's SQL opened as a string-list module.
#include "DialogsFixture.h"

#include "ScopedEnv.h"

#include "designer/CodeEditor.h"
#include "designer/ModuleServices.h"
#include "designer/StringListEditor.h"
#include "rtl/SysUtils.h"

#include <filesystem>
#include <sstream>
#include <sys/stat.h>

namespace dialogstest {

using designer::ECodeEditorError;
using designer::TExternalCodeEditor;
using testing::HasSubstr;

class CodeEditorTest : public TDialogsTest {
protected:
  CodeEditorTest() { Query->SQL()->SetText("select *\nfrom CUSTOMER"); }

  // An executable shell script in the temporary folder.
  std::string Script(const std::string& Name, const std::string& Body) {
    std::string path = Temp.File(Name);
    rtl::WriteFileAtomic(path, "#!/bin/sh\n" + Body);
    ::chmod(path.c_str(), 0755);
    return path;
  }

  // Opens Query1.SQL in the code editor (which shows it).
  std::shared_ptr<designer::TTextModule> OpenSQL() {
    designer::OpenStringListModule(Module.get(), Query, "SQL", *Query->SQL(), false);
    return Services.Services().FindTextModule(designer::StringListModuleName(Module.get(), Query, "SQL"));
  }

  std::string Run(const std::string& Line) {
    std::ostringstream out;
    designer::RunModuleCommand(Services.Services(), Line, out);
    return out.str();
  }

  designer::TDesignerServices Services;
  TScopedEnv Visual{"VISUAL", ""};
  TScopedEnv Editor{"EDITOR", ""};
};

TEST_F(CodeEditorTest, TheEditorProgramComesFromVisualThenEditorThenVi) {
  EXPECT_EQ(TExternalCodeEditor::DefaultEditorCommand(), "vi");
  {
    TScopedEnv editor("EDITOR", "nano -w");
    EXPECT_EQ(TExternalCodeEditor::DefaultEditorCommand(), "nano -w");
    TScopedEnv visual("VISUAL", "emacs");
    EXPECT_EQ(TExternalCodeEditor().EditorCommand(), "emacs");
    EXPECT_EQ(TExternalCodeEditor("ed").EditorCommand(), "ed");
  }
}

TEST_F(CodeEditorTest, WhatTheEditorWritesGoesIntoThePropertyAtOnce) {
  // The editor gets a .sql file, and what it writes is the property's new text.
  std::string log = Temp.File("given.txt");
  TScopedEnv editor("EDITOR",
                    Script("append.sh", "printf '%s' \"$1\" > '" + log + "'\necho 'where ID = 1' >> \"$1\"\n"));
  designer::InstallCodeEditor(Services.Services(), designer::TCodeEditorKind::ckExternal);
  const int changes = Module->ModifiedCount();
  auto module = OpenSQL();
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(std::filesystem::path(rtl::ReadFileToString(log)).filename().string(), "dfm.DataModule1.Query1.sql");
  EXPECT_EQ(module->Text(), "select *\nfrom CUSTOMER\nwhere ID = 1\n");
  EXPECT_FALSE(module->IsModified());
  EXPECT_EQ(Query->SQL()->ToVector(), (Lines{"select *", "from CUSTOMER", "where ID = 1"}));
  EXPECT_GT(Module->ModifiedCount(), changes);  // the data module has a change to save
}

TEST_F(CodeEditorTest, AnEditorThatChangesNothingLeavesTheModuleUnmodified) {
  // The editor drops the final line break and writes it again, as editors do.
  TScopedEnv visual("VISUAL", Script("touch.sh", "t=$(cat \"$1\"); printf '%s\\n' \"$t\" > \"$1\"\n"));
  designer::InstallCodeEditor(Services.Services(), designer::TCodeEditorKind::ckExternal);
  auto module = OpenSQL();
  EXPECT_FALSE(module->IsModified());
  EXPECT_EQ(module->Text(), "select *\nfrom CUSTOMER\n");

  // A text without a final line break that comes back with one is no change either.
  module->ReplaceText("select 1");
  module->SetModified(false);
  module->Show();
  EXPECT_EQ(module->Text(), "select 1");
  EXPECT_FALSE(module->IsModified());
}

TEST_F(CodeEditorTest, AFailingEditorIsReportedAndTheTextStays) {
  auto editor = std::make_shared<TExternalCodeEditor>(Script("fail.sh", "echo 'half written' >> \"$1\"\nexit 3\n"));
  designer::InstallCodeEditor(Services.Services(), editor);
  try {
    OpenSQL();
    FAIL() << "no error";
  } catch (const ECodeEditorError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("failed with exit status 3"));
    EXPECT_THAT(e.Message(), HasSubstr("dfm.DataModule1.Query1.SQL is unchanged"));
  }
  auto module = Services.Services().FindTextModule("DataModule1.Query1.SQL");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->Text(), "select *\nfrom CUSTOMER\n");
  EXPECT_FALSE(module->IsModified());

  designer::InstallCodeEditor(Services.Services(), std::make_shared<TExternalCodeEditor>(Temp.File("no-such-editor")));
  EXPECT_THROW(
      {
        try {
          module->Show();
        } catch (const ECodeEditorError& e) {
          EXPECT_THAT(e.Message(), HasSubstr("was not found"));
          throw;
        }
      },
      ECodeEditorError);
  EXPECT_FALSE(module->IsModified());

  designer::InstallCodeEditor(Services.Services(),
                              std::make_shared<TExternalCodeEditor>(Script("kill.sh", "kill -TERM $$\n")));
  EXPECT_THROW(module->Show(), ECodeEditorError);
  EXPECT_EQ(module->Text(), "select *\nfrom CUSTOMER\n");
}

TEST_F(CodeEditorTest, TheShellNeverReadsTheModuleName) {
  // The editor notes the file it was given; a module name full of shell syntax stays a name.
  std::string log = Temp.File("given.txt");
  auto editor = std::make_shared<TExternalCodeEditor>(Script("note.sh", "printf '%s' \"$1\" > '" + log + "'\n"));
  designer::InstallCodeEditor(Services.Services(), editor);
  Query->SetName("Q");
  auto module = OpenSQL();
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->GetFileName(), "dfm.DataModule1.Q.SQL");
  module->SetFileName("$(touch pwned) `touch pwned2`;.sql");
  module->Show();
  std::string given = rtl::ReadFileToString(log);
  EXPECT_EQ(std::filesystem::path(given).filename().string(), "$(touch pwned) `touch pwned2`;.sql");
  EXPECT_FALSE(std::filesystem::exists("pwned"));
  EXPECT_FALSE(std::filesystem::exists("pwned2"));
  // The temporary file went with its folder.
  EXPECT_FALSE(std::filesystem::exists(given));
}

TEST_F(CodeEditorTest, ScriptedEditorRecordsShowingsAndTypesQueuedText) {
  auto scripted = std::make_shared<designer::TScriptedCodeEditor>();
  designer::InstallCodeEditor(Services.Services(), scripted);
  scripted->QueueText("DFM.DATAMODULE1.QUERY1.SQL", "select NAME from CUSTOMER\n");
  auto module = OpenSQL();
  ASSERT_EQ(scripted->Showings().size(), 1u);
  EXPECT_EQ(scripted->Showings()[0].Text, "select *\nfrom CUSTOMER\n");
  EXPECT_TRUE(scripted->AllConsumed());
  EXPECT_EQ(module->Text(), "select NAME from CUSTOMER\n");
  EXPECT_TRUE(module->IsModified());
  module->Show();
  EXPECT_EQ(scripted->Showings().size(), 2u);
  EXPECT_EQ(module->Text(), "select NAME from CUSTOMER\n");
}

TEST_F(CodeEditorTest, ModuleCommandsShowTypeSaveAndClose) {
  auto scripted = std::make_shared<designer::TScriptedCodeEditor>();
  designer::InstallCodeEditor(Services.Services(), scripted);
  OpenSQL();
  EXPECT_EQ(Run("module list"), "dfm.DataModule1.Query1.SQL\n");
  Run("module type DataModule1.Query1.SQL select ID,  NAME\\nfrom CUSTOMER");
  EXPECT_EQ(Run("module list"), "dfm.DataModule1.Query1.SQL (modified)\n");
  EXPECT_EQ(Run("module text dataModule1.query1.sql"), "| select ID,  NAME\n| from CUSTOMER\n");
  Run("module show DataModule1.Query1.SQL");
  EXPECT_EQ(scripted->Showings().size(), 2u);

  // Closing a changed module asks; Cancel keeps it open, No closes it unsaved.
  UI.QueueAnswer(vcl::mrCancel, "Save changes to dfm.DataModule1.Query1.SQL?");
  EXPECT_EQ(Run("module close DataModule1.Query1.SQL"), "Not closed\n");
  Run("module save DataModule1.Query1.SQL");
  EXPECT_EQ(Query->SQL()->ToVector(), (Lines{"select ID,  NAME", "from CUSTOMER"}));
  Run("module type DataModule1.Query1.SQL 'select 1'");
  UI.QueueAnswer(vcl::mrNo);
  EXPECT_EQ(Run("module close DataModule1.Query1.SQL"), "");
  EXPECT_EQ(Run("module list"), "");
  EXPECT_EQ(Query->SQL()->ToVector(), (Lines{"select ID,  NAME", "from CUSTOMER"}));

  EXPECT_THROW(Run("module show DataModule1.Query1.SQL"), ECodeEditorError);
  EXPECT_THROW(Run("module frobnicate X"), ECodeEditorError);
  EXPECT_THROW(Run("module show"), ECodeEditorError);
}

}  // namespace dialogstest

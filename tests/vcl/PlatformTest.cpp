// Platform pieces: the open dialog's must-exist rules, the cursor guard, list-box messages,
// memo lines, and calls made while no user interface is installed.
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/HeadlessUI.h"
#include "vcl/Platform.h"
#include "vcl/StdCtrls.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vcl;

TEST(OpenDialogTest, MustExistOptionsRefuseMissingChoicesWithAMessage) {
  TTempFolder dir;
  std::ofstream(dir.File("korv.ini")) << "[x]\n";
  TScriptedUserInterface UI;
  TUserInterfaceScope scope(&UI);

  TOpenDialog dlg(Application);
  dlg.SetInitialDir(dir.Path().string());
  dlg.SetOptions(dlg.Options() + ofPathMustExist + ofFileMustExist);
  UI.QueueOpenDialog("missing.ini");
  UI.QueueAnswer(mrOk, "File not found.");
  UI.QueueOpenDialog(dir.File("nofolder/x.ini"));
  UI.QueueAnswer(mrOk, "Path does not exist.");
  UI.QueueOpenDialog("korv.ini");
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), dir.File("korv.ini"));
  EXPECT_EQ(dlg.Files()->Count(), 1);
  EXPECT_TRUE(UI.AllConsumed());

  UI.QueueOpenDialog(std::nullopt);
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), dir.File("korv.ini"));

  // Without the options any name is taken; a default extension is added to a bare one.
  TOpenDialog loose(nullptr);
  loose.SetInitialDir(dir.Path().string());
  loose.SetDefaultExt("txt");
  UI.QueueOpenDialog("new");
  EXPECT_TRUE(loose.Execute());
  EXPECT_EQ(loose.FileName(), dir.File("new.txt"));
}

TEST(OpenDialogTest, StartsInTheDocumentFolderAndKeepsNamesUnderItRelative) {
  TTempFolder dir;
  std::filesystem::create_directories(dir.File("data"));
  for (const char* name : {"shop.db", "B.DB", "notes.txt", "data/old.db"}) std::ofstream(dir.File(name)) << "x";
  TTempFolder other;
  std::ofstream(other.File("far.db")) << "x";
  TScriptedUserInterface UI;
  TUserInterfaceScope scope(&UI);
  Application->SetDocumentFolder(dir.Path().string());

  TOpenDialog dlg(nullptr);
  dlg.SetFilter("Databases (*.db)|*.db|All files (*.*)|*.*");
  dlg.SetOptions(dlg.Options() + ofFileMustExist);
  EXPECT_EQ(dlg.Folder(), dir.Path().string());
  EXPECT_EQ(dlg.FolderFiles(), (std::vector<String>{"B.DB", "shop.db"}));  // files only, case ignored
  dlg.SetFilterIndex(2);
  EXPECT_EQ(dlg.FolderFiles(), (std::vector<String>{"B.DB", "notes.txt", "shop.db"}));

  // A name typed is taken from the folder, and one under it comes back as typed.
  for (const auto& [typed, stored] : {std::pair<String, String>{"shop.db", "shop.db"},
                                      {"./data/../data/old.db", "data/old.db"},
                                      {dir.File("B.DB"), "B.DB"},
                                      {other.File("far.db"), other.File("far.db")}}) {
    UI.QueueOpenDialog(typed);
    ASSERT_TRUE(dlg.Execute()) << typed;
    EXPECT_EQ(dlg.FileName(), stored) << typed;
    EXPECT_EQ(dlg.Files()->Get(0), stored);
  }
  UI.QueueOpenDialog("missing.db");  // refused, then cancelled
  UI.QueueAnswer(mrOk, "File not found.");
  UI.QueueOpenDialog(std::nullopt);
  EXPECT_FALSE(dlg.Execute());

  // A dialog given its own folder returns full names, as without a document.
  TOpenDialog own(nullptr);
  own.SetInitialDir(dir.Path().string());
  UI.QueueOpenDialog("shop.db");
  ASSERT_TRUE(own.Execute());
  EXPECT_EQ(own.FileName(), dir.File("shop.db"));
  Application->SetDocumentFolder("");
  EXPECT_EQ(TOpenDialog(nullptr).Folder(), std::filesystem::current_path().string());
  EXPECT_TRUE(UI.AllConsumed());
}

TEST(OpenDialogTest, FilterEntriesAndDefaults) {
  TOpenDialog dlg(nullptr);
  EXPECT_EQ(dlg.FilterIndex(), 1);
  EXPECT_EQ(dlg.Options(), (TOpenOptions{ofHideReadOnly, ofEnableSizing}));
  dlg.SetFilter("Ini-files (*.ini)|*.INI|Text files (*.txt)|*.TXT|All files (*.*)|*.*");
  auto entries = dlg.FilterEntries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].Description, "Text files (*.txt)");
  EXPECT_EQ(entries[2].Pattern, "*.*");
}

TEST(CursorGuardTest, RestoresTheCursorOnEveryPath) {
  Screen->SetCursor(crHandPoint);
  {
    TCursorGuard busy(crHourGlass);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    { TCursorGuard inner(crSQLWait); }
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
  }
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  try {
    TCursorGuard busy(crHourGlass);
    throw rtl::EDatabaseError("failed");
  } catch (const rtl::EDatabaseError&) {
  }
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  Screen->SetCursor(crDefault);
}

TEST(ListBoxTest, HorizontalExtentIsSetByMessage) {
  TListBox lb(nullptr);
  EXPECT_EQ(SendMessage(lb.Handle(), LB_SETHORIZONTALEXTENT, 154, 0), 0);
  EXPECT_EQ(lb.HorizontalExtent(), 154);
  EXPECT_EQ(lb.Perform(LB_GETHORIZONTALEXTENT, 0, 0), 154);
  EXPECT_EQ(SendMessage(nullptr, LB_SETHORIZONTALEXTENT, 1, 0), 0);
}

TEST(ListBoxTest, SelectionFollowsItemsAndSelectionMode) {
  TListBox lb(nullptr);
  lb.Items()->AddStrings(std::vector<std::string>{"A", "B", "C"});
  EXPECT_EQ(lb.SelCount(), -1);  // single selection, as the platform answers
  lb.SetSelected(1, true);
  lb.SetSelected(2, true);
  EXPECT_EQ(lb.ItemIndex(), 2);
  EXPECT_FALSE(lb.Selected(1));
  lb.SetMultiSelect(true);
  lb.SetSelected(0, true);
  lb.Items()->Insert(0, "Z");
  EXPECT_TRUE(lb.Selected(1) && !lb.Selected(0) && lb.Selected(3));
  lb.Items()->Delete(1);
  EXPECT_EQ(lb.SelCount(), 1);
  lb.Items()->Clear();
  EXPECT_EQ(lb.SelCount(), 0);
  EXPECT_THROW(lb.SetItemIndex(0), rtl::EListError);
}

TEST(ComboBoxTest, ClearingTheItemsClearsTheText) {
  TComboBox cb(nullptr);
  cb.Items()->Add("CUSTOMER");
  cb.SetItemIndex(0);
  EXPECT_EQ(cb.Text(), "CUSTOMER");
  cb.Items()->Clear();
  EXPECT_EQ(cb.Text(), "");
  EXPECT_EQ(cb.ItemIndex(), -1);
  cb.SetStyle(csDropDownList);
  cb.Items()->Add("A");
  cb.SetText("a");  // a drop-down list takes only an item's text
  EXPECT_EQ(cb.ItemIndex(), 0);
  cb.SetText("other");
  EXPECT_EQ(cb.Text(), "A");
}

TEST(MemoTest, AnEntryWithLineBreaksBecomesSeveralLines) {
  TMemo me(nullptr);
  int changes = 0;
  me.OnChange = [&](rtl::TObject*) { ++changes; };
  me.Lines()->Add("select *\r\nfrom T\nwhere 1=1");
  EXPECT_EQ(me.Lines()->Count(), 3);
  me.Lines()->Add("x\n");
  EXPECT_EQ(me.Lines()->Count(), 5);
  EXPECT_EQ(me.Lines()->Get(4), "");
  rtl::TStringList src;
  src.Add("a\nb");
  src.Add("c");
  changes = 0;
  me.Lines()->Assign(&src);  // one change for the whole assignment
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(me.Lines()->ToVector(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(me.Text(), "a\nb\nc");
  me.Lines()->Put(0, "1\n2");
  EXPECT_EQ(me.Lines()->Count(), 4);
}

TEST(NoUserInterfaceTest, EveryCallSaysThatNoneIsInstalled) {
  TForm form(nullptr);
  form.SetName("Lonely");
  try {
    form.ShowModal();
    FAIL() << "no error";
  } catch (const EUserInterfaceError& e) {
    EXPECT_STREQ(e.what(), "No user interface is installed to show form Lonely (TForm)");
  }
  EXPECT_FALSE(form.Showing());
  EXPECT_THROW(MessageDlg("x", mtError, {mbOK}, 0), EUserInterfaceError);
  EXPECT_THROW(GetAsyncKeyState(VK_MENU), EUserInterfaceError);
}

TEST(StripHotkeyTest, DropsMarksAndKeepsDoubledAmpersands) {
  EXPECT_EQ(StripHotkey("&Generate SQL"), "Generate SQL");
  EXPECT_EQ(StripHotkey("Save && &Close"), "Save & Close");
  EXPECT_EQ(StripHotkey("Refresh/Update &Fields:"), "Refresh/Update Fields:");
}

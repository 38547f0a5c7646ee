#include "TestForm.h"

using namespace vcl;
using rtl::TObject;

rtl::TClass TTestForm::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TTestForm>("TTestForm")
                                .Method("FormCreate", &TTestForm::FormCreate)
                                .Method("FormDestroy", &TTestForm::FormDestroy)
                                .Method("FormCloseQuery", &TTestForm::FormCloseQuery)
                                .Method("cbTableChange", &TTestForm::cbTableChange)
                                .Method("btActionClick", &TTestForm::btActionClick)
                                .Method("btOkClick", &TTestForm::btOkClick)
                                .Method("lbFieldsClick", &TTestForm::lbFieldsClick)
                                .Method("cbQuotedClick", &TTestForm::cbQuotedClick)
                                .Method("edNameChange", &TTestForm::edNameChange)
                                .Method("rgrKindClick", &TTestForm::rgrKindClick)
                                .Method("meTextChange", &TTestForm::meTextChange)
                                .Method("meTextExit", &TTestForm::meTextExit)
                                .Method("pcPagesChange", &TTestForm::pcPagesChange)
                                .Method("miSelectAllClick", &TTestForm::miSelectAllClick)
                                .Method("miClearAllClick", &TTestForm::miClearAllClick)
                                .Method("lblLinkMouseDown", &TTestForm::lblLinkMouseDown)
                                .Build();
  return info;
}

static TFormDescriptionRegistration TestFormRegistration(&TTestForm::StaticClass, TestFormDfm, "TestForm.dfm");

void TTestForm::FormCreate(TObject*) { Log.push_back("FormCreate"); }
void TTestForm::FormDestroy(TObject*) {
  if (DestroyLog) DestroyLog->push_back("FormDestroy with " + std::to_string(ComponentCount()) + " components");
}
void TTestForm::FormCloseQuery(TObject*, bool& CanClose) {
  Log.push_back("FormCloseQuery " + std::to_string(ModalResult()));
  CanClose = AllowClose;
}
void TTestForm::cbTableChange(TObject*) { Log.push_back("cbTable.Change " + Get<TComboBox>("cbTable")->Text()); }
void TTestForm::btActionClick(TObject*) { Log.push_back("btAction.Click"); }
void TTestForm::btOkClick(TObject*) { Log.push_back("btOk.Click"); }
void TTestForm::lbFieldsClick(TObject*) { Log.push_back("lbFields.Click"); }
void TTestForm::cbQuotedClick(TObject*) {
  Log.push_back(std::string("cbQuoted.Click ") + (Get<TCheckBox>("cbQuoted")->Checked() ? "on" : "off"));
}
void TTestForm::edNameChange(TObject*) { Log.push_back("edName.Change " + Get<TEdit>("edName")->Text()); }
void TTestForm::rgrKindClick(TObject*) {
  Log.push_back("rgrKind.Click " + std::to_string(Get<TRadioGroup>("rgrKind")->ItemIndex()));
}
void TTestForm::meTextChange(TObject*) { Log.push_back("meText.Change"); }
void TTestForm::meTextExit(TObject*) { Log.push_back("meText.Exit"); }
void TTestForm::pcPagesChange(TObject*) {
  Log.push_back("pcPages.Change " + Get<TPageControl>("pcPages")->ActivePage()->Name());
}
void TTestForm::miSelectAllClick(TObject*) {
  auto* pm = Get<TPopupMenu>("pmFields");
  Log.push_back("miSelectAll.Click on " + (pm->PopupComponent() ? pm->PopupComponent()->Name() : std::string("nil")));
  if (auto* lb = dynamic_cast<TListBox*>(pm->PopupComponent()))
    for (int i = 0; i < lb->Items()->Count(); ++i) lb->SetSelected(i, true);
}
void TTestForm::miClearAllClick(TObject*) { Log.push_back("miClearAll.Click"); }
void TTestForm::lblLinkMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  Log.push_back("lblLink.MouseDown " + std::to_string(Button) + (Shift.Contains(ssShift) ? " shift" : "") + " " +
                std::to_string(X) + "," + std::to_string(Y));
}

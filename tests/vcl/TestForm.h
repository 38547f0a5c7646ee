// A dialog exercising every control kind, built from data/TestForm.dfm (embedded at build
// time). Its handlers write what happened into Log.
#pragma once

#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

#include <string>
#include <vector>

class TTestForm : public vcl::TForm {
  RTL_CLASS(TTestForm, vcl::TForm)
  explicit TTestForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}

  template <class T>
  T* Get(const char* name) const {
    return rtl::As<T>(FindComponent(name));
  }

  void FormCreate(rtl::TObject* Sender);
  void FormDestroy(rtl::TObject* Sender);
  void FormCloseQuery(rtl::TObject* Sender, bool& CanClose);
  void cbTableChange(rtl::TObject* Sender);
  void btActionClick(rtl::TObject* Sender);
  void btOkClick(rtl::TObject* Sender);
  void lbFieldsClick(rtl::TObject* Sender);
  void cbQuotedClick(rtl::TObject* Sender);
  void edNameChange(rtl::TObject* Sender);
  void rgrKindClick(rtl::TObject* Sender);
  void meTextChange(rtl::TObject* Sender);
  void meTextExit(rtl::TObject* Sender);
  void pcPagesChange(rtl::TObject* Sender);
  void miSelectAllClick(rtl::TObject* Sender);
  void miClearAllClick(rtl::TObject* Sender);
  void lblLinkMouseDown(rtl::TObject* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);

  std::vector<std::string> Log;
  bool AllowClose = true;
  // Where the log goes when the form is destroyed (the form itself is gone then).
  std::vector<std::string>* DestroyLog = nullptr;
};

// The description's text, embedded by korv_embed_text.
extern const char TestFormDfm[];

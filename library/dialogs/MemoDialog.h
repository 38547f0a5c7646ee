// Running a dialog that edits a list of lines in a memo (the SQL and parameters dialogs).
#pragma once

#include "rtl/Strings.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <memory>

namespace korv::dialogs {

struct TMemoDialogResult {
  vcl::TModalResult ModalResult = vcl::mrNone;
  std::unique_ptr<rtl::TStringList> Lines;  // what the memo held when the dialog closed
  bool Changed = false;                     // whether that differs from what it was given
};

// Puts Source's lines into Memo (a control of Dialog), shows Dialog modally and frees it, on
// every path, before returning how it closed. A change is judged against the memo as filled, so
// an untouched memo is unchanged even where the memo splits a line that holds line breaks.
TMemoDialogResult RunMemoDialog(std::unique_ptr<vcl::TForm> Dialog, vcl::TMemo* Memo, rtl::TStrings* Source);

}  // namespace korv::dialogs

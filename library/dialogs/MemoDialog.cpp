#include "MemoDialog.h"

namespace korv::dialogs {

TMemoDialogResult RunMemoDialog(std::unique_ptr<vcl::TForm> Dialog, vcl::TMemo* Memo, rtl::TStrings* Source) {
  Memo->Lines()->Assign(Source);
  rtl::TStringList filled;
  filled.Assign(Memo->Lines());

  TMemoDialogResult result;
  result.ModalResult = Dialog->ShowModal();
  result.Lines = std::make_unique<rtl::TStringList>();
  result.Lines->Assign(Memo->Lines());
  result.Changed = !result.Lines->Equals(&filled);
  Dialog.reset();  // gone before the caller acts on the result (a code editor may open next)
  return result;
}

}  // namespace korv::dialogs

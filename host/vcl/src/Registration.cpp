// The classes of this layer that form files may name, registered when the library loads.
#include "vcl/ComCtrls.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

namespace {

struct TRegisterVclClasses {
  TRegisterVclClasses() {
    using namespace vcl;
    for (rtl::TClass c : {TForm::StaticClass(), TLabel::StaticClass(), TButton::StaticClass(), TCheckBox::StaticClass(),
                          TEdit::StaticClass(), TMemo::StaticClass(), TComboBox::StaticClass(), TListBox::StaticClass(),
                          TGroupBox::StaticClass(), TPanel::StaticClass(), TBevel::StaticClass(), TImage::StaticClass(),
                          TRadioGroup::StaticClass(), TPageControl::StaticClass(), TTabSheet::StaticClass(),
                          TPopupMenu::StaticClass(), TMenuItem::StaticClass(), TOpenDialog::StaticClass()})
      rtl::RegisterClass(c);
  }
} RegisterVclClasses;

}  // namespace

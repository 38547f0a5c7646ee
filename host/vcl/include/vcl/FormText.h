// Forms and message boxes as text, in the one format the text user interface prints, error
// messages quote and tests compare.
//
// A form:
//   Form KVAboutDlg: TKVAboutDlg "About Korvane"
//     btOk: button "OK" [default] [cancel]
//     lblHome: label "Korvane Home"
//     pcPages: page control, page "Options"
//       tsOptions: page "Options"
//         cbTableName: combo box "CUSTOMER"
//           (*) CUSTOMER
//           ( ) ORDERS
//         lbKeyFields: list box, multiple selection
//           [x] ID
//           [ ] NAME
//         cbQuoted: check box "Quote Field Names" off
//         btGenerate: button "Generate SQL" (disabled)
//     meSQLText: memo
//       | select *
//     Focus: cbTableName
// Each container lists its windowed controls in tab order, then the others in their order;
// invisible controls and the pages not shown are left out. Captions are shown without
// mnemonics; strings are quoted with "..." (a quote inside doubled).
//
// A message box:
//   Message (Confirmation): SQL not generated. Continue?
//   Buttons: Yes No Cancel
#pragma once

#include "vcl/Dialogs.h"
#include "vcl/Forms.h"

namespace vcl {

String FormToText(const TForm* Form);
String MessageBoxToText(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
String OpenDialogToText(const TOpenDialog* Dialog);
// "..." with a quote inside doubled.
String QuoteText(const String& S);

}  // namespace vcl

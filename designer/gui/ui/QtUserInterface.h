// The Qt backend of the forms model: every form shown modally becomes a real dialog (QtFormDialog),
// message boxes are QMessageBoxes, the open dialog a QFileDialog; key state comes from the
// keyboard, addresses open through the desktop's "open", text is measured in the mapped font.
// It depends on the forms model and Qt only; the designer installs it (vcl::SetUserInterface).
#pragma once

#include "vcl/UserInterface.h"

#include <functional>

class QDialog;
class QWidget;

namespace designer {

using rtl::String;

class TQtUserInterface : public vcl::IUserInterface {
public:
  // Runs each time a form's dialog has been shown, before the user acts on it (a screenshot,
  // a test that drives it).
  using TShownHook = std::function<void(QDialog* Dialog, vcl::TForm* Form)>;

  // Dialogs open over Parent (nil: over the active window).
  void SetParentWidget(QWidget* Parent) { FParent = Parent; }
  void SetShownHook(TShownHook Hook) { FShown = std::move(Hook); }

  void ShowModal(vcl::TForm* Form) override;
  int MessageDlg(const String& Msg, vcl::TMsgDlgType DlgType, vcl::TMsgDlgButtons Buttons, int HelpCtx) override;
  std::optional<String> ExecuteOpenDialog(vcl::TOpenDialog* Dialog) override;
  bool IsKeyDown(int VirtualKey) override;
  bool OpenAddress(const String& Address) override;
  int TextWidth(const vcl::TFont& Font, const String& Text) override;

private:
  QWidget* Parent() const;

  QWidget* FParent = nullptr;
  TShownHook FShown;
};

}  // namespace designer

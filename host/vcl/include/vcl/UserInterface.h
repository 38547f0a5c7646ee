// The user interface backend: whatever shows forms and message boxes and answers the platform
// calls. The designer installs one; nothing in the forms model draws or reads input itself.
#pragma once

#include "vcl/Dialogs.h"

#include <optional>

namespace vcl {

class TForm;

class IUserInterface {
public:
  virtual ~IUserInterface() = default;

  // Runs the modal loop of a shown form: lets the user act on it until Form->ModalEnded()
  // (each action is followed by Form->CheckModalClose(), which the gesture driver does), then
  // returns. Raises instead of waiting for ever.
  virtual void ShowModal(TForm* Form) = 0;
  // Shows a message box; returns the modal result of one of Buttons.
  virtual int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) = 0;
  // Asks for a file: the name as the user gave it (TOpenDialog checks and completes it), or
  // nothing when cancelled. May change the dialog's FilterIndex.
  virtual std::optional<String> ExecuteOpenDialog(TOpenDialog* Dialog) = 0;
  // Whether a key (VK_MENU ...) is held down now.
  virtual bool IsKeyDown(int VirtualKey) = 0;
  // Opens an address (web page, mail address, file) with the system's "open"; true on success.
  virtual bool OpenAddress(const String& Address) = 0;
  // Width in pixels of Text drawn in Font.
  virtual int TextWidth(const TFont& Font, const String& Text) = 0;
};

// Installs the backend (not owned; nullptr goes back to the default, which raises
// EUserInterfaceError naming the call for everything).
void SetUserInterface(IUserInterface* UI);
IUserInterface& UserInterface();

class EUserInterfaceError : public rtl::Exception {
public:
  using Exception::Exception;
};

// Installs a backend for a scope and puts the previous one back on every path.
class TUserInterfaceScope {
public:
  explicit TUserInterfaceScope(IUserInterface* UI);
  ~TUserInterfaceScope();
  TUserInterfaceScope(const TUserInterfaceScope&) = delete;
  TUserInterfaceScope& operator=(const TUserInterfaceScope&) = delete;

private:
  IUserInterface* FPrevious;
};

}  // namespace vcl

#include "vcl/UserInterface.h"

#include "vcl/Forms.h"

namespace vcl {

namespace {

// Stands in while no backend is installed: every call says so.
class TNoUserInterface : public IUserInterface {
public:
  void ShowModal(TForm* Form) override { Fail("show form " + Form->Name() + " (" + Form->ClassName() + ")"); }
  int MessageDlg(const String& Msg, TMsgDlgType, TMsgDlgButtons, int) override {
    Fail("show the message \"" + Msg + "\"");
  }
  std::optional<String> ExecuteOpenDialog(TOpenDialog*) override { Fail("show the file-open dialog"); }
  bool IsKeyDown(int) override { Fail("read the key state"); }
  bool OpenAddress(const String& Address) override { Fail("open " + Address); }
  int TextWidth(const TFont&, const String&) override { Fail("measure text"); }

private:
  [[noreturn]] static void Fail(const String& what) {
    throw EUserInterfaceError("No user interface is installed to " + what);
  }
};

TNoUserInterface NoUserInterface;
IUserInterface* Current = nullptr;

}  // namespace

void SetUserInterface(IUserInterface* UI) { Current = UI; }

IUserInterface& UserInterface() { return Current ? *Current : NoUserInterface; }

TUserInterfaceScope::TUserInterfaceScope(IUserInterface* UI) : FPrevious(Current) { Current = UI; }

TUserInterfaceScope::~TUserInterfaceScope() { Current = FPrevious; }

}  // namespace vcl

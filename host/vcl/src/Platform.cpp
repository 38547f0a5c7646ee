#include "vcl/Platform.h"

#include "vcl/UserInterface.h"
#include "rtl/SysUtils.h"

namespace vcl {

int16_t GetAsyncKeyState(int VirtualKey) {
  return UserInterface().IsKeyDown(VirtualKey) ? static_cast<int16_t>(0x8000) : 0;
}

intptr_t ShellExecute(void*, const String& Operation, const String& File, const String&, const String&, int) {
  if (!rtl::SameText(Operation, "open")) return SE_ERR_NOASSOC;
  return UserInterface().OpenAddress(File) ? 42 : SE_ERR_FNF;
}

intptr_t SendMessage(TWinControl* Handle, unsigned Msg, uintptr_t WParam, intptr_t LParam) {
  return Handle ? Handle->Perform(Msg, WParam, LParam) : 0;
}

}  // namespace vcl

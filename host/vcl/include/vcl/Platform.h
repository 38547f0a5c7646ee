// The platform calls the designer's code uses: key state, opening an address with the system's
// "open" operation, and sending a message to a control. All go through the user interface.
#pragma once

#include "vcl/Controls.h"

#include <cstdint>

namespace vcl {

constexpr int VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
              VK_ESCAPE = 0x1B;

// The high bit (0x8000) is set while the key is held down.
int16_t GetAsyncKeyState(int VirtualKey);

constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1;
// ShellExecute's failure codes (any result of 32 or less is a failure).
constexpr intptr_t SE_ERR_FNF = 2, SE_ERR_ACCESSDENIED = 5, SE_ERR_NOASSOC = 31;

// Performs Operation on File: "open" asks the user interface to open the address. Returns a
// value above 32 on success, SE_ERR_FNF when the address could not be opened, SE_ERR_NOASSOC
// for another operation. Owner, Parameters, Directory and ShowCmd are accepted and ignored.
intptr_t ShellExecute(void* Owner, const String& Operation, const String& File, const String& Parameters,
                      const String& Directory, int ShowCmd);

// Sends a message to a control (its Perform); 0 for a nil control.
intptr_t SendMessage(TWinControl* Handle, unsigned Msg, uintptr_t WParam, intptr_t LParam);

}  // namespace vcl

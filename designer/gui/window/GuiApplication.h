// Settings every korv gui process shares: the dialog font (so that pictures and tests look the
// same on every machine) and 96 pixels per inch.
#pragma once

class QApplication;

namespace designer {

// Before the QApplication exists: no scaling of the 96-DPI form bounds.
void PrepareGuiEnvironment(bool Offscreen);
// After: the application font.
void SetGuiFont(QApplication& App);

}  // namespace designer

#include "designer/CodeEditor.h"

#include "rtl/SysUtils.h"

namespace designer {

void TScriptedCodeEditor::Show(TTextModule& Module) {
  FShowings.push_back({Module.GetFileName(), Module.Text()});
  for (auto it = FQueued.begin(); it != FQueued.end(); ++it)
    if (rtl::SameText(it->first, Module.GetFileName())) {
      String text = std::move(it->second);
      FQueued.erase(it);
      Module.ReplaceText(text);
      return;
    }
}

void TScriptedCodeEditor::QueueText(const String& FileName, const String& Text) {
  FQueued.emplace_back(FileName, Text);
}

std::shared_ptr<TCodeEditor> InstallCodeEditor(TModuleServices& Services, std::shared_ptr<TCodeEditor> Editor) {
  if (!Editor) {
    Services.SetCodeEditor(nullptr);
    return nullptr;
  }
  Services.SetCodeEditor([Editor](TTextModule& Module) { Editor->Show(Module); });
  return Editor;
}

std::shared_ptr<TCodeEditor> InstallCodeEditor(TModuleServices& Services, TCodeEditorKind Kind) {
  if (Kind == TCodeEditorKind::ckExternal) return InstallCodeEditor(Services, std::make_shared<TExternalCodeEditor>());
  return InstallCodeEditor(Services, std::make_shared<TScriptedCodeEditor>());
}

}  // namespace designer

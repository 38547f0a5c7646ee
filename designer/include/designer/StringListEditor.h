// The host's string-list editor (controls: HostDialogs.h) and the route from it into the code
// editor, which works through the open tools interfaces alone, as any package's would.
#pragma once

#include "designintf/Designer.h"
#include "rtl/Strings.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace designer {

using rtl::String;

// The modal result of the "Code Editor..." button.
inline constexpr vcl::TModalResult mrCodeEditor = vcl::mrYes;

class TStringListEditorForm : public vcl::TForm {
  RTL_CLASS(TStringListEditorForm, vcl::TForm)
  explicit TStringListEditorForm(rtl::TComponent* AOwner);
  ~TStringListEditorForm() override;

  vcl::TLabel* lblLineCount = nullptr;
  vcl::TMemo* meLines = nullptr;
  vcl::TButton* btCodeEditor = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;

  // Shows Lines; the code-editor button is offered only with CodeEditorAllowed.
  void Initialize(const rtl::TStrings& Lines, bool CodeEditorAllowed);
  // Whether the developer changed the text since Initialize.
  bool TextModified() const { return FModified; }

  void meLinesChange(rtl::TObject* Sender);

private:
  void UpdateLineCount();
  bool FModified = false;
};

// The module name of a component's string-list property: "<ext>.<root>.<component>.<property>",
// empty when the designer's root has no name or does not own the component.
String StringListModuleName(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropertyName);

// Opens Lines as the property's text module on the string-list file system (module services'
// CreateModule), ties the module to the property, marks it changed when Modified, and shows
// it. False when the module services made no module. Raises EIntfCastError when the designer
// offers no module services, EComponentError when the property has no module name.
bool OpenStringListModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropertyName,
                          const rtl::TStrings& Lines, bool Modified);

// Shows the property's open text module; false when none is open.
bool ShowStringListModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropertyName);

}  // namespace designer

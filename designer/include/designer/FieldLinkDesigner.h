// The master/detail field-link designer: pairs fields of a detail data set with fields of its
// master (controls: HostDialogs.h). It reads and writes the link only through the property
// editor's operations, so a descendant editor may answer from a copy of the data set.
//
// Index-based data sets (TFieldLinkProperty::GetIndexBased) link through an index: the
// "Available Indexes" box offers their indexes (the primary one under the library's SPrimary
// text), the detail fields are the chosen index's, and the joined detail fields must be the
// index's leading fields. Other data sets offer all their fields and link by IndexFieldNames.
#pragma once

#include "designintf/DBEditors.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <optional>
#include <utility>

namespace designer {

using rtl::String;

class TFieldLinkDesignerForm : public vcl::TForm {
  RTL_CLASS(TFieldLinkDesignerForm, vcl::TForm)
  explicit TFieldLinkDesignerForm(rtl::TComponent* AOwner);
  ~TFieldLinkDesignerForm() override;

  vcl::TLabel* lblIndexes = nullptr;
  vcl::TComboBox* cbIndexes = nullptr;
  vcl::TListBox* lbDetailFields = nullptr;
  vcl::TListBox* lbMasterFields = nullptr;
  vcl::TButton* btAdd = nullptr;
  vcl::TListBox* lbJoinedFields = nullptr;
  vcl::TButton* btDelete = nullptr;
  vcl::TButton* btClear = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;

  // Reads the indexes, fields and the current link from Editor.
  void Initialize(designintf::TFieldLinkProperty& Editor);
  // Writes the link shown through Editor: MasterFields, then IndexName or IndexFieldNames.
  void Apply();

  // The joins shown, detail field first.
  const std::vector<std::pair<String, String>>& Joins() const { return FJoins; }

  void cbIndexesChange(rtl::TObject* Sender);
  void ListClick(rtl::TObject* Sender);
  void btAddClick(rtl::TObject* Sender);
  void btDeleteClick(rtl::TObject* Sender);
  void btClearClick(rtl::TObject* Sender);
  void FormCloseQuery(rtl::TObject* Sender, bool& CanClose);

private:
  struct TIndexEntry {
    String Caption;  // SPrimary for the primary index
    String Fields;
  };
  // Fills the index box from the editor's index definitions and chooses the current index.
  void ReadIndexes(designintf::TFieldLinkProperty& Editor);
  const TIndexEntry* SelectedIndex() const;
  void Fill();
  void UpdateButtons();
  // The joins ordered by their detail field's place in the index; nothing when the joined
  // detail fields are not the index's leading fields.
  std::optional<std::vector<std::pair<String, String>>> IndexOrderedJoins() const;

  designintf::TFieldLinkProperty* FEditor = nullptr;
  bool FIndexBased = false;
  bool FUsesIndexFieldNames = false;
  std::vector<TIndexEntry> FIndexes;
  std::vector<String> FDetailFields;
  std::vector<String> FMasterFields;
  std::vector<std::pair<String, String>> FJoins;
};

}  // namespace designer

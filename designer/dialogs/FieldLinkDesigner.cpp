#include "designer/FieldLinkDesigner.h"

#include "designer/DataSetFieldDefs.h"
#include "FormControls.h"

#include "korv/KVConsts.h"
#include "vcl/Dialogs.h"

#include <algorithm>

extern const char DesignerFieldLinkDesignerDfm[];

namespace designer {

namespace {

std::vector<String> SplitFieldList(const String& Fields) {
  std::vector<String> out;
  size_t start = 0;
  while (start <= Fields.size()) {
    size_t end = Fields.find(';', start);
    String f = rtl::Trim(Fields.substr(start, end == String::npos ? String::npos : end - start));
    if (!f.empty()) out.push_back(f);
    if (end == String::npos) break;
    start = end + 1;
  }
  return out;
}

String JoinFieldList(const std::vector<String>& Fields) {
  String out;
  for (const String& f : Fields) out += (out.empty() ? "" : ";") + f;
  return out;
}

int IndexOfText(const std::vector<String>& List, const String& S) {
  for (size_t i = 0; i < List.size(); ++i)
    if (rtl::SameText(List[i], S)) return static_cast<int>(i);
  return -1;
}

// The data set whose fields the detail side offers: the one the editor's index definitions
// belong to (a descendant editor may answer from an open copy), else the edited data set.
rtl::TDataSet* DetailDataSet(designintf::TFieldLinkProperty& Editor) {
  if (rtl::TIndexDefs* defs = Editor.GetIndexDefs())
    if (auto* owner = dynamic_cast<rtl::TDataSet*>(defs->GetOwner())) return owner;
  return Editor.GetDataSet();
}

}  // namespace

rtl::TClass TFieldLinkDesignerForm::StaticClass() {
  using T = TFieldLinkDesignerForm;
  static rtl::TClass info = rtl::ClassBuilder<T>("TFieldLinkDesignerForm")
                                .Method("cbIndexesChange", &T::cbIndexesChange)
                                .Method("ListClick", &T::ListClick)
                                .Method("btAddClick", &T::btAddClick)
                                .Method("btDeleteClick", &T::btDeleteClick)
                                .Method("btClearClick", &T::btClearClick)
                                .Method("FormCloseQuery", &T::FormCloseQuery)
                                .Field("lblIndexes", &T::lblIndexes)
                                .Field("cbIndexes", &T::cbIndexes)
                                .Field("lbDetailFields", &T::lbDetailFields)
                                .Field("lbMasterFields", &T::lbMasterFields)
                                .Field("btAdd", &T::btAdd)
                                .Field("lbJoinedFields", &T::lbJoinedFields)
                                .Field("btDelete", &T::btDelete)
                                .Field("btClear", &T::btClear)
                                .Field("btOk", &T::btOk)
                                .Field("btCancel", &T::btCancel)
                                .Build();
  return info;
}

static const vcl::TFormDescriptionRegistration FieldLinkDesignerDescription(&TFieldLinkDesignerForm::StaticClass,
                                                                            DesignerFieldLinkDesignerDfm,
                                                                            "FieldLinkDesigner.dfm");

TFieldLinkDesignerForm::TFieldLinkDesignerForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}
TFieldLinkDesignerForm::~TFieldLinkDesignerForm() = default;

void TFieldLinkDesignerForm::Initialize(designintf::TFieldLinkProperty& Editor) {
  FEditor = &Editor;
  FIndexBased = Editor.GetIndexBased();

  // The master's fields: its field definitions, read from it when the editor knows none.
  rtl::TStringList masters;
  Editor.GetMasterFieldNames(&masters);
  FMasterFields = masters.ToVector();
  if (FMasterFields.empty())
    if (rtl::TDataSet* master = Editor.GetMasterDataSet(); master && !master->Active())
      FMasterFields = FieldDefNames(ReadFieldDefs(master));

  lblIndexes->SetVisible(FIndexBased);
  cbIndexes->SetVisible(FIndexBased);
  if (FIndexBased) {
    ReadIndexes(Editor);
    if (const TIndexEntry* e = SelectedIndex()) FDetailFields = SplitFieldList(e->Fields);
  } else {
    FDetailFields = FieldDefNames(ReadFieldDefs(DetailDataSet(Editor)));
  }

  // The current link: the fields of the current index against the master fields, in order.
  rtl::TStringList details;
  Editor.GetFieldNamesForIndex(&details);
  std::vector<String> linked = SplitFieldList(Editor.GetMasterFields());
  for (size_t i = 0; i < linked.size() && i < static_cast<size_t>(details.Count()); ++i)
    FJoins.emplace_back(details[static_cast<int>(i)], linked[i]);
  Fill();
}

void TFieldLinkDesignerForm::ReadIndexes(designintf::TFieldLinkProperty& Editor) {
  const String indexName = Editor.GetIndexName();
  const std::vector<String> wanted = SplitFieldList(Editor.GetIndexFieldNames());
  FUsesIndexFieldNames = !wanted.empty();
  auto startsWithWanted = [&](const String& Fields) {
    std::vector<String> fields = SplitFieldList(Fields);
    return fields.size() >= wanted.size() &&
           std::equal(wanted.begin(), wanted.end(), fields.begin(),
                      [](const String& a, const String& b) { return rtl::SameText(a, b); });
  };
  int chosen = -1, primary = -1;
  if (rtl::TIndexDefs* defs = Editor.GetIndexDefs()) {
    for (int i = 0; i < defs->Count(); ++i) {
      const rtl::TIndexDef* d = defs->Items(i);
      // Expression and descending indexes cannot follow a master's fields.
      if (d->Fields().empty() || d->Options().Contains(rtl::TIndexOption::ixExpression) ||
          d->Options().Contains(rtl::TIndexOption::ixDescending))
        continue;
      const bool isPrimary = primary < 0 && (d->Name().empty() || d->Options().Contains(rtl::TIndexOption::ixPrimary));
      const int entry = static_cast<int>(FIndexes.size());
      FIndexes.push_back({isPrimary ? String(korv::SPrimary) : d->Name(), d->Fields()});
      if (isPrimary) primary = entry;
      // The current index: the first that starts with IndexFieldNames, else the one IndexName
      // names.
      if (chosen < 0 && (FUsesIndexFieldNames ? startsWithWanted(d->Fields())
                                              : !indexName.empty() && (rtl::SameText(d->Name(), indexName) ||
                                                                       (isPrimary && indexName == korv::SPrimary))))
        chosen = entry;
    }
  }
  // Neither given: the primary index, else the first.
  if (chosen < 0 && !FUsesIndexFieldNames && indexName.empty())
    chosen = primary >= 0 ? primary : (FIndexes.empty() ? -1 : 0);
  cbIndexes->Items()->Clear();
  for (const TIndexEntry& e : FIndexes) cbIndexes->Items()->Add(e.Caption);
  cbIndexes->SetItemIndex(chosen);
}

const TFieldLinkDesignerForm::TIndexEntry* TFieldLinkDesignerForm::SelectedIndex() const {
  int i = cbIndexes->ItemIndex();
  return FIndexBased && i >= 0 && i < static_cast<int>(FIndexes.size()) ? &FIndexes[static_cast<size_t>(i)] : nullptr;
}

void TFieldLinkDesignerForm::Fill() {
  std::vector<String> joinedDetails, joinedMasters;
  for (const auto& [d, m] : FJoins) {
    joinedDetails.push_back(d);
    joinedMasters.push_back(m);
  }
  lbDetailFields->Items()->Clear();
  for (const String& f : FDetailFields)
    if (IndexOfText(joinedDetails, f) < 0) lbDetailFields->Items()->Add(f);
  lbMasterFields->Items()->Clear();
  for (const String& f : FMasterFields)
    if (IndexOfText(joinedMasters, f) < 0) lbMasterFields->Items()->Add(f);
  lbJoinedFields->Items()->Clear();
  for (const auto& [d, m] : FJoins) lbJoinedFields->Items()->Add(d + " -> " + m);
  UpdateButtons();
}

void TFieldLinkDesignerForm::UpdateButtons() {
  btAdd->SetEnabled(lbDetailFields->ItemIndex() >= 0 && lbMasterFields->ItemIndex() >= 0);
  btDelete->SetEnabled(lbJoinedFields->ItemIndex() >= 0);
  btClear->SetEnabled(!FJoins.empty());
}

void TFieldLinkDesignerForm::cbIndexesChange(rtl::TObject*) {
  // Joins follow an index's fields: another index starts them afresh.
  FJoins.clear();
  const TIndexEntry* e = SelectedIndex();
  FDetailFields = e ? SplitFieldList(e->Fields) : std::vector<String>{};
  Fill();
}

void TFieldLinkDesignerForm::ListClick(rtl::TObject*) { UpdateButtons(); }

void TFieldLinkDesignerForm::btAddClick(rtl::TObject*) {
  int d = lbDetailFields->ItemIndex(), m = lbMasterFields->ItemIndex();
  if (d < 0 || m < 0) return;
  FJoins.emplace_back(lbDetailFields->Items()->Get(d), lbMasterFields->Items()->Get(m));
  Fill();
}

void TFieldLinkDesignerForm::btDeleteClick(rtl::TObject*) {
  int j = lbJoinedFields->ItemIndex();
  if (j < 0 || j >= static_cast<int>(FJoins.size())) return;
  FJoins.erase(FJoins.begin() + j);
  Fill();
}

void TFieldLinkDesignerForm::btClearClick(rtl::TObject*) {
  FJoins.clear();
  Fill();
}

std::optional<std::vector<std::pair<String, String>>> TFieldLinkDesignerForm::IndexOrderedJoins() const {
  std::vector<std::pair<String, String>> ordered(FJoins.size());
  for (const auto& join : FJoins) {
    int at = IndexOfText(FDetailFields, join.first);
    if (at < 0 || at >= static_cast<int>(FJoins.size())) return std::nullopt;
    ordered[static_cast<size_t>(at)] = join;
  }
  return ordered;
}

void TFieldLinkDesignerForm::FormCloseQuery(rtl::TObject*, bool& CanClose) {
  if (ModalResult() != vcl::mrOk || !FIndexBased || IndexOrderedJoins()) return;
  vcl::MessageDlg("The joined detail fields must be the leading fields of the index, without gaps", vcl::mtError,
                  {vcl::mbOK}, 0);
  CanClose = false;
}

void TFieldLinkDesignerForm::Apply() {
  std::vector<std::pair<String, String>> joins = FJoins;
  if (FIndexBased)
    if (auto ordered = IndexOrderedJoins()) joins = *ordered;
  std::vector<String> details, masters;
  for (const auto& [d, m] : joins) {
    details.push_back(d);
    masters.push_back(m);
  }
  FEditor->SetMasterFields(JoinFieldList(masters));
  if (FIndexBased) {
    if (const TIndexEntry* e = SelectedIndex()) {
      if (FUsesIndexFieldNames)
        FEditor->SetIndexFieldNames(JoinFieldList(SplitFieldList(e->Fields)));
      else
        FEditor->SetIndexName(e->Caption);
    }
  } else if (!details.empty()) {
    FEditor->SetIndexFieldNames(JoinFieldList(details));
  }
}

}  // namespace designer

#include "KVComponentEditors.h"

#include "KVAbout.h"
#include "KVReg.h"

#include "designintf/Designer.h"
#include "korv/KVConsts.h"
#include "korv/KVQuery.h"
#include "korv/KVSQLEditor.h"
#include "korv/KVStoredProc.h"
#include "korv/KVUpdateSQL.h"

namespace dclkorv {

using designintf::TComponentEditor;

DESIGN_CLASS_IMPL(TKVDefaultEditor)
DESIGN_CLASS_IMPL(TKVScriptEditor)
DESIGN_CLASS_IMPL(TKVUpdateSQLEditor)
DESIGN_CLASS_IMPL(TKVDataSetEditor)
DESIGN_CLASS_IMPL(TKVQueryEditor)
DESIGN_CLASS_IMPL(TKVStoredProcEditor)
DESIGN_CLASS_IMPL(TKVMacroQueryEditor)

namespace {

constexpr const char* kSeparator = "-";

// Tells the designer of a change; the designer is fetched afresh and may be gone.
void NotifyModified(TComponentEditor& Editor) {
  if (designintf::IDesigner* designer = Editor.GetDesigner()) designer->Modified();
}

} // namespace

// ---------------------------------------------------------------------------- TKVDefaultEditor

void TKVDefaultEditor::Edit() { ExecuteVerb(TComponentEditor::GetVerbCount()); }

void TKVDefaultEditor::ExecuteVerb(int Index) {
  const int base = TComponentEditor::GetVerbCount();
  if (Index < base)
    TComponentEditor::ExecuteVerb(Index);
  else if (Index == base)
    ShowAboutBox();
}

String TKVDefaultEditor::GetVerb(int Index) {
  const int base = TComponentEditor::GetVerbCount();
  if (Index < base) return TComponentEditor::GetVerb(Index);
  if (Index == base) return GetProductCaption();
  return {};
}

int TKVDefaultEditor::GetVerbCount() { return TComponentEditor::GetVerbCount() + 1; }

// ---------------------------------------------------------------------------- TKVUpdateSQLEditor

void TKVUpdateSQLEditor::Edit() { ExecuteVerb(TKVDefaultEditor::GetVerbCount() + 1); }

void TKVUpdateSQLEditor::ExecuteVerb(int Index) {
  const int base = TKVDefaultEditor::GetVerbCount();
  if (Index < base)
    TKVDefaultEditor::ExecuteVerb(Index);
  else if (Index == base + 1)
    EditUpdateSQLObject(GetDesigner(), rtl::As<korv::TKVUpdateSQL>(Component()));
}

String TKVUpdateSQLEditor::GetVerb(int Index) {
  const int base = TKVDefaultEditor::GetVerbCount();
  if (Index < base) return TKVDefaultEditor::GetVerb(Index);
  if (Index == base) return kSeparator;
  if (Index == base + 1) return korv::SUpdateSQLEditor;
  return {};
}

int TKVUpdateSQLEditor::GetVerbCount() { return TKVDefaultEditor::GetVerbCount() + 2; }

// ---------------------------------------------------------------------------- TKVDataSetEditor

void TKVDataSetEditor::Edit() { ExecuteVerb(2); }

void TKVDataSetEditor::ExecuteVerb(int Index) {
  switch (Index) {
    case 0: ShowAboutBox(); break;
    case 2: designintf::ShowFieldsEditor(GetDesigner(), Component(), GetDSDesignerClass()); break;
    default: break;
  }
}

String TKVDataSetEditor::GetVerb(int Index) {
  switch (Index) {
    case 0: return GetProductCaption();
    case 1: return kSeparator;
    case 2: return korv::SDatasetDesignerVerb;
    default: return {};
  }
}

int TKVDataSetEditor::GetVerbCount() { return 3; }

// ---------------------------------------------------------------------------- TKVQueryEditor

void TKVQueryEditor::ExecuteVerb(int Index) {
  auto* query = rtl::As<korv::TKVQuery>(Component());
  const int base = TKVDataSetEditor::GetVerbCount();
  if (Index < base) {
    TKVDataSetEditor::ExecuteVerb(Index);
  } else if (Index == base) {
    if (EditQueryParams(GetDesigner(), query)) NotifyModified(*this);
  } else if (Index == base + 1) {
    EditSQL(query);
  }
}

String TKVQueryEditor::GetVerb(int Index) {
  const int base = TKVDataSetEditor::GetVerbCount();
  if (Index < base) return TKVDataSetEditor::GetVerb(Index);
  if (Index == base) return korv::SBindVerb;
  if (Index == base + 1) return korv::SEditSQLVerb;
  return {};
}

int TKVQueryEditor::GetVerbCount() { return TKVDataSetEditor::GetVerbCount() + (SQLEditorEnabled() ? 2 : 1); }

void TKVQueryEditor::EditSQL(korv::TKVQuery* Query) {
  // The text must not be edited in two places: an open code-editor module closes first.
  if (!CloseStringsModule(GetDesigner(), Query, "SQL")) return;
  const String title = GetDesignerRootName(GetDesigner()) + "." + Query->Name() + "." + "SQL";
  if (korv::ShowSQLEditor(title, Query,
                          [this](rtl::TStrings* Strings, bool Modified) { ShowCodeEditor(Strings, Modified); }))
    NotifyModified(*this);
}

void TKVQueryEditor::ShowCodeEditor(rtl::TStrings* Strings, bool Modified) {
  OpenStringsModule(GetDesigner(), Component(), "SQL", Strings, Modified);
}

// ---------------------------------------------------------------------------- TKVStoredProcEditor

void TKVStoredProcEditor::ExecuteVerb(int Index) {
  auto* storedProc = rtl::As<korv::TKVStoredProc>(Component());
  const int base = TKVDataSetEditor::GetVerbCount();
  if (Index < base) {
    TKVDataSetEditor::ExecuteVerb(Index);
  } else if (Index == base) {
    if (EditStoredProcParams(GetDesigner(), storedProc)) NotifyModified(*this);
  }
}

String TKVStoredProcEditor::GetVerb(int Index) {
  const int base = TKVDataSetEditor::GetVerbCount();
  if (Index < base) return TKVDataSetEditor::GetVerb(Index);
  if (Index == base) return korv::SBindVerb;
  return {};
}

int TKVStoredProcEditor::GetVerbCount() { return TKVDataSetEditor::GetVerbCount() + 1; }

// ---------------------------------------------------------------------------- TKVMacroQueryEditor

void TKVMacroQueryEditor::ExecuteVerb(int Index) {
  // The macros verb comes right after the query verbs the count shows, so with the SQL editor
  // switch off it takes index 4 before the query editor could.
  if (Index == TKVQueryEditor::GetVerbCount()) {
    auto* macroQuery = rtl::As<korv::TKVMacroQuery>(Component());
    if (EditQueryMacros(GetDesigner(), macroQuery)) NotifyModified(*this);
  } else {
    TKVQueryEditor::ExecuteVerb(Index);
  }
}

String TKVMacroQueryEditor::GetVerb(int Index) {
  if (Index == TKVQueryEditor::GetVerbCount()) return korv::SBindMacrosVerb;
  return TKVQueryEditor::GetVerb(Index);
}

int TKVMacroQueryEditor::GetVerbCount() { return TKVQueryEditor::GetVerbCount() + 1; }

} // namespace dclkorv

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

using designintf::SVerbSeparator;

// ---------------------------------------------------------------------------- TKVDefaultEditor

void TKVDefaultEditor::Edit() { ExecuteVerb(TComponentEditor::GetVerbCount() + vAbout); }

void TKVDefaultEditor::ExecuteVerb(int Index) {
  const int own = Index - TComponentEditor::GetVerbCount();
  if (own < 0)
    TComponentEditor::ExecuteVerb(Index);
  else if (own == vAbout)
    ShowAboutBox();
}

String TKVDefaultEditor::GetVerb(int Index) {
  const int own = Index - TComponentEditor::GetVerbCount();
  if (own < 0) return TComponentEditor::GetVerb(Index);
  if (own == vAbout) return GetProductCaption();
  return {};
}

int TKVDefaultEditor::GetVerbCount() { return TComponentEditor::GetVerbCount() + VerbCount; }

// ---------------------------------------------------------------------------- TKVUpdateSQLEditor

void TKVUpdateSQLEditor::Edit() { ExecuteVerb(TKVDefaultEditor::GetVerbCount() + vUpdateSQLEditor); }

void TKVUpdateSQLEditor::ExecuteVerb(int Index) {
  const int own = Index - TKVDefaultEditor::GetVerbCount();
  if (own < 0)
    TKVDefaultEditor::ExecuteVerb(Index);
  else if (own == vUpdateSQLEditor)
    EditUpdateSQLObject(GetDesigner(), rtl::As<korv::TKVUpdateSQL>(Component()));
}

String TKVUpdateSQLEditor::GetVerb(int Index) {
  const int own = Index - TKVDefaultEditor::GetVerbCount();
  if (own < 0) return TKVDefaultEditor::GetVerb(Index);
  switch (own) {
  case vSeparator: return SVerbSeparator;
  case vUpdateSQLEditor: return korv::SUpdateSQLEditor;
  default: return {};
  }
}

int TKVUpdateSQLEditor::GetVerbCount() { return TKVDefaultEditor::GetVerbCount() + VerbCount; }

// ---------------------------------------------------------------------------- TKVDataSetEditor

void TKVDataSetEditor::Edit() { ExecuteVerb(vFieldsEditor); }

void TKVDataSetEditor::ExecuteVerb(int Index) {
  switch (Index) {
  case vAbout: ShowAboutBox(); break;
  case vFieldsEditor: designintf::ShowFieldsEditor(GetDesigner(), Component(), GetDSDesignerClass()); break;
  default: break;
  }
}

String TKVDataSetEditor::GetVerb(int Index) {
  switch (Index) {
  case vAbout: return GetProductCaption();
  case vSeparator: return SVerbSeparator;
  case vFieldsEditor: return korv::SDatasetDesignerVerb;
  default: return {};
  }
}

int TKVDataSetEditor::GetVerbCount() { return VerbCount; }

// ---------------------------------------------------------------------------- TKVQueryEditor

void TKVQueryEditor::ExecuteVerb(int Index) {
  auto* query = rtl::As<korv::TKVQuery>(Component());
  // The SQL dialog runs at its index whether or not the count shows it.
  const int own = Index - TKVDataSetEditor::GetVerbCount();
  if (own < 0) {
    TKVDataSetEditor::ExecuteVerb(Index);
  } else if (own == vParams) {
    if (EditQueryParams(GetDesigner(), query)) Modified();
  } else if (own == vEditSQL) {
    EditSQL(query);
  }
}

String TKVQueryEditor::GetVerb(int Index) {
  const int own = Index - TKVDataSetEditor::GetVerbCount();
  if (own < 0) return TKVDataSetEditor::GetVerb(Index);
  switch (own) {
  case vParams: return korv::SBindVerb;
  case vEditSQL: return korv::SEditSQLVerb;
  default: return {};
  }
}

int TKVQueryEditor::GetVerbCount() {
  return TKVDataSetEditor::GetVerbCount() + (SQLEditorEnabled() ? VerbCount : vEditSQL);
}

void TKVQueryEditor::EditSQL(korv::TKVQuery* Query) {
  // The text must not be edited in two places: an open code-editor module closes first.
  if (!CloseStringsModule(GetDesigner(), Query, "SQL")) return;
  const String title = GetDesignerRootName(GetDesigner()) + "." + Query->Name() + "." + "SQL";
  if (korv::ShowSQLEditor(title, Query,
                          [this](rtl::TStrings* Strings, bool Modified) { ShowCodeEditor(Strings, Modified); }))
    Modified();
}

void TKVQueryEditor::ShowCodeEditor(rtl::TStrings* Strings, bool Modified) {
  OpenStringsModule(GetDesigner(), Component(), "SQL", Strings, Modified);
}

// ---------------------------------------------------------------------------- TKVStoredProcEditor

void TKVStoredProcEditor::ExecuteVerb(int Index) {
  auto* storedProc = rtl::As<korv::TKVStoredProc>(Component());
  const int own = Index - TKVDataSetEditor::GetVerbCount();
  if (own < 0) {
    TKVDataSetEditor::ExecuteVerb(Index);
  } else if (own == vParams) {
    if (EditStoredProcParams(GetDesigner(), storedProc)) Modified();
  }
}

String TKVStoredProcEditor::GetVerb(int Index) {
  const int own = Index - TKVDataSetEditor::GetVerbCount();
  if (own < 0) return TKVDataSetEditor::GetVerb(Index);
  if (own == vParams) return korv::SBindVerb;
  return {};
}

int TKVStoredProcEditor::GetVerbCount() { return TKVDataSetEditor::GetVerbCount() + VerbCount; }

// ---------------------------------------------------------------------------- TKVMacroQueryEditor

void TKVMacroQueryEditor::ExecuteVerb(int Index) {
  // The macros verb comes right after the query verbs the count shows, so with the SQL editor
  // switch off it takes the SQL dialog's index before the query editor could.
  if (Index - TKVQueryEditor::GetVerbCount() == vMacros) {
    auto* macroQuery = rtl::As<korv::TKVMacroQuery>(Component());
    if (EditQueryMacros(GetDesigner(), macroQuery)) Modified();
  } else {
    TKVQueryEditor::ExecuteVerb(Index);
  }
}

String TKVMacroQueryEditor::GetVerb(int Index) {
  if (Index - TKVQueryEditor::GetVerbCount() == vMacros) return korv::SBindMacrosVerb;
  return TKVQueryEditor::GetVerb(Index);
}

int TKVMacroQueryEditor::GetVerbCount() { return TKVQueryEditor::GetVerbCount() + VerbCount; }

}  // namespace dclkorv

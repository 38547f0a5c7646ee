// What each korv command does once its command line is read.
#pragma once

#include "rtl/FormFile.h"

#include <optional>
#include <string>
#include <vector>

namespace designer {

using rtl::String;

struct TKorvOptions {
  String PackageFile;  // the package to load
};

// korv run SCRIPT [ARG...]: 0 when every line succeeded; else "SCRIPT:LINE: message" on
// standard error and 1.
int RunScript(const TKorvOptions& Options, const String& Script, const std::vector<String>& Args);

// korv design [FILE]: the prompt. 0 unless the module could not be opened or the input ended
// inside a dialog.
int RunDesign(const TKorvOptions& Options, const std::optional<String>& File);

enum class TReport { rTree, rPalette, rPackages };
int RunReport(const TKorvOptions& Options, TReport Report, const String& File, bool Json);

struct TUpdateSQLOptions {
  String File;
  String UpdateObject;
  std::optional<String> Table;
  bool TableFields = false;
  bool PrimaryKeys = false;
  std::optional<String> Keys;    // "A,B"
  std::optional<String> Fields;  // "X,Y"
  bool Quote = false;
  bool DryRun = false;
  bool Json = false;
  bool Check = false;  // prepare the statements on the database instead of saving
  bool Try = false;    // with Check: run the modify for the first row, rolled back
};
int RunUpdateSQL(const TKorvOptions& Options, const TUpdateSQLOptions& U);

// korv data FILE COMPONENT [--limit N] [--json].
int RunData(const TKorvOptions& Options, const String& File, const String& Component, int Limit, bool Json);
// korv gui ARGS: replaces this process with the korv-gui program beside korv (which links Qt,
// so korv itself does not), giving it the package and ARGS. Returns only on failure (1).
int RunGui(const TKorvOptions& Options, const std::vector<String>& Args);

// korv convert IN OUT [--binary|--text] [--force]: the form file IN written to OUT in the
// format given, else in the other one. An existing OUT is replaced only with Force.
int RunConvert(const String& In, const String& Out, std::optional<rtl::TDfmFormat> Format, bool Force);

// korv config root-dir DIR [--create]: a folder that does not exist is made only with Create.
int RunConfigRootDir(const String& Folder, bool Create);
// korv config show: the registry file, RootDir, and the settings file in use with its sections.
int RunConfigShow();

}  // namespace designer

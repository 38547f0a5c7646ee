// korv: the Korvane designer at a terminal, in a script or in one command. It loads the
// runtime library (linked) and the design-time package DclKorv200 (through the package
// loader), then does what a developer does in the form designer.
#include "Runners.h"

#include "designer/PackageLoader.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <iostream>

using namespace designer;

int main(int argc, char** argv) {
  CLI::App app{
      "korv: the Korvane designer. Opens data modules (text or binary form files) with the\n"
      "design-time package DclKorv200 loaded, and edits them as the form designer does."};
  app.name("korv");
  app.set_version_flag("--version", "korv " KORV_VERSION);
  app.require_subcommand(1);
  app.fallthrough();

  TKorvOptions options;
  app.add_option("--package", options.PackageFile,
                 "The design-time package to load (default: KORV_PACKAGE, else ../lib/libDclKorv200.so "
                 "beside the korv program)");

  String script;
  std::vector<String> scriptArgs;
  auto* run = app.add_subcommand("run", "Run a designer script; $1... are its arguments");
  run->add_option("script", script, "The script")->required();
  run->add_option("args", scriptArgs, "Its arguments");

  std::optional<String> designFile;
  auto* design = app.add_subcommand("design", "Type designer commands at a prompt (help lists them)");
  design->add_option("file", designFile, "A data module to open");

  String treeFile;
  bool json = false;
  auto* tree = app.add_subcommand("tree", "Print a module's object tree");
  tree->add_option("file", treeFile, "The data module")->required();
  tree->add_flag("--json", json, "As JSON");

  auto* palette = app.add_subcommand("palette", "List the component palette");
  palette->add_flag("--json", json, "As JSON");

  auto* packages = app.add_subcommand("packages", "List the loaded packages");
  packages->add_flag("--json", json, "As JSON");

  TUpdateSQLOptions u;
  auto* updatesql = app.add_subcommand(
      "updatesql", "Generate an update object's statements in the UpdateSQL editor, and save the module");
  updatesql->add_option("file", u.File, "The data module")->required();
  updatesql->add_option("updateobject", u.UpdateObject, "The update object (a TKVUpdateSQL)")->required();
  updatesql->add_option("--table", u.Table, "Type this table name");
  updatesql->add_flag("--table-fields", u.TableFields, "Get Table Fields (the table's columns)");
  updatesql->add_flag("--primary-keys", u.PrimaryKeys, "Select Primary Keys");
  updatesql->add_option("--keys", u.Keys, "Pick exactly these key fields (A,B)");
  updatesql->add_option("--fields", u.Fields, "Pick exactly these update fields (X,Y)");
  updatesql->add_flag("--quote", u.Quote, "Quote Field Names");
  updatesql->add_flag("--dry-run", u.DryRun, "Print the four statements instead of saving");
  updatesql->add_flag("--json", u.Json, "With --dry-run or --check: as JSON");
  updatesql->add_flag("--check", u.Check, "Prepare the statements on the database (without running them)");
  updatesql->add_flag("--try", u.Try, "With --check: run the modify for the first row, rolled back");

  String dataFile, dataComponent;
  int dataLimit = 20;
  auto* data = app.add_subcommand("data", "Print a data set's fields and first rows");
  data->add_option("file", dataFile, "The data module")->required();
  data->add_option("component", dataComponent, "The data set")->required();
  data->add_option("--limit", dataLimit, "Rows to print (20)")->check(CLI::NonNegativeNumber);
  data->add_flag("--json", json, "As JSON");

  String convertIn, convertOut;
  bool toBinary = false, toText = false, force = false;
  auto* convert = app.add_subcommand("convert", "Write a form file in the other format (text or binary)");
  convert->add_option("in", convertIn, "The form file to read")->required();
  convert->add_option("out", convertOut, "The form file to write")->required();
  auto* binaryFlag = convert->add_flag("--binary", toBinary, "Write the binary format");
  convert->add_flag("--text", toText, "Write the text format")->excludes(binaryFlag);
  convert->add_flag("--force", force, "Replace OUT when it exists");

  String rootDir;
  auto* config = app.add_subcommand("config", "Change the designer's settings");
  config->require_subcommand(1);
  bool createRootDir = false;
  auto* rootDirCmd = config->add_subcommand("root-dir", "Set the folder of the design settings (korv.ini)");
  rootDirCmd->add_option("dir", rootDir, "The folder")->required();
  rootDirCmd->add_flag("--create", createRootDir, "Make the folder when it does not exist");
  auto* showCmd = config->add_subcommand("show", "Print the settings in use: RootDir and the settings file");

  // Under a file size limit a write then fails with "File too large", which names the file
  // and leaves the old one, instead of the signal ending korv halfway through a save.
  std::signal(SIGXFSZ, SIG_IGN);
  auto* gui =
      app.add_subcommand("gui", "The graphical designer (korv gui [FILE] [--screenshot OUT.png [--dialog NAME]])");
  // Everything after "gui" goes to the korv-gui program as it stands.
  gui->prefix_command();
  gui->allow_extras();
  gui->fallthrough(false);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }

  try {
    if (options.PackageFile.empty()) options.PackageFile = DefaultPackageFileName();
    if (*gui) return RunGui(options, gui->remaining());
    if (*run) return RunScript(options, script, scriptArgs);
    if (*design) return RunDesign(options, designFile);
    if (*tree) return RunReport(options, TReport::rTree, treeFile, json);
    if (*palette) return RunReport(options, TReport::rPalette, {}, json);
    if (*packages) return RunReport(options, TReport::rPackages, {}, json);
    if (*updatesql) {
      if (u.Json && !u.DryRun && !u.Check) {
        std::cerr << "korv: --json goes with --dry-run or --check\n";
        return 2;
      }
      if (u.Try && !u.Check) {
        std::cerr << "korv: --try goes with --check\n";
        return 2;
      }
      // The editor starts with every field a key and every field updated: saving that unchosen
      // would write statements nobody asked for.
      if (!u.TableFields && !u.PrimaryKeys && !u.Keys && !u.Fields && !u.DryRun && !u.Check) {
        std::cerr << "korv: updatesql saves only fields chosen: give --table-fields, --primary-keys, --keys or "
                     "--fields (--dry-run prints the editor's defaults)\n";
        return 2;
      }
      return RunUpdateSQL(options, u);
    }
    if (*data) return RunData(options, dataFile, dataComponent, dataLimit, json);
    if (*convert) {
      std::optional<rtl::TDfmFormat> format;
      if (toBinary) format = rtl::TDfmFormat::dfBinary;
      if (toText) format = rtl::TDfmFormat::dfText;
      return RunConvert(convertIn, convertOut, format, force);
    }
    if (*rootDirCmd) return RunConfigRootDir(rootDir, createRootDir);
    if (*showCmd) return RunConfigShow();
  } catch (const std::exception& e) {
    std::cerr << "korv: " << e.what() << '\n';
    return 1;
  } catch (...) {
    std::cerr << "korv: an unknown error ended the program\n";
    return 1;
  }
  return 0;
}

// Unit KVReg: the package's one global DesignSettings, its unit initialization and
// finalization, Register, and the routines shared between the package's editors.
//
// Register makes its registrations in one fixed order: the palette, the property editors of
// values, the component editors, the property editors that open dialogs, the three property
// categories, and the object-tree nodes. Each table is one function below, defined in its own
// file; an editor or node class joins the package by adding its row at its place there.
#pragma once

#include "KVDesignSettings.h"

#include <memory>

namespace dclkorv {

// The design settings: created by the unit initialization, saved and freed by the
// finalization; nil before the package is loaded and after it is unloaded.
extern std::unique_ptr<TDesignSettings> DesignSettings;

// Creates DesignSettings and makes its saved default server type the library's. An exception
// fails the load and leaves DesignSettings nil.
void KVRegInitialization();
// Saves the settings once, frees them and leaves DesignSettings nil. Does nothing when they
// do not exist.
void KVRegFinalization();

// Announces the package's classes to the designer's registries.
void Register();

// The registration tables, in the order Register runs them.
// The editors of names, switches, the parameters file and parameter collections.
void RegisterPropertyEditors();   // KVRegPropertyEditors.cpp
void RegisterComponentEditors();  // KVRegComponentEditors.cpp
// The editors that open a dialog on a property: connection parameters, SQL, master fields.
void RegisterDialogPropertyEditors();  // KVRegPropertyEditors.cpp
void RegisterSprigs();                 // KVRegSprigs.cpp

// Whether the SQL editor dialog is offered for queries: DesignSettings exists and its switch
// is on.
bool SQLEditorEnabled();

// The product name and version from the package file's version resource, as "Korvane 2.0.0";
// the about verb's caption.
String GetProductCaption();
// The same from the version resource of FileName: "Korvane " followed by nothing when the file
// has none.
String ProductCaptionOf(const String& FileName);

}  // namespace dclkorv

// Form file to components: builds a module (its root and every component in it) from a text
// form file or a binary one (FormBinary.h), whichever the bytes are.
//
// Components are made through the class registry and their properties set through RTTI, in
// file order. The root is owned by the caller; every other component is owned by the root and
// told the object it is nested in (SetParentComponent). `X.Strings = (...)` fills a TStrings
// property, `<item ... end>` a TCollection, dotted names reach owned sub-objects (Font.Name).
// Component references are resolved once the whole module is read ("Owner" is the root).
// While reading, components carry csLoading and csReading; Loaded runs on each afterwards, the
// root last.
//
// Nothing is lost: a property no class knows, a reference to another module (Form2.Query1) or
// to a name not in the module, and a component of an unregistered class (a TUnknownComponent)
// are kept and written back unchanged by FormWriter.h. A value a property cannot take, a
// duplicate name or an unknown event handler is an EParserError naming file, line and column;
// then nothing that was created survives.
#pragma once

#include "rtl/Component.h"

#include <functional>
#include <memory>
#include <string_view>

namespace rtl {

struct TFormReadOptions {
  // Bind each event to the root's published method of the name the file gives (an unknown
  // name is an error); otherwise the names are only stored on the event properties.
  bool BindEvents = false;
  // Mark the root (and so every component it comes to own) as designing before reading.
  bool Designing = false;
  // Makes the root for the file's class name; nullptr (or no callback) falls back to the
  // registered class of that name, then to a TDataModule that answers with that class name.
  std::function<std::unique_ptr<TComponent>(const String& ClassName)> CreateRoot;
  // Told, once the whole module is read, of what was kept without being understood: each class
  // no package registers, once, at its first line ("Shop.dfm:12: class TKVQery is not
  // registered; the component is kept as written").
  std::function<void(const String& Note)> OnNote;
};

std::unique_ptr<TComponent> ReadModule(std::string_view Text, const String& FileName,
                                       const TFormReadOptions& Options = {});

// Reads the file; an unreadable file is an EFOpenError naming it.
std::unique_ptr<TComponent> ReadModuleFromFile(const String& FileName, const TFormReadOptions& Options = {});

// Reads a description into an existing root (a form building itself): its name (made unique
// among its owner's components when taken), properties and nested components, events bound to
// the root's methods when BindEvents. On an error the components this call created are
// destroyed again.
void ReadRootComponent(TComponent* Root, std::string_view Text, const String& FileName, bool BindEvents);

}  // namespace rtl

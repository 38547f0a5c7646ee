// Registration of a package's classes with the designer, and the lookups the designer makes.
//
// Every registration remembers the package that made it (the current package, which the package
// loader sets around a package's Register), so unloading a package takes its registrations away.
// A recorder, when installed, sees every registration call in order, as made.
#pragma once

#include "designintf/DesignTypes.h"

#include <vector>

namespace designintf {

RTL_DECLARE_EXCEPTION(ERegistrationError, rtl::Exception)

// The property category of data-access properties.
inline constexpr const char* sDatabaseCategoryName = "Database";
// The category of a property no registration puts anywhere.
inline constexpr const char* sMiscellaneousCategoryName = "Miscellaneous";

// -------------------------------------------------------------------- registration calls
// A nil editor class, property type or (where one is required) component class raises
// ERegistrationError.

// Puts the classes on a palette page and makes them known by name (rtl::RegisterClass).
void RegisterComponents(const String& Page, const std::vector<rtl::TClass>& ComponentClasses);

// Binds an editor to properties of type PropertyType (a class type also covers its descendants)
// of ComponentClass and its descendants (nil: of every class) named PropertyName ("" or a nil
// ComponentClass: of any name).
void RegisterPropertyEditor(const rtl::TTypeInfo* PropertyType, rtl::TClass ComponentClass, const String& PropertyName,
                            TPropertyEditorClass EditorClass);

void RegisterComponentEditor(rtl::TClass ComponentClass, TComponentEditorClass EditorClass);

// Files the properties of ComponentClass (nil: of every class) whose names match one of Filters
// into Category. A filter may use "*" and "?" wildcards; letter case is ignored.
void RegisterPropertiesInCategory(const String& Category, rtl::TClass ComponentClass,
                                  const std::vector<String>& Filters);

void RegisterSprigType(rtl::TClass ComponentClass, TSprigClass SprigClass);

// -------------------------------------------------------------------- packages and recording

// The package registrations are made for ("" for the host's own). Restores the previous one.
class TPackageRegistrationScope {
public:
  explicit TPackageRegistrationScope(const String& PackageName);
  ~TPackageRegistrationScope();
  TPackageRegistrationScope(const TPackageRegistrationScope&) = delete;
  TPackageRegistrationScope& operator=(const TPackageRegistrationScope&) = delete;

private:
  String FPrevious;
};
String CurrentRegistrationPackage();

// Removes every registration PackageName made (and unregisters its palette classes by name).
void UnregisterPackage(const String& PackageName);
// Removes every registration (the designer's shutdown and tests).
void ClearRegistrations();

enum class TRegistrationKind { rkComponents, rkPropertyEditor, rkComponentEditor, rkPropertiesInCategory, rkSprigType };

// One registration call as it was made.
struct TRegistration {
  TRegistrationKind Kind = TRegistrationKind::rkComponents;
  String Package;
  String Page;                                      // rkComponents
  std::vector<rtl::TClass> ComponentClasses;        // rkComponents
  const rtl::TTypeInfo* PropertyType = nullptr;     // rkPropertyEditor
  rtl::TClass ComponentClass = nullptr;             // all but rkComponents
  String PropertyName;                              // rkPropertyEditor, as given
  TPropertyEditorClass PropertyEditor = nullptr;    // rkPropertyEditor
  TComponentEditorClass ComponentEditor = nullptr;  // rkComponentEditor
  String Category;                                  // rkPropertiesInCategory
  std::vector<String> Filters;                      // rkPropertiesInCategory
  TSprigClass Sprig = nullptr;                      // rkSprigType

  // One line naming the call and its arguments, e.g.
  // RegisterPropertyEditor(string, TKVDatabase, "RemoteDatabase", TKVDatabaseProperty)
  // RegisterComponents("Korvane", [TKVSession, TKVDatabase])
  // RegisterPropertiesInCategory("Database", TKVDataSet, ["DatabaseName"])
  String ToString() const;
};

using TRegistrationRecorder = std::function<void(const TRegistration& Registration)>;
// Installs a recorder (nullptr: none); returns the previous one.
TRegistrationRecorder SetRegistrationRecorder(TRegistrationRecorder Recorder);

// -------------------------------------------------------------------- lookups

struct TPaletteEntry {
  String Page;
  rtl::TClass ComponentClass = nullptr;
  String Package;
  bool RegisteredClass = false;  // the palette made the class known by name (and unmakes it)
};
// The packages' entries in registration order, then the host's own (Package "") in theirs.
std::vector<TPaletteEntry> GetPaletteEntries();
rtl::TClass FindPaletteClass(const String& ClassName);  // letter case ignored; nil when absent

// The editor class for property Prop of an object of class ComponentClass: the best
// registration, else the default editor for the property's kind. Never nil for a known kind.
TPropertyEditorClass GetEditorClass(const rtl::TPropInfo* Prop, rtl::TClass ComponentClass);
// Only the registered editor (nil when no registration matches).
TPropertyEditorClass FindRegisteredEditorClass(const rtl::TPropInfo* Prop, rtl::TClass ComponentClass);
// The editor the host uses for a property no registration covers.
TPropertyEditorClass DefaultEditorClass(const rtl::TPropInfo* Prop);

// The most derived registered component editor class for ComponentClass (TDefaultEditor when
// none), and a new editor of it for Component.
TComponentEditorClass GetComponentEditorClass(rtl::TClass ComponentClass);
std::unique_ptr<TComponentEditor> GetComponentEditor(rtl::TComponent* Component, IDesigner* Designer);

// The sprig class registered for the nearest ancestor of ComponentClass (the newest on a tie);
// nil when none. (The tree makes no node for a component whose winner is not a component
// sprig, and a TComponentSprig for one without any.)
TSprigClass FindSprigClass(rtl::TClass ComponentClass);

// The categories property PropName of ComponentClass is filed in, in registration order
// (Miscellaneous when none).
std::vector<String> GetPropertyCategories(rtl::TClass ComponentClass, const String& PropName);
bool IsPropertyInCategory(const String& Category, rtl::TClass ComponentClass, const String& PropName);

// "*" and "?" wildcards, letter case ignored.
bool MatchesMask(const String& Name, const String& Mask);

}  // namespace designintf

#include "ScopedEnv.h"
#include "TempFolder.h"

#include "designer/PackageLoader.h"
#include "designintf/Registry.h"
#include "rtl/SysUtils.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <fstream>

using designer::EPackageError;
using designer::TLoadedPackage;
using designer::TPackageLoader;
using rtl::String;

namespace {

// Each test logs the test package's entry points to a file of its own.
class PackageLoaderTest : public ::testing::Test {
protected:
  PackageLoaderTest() : LogEnv("KORV_TEST_PACKAGE_LOG", Temp.File("calls.log")) {}

  String Calls() const {
    return rtl::FileExists(Temp.File("calls.log")) ? rtl::ReadFileToString(Temp.File("calls.log")) : String();
  }
  static bool HasTestPackageRegistrations() {
    for (const auto& e : designintf::GetPaletteEntries())
      if (e.Package == "TestPackage") return true;
    return designintf::IsPropertyInCategory("Testing", rtl::TComponent::StaticClass(), "TestValue");
  }
  // The message of the EPackageError a load raises.
  String LoadError(TPackageLoader& Loader, const String& File) {
    try {
      Loader.LoadPackage(File);
    } catch (const EPackageError& e) {
      return e.what();
    }
    ADD_FAILURE() << "loading " << File << " succeeded";
    return {};
  }

  TTempFolder Temp;
  TScopedEnv LogEnv;
};

}  // namespace

TEST_F(PackageLoaderTest, LoadsInitializesRegistersAndUnloads) {
  TPackageLoader loader;
  designer::TLoadedPackage& package = loader.LoadPackage(KORV_TEST_PACKAGE);
  EXPECT_EQ(Calls(), "initialize\nregister\n");
  const designer::TPackageInfo& info = package.Info();
  EXPECT_EQ(info.Name, "TestPackage");
  EXPECT_EQ(info.Description, "Package loader test package");
  EXPECT_EQ(info.Requires, std::vector<String>{"rtl200"});
  EXPECT_EQ(info.Contains, std::vector<String>{"TestUnit"});
  EXPECT_TRUE(info.DesignOnly);
  EXPECT_EQ(info.Version, "");  // the test package carries no version resource
  EXPECT_TRUE(rtl::SameText(rtl::ExtractFileName(info.FileName), "libKorvTestPackage.so"));

  // Registrations are recorded as the package's.
  bool onPalette = false;
  for (const auto& e : designintf::GetPaletteEntries())
    onPalette |= e.Page == "Test Page" && e.Package == "TestPackage";
  EXPECT_TRUE(onPalette);
  EXPECT_TRUE(designintf::IsPropertyInCategory("Testing", rtl::TComponent::StaticClass(), "TestValue"));

  auto bitmap = loader.FindResource("TTESTTHING");
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->Type, "BITMAP");
  EXPECT_EQ(bitmap->Data.size(), 4u);
  EXPECT_FALSE(loader.FindResource("TNOTHING"));
  EXPECT_EQ(loader.FindPackage("testpackage"), &package);

  loader.UnloadPackage(package);
  EXPECT_EQ(Calls(), "initialize\nregister\nfinalize\n");
  EXPECT_FALSE(HasTestPackageRegistrations());
  EXPECT_TRUE(loader.Packages().empty());

  // It loads again after an unload, and the loader's end unloads what is still loaded.
  {
    TPackageLoader again;
    again.LoadPackage(KORV_TEST_PACKAGE);
    EXPECT_TRUE(HasTestPackageRegistrations());
  }
  EXPECT_FALSE(HasTestPackageRegistrations());
  EXPECT_EQ(Calls(), "initialize\nregister\nfinalize\ninitialize\nregister\nfinalize\n");
}

TEST_F(PackageLoaderTest, AFailingInitializationNamesTheFileAndRegistersNothing) {
  TScopedEnv fail("KORV_TEST_PACKAGE_FAIL", "initialize");
  TPackageLoader loader;
  String error = LoadError(loader, KORV_TEST_PACKAGE);
  EXPECT_NE(error.find(KORV_TEST_PACKAGE), String::npos) << error;
  EXPECT_NE(error.find("the settings folder is unreadable"), String::npos) << error;
  EXPECT_EQ(Calls(), "");  // neither Register nor a finalization of units never initialized
  EXPECT_TRUE(loader.Packages().empty());
  EXPECT_FALSE(HasTestPackageRegistrations());
}

TEST_F(PackageLoaderTest, AFailingRegistrationTakesBackWhatWasRegisteredAndFinalizes) {
  TScopedEnv fail("KORV_TEST_PACKAGE_FAIL", "register");
  TPackageLoader loader;
  String error = LoadError(loader, KORV_TEST_PACKAGE);
  EXPECT_NE(error.find("a registration went wrong"), String::npos) << error;
  EXPECT_EQ(Calls(), "initialize\nregister\nfinalize\n");
  EXPECT_TRUE(loader.Packages().empty());
  EXPECT_FALSE(HasTestPackageRegistrations());
}

TEST_F(PackageLoaderTest, FilesThatAreNoPackagesAreReportedWithTheReason) {
  TPackageLoader loader;
  String missing = Temp.File("libNothing.so");
  String error = LoadError(loader, missing);
  EXPECT_NE(error.find(missing), String::npos) << error;
  EXPECT_NE(error.find("no such file"), String::npos) << error;

  String text = Temp.File("libText.so");
  std::ofstream(text) << "not a shared library\n";
  error = LoadError(loader, text);
  EXPECT_NE(error.find(text), String::npos) << error;
  EXPECT_NE(error.find("Cannot load package"), String::npos) << error;

  // A real shared library without the entry points.
  String rtlLibrary = String(KORV_BINARY_DIR) + "/lib/librtl.so";
  error = LoadError(loader, rtlLibrary);
  EXPECT_NE(error.find("exports no KorvPackageGetInfo"), String::npos) << error;
  EXPECT_TRUE(loader.Packages().empty());
}

TEST_F(PackageLoaderTest, APackageOfAnotherInterfaceVersionIsRefusedBeforeItRuns) {
  TScopedEnv abi("KORV_TEST_PACKAGE_ABI", std::to_string(KORV_PACKAGE_ABI_VERSION + 1));
  TPackageLoader loader;
  String error = LoadError(loader, KORV_TEST_PACKAGE);
  EXPECT_NE(error.find(KORV_TEST_PACKAGE), String::npos) << error;
  EXPECT_NE(error.find(fmt::format("built for package interface version {}; this designer has version {}",
                                   KORV_PACKAGE_ABI_VERSION + 1, KORV_PACKAGE_ABI_VERSION)),
            String::npos)
      << error;
  EXPECT_EQ(Calls(), "");
  EXPECT_TRUE(loader.Packages().empty());
}

TEST_F(PackageLoaderTest, RequiredPackagesMustBeTheHostsOrLoadedBefore) {
  TPackageLoader loader;
  {
    TScopedEnv needs("KORV_TEST_PACKAGE_NEEDS", "dclMissing200");
    String error = LoadError(loader, KORV_TEST_PACKAGE);
    EXPECT_NE(error.find("it requires the package dclMissing200, which is not loaded"), String::npos) << error;
    EXPECT_EQ(Calls(), "");
    EXPECT_FALSE(HasTestPackageRegistrations());
  }
  {
    TScopedEnv needs("KORV_TEST_PACKAGE_NEEDS", "KORV200");  // the host's own, letter case ignored
    TLoadedPackage& package = loader.LoadPackage(KORV_TEST_PACKAGE);
    EXPECT_EQ(package.Info().Requires, (std::vector<String>{"rtl200", "KORV200"}));
  }
}

TEST_F(PackageLoaderTest, APackageLoadsOnce) {
  TPackageLoader loader;
  loader.LoadPackage(KORV_TEST_PACKAGE);
  String error = LoadError(loader, KORV_TEST_PACKAGE);
  EXPECT_NE(error.find("already loaded"), String::npos) << error;
  EXPECT_EQ(loader.Packages().size(), 1u);
  EXPECT_TRUE(HasTestPackageRegistrations());
  EXPECT_EQ(Calls(), "initialize\nregister\n");
}

TEST(PackageLocation, TheEnvironmentNamesThePackageElseItLiesBesideTheProgram) {
  {
    TScopedEnv env("KORV_PACKAGE", "/opt/korv/libOther.so");
    EXPECT_EQ(designer::DefaultPackageFileName(), "/opt/korv/libOther.so");
  }
  TScopedEnv env("KORV_PACKAGE", "");
  String expected = rtl::ExtractFilePath(designer::ProgramFolder()) + "lib/libDclKorv200.so";
  EXPECT_EQ(designer::DefaultPackageFileName(), expected);
}

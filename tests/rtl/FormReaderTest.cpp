#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"

#include "FormTestClasses.h"
#include "rtl/FormBinary.h"
#include "rtl/FormParser.h"
#include "rtl/SysUtils.h"
#include "rtl/UnknownComponent.h"

#include <gtest/gtest.h>

using namespace rtl;
using namespace formtest;

namespace {

String Corpus(const String& name) { return ReadFileToString(KORV_SOURCE_DIR "/tests/data/" + name); }

class FormReader : public ::testing::Test {
protected:
  void SetUp() override { Register(); }
};

TEST_F(FormReader, BuildsTheModuleThroughRtti) {
  TFormReadOptions options;
  options.BindEvents = true;
  auto root = ReadModule(Corpus("good/widgets.dfm"), "widgets.dfm", options);
  auto* shop = As<TTestRoot>(root.get());
  EXPECT_EQ(shop->Name(), "Shop");
  EXPECT_EQ(shop->Owner(), nullptr);
  ASSERT_EQ(shop->ComponentCount(), 4);

  auto* title = As<TTestWidget>(shop->FindComponent("Title"));
  auto* second = As<TTestWidget>(shop->FindComponent("Second"));
  EXPECT_EQ(title->Owner(), shop);
  EXPECT_EQ(title->ParentSeen, shop);
  EXPECT_EQ(title->Caption(), "Grüße, it's a \u201Ctest\u201D \xF0\x9F\x98\x80");
  EXPECT_EQ(title->Count(), -42);
  EXPECT_TRUE(title->Active());
  EXPECT_EQ(title->Kind(), TTestKind::tkGamma);
  EXPECT_EQ(title->Options(), (TTestOptions{TTestOption::toBold, TTestOption::toUnderline}));
  EXPECT_DOUBLE_EQ(title->Ratio(), 2.5);
  EXPECT_EQ(title->Font()->Name(), "Courier New");
  EXPECT_EQ(title->Font()->Size(), 12);
  ASSERT_EQ(title->Lines()->Count(), 4);
  EXPECT_EQ(title->Lines()->Get(2), "where Name = 'x'");
  EXPECT_EQ(title->Lines()->Get(3), "\ttabbed\r\nand broken");
  ASSERT_EQ(title->Columns()->Count(), 2);
  EXPECT_EQ(As<TTestItem>(title->Columns()->Items(0))->Width(), 20);
  EXPECT_EQ(As<TTestItem>(title->Columns()->Items(1))->Caption(), "Name");
  EXPECT_EQ(As<TTestItem>(title->Columns()->Items(1))->Width(), 50);

  // References resolve after the whole module is read, "Owner" being the root; the others are
  // kept for writing and leave the property nil.
  EXPECT_EQ(title->Link(), second);
  EXPECT_EQ(second->Link(), shop);
  EXPECT_EQ(As<TTestWidget>(shop->FindComponent("Third"))->Link(), nullptr);
  EXPECT_EQ(As<TTestWidget>(shop->FindComponent("Fourth"))->Link(), nullptr);

  // Events carry the method name and call the root's method.
  EXPECT_EQ(title->OnChange.MethodName, "WidgetChange");
  ASSERT_TRUE(title->OnChange);
  title->OnChange(title);
  EXPECT_EQ(shop->LastSender, title);

  // Loaded ran once on every component while it was still loading, the root last.
  EXPECT_EQ(title->LoadedCalls, 1);
  EXPECT_TRUE(title->LoadingWhenLoaded);
  EXPECT_TRUE(shop->LoadedCalled);
  EXPECT_TRUE(shop->ChildrenLoadedFirst);
  EXPECT_FALSE(title->ComponentState().Contains(TComponentStateItem::csLoading));
  EXPECT_FALSE(title->ComponentState().Contains(TComponentStateItem::csReading));
}

TEST_F(FormReader, EventsOnlyNamedUnlessBindingIsAsked) {
  auto root = ReadModule(Corpus("good/widgets.dfm"), "widgets.dfm");
  auto* title = As<TTestWidget>(root->FindComponent("Title"));
  EXPECT_EQ(title->OnChange.MethodName, "WidgetChange");
  EXPECT_FALSE(title->OnChange);

  // A method of the wrong signature cannot be bound.
  TFormReadOptions options;
  options.BindEvents = true;
  try {
    ReadModule("object R: TTestRoot\n  object W: TTestWidget\n    OnChange = Other\n  end\nend\n", "sig.dfm", options);
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_EQ(String(e.what()).substr(0, 14), "sig.dfm:3:16: ") << e.what();
  }
}

TEST_F(FormReader, UnknownClassesAndPropertiesAreKeptAndCountAsComponents) {
  auto root = ReadModule(Corpus("good/unknown.dfm"), "unknown.dfm");
  EXPECT_TRUE(Is<TDataModule>(root.get()));
  EXPECT_EQ(root->ClassName(), "TDataModule1");
  auto* cds = As<TUnknownComponent>(root->FindComponent("ClientDataSet1"));
  EXPECT_EQ(cds->ClassName(), "TClientDataSet");
  EXPECT_EQ(cds->Streamed().Children.size(), 1u);
  auto* widget = As<TTestWidget>(root->FindComponent("Widget1"));
  EXPECT_EQ(widget->Caption(), "Known");
  EXPECT_EQ(widget->Count(), 5);
  EXPECT_EQ(widget->Font()->Size(), 9);
  EXPECT_EQ(widget->Link(), cds);  // a TComponent-typed reference may name an unknown component

  // The unknown component's name is taken.
  EXPECT_THROW(cds->SetName("Widget1"), EComponentError);
  try {
    ReadModule("object R: TTestRoot\n  object X: TMystery\n  end\n  object x: TTestWidget\n  end\nend\n", "dup.dfm");
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_EQ(String(e.what()), "dup.dfm:4:10: A component named x already exists");
  }
}

TEST_F(FormReader, EachUnregisteredClassIsNotedOnceAtItsFirstLineAfterASuccessfulRead) {
  std::vector<String> notes;
  TFormReadOptions options;
  options.OnNote = [&](const String& Note) { notes.push_back(Note); };
  const String text =
      "object R: TTestRoot\n"
      "  object A: TKVQery\n"
      "    object Inner: TNested\n"  // inside a kept component: part of it, not read
      "    end\n"
      "  end\n"
      "  object B: TTestWidget\n"
      "  end\n"
      "  object C: TKVQERY\n"  // the same class in other letter case
      "  end\n"
      "  object D: TOther\n"
      "  end\n"
      "end\n";
  auto root = ReadModule(text, "Shop.dfm", options);
  EXPECT_EQ(notes,
            (std::vector<String>{"Shop.dfm:2: class TKVQery is not registered; the component is kept as written",
                                 "Shop.dfm:10: class TOther is not registered; the component is kept as written"}));
  EXPECT_NE(root->FindComponent("C"), nullptr);

  // A module that fails to read tells nothing: there is nothing to have kept.
  notes.clear();
  EXPECT_THROW(ReadModule("object R: TTestRoot\n  object A: TKVQery\n  end\n  object a: TOther\n  end\nend\n",
                          "Bad.dfm", options),
               EParserError);
  EXPECT_TRUE(notes.empty());
}

TEST_F(FormReader, RootComesFromCallbackRegistryOrDataModule) {
  String text = "object Mod: TSomething\n  Tag = 4\nend\n";
  TFormReadOptions options;
  String asked;
  options.CreateRoot = [&](const String& cls) -> std::unique_ptr<TComponent> {
    asked = cls;
    return std::make_unique<TTestRoot>(nullptr);
  };
  auto root = ReadModule(text, "m.dfm", options);
  EXPECT_EQ(asked, "TSomething");
  EXPECT_TRUE(Is<TTestRoot>(root.get()));
  EXPECT_EQ(root->Tag(), 4);

  options.CreateRoot = [](const String&) { return std::unique_ptr<TComponent>(); };
  EXPECT_TRUE(Is<TTestRoot>(ReadModule("object M: TTestRoot\nend\n", "m.dfm", options).get()));
  auto dm = ReadModule(text, "m.dfm", options);
  EXPECT_EQ(dm->ClassName(), "TSomething");
  options.Designing = true;
  auto designed = ReadModule("object M: TTestRoot\n  object W: TTestWidget\n  end\nend\n", "m.dfm", options);
  EXPECT_TRUE(designed->Components(0)->Designing());
}

// Each bad file gives its own positioned error; nothing of the module survives it.
TEST_F(FormReader, BadCorpusGivesPositionedErrors) {
  const std::vector<std::pair<String, String>> cases = {
      {"empty.dfm", "empty.dfm:1:1: expected \"object\" but found end of file"},
      {"unterminated-string.dfm",
       "unterminated-string.dfm:3:15: unterminated string: expected \"'\" but found end of line"},
      {"missing-end.dfm", "missing-end.dfm:5:1: expected \"end\" but found end of file"},
      {"unknown-value.dfm", "unknown-value.dfm:3:15: expected a value but found \"@\""},
      {"wrong-kind.dfm",
       "wrong-kind.dfm:3:13: invalid value for property Count: expected an integer but found a string"},
      {"bad-enum.dfm", "bad-enum.dfm:3:12: invalid value \"tkDelta\" for property Kind: not a value of TTestKind"},
      {"duplicate-name.dfm", "duplicate-name.dfm:4:10: A component named w already exists"},
      {"binary-form.dfm", "binary-form.dfm: byte 17: expected 2 more bytes of component name but found end of file"},
      {"binary-garbage.dfm", "binary-garbage.dfm:2:9: unexpected NUL byte (binary data is not a text form file)"},
      {"invalid-char-code.dfm",
       "invalid-char-code.dfm:3:18: invalid character code #70000: expected a UTF-16 code from 0 to 65535"},
      {"lone-surrogate.dfm",
       "lone-surrogate.dfm:3:18: invalid character code #55357: a high surrogate without its low half"},
      {"unbalanced.dfm", "unbalanced.dfm:5:10: expected a value or \")\" but found \"]\""},
      {"unknown-event.dfm",
       "unknown-event.dfm:3:16: method NoSuchHandler of TTestRoot not found (named by event OnChange)"},
      {"invalid-utf8.dfm", "invalid-utf8.dfm:3:19: invalid UTF-8 byte 0xE9 in a string"},
  };
  TFormReadOptions options;
  options.BindEvents = true;
  for (const auto& [file, message] : cases) {
    try {
      ReadModule(Corpus("bad/" + file), file, options);
      ADD_FAILURE() << file << " read without error";
    } catch (const EParserError& e) {
      EXPECT_EQ(String(e.what()), message);
    }
  }
}

// References wait for the whole module; one to a component of the wrong class fails there, at
// its value's place in the file and under its name as written, in either format.
TEST_F(FormReader, AReferenceOfTheWrongClassFailsAtItsValue) {
  const String text =
      "object R: TTestRoot\n"
      "  object A: TTestWidget\n"
      "    Partner = R\n"
      "  end\n"
      "  object B: TTestWidget\n"
      "    partner = C\n"
      "  end\n"
      "  object C: TTestWidget\n"
      "  end\n"
      "end\n";
  auto message = [](const String& file) {
    try {
      ReadModule(file, "p.dfm");
    } catch (const EParserError& e) {
      return String(e.what());
    }
    return String("no error");
  };
  const String error = "cannot set partner to C: Invalid value for Partner: not a TTestRoot";
  EXPECT_EQ(message(text), "p.dfm:6:15: " + error);
  const String binary = PrintFormBinary(ParseFormText(text, "p.dfm"));
  const size_t at = binary.rfind("\x07partner") + 8;  // the value after the name
  EXPECT_EQ(message(binary), "p.dfm: byte " + std::to_string(at) + ": " + error);
  // One to a component read before fails alike, under the names as written.
  const String back =
      "object R: TTestRoot\n  object A: TTestWidget\n  end\n  object B: TTestWidget\n    PARTNER = a\n  end\nend\n";
  EXPECT_EQ(message(back), "p.dfm:5:15: cannot set PARTNER to a: Invalid value for Partner: not a TTestRoot");
  const String backBinary = PrintFormBinary(ParseFormText(back, "p.dfm"));
  EXPECT_EQ(message(backBinary), "p.dfm: byte " + std::to_string(backBinary.rfind("\x07PARTNER") + 8) +
                                     ": cannot set PARTNER to a: Invalid value for Partner: not a TTestRoot");
  // Read right, each partner is the root.
  String good = text;
  good.replace(good.find("partner = C"), 11, "partner = R");
  auto root = ReadModule(good, "p.dfm");
  EXPECT_EQ(dynamic_cast<TTestWidget*>(root->FindComponent("A"))->Partner(), root.get());
  EXPECT_EQ(dynamic_cast<TTestWidget*>(root->FindComponent("B"))->Partner(), root.get());
}

// A widget that tells when its reference is set: the names of both, and "early" while the
// module has not all its components yet.
std::vector<String> GSetLog;
class TOrderedWidget : public TTestWidget {
  RTL_CLASS(TOrderedWidget, TTestWidget)
  explicit TOrderedWidget(TComponent* AOwner) : TTestWidget(AOwner) {}
  TComponent* Next() const { return nullptr; }
  void SetNext(TComponent* v) {
    GSetLog.push_back(Name() + ">" + v->Name() + (Owner()->ComponentCount() == 4 ? "" : " early"));
  }
};
TClass TOrderedWidget::StaticClass() {
  static TClass info = ClassBuilder<TOrderedWidget>("TOrderedWidget")
                           .RefProp<TComponent>("Next", &TOrderedWidget::Next, &TOrderedWidget::SetNext)
                           .Build();
  return info;
}

// References are set once the module is read, in file order, whether they name a component
// read before them, one read after, or the root.
TEST_F(FormReader, ReferencesAreSetInFileOrderOnceAllIsRead) {
  RegisterClass(TOrderedWidget::StaticClass());
  const String text =
      "object R: TTestRoot\n"
      "  object A: TOrderedWidget\n    Next = C\n  end\n"
      "  object B: TOrderedWidget\n    Next = A\n  end\n"
      "  object C: TOrderedWidget\n    Next = b\n  end\n"
      "  object D: TOrderedWidget\n    Next = Owner\n  end\n"
      "end\n";
  for (const String& file : {text, PrintFormBinary(ParseFormText(text, "o.dfm"))}) {
    GSetLog.clear();
    ReadModule(file, "o.dfm");
    EXPECT_EQ(GSetLog, (std::vector<String>{"A>C", "B>A", "C>B", "D>R"}));
  }
  UnRegisterClass(TOrderedWidget::StaticClass());
}

// A module that fails late leaves no component alive.
TEST_F(FormReader, NothingHalfLoadedEscapes) {
  static int alive = 0;
  struct TCounted : TTestWidget {
    explicit TCounted(TComponent* o) : TTestWidget(o) { ++alive; }
    ~TCounted() override { --alive; }
  };
  TFormReadOptions options;
  options.CreateRoot = [](const String&) { return std::make_unique<TTestRoot>(nullptr); };
  auto text =
      "object R: TTestRoot\n  object A: TCountedWidget\n    Kind = tkBeta\n  end\n  object B: TCountedWidget\n    Kind "
      "= 3\n  end\nend\n";
  // The widgets the reader creates are counted through a class of the test's own.
  static TClass counted = ClassBuilder<TCounted, TTestWidget>("TCountedWidget").Build();
  RegisterClass(counted);
  try {
    ReadModule(text, "late.dfm", options);
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_EQ(String(e.what()),
              "late.dfm:6:12: invalid value for property Kind: expected an identifier but found an integer");
  }

  // Into an existing root: the components this read created go again, those before stay.
  TTestRoot form(nullptr);
  auto* keep = new TTestWidget(&form);
  keep->SetName("Keep");
  EXPECT_THROW(ReadRootComponent(&form, text, "late.dfm", false), EParserError);
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components(0), keep);
  EXPECT_FALSE(form.ComponentState().Contains(TComponentStateItem::csLoading));
  EXPECT_EQ(alive, 0);
  UnRegisterClass(counted);
}

// Thousands of components: names stay unique and findable through renames and removals.
TEST_F(FormReader, LargeModulesKeepNamesFindable) {
  String text = "object R: TTestRoot\n";
  for (int i = 0; i < 3000; ++i)
    text += "  object W" + std::to_string(i) + ": TTestWidget\n    Link = W" + std::to_string(2999 - i) + "\n  end\n";
  text += "end\n";
  auto root = ReadModule(text, "big.dfm");
  ASSERT_EQ(root->ComponentCount(), 3000);
  auto* w10 = As<TTestWidget>(root->FindComponent("w10"));
  EXPECT_EQ(w10->Link(), root->FindComponent("W2989"));
  w10->SetName("Renamed");
  EXPECT_EQ(root->FindComponent("W10"), nullptr);
  EXPECT_EQ(root->FindComponent("RENAMED"), w10);
  EXPECT_THROW(root->FindComponent("W11")->SetName("renamed"), EComponentError);
  delete root->FindComponent("W2989");
  EXPECT_EQ(root->FindComponent("W2989"), nullptr);
  EXPECT_EQ(w10->Link(), nullptr);
  auto* again = new TTestWidget(root.get());
  again->SetName("W2989");
  EXPECT_EQ(root->FindComponent("w2989"), again);
}

// A component with 100,000 properties no class knows, and one of an unknown class with as many:
// all kept and written back in their order.
TEST_F(FormReader, AHundredThousandPropertiesAreKept) {
  String props;
  for (int i = 0; i < 100000; ++i) props += "    P" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  const String text = "object R: TTestRoot\n  object W: TTestWidget\n" + props + "  end\n  object U: TNoSuchClass\n" +
                      props + "  end\nend\n";
  auto root = ReadModule(text, "many.dfm");
  EXPECT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(WriteModule(root.get()), text);
}

TEST_F(FormReader, ReadRootComponentBuildsAFormFromItsDescription) {
  TTestRoot owner(nullptr);
  auto* first = new TTestRoot(&owner);
  ReadRootComponent(
      first, "object Dialog: TTestRoot\n  Tag = 2\n  object Ok: TTestWidget\n    OnChange = WidgetChange\n  end\nend\n",
      "d.dfm", true);
  EXPECT_EQ(first->Name(), "Dialog");
  EXPECT_EQ(first->Tag(), 2);
  auto* ok = As<TTestWidget>(first->FindComponent("Ok"));
  ok->OnChange(ok);
  EXPECT_EQ(first->LastSender, ok);
  // A second instance beside the first takes a free name.
  auto* second = new TTestRoot(&owner);
  ReadRootComponent(second, "object Dialog: TTestRoot\nend\n", "d.dfm", true);
  EXPECT_EQ(second->Name(), "Dialog_1");
}

// A dialog that names its controls in its class record: the reader fills them before Loaded,
// and a description without one of them is refused, nothing of it kept.
class TFieldDialog : public TTestRoot {
  RTL_CLASS(TFieldDialog, TTestRoot)
  using TTestRoot::TTestRoot;
  TTestWidget* Ok = nullptr;
  TTestWidget* Cancel = nullptr;
  bool FieldsSetAtLoaded = false;
  void Loaded() override {
    FieldsSetAtLoaded = Ok && Cancel;
    TTestRoot::Loaded();
  }
};

TClass TFieldDialog::StaticClass() {
  static TClass info = ClassBuilder<TFieldDialog, TTestRoot>("TFieldDialog")
                           .Field("Ok", &TFieldDialog::Ok)
                           .Field("Cancel", &TFieldDialog::Cancel)
                           .Build();
  return info;
}

TEST_F(FormReader, PublishedFieldsAreFilledBeforeLoaded) {
  TFieldDialog dialog(nullptr);
  ReadRootComponent(
      &dialog, "object D: TFieldDialog\n  object Ok: TTestWidget\n  end\n  object Cancel: TTestWidget\n  end\nend\n",
      "d.dfm", false);
  EXPECT_EQ(dialog.Ok, dialog.FindComponent("Ok"));
  EXPECT_EQ(dialog.Cancel, dialog.FindComponent("Cancel"));
  EXPECT_TRUE(dialog.FieldsSetAtLoaded);

  TFieldDialog missing(nullptr);
  try {
    ReadRootComponent(&missing, "object D: TFieldDialog\n  object Ok: TTestWidget\n  end\nend\n", "d.dfm", false);
    ADD_FAILURE() << "a description without Cancel was taken";
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "The description of TFieldDialog has no TTestWidget named Cancel");
  }
  EXPECT_EQ(missing.ComponentCount(), 0);
}

}  // namespace

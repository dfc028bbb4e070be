#include "behaviour/primitive_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/behaviour/behaviour_test_util.h"

namespace scrivet {
namespace {

TEST(PrimitiveCatalogueTest, JoinsLinesDropsCommentsAndReadsEntries) {
  PrimitiveCatalogue catalogue;
  // Name and count on one line, the body over the next two; a comment in between; mixed breaks.
  ASSERT_TRUE(catalogue.Load("; a comment\r\nma\nin(9)\r\n= \"a\" &\n\r; dropped\n \"b\";  next(2)=%1;"));
  const ScriptSubroutine* main = catalogue.FindSubroutine("main");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->parameterCount, 9);
  EXPECT_EQ(main->body, "= \"a\" & \"b\";");
  EXPECT_NE(catalogue.FindSubroutine("next"), nullptr);
}

TEST(PrimitiveCatalogueTest, EntryRules) {
  struct Case {
    const char* text;
    bool loads;
    std::vector<std::string> names;
    const char* absent;  // a name the text holds that must not become an entry
  };
  const Case cases[] = {
      {"; only comments\n;more\n", true, {}, "more"},
      {"a(1)=1;trailing text without parenthesis", true, {"a"}, "trailing text without parenthesis"},
      {"a(1)=1;b(2)=2", true, {"a"}, "b"},        // unterminated last entry is dropped
      {"a(1)=1;b(2)", false, {}, "a"},             // a name and count with no body
      {"a(1)=1;b(2", false, {}, "a"},              // no ")" at all
      {"main (9)=1;", true, {"main "}, "main"},    // the blank belongs to the name
      {"a(1)=\"x\\;y\";", true, {"a"}, ""},       // escaped ";" stays in the body
      {"a(1)=1;\n ;b(1)=2;", true, {"a", ";b"}, "b"},  // a line starting with a blank is no comment
      {"a(0)=1\n ;b(0)=2;", true, {"a", "b"}, ""},        // a blank inside a line after ";" ends the body
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    PrimitiveCatalogue catalogue;
    ASSERT_TRUE(catalogue.Load("keep(0)=0;"));
    EXPECT_EQ(catalogue.Load(c.text), c.loads);
    // A failed load leaves the previous entries in place; a good one replaces them.
    EXPECT_EQ(catalogue.FindSubroutine("keep") != nullptr, !c.loads);
    for (const std::string& name : c.names) EXPECT_NE(catalogue.FindSubroutine(name), nullptr) << name;
    EXPECT_EQ(catalogue.FindSubroutine(c.absent), nullptr);
  }
}

TEST(PrimitiveCatalogueTest, CountsAndBackslashes) {
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("a(-3)=1;b()=2;c(4 junk)=3;d(99999999999)=\"\\\\\\;\";"));
  const std::pair<const char*, int> counts[] = {{"a", -3}, {"b", 0}, {"c", 4}, {"d", INT32_MAX}};
  for (auto [name, count] : counts) {
    ASSERT_NE(catalogue.FindSubroutine(name), nullptr) << name;
    EXPECT_EQ(catalogue.FindSubroutine(name)->parameterCount, count) << name;
  }
  EXPECT_EQ(catalogue.FindSubroutine("d")->body, "=\"\\\\\\;\";");
}

TEST(PrimitiveCatalogueTest, FindSubroutineIgnoresCaseAndTakesTheFirst) {
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("MAIN(9)=1;Main(9)=2;x(0)=3;Zoom(0)=4;"));
  ASSERT_NE(catalogue.FindSubroutine("zoom"), nullptr);  // every letter of the alphabet is lowered
  EXPECT_EQ(catalogue.FindSubroutine("main")->body, "=1;");
  EXPECT_EQ(catalogue.FindSubroutine("X")->body, "=3;");
  EXPECT_EQ(catalogue.FindSubroutine("ma"), nullptr);
  EXPECT_EQ(catalogue.FindSubroutine(""), nullptr);
}

TEST(PrimitiveCatalogueTest, CustomLoadKeepsThePreviousScriptOnFailure) {
  TempFolder folder;
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("main(9)=\"old\";"));
  catalogue.scriptReady = true;
  const std::pair<const char*, BehaviourError> failures[] = {
      {nullptr, BehaviourError::CantOpenScript}, {"x(1)", BehaviourError::ScriptParseError},
      {"other(9)=1;", BehaviourError::NoMain}};
  for (auto [text, error] : failures) {
    std::filesystem::remove(folder.path() / "s.txt");
    if (text) WriteTextFile(folder.path() / "s.txt", text);
    EXPECT_EQ(catalogue.LoadCustom(folder.path() / "s.txt"), error);
  }
  ASSERT_NE(catalogue.FindSubroutine("main"), nullptr);
  EXPECT_EQ(catalogue.FindSubroutine("main")->body, "=\"old\";");
  EXPECT_TRUE(catalogue.scriptReady);
  WriteTextFile(folder.path() / "good.txt", "main(9)=\"new\";");
  EXPECT_EQ(catalogue.LoadCustom(folder.path() / "good.txt"), BehaviourError::None);
  EXPECT_EQ(catalogue.FindSubroutine("main")->body, "=\"new\";");
}

}  // namespace
}  // namespace scrivet

#include "behaviour/primitive_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/stream.h"
#include "tests/behaviour/behaviour_test_util.h"

namespace scrivet {
namespace {

TEST(PrimitiveCatalogueTest, JoinsLinesDropsCommentsAndReadsEntries) {
  PrimitiveCatalogue catalogue;
  // Name and count on one line, the body over the next two; a comment in between; mixed breaks.
  ASSERT_TRUE(catalogue.Load("; a comment\r\nma\nin(9)\r\n= \"a\" &\n\r; dropped\n \"b\";  next(2)=%1;"));
  const ScriptSubroutine* main = catalogue.FindSubroutine("main");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->name, "main");
  EXPECT_EQ(main->parameterCount, 9);
  EXPECT_EQ(main->body, "= \"a\" & \"b\";");
  ASSERT_NE(catalogue.FindSubroutine("next"), nullptr);
  EXPECT_EQ(catalogue.FindSubroutine("next")->body, "=%1;");
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
      {"", true, {}, ""},
      {"a(1)=1;trailing text without parenthesis", true, {"a"}, "trailing text without parenthesis"},
      {"a(1)=1;b(2)=2", true, {"a"}, "b"},        // unterminated last entry is dropped
      {"a(1)=1;b(2)", false, {}, "a"},             // a name and count with no body
      {"a(1)=1;b(2)   ", false, {}, "a"},
      {"a(1)=1;b(2", false, {}, "a"},              // no ")" at all
      {"main (9)=1;", true, {"main "}, "main"},    // the blank belongs to the name
      {"a(1)=\"x\\;y\";", true, {"a"}, ""},       // escaped ";" stays in the body
      {"a(1)=1;\n ;b(1)=2;", true, {"a", ";b"}, "b"},  // a line starting with a blank is no comment
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

TEST(PrimitiveCatalogueTest, BlankInsideLineAfterSemicolonEndsBody) {
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("a(0)=1\n ;b(0)=2;"));
  ASSERT_NE(catalogue.FindSubroutine("a"), nullptr);
  EXPECT_EQ(catalogue.FindSubroutine("a")->body, "=1 ;");
  EXPECT_NE(catalogue.FindSubroutine("b"), nullptr);
}

TEST(PrimitiveCatalogueTest, CountsAndBackslashes) {
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("a(-3)=1;b()=2;c(4 junk)=3;d(99999999999)=\"\\\\\\;\";"));
  for (const char* name : {"a", "b", "c", "d"}) ASSERT_NE(catalogue.FindSubroutine(name), nullptr) << name;
  EXPECT_EQ(catalogue.FindSubroutine("a")->parameterCount, -3);
  EXPECT_EQ(catalogue.FindSubroutine("b")->parameterCount, 0);
  EXPECT_EQ(catalogue.FindSubroutine("c")->parameterCount, 4);
  EXPECT_EQ(catalogue.FindSubroutine("d")->parameterCount, INT32_MAX);
  EXPECT_EQ(catalogue.FindSubroutine("d")->body, "=\"\\\\\\;\";");
}

TEST(PrimitiveCatalogueTest, FindSubroutineIgnoresCaseAndTakesTheFirst) {
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("MAIN(9)=1;Main(9)=2;x(0)=3;Zoom(0)=4;"));
  ASSERT_NE(catalogue.FindSubroutine("zoom"), nullptr);  // every letter of the alphabet is lowered
  ASSERT_NE(catalogue.FindSubroutine("main"), nullptr);
  EXPECT_EQ(catalogue.FindSubroutine("main")->body, "=1;");
  EXPECT_EQ(catalogue.FindSubroutine("X")->body, "=3;");
  EXPECT_EQ(catalogue.FindSubroutine("ma"), nullptr);
  EXPECT_EQ(catalogue.FindSubroutine(""), nullptr);
}

TEST(PrimitiveCatalogueTest, ShortReadFailsTheLoad) {
  // A stream that claims more bytes than it delivers.
  class ShortStream : public Stream {
   public:
    explicit ShortStream(std::string text) : text_(std::move(text)) {}
    size_t Read(void* buffer, size_t n) override {
      size_t count = std::min(n, text_.size() - position_);
      std::memcpy(buffer, text_.data() + position_, count);
      position_ += count;
      return count;
    }
    bool Write(const void*, size_t) override { return false; }
    bool Seek(uint64_t position) override { return position <= text_.size() && (position_ = position, true); }
    uint64_t Position() const override { return position_; }
    uint64_t Length() const override { return text_.size() + 5; }
    bool Truncate(uint64_t) override { return false; }
    bool IsMemory() const override { return true; }
    std::unique_ptr<Stream> Duplicate() const override { return nullptr; }

   private:
    std::string text_;
    size_t position_ = 0;
  };
  const std::string text = "main(9)=1;";
  ShortStream stream(text);
  PrimitiveCatalogue catalogue;
  EXPECT_FALSE(catalogue.Load(stream));
  MemoryStream whole(text.data(), text.size());
  EXPECT_TRUE(catalogue.Load(whole));
}

TEST(PrimitiveCatalogueTest, StartupMessages) {
  TempFolder folder;
  struct Case {
    const char* content;  // null: no file
    BehaviourError error;
  };
  const Case cases[] = {
      {nullptr, BehaviourError::CantOpenScript},
      {"a(1)=1;b(2)", BehaviourError::ScriptParseError},
      {"; nothing but comments\n", BehaviourError::NoMain},
      {"Main(9)=1;", BehaviourError::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content ? c.content : "(missing)");
    std::filesystem::path path = folder.path() / "script.txt";
    std::filesystem::remove(path);
    if (c.content) WriteTextFile(path, c.content);
    PrimitiveCatalogue catalogue;
    EXPECT_EQ(catalogue.LoadAtStartup(path), c.error);
    EXPECT_EQ(catalogue.scriptReady, c.error == BehaviourError::None);
  }
}

TEST(PrimitiveCatalogueTest, CustomLoadKeepsThePreviousScriptOnFailure) {
  TempFolder folder;
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("main(9)=\"old\";"));
  catalogue.scriptReady = true;

  EXPECT_EQ(catalogue.LoadCustom(folder.path() / "missing.txt"), BehaviourError::CantOpenScript);
  WriteTextFile(folder.path() / "bad.txt", "x(1)");
  EXPECT_EQ(catalogue.LoadCustom(folder.path() / "bad.txt"), BehaviourError::ScriptParseError);
  WriteTextFile(folder.path() / "nomain.txt", "other(9)=1;");
  EXPECT_EQ(catalogue.LoadCustom(folder.path() / "nomain.txt"), BehaviourError::NoMain);
  ASSERT_NE(catalogue.FindSubroutine("main"), nullptr);
  EXPECT_EQ(catalogue.FindSubroutine("main")->body, "=\"old\";");
  EXPECT_EQ(catalogue.FindSubroutine("other"), nullptr);
  EXPECT_TRUE(catalogue.scriptReady);

  WriteTextFile(folder.path() / "good.txt", "main(9)=\"new\";");
  EXPECT_EQ(catalogue.LoadCustom(folder.path() / "good.txt"), BehaviourError::None);
  EXPECT_EQ(catalogue.FindSubroutine("main")->body, "=\"new\";");
}

}  // namespace
}  // namespace scrivet

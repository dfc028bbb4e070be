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
  ASSERT_EQ(catalogue.Subroutines().size(), 2u);
  const ScriptSubroutine& main = catalogue.Subroutines()[0];
  EXPECT_EQ(main.name, "main");
  EXPECT_EQ(main.parameterCount, 9);
  EXPECT_EQ(main.body, "= \"a\" & \"b\";");
  EXPECT_EQ(catalogue.Subroutines()[1].name, "next");
  EXPECT_EQ(catalogue.Subroutines()[1].body, "=%1;");
}

TEST(PrimitiveCatalogueTest, EntryRules) {
  struct Case {
    const char* text;
    bool loads;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"; only comments\n;more\n", true, {}},
      {"", true, {}},
      {"a(1)=1;trailing text without parenthesis", true, {"a"}},
      {"a(1)=1;b(2)=2", true, {"a"}},           // unterminated last entry is dropped
      {"a(1)=1;b(2)", false, {}},                // a name and count with no body
      {"a(1)=1;b(2)   ", false, {}},
      {"a(1)=1;b(2", false, {}},                 // no ")" at all
      {"main (9)=1;", true, {"main "}},          // the blank belongs to the name
      {"a(1)=\"x\\;y\";", true, {"a"}},          // escaped ";" stays in the body
      {"a(1)=1;\n ;b(1)=2;", true, {"a", ";b"}},  // a line starting with a blank is no comment
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    PrimitiveCatalogue catalogue;
    ASSERT_TRUE(catalogue.Load("keep(0)=0;"));
    EXPECT_EQ(catalogue.Load(c.text), c.loads);
    std::vector<std::string> names;
    for (const ScriptSubroutine& s : catalogue.Subroutines()) names.push_back(s.name);
    // A failed load leaves the previous list in place.
    EXPECT_EQ(names, c.loads ? c.names : std::vector<std::string>{"keep"});
  }
}

TEST(PrimitiveCatalogueTest, BlankInsideLineAfterSemicolonEndsBody) {
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("a(0)=1\n ;b(0)=2;"));
  ASSERT_EQ(catalogue.Subroutines().size(), 2u);
  EXPECT_EQ(catalogue.Subroutines()[0].body, "=1 ;");
  EXPECT_EQ(catalogue.Subroutines()[1].name, "b");
}

TEST(PrimitiveCatalogueTest, CountsAndBackslashes) {
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("a(-3)=1;b()=2;c(4 junk)=3;d(99999999999)=\"\\\\\\;\";"));
  const auto& s = catalogue.Subroutines();
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(s[0].parameterCount, -3);
  EXPECT_EQ(s[1].parameterCount, 0);
  EXPECT_EQ(s[2].parameterCount, 4);
  EXPECT_EQ(s[3].parameterCount, INT32_MAX);
  EXPECT_EQ(s[3].body, "=\"\\\\\\;\";");
}

TEST(PrimitiveCatalogueTest, FindSubroutineIgnoresCaseAndTakesTheFirst) {
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("MAIN(9)=1;Main(9)=2;x(0)=3;"));
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
    bool ready;
    const char* message;
  };
  const Case cases[] = {
      {nullptr, false, "Can't open script.txt!"},
      {"a(1)=1;b(2)", false, "Error while parsing script.txt!"},
      {"; nothing but comments\n", false, "Can't find the \"main\" subroutine!"},
      {"Main(9)=1;", true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content ? c.content : "(missing)");
    std::filesystem::path path = folder.path() / "script.txt";
    std::filesystem::remove(path);
    if (c.content) WriteTextFile(path, c.content);
    PrimitiveCatalogue catalogue;
    std::vector<std::string> messages;
    EXPECT_EQ(catalogue.LoadAtStartup(path, [&](const std::string& m) { messages.push_back(m); }), c.ready);
    EXPECT_EQ(catalogue.scriptReady, c.ready);
    EXPECT_EQ(messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  }
}

TEST(PrimitiveCatalogueTest, CustomLoadKeepsThePreviousScriptOnFailure) {
  TempFolder folder;
  PrimitiveCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load("main(9)=\"old\";"));
  catalogue.scriptReady = true;
  std::vector<std::string> messages;
  auto report = [&](const std::string& m) { messages.push_back(m); };

  EXPECT_FALSE(catalogue.LoadCustom(folder.path() / "missing.txt", report));
  WriteTextFile(folder.path() / "bad.txt", "x(1)");
  EXPECT_FALSE(catalogue.LoadCustom(folder.path() / "bad.txt", report));
  WriteTextFile(folder.path() / "nomain.txt", "other(9)=1;");
  EXPECT_FALSE(catalogue.LoadCustom(folder.path() / "nomain.txt", report));
  EXPECT_EQ(messages, (std::vector<std::string>{"Couldn't open file!", "Error while parsing script.txt!",
                                                "Can't find the \"main\" subroutine!"}));
  ASSERT_NE(catalogue.FindSubroutine("main"), nullptr);
  EXPECT_EQ(catalogue.FindSubroutine("main")->body, "=\"old\";");
  EXPECT_EQ(catalogue.FindSubroutine("other"), nullptr);
  EXPECT_TRUE(catalogue.scriptReady);

  WriteTextFile(folder.path() / "good.txt", "main(9)=\"new\";");
  EXPECT_TRUE(catalogue.LoadCustom(folder.path() / "good.txt", report));
  EXPECT_EQ(catalogue.FindSubroutine("main")->body, "=\"new\";");
  EXPECT_EQ(messages.size(), 3u);
}

}  // namespace
}  // namespace scrivet

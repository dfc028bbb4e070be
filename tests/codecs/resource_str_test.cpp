#include "codecs/resource_str.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "codec_test_util.h"

namespace scrivet {
namespace {

using namespace test;

// Two items in USEnglish and French, the French block listed first.
const Bytes kFormat3 = Cat({{0xFD, 0xFF, 0x04, 0x00},
                            {3}, Text("Bonjour"), Text("salut"),
                            {3}, Text("Non"), Text(""),
                            {1}, Text("Hello"), Text("greeting"),
                            {1}, Text("No"), Text("")});

// Every layout decodes, refuses every prefix and, when little-endian, is written back as read.
TEST(ResourceStr, LayoutsDecode) {
  struct Case {
    const char* name;
    Bytes bytes;
    uint16_t flags;
    bool basic, languages, descriptions;
    size_t items;
  };
  const Case cases[] = {
      {"empty basic", {0x00, 0x00}, kLE, true, false, false, 0},
      {"basic", Cat({{2, 0, 2}, Text("ab", false), {0}}), kLE, true, false, false, 2},
      {"basic, big-endian count", Cat({{0, 2, 2}, Text("ab", false), {0}}), kBE, true, false, false, 2},
      {"values", Cat({{0xFF, 0xFF, 2, 0}, Text("v"), Text("")}), kLE, false, false, false, 2},
      {"values keep every byte above zero", Cat({{0xFF, 0xFF, 1, 0}, {0x81, 0xE9, 0xFF, 0x00}}), kLE, false, false,
       false, 1},
      {"descriptions", Cat({{0xFE, 0xFF, 1, 0}, Text("v"), Text("d")}), kLE, false, false, true, 1},
      {"languages", Cat({{0xFD, 0xFF, 2, 0}, {1}, Text("a"), Text(""), {1}, Text("b"), Text("")}), kLE, false, true, true, 2},
      {"languages, big-endian header", Cat({{0xFF, 0xFD, 0, 2}, {1}, Text("a"), Text(""), {1}, Text("b"), Text("")}), kBE, false, true, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResourceStr str;
    ASSERT_TRUE(DecodeBytes(str, c.bytes, c.flags));
    EXPECT_EQ(std::tuple(str.basicMode, str.useLanguages, str.useDescriptions, str.items.size()),
              std::tuple(c.basic, c.languages, c.descriptions, c.items));
    FeedPrefixes<ResourceStr>(c.bytes, c.flags, true);
    if (c.flags == kLE) ExpectCanonical<ResourceStr>(c.bytes);
  }
  ResourceStr str;  // a basic text ends at a zero byte
  ASSERT_TRUE(DecodeBytes(str, {1, 0, 3, 'a', 0, 'b'}));
  EXPECT_EQ(str.items[0].slots[0].value, "a");
}

// Decoded texts view one copy of the table's bytes: whatever is copied or moved out of a table
// keeps its texts when the table is gone (AddressSanitizer reports any read of freed bytes).
TEST(ResourceStr, TextsTakenFromATableOutliveIt) {
  using Take = StringItem (*)(ResourceStr&);
  const std::pair<const char*, Take> cases[] = {
      {"items copied", [](ResourceStr& s) { return std::vector<StringItem>(s.items)[0]; }},
      {"item assigned", [](ResourceStr& s) { StringItem i; i = s.items[0]; return i; }},
      {"item moved", [](ResourceStr& s) { return std::move(s.items[0]); }},
      {"item move-assigned", [](ResourceStr& s) { StringItem i; i = std::move(s.items[0]); return i; }},
      {"slot copied", [](ResourceStr& s) { StringItem i; i.slots[2] = s.items[0].slots[2]; return i; }},
      {"texts moved", [](ResourceStr& s) {
         StringItem i;
         i.slots[2] = {std::move(s.items[0].slots[2].value), std::move(s.items[0].slots[2].description)};
         return i;
       }},
  };
  for (const auto& [name, take] : cases) {
    SCOPED_TRACE(name);
    StringItem item;
    {
      ResourceStr str;
      ASSERT_TRUE(DecodeBytes(str, kFormat3));
      ResourceStr copy = str;
      item = take(copy);
      copy.items[1].slots[2].value = "edited";
    }
    EXPECT_EQ(item.slots[2], (StringSlot{"Bonjour", "salut"}));
  }
}

TEST(ResourceStr, LanguageBlocksFillTheSameItemsAndAreWrittenInOrder) {
  ResourceStr str;
  ASSERT_TRUE(DecodeBytes(str, kFormat3));
  ASSERT_EQ(str.items.size(), 2u);
  EXPECT_EQ(str.items[0].slots[0], (StringSlot{"Hello", "greeting"}));
  EXPECT_EQ(str.items[0].slots[2], (StringSlot{"Bonjour", "salut"}));
  EXPECT_EQ(str.items[1].slots[2], (StringSlot{"Non", ""}));
  std::string text;
  EXPECT_TRUE(str.GetString(1, 0, ResourceStr::kPartValue, text));
  EXPECT_EQ(text, "No");
  EXPECT_FALSE(str.GetString(2, 0, 0, text));
  EXPECT_FALSE(str.GetString(0, 20, 0, text));
  EXPECT_FALSE(str.GetString(0, 0, 2, text));
  // Written back in language order, without the languages that hold no text.
  Bytes expected = Cat({{0xFD, 0xFF, 0x04, 0x00},
                        {1}, Text("Hello"), Text("greeting"), {1}, Text("No"), Text(""),
                        {3}, Text("Bonjour"), Text("salut"), {3}, Text("Non"), Text("")});
  EXPECT_EQ(EncodeBytes(str), expected);
  ExpectCanonical<ResourceStr>(expected);
  FeedPrefixes<ResourceStr>(expected, kLE, true);
}

TEST(ResourceStr, AllEmptyTableIsWrittenEmptyInEveryLayout) {
  struct Case { bool basic, languages, descriptions; Bytes expected; };
  const Case cases[] = {
      {true, false, false, {0, 0}},
      {false, false, false, {0xFF, 0xFF, 0, 0}},
      {false, false, true, {0xFE, 0xFF, 0, 0}},
      {false, true, true, {0xFD, 0xFF, 0, 0}},
  };
  for (const Case& c : cases) {
    ResourceStr str;
    std::tie(str.basicMode, str.useLanguages, str.useDescriptions) = std::tie(c.basic, c.languages, c.descriptions);
    str.items.resize(3);
    EXPECT_EQ(EncodeBytes(str), c.expected);
  }
  // ... and with descriptions off, the languages are off too.
  ResourceStr str;
  str.SetString(0, 0, 0, "v");
  str.SetString(0, 1, 0, "uk");
  str.useDescriptions = false;
  EXPECT_EQ(EncodeBytes(str), Cat({{0xFF, 0xFF, 1, 0}, Text("v")}));
  EXPECT_FALSE(str.useLanguages);
}

// A language with one text writes every item; basic values are cut at 255 bytes.
TEST(ResourceStr, EncodeWritesWholeLanguagesAndCutsBasicValues) {
  ResourceStr str;
  ASSERT_TRUE(str.SetString(0, 0, 0, "a"));
  ASSERT_TRUE(str.SetString(1, 0, 0, "b"));
  ASSERT_TRUE(str.SetString(1, 4, 1, "note"));
  Bytes expected = Cat({{0xFD, 0xFF, 4, 0},
                        {1}, Text("a"), Text(""), {1}, Text("b"), Text(""),
                        {5}, Text(""), Text(""), {5}, Text(""), Text("note")});
  EXPECT_EQ(EncodeBytes(str), expected);

  ResourceStr basic;
  basic.basicMode = true;
  ASSERT_TRUE(basic.SetString(0, 0, 0, std::string(300, 'x')));
  Bytes out = EncodeBytes(basic);
  EXPECT_EQ(out, Cat({{1, 0, 255}, Bytes(255, 'x')}));
  ResourceStr back;
  ASSERT_TRUE(DecodeBytes(back, out));
  EXPECT_EQ(back.items[0].slots[0].value, std::string(255, 'x'));
}

TEST(ResourceStr, MalformedDataAndBadEditsFail) {
  const Bytes cases[] = {
      {0xFD, 0xFF, 1, 0, 0, 'a', 0, 0},       // language code 0 (codes start at 1)
      {0xFD, 0xFF, 1, 0, 21, 'a', 0, 0},      // language code 21
      {0xFF, 0xFF, 1, 0, 'a', 'b'},           // no terminator
      {0xFC, 0xFF, 'a', 'b'},                 // -4: a huge basic count
      {0x05, 0x00, 0x01, 'a'},                // basic count beyond the data
  };
  for (const Bytes& bytes : cases) {
    ResourceStr str;
    EXPECT_FALSE(DecodeBytes(str, bytes));
  }
  // SetString appends only at the end, within the languages and parts.
  ResourceStr str;
  EXPECT_TRUE(str.SetString(0, 0, 0, "a"));
  EXPECT_FALSE(str.SetString(2, 0, 0, "c"));
  EXPECT_TRUE(str.SetString(1, 19, 1, "d"));
  EXPECT_FALSE(str.SetString(0, 20, 0, "x") || str.SetString(0, 0, 2, "x"));
  EXPECT_EQ(str.items.size(), 2u);
}

// A table whose flag names the wrong byte order is read in the other one, but only when that
// reads all of it; the flag's order wins whenever it reads.
TEST(ResourceStr, OtherByteOrderOnlyWhenItReadsTheWholeTable) {
  const Bytes shower = Cat({{0x00, 0x01, 20}, Text("Can't get to shower.", false)});
  Bytes bothOrders = {0x01, 0x00};  // 1 string little-endian, 256 empty ones big-endian
  bothOrders.resize(2 + 256, 0);
  struct Case {
    const char* what;
    Bytes bytes;
    uint16_t flags;
    size_t items;  // 0: the decode fails
  };
  const Case cases[] = {
      {"big-endian basic flagged little-endian", shower, kLE, 1},
      {"little-endian header flagged big-endian", Cat({{0xFD, 0xFF, 1, 0, 1}, Text("a"), Text("")}), kBE, 1},
      {"both orders read", bothOrders, kLE, 1},
      {"the other order leaves a byte", Cat({shower, {0}}), kLE, 0},
      {"neither order reads", {0x00, 0x01, 21, 'x'}, kLE, 0},
  };
  for (const Case& c : cases) {
    ResourceStr str;
    EXPECT_EQ(DecodeBytes(str, c.bytes, c.flags) ? str.items.size() : 0, c.items) << c.what;
  }
  ResourceStr str;  // written back in the order the flag names, as every table is
  ASSERT_TRUE(DecodeBytes(str, shower, kLE));
  EXPECT_EQ(EncodeBytes(str), Cat({{0x01, 0x00, 20}, Text("Can't get to shower.", false)}));
}

TEST(ResourceStr, TablesTooLargeToWriteAreRefusedAndNothingIsWritten) {
  ResourceStr str;
  str.items.resize(3300);
  for (size_t language = 0; language < kLanguageCount; ++language)
    str.items[0].slots[language].value = "a";  // 20 x 3300 strings
  IffChunk& chunk = str.Chunk();
  chunk.Assign("old", 3);
  EXPECT_FALSE(str.Encode());
  EXPECT_EQ(chunk.View(), "old");
  // Nineteen languages fit.
  str.items[0].slots[19].value = "";
  EXPECT_TRUE(str.Encode());
  // Basic counts that look like format words are refused; 0xFFFC is read back as a count.
  ResourceStr basic;
  basic.basicMode = true;
  basic.items.resize(0xFFFD);
  basic.items[0].slots[0].value = "a";
  EXPECT_FALSE(basic.Encode());
  basic.items.pop_back();
  const Bytes out = EncodeBytes(basic);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 2), (Bytes{0xFC, 0xFF}));
  ResourceStr back;
  ASSERT_TRUE(DecodeBytes(back, out));
  EXPECT_TRUE(back.basicMode);
  EXPECT_EQ(back.items.size(), 0xFFFCu);
}

}  // namespace
}  // namespace scrivet

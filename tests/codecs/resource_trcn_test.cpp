// TRCN label tables: both versions found in real files, read leniently, written back as read.
#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "codecs/resource_trcn.h"

namespace scrivet {
namespace {

using namespace test;

const Bytes kRange = {0, 0, 0, 0x64, 0};  // range off, 0 to 100

Bytes Header(uint32_t version, Bytes magic, uint32_t count) { return Cat({U32(0), U32(version), magic, U32(count)}); }

const Bytes kNcrt = {'N', 'C', 'R', 'T'};

TEST(ResourceTrcn, BothVersionsDecodeAndAreWrittenBackAsRead) {
  struct Case {
    const char* name;
    Bytes bytes;
    std::vector<std::string> labels;
  } cases[] = {
      // Texts end at even positions: "Fun" needs no pad, its empty comment one (of any value).
      {"version 1", Cat({Header(1, kNcrt, 2), U32(1), U32(1202), Text("Fun"), {0, 0xA3}, kRange,  //
                         U32(1), U32(1203), Text("Max Fun"), {0}, Text("why"), kRange}),
       {"Fun", "Max Fun"}},
      {"version 2 without magic", Cat({Header(2, U32(0), 2), U32(0), U32(0), {3, 'a', 'b', 'c', 2, 'h', 'i'}, kRange,
                                       U32(0), U32(0), {1, 'd', 0}, kRange, {0xEE}}),
       {"abc", "d"}},
      {"no entries", Header(1, kNcrt, 0), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResourceTrcn table;
    ASSERT_TRUE(DecodeBytes(table, c.bytes));
    std::vector<std::string> labels;
    for (const ConstantLabel& entry : table.entries) labels.push_back(entry.label);
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(EncodeBytes(table), c.bytes);
    FeedPrefixes<ResourceTrcn>(c.bytes.size() > 16 ? Bytes(c.bytes.begin(), c.bytes.end() - 1) : c.bytes, kLE,
                               true);
  }
  ResourceTrcn first;
  ASSERT_TRUE(DecodeBytes(first, cases[0].bytes));
  EXPECT_EQ(std::tuple(first.entries[1].comment, first.entries[1].id, first.entries[0].high),
            std::tuple("why", 1203u, 100));
}

TEST(ResourceTrcn, UnknownLayoutsAreRefused) {
  const Bytes refused[] = {
      Header(0, kNcrt, 0),                   // versions never seen
      Header(3, kNcrt, 0),
      Header(1, {'N', 'C', 'R', 'X'}, 0),    // another magic
      Header(1, kNcrt, 0x10000000),          // more entries than the data can hold
  };
  for (const Bytes& bytes : refused) {
    ResourceTrcn table;
    EXPECT_FALSE(DecodeBytes(table, bytes));
  }
  ResourceTrcn fresh;
  EXPECT_EQ(EncodeBytes(fresh), Header(1, kNcrt, 0));
}

}  // namespace
}  // namespace scrivet

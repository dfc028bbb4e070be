// One table over every registered type: what a new resource writes, that copies are independent,
// that a filled model's bytes read back canonically, and that damaged or cut copies of them
// decode cleanly (the sanitizer build checks the reads) and, when they decode, encode again.

#include <gtest/gtest.h>

#include <functional>

#include "codec_test_util.h"
#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_dgrp.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_objd.h"
#include "codecs/resource_objf.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_report.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "codecs/resource_str.h"
#include "codecs/resource_trcn.h"
#include "codecs/resource_ttab.h"
#include "codecs/type_table.h"

namespace scrivet {
namespace {

using namespace test;

struct Row {
  const char* type;
  size_t freshSize;
  Bytes freshStart;  // the first bytes a new resource writes
  std::function<void(IffResource&)> fill;
};

template <class T>
T& As(IffResource& r) { return static_cast<T&>(r); }

const Row kRows[] = {
    {"DATA", 0, {}, [](IffResource& r) { As<ResourceData>(r).bytes = {1, 2, 3}; }},
    {"STR#", 4, {0xFD, 0xFF, 0, 0},
     [](IffResource& r) { As<ResourceStr>(r).SetString(0, 0, 0, "one"), As<ResourceStr>(r).SetString(1, 3, 1, "two"); }},
    {"BHAV", 12, {0x02, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     [](IffResource& r) {
       auto& b = As<ResourceBhav>(r);
       b.instructions.resize(3);
       b.instructions[1].opcode = 27;
       b.instructions[2].trueTarget = 254;
     }},
    {"TTAB", 5, {0, 0, 9, 0, 1},
     [](IffResource& r) {
       As<ResourceTtab>(r).interactions.resize(2);
       As<ResourceTtab>(r).interactions[1].advertisements[5] = {-3, 70, 4};
     }},
    {"OBJD", 216, {0x8A, 0, 0, 0},
     [](IffResource& r) { for (size_t i = 2; i < 216; ++i) As<ResourceObjd>(r).block[i] = uint8_t(i * 7); }},
    {"OBJf", 140, {0, 0, 0, 0, 0, 0, 0, 0, 0x66, 0x4A, 0x42, 0x4F, 0x1F, 0, 0, 0},
     [](IffResource& r) { As<ResourceObjf>(r).entries[3] = {1, 2}; }},
    {"CARR", 14, {0, 0, 0, 0, 0, 0, 0, 0, 0x52, 0x52, 0x41, 0x43},
     [](IffResource& r) {
       auto& c = As<ResourceCarr>(r);
       c.careerName = "Law";
       c.AddJob();
       c.AddJob();
       c.jobs[1].salary = 900;
     }},
    {"BCON", 2, {0, 0}, [](IffResource& r) { As<ResourceBcon>(r).values = {1, -2, 3}; }},
    {"FWAV", 1, {0}, [](IffResource& r) { As<ResourceFwav>(r).soundName = "ring"; }},
    {"GLOB", 1, {0}, [](IffResource& r) { As<ResourceGlob>(r).fileName = "Globals"; }},
    {"TRCN", 16, {0, 0, 0, 0, 1, 0, 0, 0, 'N', 'C', 'R', 'T', 0, 0, 0, 0},
     [](IffResource& r) {
       // Written back as read: the sample is the bytes of a one-entry table.
       As<ResourceTrcn>(r).bytes = Cat({U32(0), U32(1), Text("NCRT", false), U32(1), U32(1), U32(7), Text("Fun"),
                                        Text(""), {0xA3, 0, 0, 0, 0x64, 0}});
     }},
    {"SPR#", 0, {}, [](IffResource& r) {
       auto& s = As<ResourceSpr>(r);
       s.paletteId = 9;
       s.frames.resize(2);
       s.frames[1] = {1, 2, 2, 3, 9, {0x04, 0x09, 0x01, 0x02, 0x05, 0x00}};
     }},
    {"SPR2", 0, {}, [](IffResource& r) {
       auto& s = As<ResourceSpr2>(r);
       s.paletteId = 3;
       s.frames.resize(1);
       s.frames[0].width = 2;
       s.frames[0].height = 1;
       s.frames[0].originX = 5;
       s.frames[0].pixelStream = {0x02, 0x00, 0x01, 0x60, 0x05, 0x00, 0x00, 0xA0};
     }},
    // Twelve empty images, directions 1, 4, 16, 64 within each zoom.
    {"DGRP", 150, Cat({U16(20004), U32(12), U32(1), U32(1), U32(0), U32(4), U32(1), U32(0), U32(16), U32(1)}),
     [](IffResource& r) {
       DgrpSprite sprite;
       sprite.spriteId = 0x100;
       sprite.pixelX = -4;
       sprite.flags = DgrpSprite::kFlip;
       sprite.zOffset = 1.5f;
       As<ResourceDgrp>(r).images[3].sprites = {sprite, sprite};
     }},
    {"PALT", ResourcePalt::kEncodedSize, {1, 0, 0, 0, 0, 1, 0, 0},
     [](IffResource& r) { As<ResourcePalt>(r).colors[5] = 0x77; }},
};

const Row* RowFor(TypeCode reported) {
  for (const Row& row : kRows) {
    TypeCode type;
    if (ParseTypeCode(row.type, type) && type == reported) return &row;
  }
  return nullptr;
}

TEST(TypeInterface, EveryRegisteredType) {
  ASSERT_GE(RegisteredTypes().size(), std::size(kRows));
  for (const ResourceType& type : RegisteredTypes()) {
    SCOPED_TRACE(TypeCodeToString(type.reported));
    const Row* row = RowFor(type.reported);
    ASSERT_NE(row, nullptr) << "a registered type without a row here";
    for (TypeCode chunkType : type.chunkTypes) {
      EXPECT_EQ(&ReadableTypeFor(chunkType), &type);
      EXPECT_EQ(&TypeFor(chunkType), type.reportOnly ? &RegisteredTypes()[0] : &type);
    }
    EXPECT_EQ(FindReportedType(type.reported), &type);

    // A new resource: its bytes, and the round-trip check finds them identical.
    const auto fresh = type.create();
    ASSERT_EQ(fresh->GetType(), type.reported);
    Bytes freshBytes;
    ASSERT_TRUE(fresh->EncodeToBytes(freshBytes));
    EXPECT_TRUE(!row->freshSize || freshBytes.size() == row->freshSize) << freshBytes.size();
    ASSERT_GE(freshBytes.size(), row->freshStart.size());
    EXPECT_EQ(Bytes(freshBytes.begin(), freshBytes.begin() + row->freshStart.size()), row->freshStart);
    const bool raw = type.reported == ResourceData::kType || type.reportOnly;
    IffChunk chunk;
    chunk.type = type.chunkTypes.empty() ? MakeTypeCode("XXXX") : type.chunkTypes[0];
    chunk.flags = kLE;
    chunk.Assign(freshBytes.data(), freshBytes.size());
    const ChunkCheck check = CheckChunk(chunk);
    EXPECT_EQ(check.status, raw ? ChunkCheck::Status::kNoCodec : ChunkCheck::Status::kIdentical) << check.detail;

    // A filled model reads back from its own bytes and writes them again.
    auto original = type.create();
    row->fill(*original);
    Bytes valid;
    ASSERT_TRUE(original->EncodeToBytes(valid));
    ASSERT_NE(valid, freshBytes) << "the sample fills nothing";
    auto decoded = type.create();
    Bytes again;
    ASSERT_TRUE(DecodeBytes(*decoded, valid) && decoded->EncodeToBytes(again));
    EXPECT_EQ(again, valid);

    // A copy is independent of its source both ways.
    auto copy = type.create();
    copy->CopyFrom(*original);
    ASSERT_TRUE(copy->EncodeToBytes(again));
    EXPECT_EQ(again, valid);
    ASSERT_TRUE(DecodeBytes(*copy, freshBytes) && original->EncodeToBytes(again));
    EXPECT_EQ(again, valid) << "changing the copy changed the source";

    // Readable reports exactly for rows that have one, and only for their own class.
    ModelNode tree;
    std::string text;
    EXPECT_EQ(DescribeResource(*original, tree), type.describe != nullptr);
    EXPECT_EQ(DumpResourceText(*original, text), type.describe != nullptr);
    EXPECT_FALSE(type.describe && type.describe(ResourceData(), tree));
    EXPECT_FALSE(type.text && type.text(ResourceData(), text));

    // Damaged bytes at every offset, in both byte orders, and every prefix.
    for (size_t offset = 0; offset < valid.size(); ++offset) {
      for (uint8_t value : {0x00, 0x7F, 0x80, 0xFF}) {
        Bytes damaged = valid;
        damaged[offset] = value;
        for (uint16_t flags : {kLE, kBE}) {
          auto resource = type.create();
          if (!DecodeBytes(*resource, damaged, flags)) continue;
          EXPECT_TRUE(resource->EncodeToBytes(again)) << "offset " << offset;
        }
      }
    }
    for (size_t n = 0; n < valid.size(); ++n) {
      auto resource = type.create();
      DecodeBytes(*resource, Bytes(valid.begin(), valid.begin() + n), kLE);
    }
  }
}

}  // namespace
}  // namespace scrivet

// Every codec against damaged copies of a valid encoding: each byte replaced in turn by a few
// hostile values, decoded with both byte-order flags. Nothing may crash or read out of bounds
// (the sanitizer build checks that); whatever decodes must encode again.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "codec_test_util.h"
#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_objd.h"
#include "codecs/resource_objf.h"
#include "codecs/resource_str.h"
#include "codecs/resource_trcn.h"
#include "codecs/resource_ttab.h"
#include "codecs/type_table.h"

namespace scrivet {
namespace {

using namespace test;

struct Sample {
  const char* type;
  std::function<void(IffResource&)> fill;
};

const Sample kSamples[] = {
    {"STR#", [](IffResource& r) {
       auto& s = static_cast<ResourceStr&>(r);
       s.SetString(0, 0, 0, "one");
       s.SetString(1, 3, 1, "two");
     }},
    {"BHAV", [](IffResource& r) {
       auto& b = static_cast<ResourceBhav&>(r);
       b.instructions.resize(3);
       b.instructions[1].opcode = 27;
       b.instructions[2].trueTarget = 254;
     }},
    {"TTAB", [](IffResource& r) {
       auto& t = static_cast<ResourceTtab&>(r);
       t.interactions.resize(2);
       t.interactions[1].advertisements[5] = {-3, 70, 4};
     }},
    {"OBJD", [](IffResource&) {}},
    {"OBJf", [](IffResource& r) { static_cast<ResourceObjf&>(r).entries[3] = {1, 2}; }},
    {"CARR", [](IffResource& r) {
       auto& c = static_cast<ResourceCarr&>(r);
       c.careerName = "Law";
       c.AddJob();
       c.AddJob();
       c.jobs[1].salary = 900;
     }},
    {"BCON", [](IffResource& r) { static_cast<ResourceBcon&>(r).values = {1, -2, 3}; }},
    {"FWAV", [](IffResource& r) { static_cast<ResourceFwav&>(r).soundName = "ring"; }},
    {"GLOB", [](IffResource& r) { static_cast<ResourceGlob&>(r).fileName = "Globals"; }},
    {"TRCN", [](IffResource& r) {
       // Written back as read: the sample is the bytes of a one-entry table.
       static_cast<ResourceTrcn&>(r).bytes = Cat({U32(0), U32(1), Text("NCRT", false), U32(1), U32(1), U32(7),
                                                  Text("Fun"), Text(""), {0xA3, 0, 0, 0, 0x64, 0}});
     }},
};

TEST(Robustness, DamagedBytesAtEveryOffset) {
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.type);
    TypeCode type;
    ASSERT_TRUE(ParseTypeCode(sample.type, type));
    auto original = CreateResourceForType(type);
    sample.fill(*original);
    Bytes valid;
    ASSERT_TRUE(original->EncodeToBytes(valid));
    for (size_t offset = 0; offset < valid.size(); ++offset) {
      for (uint8_t value : {0x00, 0x7F, 0x80, 0xFF}) {
        Bytes damaged = valid;
        damaged[offset] = value;
        for (uint16_t flags : {kLE, kBE}) {
          auto resource = CreateResourceForType(type);
          if (!DecodeBytes(*resource, damaged, flags)) continue;
          Bytes again;
          EXPECT_TRUE(resource->EncodeToBytes(again)) << "offset " << offset;
        }
      }
    }
    for (size_t n = 0; n < valid.size(); ++n) {
      auto resource = CreateResourceForType(type);
      DecodeBytes(*resource, Bytes(valid.begin(), valid.begin() + n), kLE);
    }
  }
}

}  // namespace
}  // namespace scrivet

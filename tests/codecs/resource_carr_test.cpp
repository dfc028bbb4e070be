#include "codecs/resource_carr.h"

#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "codecs/field_codec.h"

namespace scrivet {
namespace {

using namespace test;

const Bytes kMagic = {0x52, 0x52, 0x41, 0x43};

Bytes CareerHeader(uint8_t compression, const std::string& name) {
  Bytes out = Cat({U32(0), U32(0), kMagic, {compression}, Text(name)});
  if (out.size() % 2) out.push_back(0xA3);
  return out;
}

Bytes PaddedText(const std::string& s) {
  Bytes out = Text(s);
  if (out.size() % 2) out.push_back(0xA3);
  return out;
}

Job SampleJob(int seed) {
  Job job;
  int i = 0;
  for (int32_t* n : job.Numbers()) *n = (i++ - 10) * seed * 37;
  job.salary = 1000000 * seed;
  job.jobName = "Job " + std::to_string(seed);
  job.maleSkin = "m";
  job.texture = "tex";
  return job;
}

// Exact bytes: texts padded to even positions; job numbers field-encoded and flushed to a byte
// before each job's texts. Job 0: J = 2 (1 00 000010) and 21 zero bits = 30 bits -> 4 bytes;
// job 1: 21 zero bits -> 3 bytes, so its first text starts at an odd position.
TEST(ResourceCarr, ExactBytesAreWrittenAndReadBack) {
  const Bytes empties = Cat({{0, 0xA3}, {0, 0xA3}, {0, 0xA3}, {0, 0xA3}, {0, 0xA3}});
  const Bytes shifted = Cat({{0}, {0, 0xA3}, {0, 0xA3}, {0, 0xA3}, {0, 0xA3}});
  const std::vector<std::tuple<std::string, size_t, Bytes>> cases{
      {"ab", 0, Cat({U32(0), U32(0), kMagic, {1}, Text("ab")})},  // ends at 16: no pad
      {"a", 0, Cat({U32(0), U32(0), kMagic, {1}, Text("a"), {0xA3}})},
      {"ab", 2, Cat({U32(0), U32(0), kMagic, {1}, Text("ab"), {0x81, 0, 0, 0}, empties, {0, 0, 0}, shifted})},
  };
  for (const auto& [name, jobs, bytes] : cases) {
    SCOPED_TRACE(name + std::to_string(jobs));
    ResourceCarr carr;
    carr.careerName = name;
    carr.jobs.resize(jobs);
    for (Job& job : carr.jobs) job.jobName = "";
    EXPECT_EQ(EncodeBytes(carr), bytes);
    ResourceCarr back;
    ASSERT_TRUE(DecodeBytes(back, bytes));
    EXPECT_TRUE(back.ModelEquals(carr));
    ExpectCanonical<ResourceCarr>(bytes);
  }
}

TEST(ResourceCarr, FieldEncodedRoundTrip) {
  ResourceCarr carr;
  carr.careerName = "Business";
  carr.jobs = {SampleJob(1), SampleJob(-2), Job{}};
  carr.jobs[2].jobName = "";
  Bytes bytes = EncodeBytes(carr);
  ResourceCarr back;
  ASSERT_TRUE(DecodeBytes(back, bytes));
  EXPECT_TRUE(back.ModelEquals(carr));
  ExpectCanonical<ResourceCarr>(bytes);
  // A prefix that ends right after the name is a valid career without jobs.
  FeedPrefixes<ResourceCarr>(bytes, kLE, false);
}

TEST(ResourceCarr, FixedWidthIsReadAndSavedFieldEncoded) {
  Job job = SampleJob(3);
  Bytes numbers;
  for (const int32_t* n : job.Numbers()) numbers = Cat({numbers, U32(uint32_t(*n))});
  Bytes texts;
  for (const std::string* t : job.Texts()) texts = Cat({texts, PaddedText(*t)});
  Bytes fixed = Cat({CareerHeader(0, "Crime"), U32(1), numbers, texts});
  ResourceCarr carr;
  ASSERT_TRUE(DecodeBytes(carr, fixed));
  ASSERT_EQ(carr.jobs.size(), 1u);
  EXPECT_EQ(carr.jobs[0], job);
  EXPECT_EQ(carr.careerName, "Crime");
  FeedPrefixes<ResourceCarr>(fixed, kLE, true);

  Bytes out = EncodeBytes(carr);
  EXPECT_EQ(out[12], 1);
  ResourceCarr back;
  ASSERT_TRUE(DecodeBytes(back, out));
  EXPECT_TRUE(back.ModelEquals(carr));
}

// The magic is read in the flag's byte order; counts beyond the data fail.
TEST(ResourceCarr, MagicByteOrderAndCountsBeyondTheData) {
  Bytes rrac = CareerHeader(1, "x"), carrBytes = rrac;
  std::copy_n("CARR", 4, carrBytes.begin() + 8);
  ResourceCarr carr;
  EXPECT_TRUE(DecodeBytes(carr, rrac, kLE));
  EXPECT_FALSE(DecodeBytes(carr, rrac, kBE));
  EXPECT_TRUE(DecodeBytes(carr, carrBytes, kBE));
  EXPECT_FALSE(DecodeBytes(carr, carrBytes, kLE));
  EXPECT_FALSE(DecodeBytes(carr, Cat({CareerHeader(0, "x"), U32(0x10000000)})));
  std::vector<uint8_t> sink;
  FieldEncoder bits(sink);
  bits.WriteValue32(5000000);
  bits.Flush();
  EXPECT_FALSE(DecodeBytes(carr, Cat({CareerHeader(1, "x"), sink, Bytes(64, 0)})));
  sink.clear();
  bits.WriteValue32(-1);
  bits.Flush();
  EXPECT_FALSE(DecodeBytes(carr, Cat({CareerHeader(1, "x"), sink, Bytes(64, 0)})));
  // A bit block cut short reads zeros, but the texts after it are gone.
  carr.careerName = "x";
  carr.jobs = {SampleJob(4)};
  const Bytes bytes = EncodeBytes(carr);
  EXPECT_FALSE(DecodeBytes(carr, Bytes(bytes.begin(), bytes.begin() + 20)));
}

TEST(ResourceCarr, JobListEditing) {
  ResourceCarr carr;
  carr.AddJob();
  carr.AddJob();
  EXPECT_EQ(carr.jobs[1].jobName, "New job");
  carr.jobs[0].salary = 5;
  EXPECT_FALSE(carr.RemoveJob(2));
  EXPECT_TRUE(carr.RemoveJob(1));
  ASSERT_EQ(carr.jobs.size(), 1u);
  EXPECT_EQ(carr.jobs[0].salary, 5);
}

}  // namespace
}  // namespace scrivet

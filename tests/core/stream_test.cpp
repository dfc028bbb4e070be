#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/stream.h"
#include "tests/core/test_support.h"

using namespace scrivet;
using namespace scrivet::testsupport;

namespace {

// Disk and memory streams must behave alike: readers are written once against Stream.
class Streams : public ::testing::TestWithParam<bool> {
 protected:
  std::unique_ptr<Stream> Make(const Bytes& bytes) {
    if (!GetParam()) return std::make_unique<MemoryStream>(bytes);
    WriteFile(dir_ / "s.bin", bytes);
    return FileStream::Open(dir_ / "s.bin", FileStream::Mode::ReadWrite);
  }
  TempDir dir_;
};

TEST_P(Streams, ShortReadsAtTheEnd) {
  auto s = Make({1, 2, 3, 4, 5});
  ASSERT_TRUE(s);
  uint8_t b[8] = {};
  ASSERT_TRUE(s->Seek(3));
  EXPECT_EQ(s->Read(b, 8), 2u);
  EXPECT_EQ(b[0], 4);
  EXPECT_EQ(s->Position(), 5u);
  EXPECT_EQ(s->Read(b, 1), 0u);
  ASSERT_TRUE(s->Seek(0));
  EXPECT_FALSE(s->ReadExact(b, 6));
}

TEST_P(Streams, SeekingPastTheEndChangesNothingUntilAWrite) {
  auto s = Make({1, 2, 3});
  ASSERT_TRUE(s);
  ASSERT_TRUE(s->Seek(10));
  EXPECT_EQ(s->Length(), 3u);
  uint8_t b[4];
  EXPECT_EQ(s->Read(b, 4), 0u);
  EXPECT_EQ(s->Length(), 3u);
  // A write there fills the gap with zeros.
  ASSERT_TRUE(s->Seek(6));
  ASSERT_TRUE(s->Write("\x09", 1));
  EXPECT_EQ(s->Length(), 7u);
  Bytes all(7);
  ASSERT_TRUE(s->Seek(0));
  ASSERT_TRUE(s->ReadExact(all.data(), 7));
  EXPECT_EQ(all, (Bytes{1, 2, 3, 0, 0, 0, 9}));
}

TEST_P(Streams, ReadsSeeWhatWasJustWritten) {
  Bytes start(10000, 0x11);
  auto s = Make(start);
  ASSERT_TRUE(s);
  uint8_t b[4];
  ASSERT_TRUE(s->Seek(100) && s->ReadExact(b, 4));  // fills any read-ahead
  ASSERT_TRUE(s->Seek(101) && s->Write("\x22\x33", 2));
  ASSERT_TRUE(s->Seek(100) && s->ReadExact(b, 4));
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{0x11, 0x22, 0x33, 0x11}));
}

TEST_P(Streams, TruncatePullsThePositionBack) {
  auto s = Make(Bytes(100, 7));
  ASSERT_TRUE(s);
  ASSERT_TRUE(s->Seek(80));
  ASSERT_TRUE(s->Truncate(50));
  EXPECT_EQ(s->Length(), 50u);
  EXPECT_EQ(s->Position(), 50u);
  ASSERT_TRUE(s->Truncate(0));
  EXPECT_EQ(s->Length(), 0u);
}

TEST_P(Streams, DuplicatesReadTheSameBytesWithTheirOwnPosition) {
  auto s = Make({1, 2, 3, 4});
  ASSERT_TRUE(s);
  ASSERT_TRUE(s->Seek(1));
  auto d = s->Duplicate();
  ASSERT_TRUE(d);
  EXPECT_EQ(d->IsMemory(), s->IsMemory());
  EXPECT_EQ(d->Position(), 1u);
  uint8_t b[2];
  ASSERT_TRUE(d->ReadExact(b, 2));
  EXPECT_EQ(b[0], 2);
  EXPECT_EQ(s->Position(), 1u);
  EXPECT_EQ(d->Length(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Streams, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "File" : "Memory"; });

TEST(FileStream, ReadOnlyStreamsRefuseWritesAndMissingFilesSayWhy) {
  TempDir dir;
  WriteFile(dir / "r.bin", Bytes{1});
  auto s = FileStream::Open(dir / "r.bin", FileStream::Mode::Read);
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->Write("x", 1));
  EXPECT_FALSE(s->Truncate(0));
  CoreFailure failure;
  EXPECT_FALSE(FileStream::Open(dir / "none.bin", FileStream::Mode::Read, &failure));
  EXPECT_EQ(failure.error, CoreError::System);
  EXPECT_FALSE(failure.detail.empty());
  failure = {};
  EXPECT_FALSE(FileStream::Open(dir.Path(), FileStream::Mode::Read, &failure)) << "a folder is not a file";
  EXPECT_EQ(failure.error, CoreError::System);
  Bytes bytes;
  failure = {};
  EXPECT_FALSE(ReadWholeFile(dir / "none.bin", bytes, &failure));
  EXPECT_EQ(failure.error, CoreError::System);
}

}  // namespace

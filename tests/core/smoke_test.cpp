#include <gtest/gtest.h>

#include "core/iff_file.h"

using namespace scrivet;

TEST(Smoke, WriteThenRead) {
  auto file = IffFile::CreateEmpty(false);
  const char data[] = "hello";
  ASSERT_NE(file->AddChunk(MakeTypeCode("STR#"), 128, "Name", data, 5), nullptr);
  MemoryStream out;
  ASSERT_TRUE(file->Write(&out));
  auto back = IffFile::AttachMemoryCopy(out);
  int error = -1;
  ASSERT_TRUE(back->ReadDirectory(error));
  ASSERT_EQ(back->ChunkCount(), 2u);  // the chunk and the map
  EXPECT_EQ(back->ChunkAt(0).name, "Name");
}

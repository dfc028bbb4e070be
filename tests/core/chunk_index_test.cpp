#include <gtest/gtest.h>

#include <random>
#include <unordered_map>
#include <vector>

#include "core/chunk_index.h"

using namespace scrivet;

namespace {

// Crowded keys (few types, ids close together) make long probe runs, so erasing from their middle
// must keep every other key findable. The index is checked against a map after every step.
TEST(ChunkIndex, AgreesWithAMapThroughInsertsErasesAndGrowth) {
  std::mt19937 random(7);
  std::vector<IffChunk*> chunks(64);
  for (size_t i = 0; i < chunks.size(); ++i) chunks[i] = reinterpret_cast<IffChunk*>(0x1000 + 16 * i);
  ChunkIndex index;
  std::unordered_map<uint64_t, IffChunk*> expected;
  for (int step = 0; step < 4000; ++step) {
    const uint64_t key = ChunkIndex::Key(0x41414141 + random() % 3, uint16_t(random() % 200));
    IffChunk* chunk = chunks[random() % chunks.size()];
    switch (random() % 4) {
      case 0:
        EXPECT_EQ(index.Insert(key, chunk), expected.emplace(key, chunk).second);
        break;
      case 1:
        index.Assign(key, chunk);
        expected[key] = chunk;
        break;
      default:
        index.Erase(key);
        expected.erase(key);
        break;
    }
    ASSERT_EQ(index.Size(), expected.size()) << "step " << step;
    if (step % 50 == 0)
      for (uint32_t type = 0x41414141; type < 0x41414144; ++type)
        for (uint16_t id = 0; id < 200; ++id) {
          const auto it = expected.find(ChunkIndex::Key(type, id));
          ASSERT_EQ(index.Find(ChunkIndex::Key(type, id)), it == expected.end() ? nullptr : it->second)
              << "step " << step << " id " << id;
        }
  }
  index.Clear();
  EXPECT_EQ(index.Find(ChunkIndex::Key(0x41414141, 0)), nullptr);
}

}  // namespace

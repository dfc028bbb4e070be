// Writes seed inputs for the engine's fuzzers: OUT/iff_container_fuzz/ and OUT/far_archive_fuzz/.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/iff_file.h"
#include "core/stream.h"
#include "tests/core/byte_builders.h"

using namespace scrivet;
using namespace scrivet::testbytes;
namespace fs = std::filesystem;

namespace {

bool Save(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

std::vector<uint8_t> Written(IffFile& file) {
  MemoryStream out;
  file.Write(&out);
  return out.Bytes();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_core_seeds OUTDIR\n");
    return 2;
  }
  const fs::path iffDir = fs::path(argv[1]) / "iff_container_fuzz";
  const fs::path farDir = fs::path(argv[1]) / "far_archive_fuzz";
  fs::create_directories(iffDir);
  fs::create_directories(farDir);
  bool ok = true;

  // Files of the project's own writer: a map last, types interleaved, a free block.
  auto file = IffFile::CreateEmpty(false);
  file->AddChunk(MakeTypeCode("STR#"), 128, "Strings", "\xFD\xFF\x01\x00\x02hi\x00", 8);
  file->AddChunk(MakeTypeCode("BHAV"), 4096, "Main", "\x8A\x00\x01\x00\x02\x00", 6);
  file->AddChunk(MakeTypeCode("STR#"), 129, "", "", 0);
  ok &= Save(iffDir / "written.iff", Written(*file));
  file->AddChunk(MakeTypeCode("XXXX"), 2, "free", "junk", 4)->flags = 0x0014;
  ok &= Save(iffDir / "free_block.iff", Written(*file));
  auto empty = IffFile::CreateEmpty(false);
  ok &= Save(iffDir / "empty.iff", Written(*empty));

  // Version 2.0: scan only.
  IffBuilder v20("2.0");
  v20.Chunk("OBJD", 128, 0x10, "Object", Filled(40, 1));
  v20.Chunk("SPR2", 300, 0x00, "Sprite", Filled(9, 2));
  ok &= Save(iffDir / "v20.iff", v20.Get());

  // The map first, as the game's own object files have it.
  IffBuilder first;
  const uint32_t at = 64 + 76 + uint32_t(IffBuilder::MapData({{"GLOB", 0, 128, 0x10, "Semi"}}).size());
  first.Map({{"GLOB", at, 128, 0x10, "Semi"}});
  first.Chunk("GLOB", 128, 0x10, "Semi", Filled(12, 3));
  ok &= Save(iffDir / "map_first.iff", first.Get());

  // Bytes after the last chunk that look like a header claiming 280 MB, with and without a map
  // that lists them; and a map offset and a map entry that point at such a look-alike.
  Bytes lookalike;
  PutText(lookalike, "BHAV");
  PutU32BE(lookalike, 280u << 20);
  PutU16BE(lookalike, 4096);
  PutU16BE(lookalike, 0x10);
  lookalike.resize(76 + 40, 0);
  for (const bool withMap : {false, true}) {
    IffBuilder tail(withMap ? "2.5" : "2.0");
    std::vector<MapEntry> entries{{"OBJD", tail.Chunk("OBJD", 128, 0x10, "Object", Filled(40, 4)), 128, 0x10, "Object"},
                                  {"BHAV", 0, 4096, 0x10, ""}};
    if (withMap) {
      entries[1].offset = tail.Size() + 76 + uint32_t(IffBuilder::MapData(entries).size());
      tail.Map(entries);
    }
    tail.Raw(lookalike);
    ok &= Save(iffDir / (withMap ? "tail_listed_by_map.iff" : "tail_v20.iff"), tail.Get());
  }
  IffBuilder phantom;
  const uint32_t holder = phantom.Chunk("OBJD", 128, 0x10, "Object", lookalike);
  phantom.Chunk("STR#", 128, 0x10, "Strings", Filled(10, 5));
  phantom.SetMapOffset(holder + 76);
  ok &= Save(iffDir / "map_offset_into_data.iff", phantom.Get());
  phantom.Map({{"BHAV", holder + 76, 4096, 0x10, ""}});
  ok &= Save(iffDir / "map_entry_past_end.iff", phantom.Get());

  FarBuilder four;
  four.File("D:\\Sims\\GameData\\Objects\\a.iff", Written(*file));
  four.File("empty", {});
  ok &= Save(farDir / "four_byte_names.far", four.Build());
  FarBuilder two(true);
  two.File("accessoryrack.otf", Filled(30, 4));
  two.File("b.otf", Filled(3, 5));
  ok &= Save(farDir / "two_byte_names.far", two.Build());
  ok &= Save(farDir / "no_entries.far", FarBuilder().Build());

  if (!ok) {
    std::fprintf(stderr, "make_core_seeds: could not write the seeds\n");
    return 1;
  }
  return 0;
}

// Writes seed inputs for the codec fuzzers: make_codecs_seeds OUTDIR fills OUTDIR/<fuzzer>/.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "codecs/field_codec.h"
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

namespace fs = std::filesystem;
using namespace scrivet;
using Bytes = std::vector<uint8_t>;

namespace {

fs::path gOut;

void Write(const std::string& fuzzer, const std::string& name, const Bytes& bytes) {
  fs::path dir = gOut / fuzzer;
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    std::streamsize(bytes.size()));
}

Bytes Encoded(IffResource& resource) {
  Bytes bytes;
  resource.EncodeToBytes(bytes);
  return bytes;
}

void StrSeeds() {
  ResourceStr str;
  Write("fuzz_codec_str", "empty", Encoded(str));
  str.SetString(0, 0, 0, "Hello");
  str.SetString(0, 0, 1, "greeting");
  str.SetString(1, 2, 0, "Bonjour");
  Write("fuzz_codec_str", "languages", Encoded(str));
  str.useLanguages = false;
  Write("fuzz_codec_str", "descriptions", Encoded(str));
  str.useDescriptions = false;
  Write("fuzz_codec_str", "values", Encoded(str));
  str.basicMode = true;
  Write("fuzz_codec_str", "basic", Encoded(str));
  Write("fuzz_codec_str", "basic_big_endian", {0, 2, 1, 'a', 2, 'b', 'c'});
  // Big-endian data under either flag: only the other order reads the whole table.
  Bytes shower = {0, 1, 20};
  for (char c : std::string("Can't get to shower.")) shower.push_back(uint8_t(c));
  Write("fuzz_codec_str", "basic_other_order", shower);
}

void BhavSeeds() {
  ResourceBhav bhav;
  Write("fuzz_codec_bhav", "empty", Encoded(bhav));
  for (uint16_t opcode : {2, 13, 27, 42, 0x100}) {
    BhavInstruction in;
    in.opcode = opcode;
    in.trueTarget = uint8_t(bhav.instructions.size() + 1);
    in.falseTarget = BhavInstruction::kTargetFalse;
    in.operand = {1, 2, 3, 4, 5, 6, 7, 8};
    bhav.instructions.push_back(in);
  }
  Write("fuzz_codec_bhav", "five", Encoded(bhav));
  Write("fuzz_codec_bhav", "headerless", {1, 0, 2, 0, 254, 255, 1, 2, 3, 4, 5, 6, 7, 8});
}

void TtabSeeds() {
  ResourceTtab ttab;
  Write("fuzz_codec_ttab", "empty", Encoded(ttab));
  Interaction in;
  in.actionFunction = 0x1001;
  in.checkFunction = 0x1002;
  in.flags = 0x0209;
  in.attenuationValue = 0x3CA3D70A;
  in.advertisements[7] = {10, 50, 3};
  ttab.interactions = {in, in};
  Write("fuzz_codec_ttab", "encoded", Encoded(ttab));
  // Version 5: 28 + 2M bytes per record.
  Write("fuzz_codec_ttab", "v5", {1, 0, 5, 0, 1, 16, 2, 16, 2, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,
                                  0x0A, 0xD7, 0xA3, 0x3C, 50, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 40, 0, 60, 0});
  Write("fuzz_codec_ttab", "v0", {1, 0, 0, 0, 1, 16, 1, 0, 3, 0, 50, 0});
}

void CarrSeeds() {
  ResourceCarr carr;
  carr.careerName = "Business";
  Write("fuzz_codec_carr", "no_jobs", Encoded(carr));
  carr.AddJob();
  carr.AddJob();
  carr.jobs[0].salary = 120;
  carr.jobs[1].hungerChange = -3;
  carr.jobs[1].maleSkin = "skin";
  Write("fuzz_codec_carr", "two_jobs", Encoded(carr));
  Bytes fixed = {0, 0, 0, 0, 0, 0, 0, 0, 'R', 'R', 'A', 'C', 0, 'x', 0, 0xA3, 1, 0, 0, 0};
  fixed.resize(fixed.size() + 84, 0);
  for (int i = 0; i < 5; ++i) fixed.insert(fixed.end(), {0, 0xA3});
  Write("fuzz_codec_carr", "fixed", fixed);
}

void SmallSeeds() {
  ResourceObjd objd;
  Write("fuzz_codec_objd", "new", Encoded(objd));
  ResourceObjf objf;
  objf.entries[1] = {0x1000, 0x1001};
  Write("fuzz_codec_objf", "table", Encoded(objf));
  ResourceBcon bcon;
  bcon.editable = true;
  bcon.values = {1, -1, 300};
  Write("fuzz_codec_bcon", "three", Encoded(bcon));
  ResourceFwav fwav;
  fwav.soundName = "door_open";
  Write("fuzz_codec_fwav", "name", Encoded(fwav));
  ResourceGlob glob;
  glob.fileName = "ChairGlobals";
  Write("fuzz_codec_glob", "name", Encoded(glob));
  Bytes block(256, 0xA3);
  block[0] = 6;
  std::copy_n("Global", 6, block.begin() + 1);
  Write("fuzz_codec_glob", "prefixed", block);
  ResourceTrcn trcn;
  Write("fuzz_codec_trcn", "empty", Encoded(trcn));
}

void FieldSeeds() {
  Bytes sink;
  FieldEncoder e(sink);
  for (int32_t v : {0, -1, 31, -33, 1000, 1048576, -2147483647 - 1}) e.WriteValue32(v);
  e.Flush();
  sink.insert(sink.begin(), 0xFF);
  Write("fuzz_codec_field", "values32", sink);
  sink.clear();
  for (int16_t v : {0, -16, 16, 4095, -32768}) e.WriteValue16(v);
  e.Flush();
  sink.insert(sink.begin(), 0x00);
  Write("fuzz_codec_field", "values16", sink);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_codecs_seeds OUTDIR\n");
    return 2;
  }
  gOut = argv[1];
  StrSeeds();
  BhavSeeds();
  TtabSeeds();
  CarrSeeds();
  SmallSeeds();
  FieldSeeds();
  return 0;
}

// Real game files, read in place when present: every file opens and lists every resource, every
// chunk decodes (the online game's may fail, cleanly), every sprite draws, every SPR2 frame goes
// out as a picture and back, every routine formats, and every chunk saves unchanged.

#include <QDirIterator>

#include <map>

#include "app_test_support.h"
#include "behaviour/instruction_formatter.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_report.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "core/byte_order.h"
#include "graphics/rasterizer.h"
#include "graphics/spr2_pixels.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet::test {
namespace {

struct Tally { int files = 0, spr2Frames = 0; };

void DrawEverySprite(IffFile& file, IffChunk& chunk, Tally& n, const std::string& what) {
  auto drawAll = [&](int width, int height, const std::function<bool(SpriteCanvas&)>& draw, const std::string& at) {
    for (int bits : {15, 16, 24, 32})
      for (bool mirrored : {false, true}) {
        SpriteCanvas canvas(height, width, bits);
        canvas.mirrored = mirrored;
        EXPECT_TRUE(canvas.Allocate() && draw(canvas)) << at << " at " << bits;
      }
  };
  if (chunk.type == ResourceSpr::kType) {
    ResourceSpr spr;
    ASSERT_TRUE(spr.Load(file, chunk)) << what;
    ResourcePalt palette;
    const bool drawable = LoadPalette(file, spr.GetPaletteId(), palette);
    for (size_t f = 0; f < spr.frames.size(); ++f) {
      const SprFrame& frame = spr.frames[f];
      IndexedImage image;
      EXPECT_TRUE(DecodeToIndexed(frame, image)) << what << " frame " << f;
      if (frame.width == 0 || frame.height == 0 || !drawable) continue;
      drawAll(frame.width, frame.height,
              [&](SpriteCanvas& c) { return DrawSprFrameFromFile(file, spr, int(f), c); }, what);
    }
  } else if (chunk.type == ResourceSpr2::kType) {
    ResourceSpr2 spr2;
    ASSERT_TRUE(file.LoadChunkData(chunk));
    // The online game's variant (version 1001, compressed frames) is refused cleanly.
    if (chunk.Size() >= 4 && LoadU32LE(chunk.Data()) != 1000) {
      EXPECT_FALSE(spr2.Load(file, chunk)) << what;
      return;
    }
    ASSERT_TRUE(spr2.Load(file, chunk)) << what;
    for (size_t f = 0; f < spr2.frames.size(); ++f) {
      const Spr2Frame& frame = spr2.frames[f];
      if (frame.width == 0 || frame.height == 0) continue;
      ++n.spr2Frames;
      const std::string where = what + " frame " + std::to_string(f);
      drawAll(frame.width, frame.height,
              [&](SpriteCanvas& c) { return DrawSpr2FrameFromFile(file, frame, spr2.GetPaletteId(), c); }, where);
      Spr2Pixels pixels, back;
      ResourcePalt palette;
      ASSERT_TRUE(DecodeSpr2Pixels(frame, pixels) && LoadSpr2Palette(file, spr2, frame, palette)) << where;
      gtest::ExpectDrawnAsDecoded(frame, pixels, palette.colors.data(), where);
      RgbaPicture picture;
      ASSERT_TRUE(ExportSpr2Frame(file, spr2, int(f), picture).ok()) << where;
      ResourceSpr2 copy = spr2;
      const Spr2Exchange imported = ImportSpr2Frame(file, copy, int(f), picture);
      ASSERT_TRUE(imported.ok()) << where << ": " << imported.detail;
      EXPECT_EQ(imported.approximated, 0u) << where;
      ASSERT_TRUE(DecodeSpr2Pixels(copy.frames[f], back)) << where;
      ASSERT_EQ(back, pixels) << where;
    }
  }
}

void FormatEveryRoutine(IffFile& file, const BehaviourCatalogues& behaviour, const std::string& where) {
  const FunctionList privateFunctions = PrivateFunctions(file);
  const InstructionFormatter formatter(behaviour.primitives, &behaviour.functions, &privateFunctions);
  const std::string semiGlobal = SemiGlobalName(file);
  for (size_t i = 0; i < file.ChunkCount(); ++i) {
    IffChunk& chunk = file.ChunkAt(i);
    if (chunk.type != ResourceBhav::kType) continue;
    ResourceBhav bhav;
    if (!bhav.Load(file, chunk)) continue;
    for (const BhavInstruction& instruction : bhav.instructions) {
      InstructionFormatter::Source source;
      const std::string text = formatter.FormatInstruction(instruction, semiGlobal, &source);
      if (instruction.opcode <= 51) {
        EXPECT_EQ(source, InstructionFormatter::Source::Main) << where << " BHAV " << chunk.id << ": " << text;
      }
    }
  }
}

TEST(CorpusTest, EveryGameFileOpensChecksDrawsFormatsAndSaves) {
  const QString corpus = QStringLiteral(SCRIVET_CORPUS_DIR);
  if (!QFileInfo(corpus).isDir()) GTEST_SKIP() << "no corpus at " << corpus.toStdString();
  // The build puts script.txt beside the program and the stand-in game folder beside its folder.
  const QDir programDir = QFileInfo(QStringLiteral(SCRIVET2_BINARY)).dir();
  BehaviourCatalogues behaviour;
  ASSERT_EQ(LoadBehaviourCatalogues(programDir.filePath("../gamedata").toStdString(),
                                    programDir.filePath("script.txt").toStdString(), behaviour),
            BehaviourError::None);
  QTemporaryDir out;
  Tally n;
  QDirIterator it(corpus, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly) || probe.read(8) != "IFF FILE") continue;
    SCOPED_TRACE(path.toStdString());
    const bool online = path.contains("riperiperi+FreeSO");
    ScriptedPlatform platform;
    ScriptedDialogs dialogs;
    CScrivet2Doc doc(platform, "IFFFile1");
    ResourceListController list(doc, dialogs, behaviour);
    if (!doc.Open(path, nullptr)) {
      EXPECT_TRUE(online) << "does not open";
      continue;
    }
    ++n.files;
    IffFile& file = doc.File();
    EXPECT_EQ(size_t(list.Resources().rowCount()), file.ResourcesByTypeAndId().size());
    ASSERT_TRUE(file.LoadAll());
    std::map<std::pair<TypeCode, uint16_t>, std::vector<uint8_t>> before;
    for (size_t i = 0; i < file.ChunkCount(); ++i) {
      IffChunk& chunk = file.ChunkAt(i);
      if (chunk.type == IffFile::kMapType) continue;
      before[{chunk.type, chunk.id}] = ChunkBytes(chunk);
      const std::string what = path.toStdString() + " " + TypeCodeToString(chunk.type) + " #" + std::to_string(chunk.id);
      if (CheckChunk(chunk).status == ChunkCheck::Status::kDecodeFailed) {
        EXPECT_TRUE(online) << what << " does not decode";
      }
      if (!online) DrawEverySprite(file, chunk, n, what);
    }
    FormatEveryRoutine(file, behaviour, path.toStdString());

    const QString copy = out.filePath(QStringLiteral("copy%1.iff").arg(n.files));
    ASSERT_TRUE(doc.Save(copy, nullptr));
    auto reread = IffFile::OpenPath(copy.toStdString());
    ASSERT_TRUE(reread && reread->LoadAll());
    size_t found = 0;
    for (size_t i = 0; i < reread->ChunkCount(); ++i) {
      IffChunk& chunk = reread->ChunkAt(i);
      if (chunk.type == IffFile::kMapType) continue;
      ++found;
      auto was = before.find({chunk.type, chunk.id});
      ASSERT_NE(was, before.end()) << TypeCodeToString(chunk.type) << " " << chunk.id;
      EXPECT_EQ(ChunkBytes(chunk), was->second) << TypeCodeToString(chunk.type) << " " << chunk.id;
    }
    EXPECT_EQ(found, before.size());
  }
  EXPECT_GT(n.files, 40);
  EXPECT_GT(n.spr2Frames, 0);
}

}  // namespace
}  // namespace scrivet::test

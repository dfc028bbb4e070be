// The SPR# and SPR2 editors, each opened through the application's table on a real sprite, one
// value typed with Auto update on, and OK pressed.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <functional>

#include "app/editor_dispatch.h"
#include "behaviour/behaviour_startup.h"
#include "codecs/type_table.h"
#include "editors/sprite_editor_dialogs.h"
#include "editors/sprite_view.h"
#include "tests/editors/when_open.h"
#include "tests/support/scripted_platform.h"

namespace scrivet {
namespace {

namespace fs = std::filesystem;

// The first real sprite of the type whose first frame draws, in a container opened on its file.
template <class Sprite>
std::unique_ptr<IffFile> OpenRealSprite(uint16_t& id) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(SCRIVET_CORPUS_DIR), ec))
    if (entry.is_regular_file() && (entry.path().extension() == ".iff" || entry.path().extension() == ".wll"))
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& path : files) {
    auto file = IffFile::OpenPath(path);
    if (!file) continue;
    for (size_t pos = file->FirstOfType(Sprite::kType); pos != IffFile::npos; pos = file->NextOfSameType(pos)) {
      Sprite sprite;
      if (!sprite.Load(*file, file->ChunkAt(pos)) || sprite.frames.empty() || sprite.frames[0].width == 0) continue;
      FramePicture picture;
      uint32_t around = 0;
      if constexpr (std::is_same_v<Sprite, ResourceSpr>) {
        if (SprEditor(sprite).Render(*file, 0, picture, around) != FrameShow::Picture) continue;
      } else if (Spr2Editor(sprite).Render(*file, 0, picture, around) != FrameShow::Picture) {
        continue;
      }
      id = file->ChunkAt(pos).id;
      return file;
    }
  }
  return nullptr;
}

template <class Dialog, class Sprite>
void EditRealSprite(int field, const QString& typed, std::function<void(Dialog&)> check,
                    std::function<void(const Sprite& before, const Sprite& after)> compare) {
  uint16_t id = 0;
  auto file = OpenRealSprite<Sprite>(id);
  if (!file) GTEST_SKIP() << "no real sprite";
  ScriptedPlatform platform;
  BehaviourCatalogues behaviour;
  const FunctionList privateFunctions;
  EditorContext context{*file, nullptr, platform, behaviour.primitives, behaviour.functions, privateFunctions, {}};
  Sprite before;
  ASSERT_TRUE(before.Load(*file, *file->Find(Sprite::kType, id)));
  std::unique_ptr<IffResource> resource = CreateResourceForType(Sprite::kType);
  ASSERT_TRUE(resource->Load(*file, *file->Find(Sprite::kType, id)));

  WhenOpen<Dialog>([&](Dialog& dialog) {
    EXPECT_EQ(dialog.FrameList().count(), int(before.frames.size()));
    EXPECT_EQ(dialog.View().Picture().size(), QSize(before.frames[0].width, before.frames[0].height));
    dialog.View().DragBy(3, -2);
    EXPECT_EQ(dialog.PositionText().text(), "Position = {3, -2}");
    check(dialog);
    QLineEdit& box = dialog.FieldBox(field);
    box.selectAll();
    QTest::keyClicks(&box, typed);
    dialog.OkButton().click();
  });
  ASSERT_EQ(RunEditorFor(TypeRows(), *resource, context), EditorResult::Ok);
  Sprite after;
  ASSERT_TRUE(after.Load(*file, *file->Find(Sprite::kType, id)));
  compare(before, after);
  EXPECT_TRUE(platform.messages.empty());
}

TEST(SpriteEditorDialogs, SprEditorStoresATypedX) {
  EditRealSprite<SprEditorDialog, ResourceSpr>(
      SprEditor::kX, "77",
      [](SprEditorDialog& dialog) {
        dialog.ViewButton(int(SprEditor::View::Transparency)).click();
        const QImage map = dialog.View().Picture();
        for (int y = 0; y < map.height(); ++y)
          for (int x = 0; x < map.width(); ++x) ASSERT_TRUE(map.pixel(x, y) == qRgb(0, 0, 0) || map.pixel(x, y) == qRgb(255, 255, 255));
      },
      [](const ResourceSpr& before, const ResourceSpr& after) {
        ASSERT_EQ(after.frames.size(), before.frames.size());
        EXPECT_EQ(after.frames[0].x, 77);
        EXPECT_EQ(after.frames[0].pixelStream, before.frames[0].pixelStream);
      });
}

TEST(SpriteEditorDialogs, Spr2EditorStoresATruncatedOrigin) {
  EditRealSprite<Spr2EditorDialog, ResourceSpr2>(
      Spr2Editor::kOriginX, "12.7",
      [](Spr2EditorDialog& dialog) {
        dialog.ViewButton(int(Spr2Editor::View::Depth)).click();
        EXPECT_EQ(dialog.View().Background(), 0xFFFFFFu);
        EXPECT_EQ(dialog.WidthBox().text().toInt(), dialog.Logic().Working().frames[0].width);
      },
      [](const ResourceSpr2& before, const ResourceSpr2& after) {
        ASSERT_EQ(after.frames.size(), before.frames.size());
        EXPECT_EQ(after.frames[0].originX, 12);
        EXPECT_EQ(after.frames[0].pixelStream, before.frames[0].pixelStream);
        EXPECT_EQ(after.frames.back().flags, before.frames.back().flags);
      });
}

}  // namespace
}  // namespace scrivet

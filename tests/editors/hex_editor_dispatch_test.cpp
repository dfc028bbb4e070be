// The editor table's raw-data row really opens the hex editor and stores what it returns.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "app/editor_dispatch.h"
#include "behaviour/behaviour_startup.h"
#include "codecs/type_table.h"
#include "editors/hex_edit_control.h"
#include "editors/hex_editor_dialog.h"
#include "tests/editors/when_open.h"
#include "tests/support/scripted_platform.h"

namespace scrivet {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ChunkBytes(const IffChunk& chunk) { return Bytes(chunk.Data(), chunk.Data() + chunk.Size()); }

TEST(HexEditorDispatch, RawTypesOpenTheHexEditorAndOkSavesIntoTheContainer) {
  ScriptedPlatform platform;
  BehaviourCatalogues behaviour;
  const FunctionList privateFunctions;
  auto file = IffFile::CreateEmpty(false);
  const Bytes original{1, 2, 3};
  for (TypeCode type : {MakeTypeCode("PALT"), MakeTypeCode("XYZW")}) {
    SCOPED_TRACE(TypeCodeToString(type));
    IffChunk* chunk = file->AddChunk(type, 7, "p", original.data(), original.size());
    ASSERT_NE(chunk, nullptr);
    std::unique_ptr<IffResource> resource = CreateResourceForType(chunk->type);
    ASSERT_TRUE(resource->Load(*file, *chunk));
    EditorContext context{*file, nullptr, platform, behaviour.primitives, behaviour.functions, privateFunctions, {}};

    WhenOpen<HexEditorDialog>([](HexEditorDialog& dialog) {
      QTest::keyClicks(&dialog.Control(), "ff");
      dialog.CancelButton().click();
    });
    EXPECT_EQ(RunEditorFor(TypeRows(), *resource, context), EditorResult::Cancel);
    EXPECT_EQ(ChunkBytes(*file->Find(type, 7)), original);

    WhenOpen<HexEditorDialog>([](HexEditorDialog& dialog) {
      QTest::keyClick(&dialog.Control(), Qt::Key_End, Qt::ControlModifier);
      QTest::keyClick(&dialog.Control(), Qt::Key_Right);
      QTest::keyClick(&dialog.Control(), Qt::Key_Right);
      QTest::keyClicks(&dialog.Control(), "ab");
      dialog.OkButton().click();
    });
    EXPECT_EQ(RunEditorFor(TypeRows(), *resource, context), EditorResult::Ok);
    EXPECT_EQ(ChunkBytes(*file->Find(type, 7)), (Bytes{1, 2, 3, 0xAB}));
  }
}

}  // namespace
}  // namespace scrivet

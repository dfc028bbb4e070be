// Start-up messages for the combinations of game folder and script.txt.

#include <QDir>

#include "app/startup.h"
#include "app_test_support.h"
#include "behaviour/behaviour_startup.h"

namespace scrivet::test {
namespace {

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { qunsetenv("SIMS_DATA"); }
  ScriptedPlatform platform;
};

TEST_F(StartupTest, GameFolderComesFromTheEnvironmentThenTheSettingWithOneSeparator) {
  EXPECT_EQ(WithTrailingSeparator(""), "");
  EXPECT_EQ(WithTrailingSeparator("C:\\Sims\\"), "C:\\Sims\\");
  platform.settings["GameFolder"] = "/from/settings";
  EXPECT_EQ(FindGameFolder(platform), "/from/settings/");
  qputenv("SIMS_DATA", "/from/env/");
  EXPECT_EQ(FindGameFolder(platform), "/from/env/");
  qunsetenv("SIMS_DATA");
}

TEST_F(StartupTest, MessagesForEachCombination) {
  struct Case {
    const char* name;
    bool game;
    const char* script;  // null: no script.txt
    QStringList messages;
    bool ready;
  };
  const Case cases[] = {
      {"no game folder", false, "main(9)=\"x\";", {"Can't load The Sims\\GameData\\Behavior.iff!"}, false},
      {"no script", true, nullptr, {"Can't open script.txt!"}, false},
      {"everything", true, "main(9)=\"x\";", {}, true},
      {"parse error", true, "a(1)=1;b(2)", {"Error while parsing script.txt!"}, false},
      {"no main", true, "helper(1)=\"x\";", {"Can't find the \"main\" subroutine!"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform.Clear();
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("bin");
    if (c.game) {
      QDir(dir.path()).mkpath("game/GameData/Global");
      WriteIffFile(dir.filePath("game/GameData/Behavior.iff"), {{"STR#", 139, "Primitives", {}}});
    }
    if (c.script) WriteBytes(dir.filePath("bin/script.txt"), Bytes(c.script));
    BehaviourCatalogues catalogues;
    EXPECT_EQ(LoadBehaviourSupport(WithTrailingSeparator(c.game ? dir.filePath("game") : QString()), dir.filePath("bin"),
                                   catalogues, platform),
              c.ready);
    EXPECT_EQ(catalogues.primitives.scriptReady, c.ready);
    EXPECT_EQ(platform.MessageTexts(), c.messages);
    for (const auto& message : platform.messages) EXPECT_FALSE(message.hadParent);
  }
}

}  // namespace
}  // namespace scrivet::test

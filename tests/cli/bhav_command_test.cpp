// scrivet2-cli bhav on the stand-in game folder: the lines the behaviour editor shows.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// Runs the command through the shell and returns what it wrote to stdout (stderr is dropped).
std::string RunShell(const std::string& command, int* status = nullptr) {
  std::string output;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  int result = pclose(pipe);
  if (status) *status = result;
  return output;
}

class BhavCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(SCRIVET_GAMEDATA_DIR)) GTEST_SKIP() << "stand-in game folder not generated";
    cli_ = std::string("'") + SCRIVET_CLI + "' bhav '" + SCRIVET_GAMEDATA_DIR +
           "/GameData/Global/Global.iff' --script '" + SCRIVET_SCRIPT_PATH + "'";
  }
  std::string cli_;
};

TEST_F(BhavCommandTest, PrintsLineTextAndTargets) {
  int status = -1;
  EXPECT_EQ(RunShell(cli_ + " 257 --game '" + SCRIVET_GAMEDATA_DIR + "'", &status),
            "0\tIdle For Input: ticks in Param 0, allow push\t1, Error\n"
            "1\tLocal 0 == Literal 0\tTrue, False\n");
  EXPECT_EQ(status, 0);
  // The game folder may also come from SIMS_DATA.
  EXPECT_EQ(RunShell("SIMS_DATA='" + std::string(SCRIVET_GAMEDATA_DIR) + "' " + cli_ + " 300"),
            "0\tMy motive 7 (Hunger) > Literal 50\t1, False\n"
            "1\t(priv:) Idle\tTrue, True\n");
}

TEST_F(BhavCommandTest, WithoutAGameFolderUsesTheFallbackForm) {
  EXPECT_EQ(RunShell("SIMS_DATA= " + cli_ + " 257"), "0\t17 (0, 1, 0, 0)\t1, Error\n1\t2 (0, 0, 512, 1817)\tTrue, False\n");
}

TEST_F(BhavCommandTest, AllRoutinesAndBadArguments) {
  std::string all = RunShell(cli_ + " --all --game '" + SCRIVET_GAMEDATA_DIR + "'");
  EXPECT_EQ(all.rfind("BHAV 256 Idle\n0\tSleep for Param 0 ticks\tTrue, Error\nBHAV 257 Wait for notify\n", 0), 0u)
      << all;
  EXPECT_NE(all.find("BHAV 300 Check motives\n"), std::string::npos);
  int status = 0;
  RunShell(cli_ + " 999", &status);
  EXPECT_NE(status, 0);
  RunShell(cli_ + " 256 --all", &status);
  EXPECT_NE(status, 0);
}

}  // namespace

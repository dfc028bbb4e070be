// Writes seed inputs for the behaviour fuzzer into OUT/script_fuzzer/: the shipped script.txt and
// small scripts covering the grammar, each preceded by a few instructions.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Instructions() {
  // 3 instructions: Expression, Sleep, a call.
  const unsigned char bytes[] = {3,
                                 2, 0, 7, 0, 5, 0, 0, 5, 14, 7,
                                 0, 0, 3, 0, 0, 0, 0, 0, 0, 0,
                                 0x2C, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_behaviour_seeds OUTDIR\n";
    return 2;
  }
  const std::filesystem::path out = std::filesystem::path(argv[1]) / "script_fuzzer";
  std::filesystem::create_directories(out);
  std::vector<std::string> scripts = {
      "main(9)=function(%0);",
      "main(9)=[: %0 == 2 : hex(%1) & \"x\" : %0 < 0 || %0 > 255 : default(%%) : : str(short(%2, %1))];",
      "; comment\nmain(9)=sub(%%);\nsub(9)=[: and(%1, 1) != 0 && %2 >= -1 : long(%1, %2, %3) / %4 : : \"\\;\"];",
      "main(9)=loop(%0);loop(1)=loop(%0 + 1);",
      "main(9)=(1 + (2 * %3) - %4 % 3) & text(139, %0);default(9)=\"mine\" & default(%%);",
      "main(8)=1;",
  };
  std::ifstream script(SCRIVET_SCRIPT_PATH, std::ios::binary);
  if (script) scripts.emplace_back(std::istreambuf_iterator<char>(script), std::istreambuf_iterator<char>());
  for (size_t i = 0; i < scripts.size(); ++i) {
    std::ofstream file(out / ("seed" + std::to_string(i)), std::ios::binary);
    file << Instructions() << scripts[i];
  }
  return 0;
}

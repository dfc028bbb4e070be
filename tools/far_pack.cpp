// Packs files into a version-1 FAR archive, for the stand-in game folder built with the project.
// Usage: far_pack OUTPUT.far NAME=FILE...

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/far_writer.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: far_pack OUTPUT.far NAME=FILE...\n";
    return 2;
  }
  std::vector<scrivet::FarMember> members;
  for (int i = 2; i < argc; ++i) {
    std::string argument = argv[i];
    size_t equals = argument.find('=');
    if (equals == std::string::npos) {
      std::cerr << argument << ": expected NAME=FILE\n";
      return 2;
    }
    std::ifstream in(argument.substr(equals + 1), std::ios::binary);
    if (!in) {
      std::cerr << argument.substr(equals + 1) << ": cannot read\n";
      return 2;
    }
    members.push_back({argument.substr(0, equals),
                       std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())});
  }
  const std::vector<uint8_t> archive = scrivet::BuildFarArchive(members);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
  if (!out.flush()) {
    std::cerr << argv[1] << ": cannot write\n";
    return 2;
  }
  return 0;
}

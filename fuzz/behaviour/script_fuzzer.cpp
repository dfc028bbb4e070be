// Loads arbitrary script text and formats instructions with it.
// Input: one byte N, then N instructions of 10 bytes (opcode, 8 operand bytes), then the script.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "behaviour/function_catalogue.h"
#include "behaviour/instruction_formatter.h"
#include "behaviour/primitive_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scrivet;
  if (size < 1) return 0;
  size_t count = data[0] % 8;
  size_t instructionBytes = count * 10;
  if (size < 1 + instructionBytes) return 0;
  const uint8_t* instructions = data + 1;
  std::string_view text(reinterpret_cast<const char*>(data + 1 + instructionBytes), size - 1 - instructionBytes);

  PrimitiveCatalogue primitives;
  if (!primitives.Load(text)) return 0;
  primitives.scriptReady = true;
  static FunctionCatalogue functions;  // empty: no behaviour file
  InstructionFormatter formatter(primitives, &functions);
  static const std::string kSemiGlobal = "PeopleGlobals";

  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = instructions + i * 10;
    std::array<uint8_t, 8> operand;
    for (size_t k = 0; k < 8; ++k) operand[k] = p[2 + k];
    formatter.FormatInstruction(static_cast<uint16_t>(p[0] | (p[1] << 8)), operand, kSemiGlobal);
  }
  // A few fixed instructions so that even inputs without instructions exercise `main`.
  for (uint16_t opcode : {uint16_t(0), uint16_t(2), uint16_t(44), uint16_t(300), uint16_t(0x8001)}) {
    formatter.FormatInstruction(opcode, {1, 0, 0xFF, 0xFF, 0x80, 5, 14, 7}, kSemiGlobal);
  }
  return 0;
}

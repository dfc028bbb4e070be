#pragma once
// BHAV: one SimAntics routine, a short header and a list of 12-byte instructions that branch to
// one another by line number.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/iff_resource.h"
#include "core/type_code.h"

namespace scrivet {

struct BhavInstruction {
  static constexpr uint8_t kTargetError = 253;
  static constexpr uint8_t kTargetTrue = 254;
  static constexpr uint8_t kTargetFalse = 255;

  uint16_t opcode = 0;
  uint8_t trueTarget = 0;
  uint8_t falseTarget = 0;
  std::array<uint8_t, 8> operand{};

  // Operand words 0-3: signed little-endian views of operand bytes 0-1, 2-3, 4-5, 6-7.
  int16_t OperandWord(size_t index) const;
  void SetOperandWord(size_t index, int16_t value);

  bool operator==(const BhavInstruction&) const = default;
};

// "Error", "True", "False" for the special targets, the decimal number otherwise.
std::string TargetText(uint8_t target);

class ResourceBhav : public ResourceOf<ResourceBhav> {
 public:
  static constexpr TypeCode kType = MakeTypeCode("BHAV");
  static constexpr uint16_t kSignatureNew = 0x8002;
  // The oldest signature with a header; used when a headerless routine is written.
  static constexpr uint16_t kSignatureFirstHeadered = 0x8000;
  static constexpr size_t kHeaderSize = 12;
  static constexpr size_t kInstructionSize = 12;

  TypeCode GetType() const override { return kType; }
  bool Decode() override;
  // False only when the list is longer than the 16-bit count can say.
  bool Encode() override;

  bool ModelEquals(const ResourceBhav& other) const;

  uint16_t signature = kSignatureNew;
  uint16_t instructionCount = 0;
  uint8_t type = 0;
  uint8_t parameterCount = 0;
  uint8_t localCount = 0;
  uint8_t headerByte7 = 0;
  uint32_t revision = 0;
  std::vector<BhavInstruction> instructions;
};

}  // namespace scrivet

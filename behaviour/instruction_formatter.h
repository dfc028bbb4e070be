#pragma once
// Turns one behaviour instruction into text by evaluating the script's `main` subroutine with the
// instruction's opcode and operand bytes; falls back to a fixed numeric form when the script is
// not ready or cannot describe the instruction.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivet {

class FunctionCatalogue;
class PrimitiveCatalogue;
struct FunctionList;
struct BhavInstruction;
struct ScriptSubroutine;

struct ScriptValue {
  int32_t number = 0;
  int size = 4;          // 1, 2 or 4 bytes
  bool isNumber = true;
  std::string text = "0";

  // A number of 1, 2 or 4 bytes, sign-extended from that size.
  static ScriptValue FromNumber(int32_t number, int size);
  static ScriptValue FromText(std::string text);

  // Numbers: sign-extend to the size and refresh the decimal text. Texts: size 4 and the number
  // read from the text's leading decimal digits.
  void Normalise();
};

struct CallFrame {
  std::vector<ScriptValue> arguments;
  const ScriptSubroutine* subroutine = nullptr;  // null for a built-in
  const std::string* semiGlobalName = nullptr;
  std::string_view body;
  size_t cursor = 0;
  bool skip = false;
};

class InstructionFormatter {
 public:
  // Nested subroutine calls beyond this depth fail, so self-recursive scripts end.
  static constexpr int kMaxCallDepth = 256;
  // Nesting of groups, cases and conditions within the whole evaluation.
  static constexpr int kMaxNesting = 2048;
  // Work and text size of one evaluation: a script that would take longer, or build longer
  // texts, fails rather than hang the program.
  static constexpr long kMaxSteps = 250000;
  static constexpr size_t kMaxTextLength = 65536;

  enum class Source { Main, Default, Fallback };

  // `functions` may be null when the game's behaviour file is not loaded. `privateFunctions` are
  // the routines of the file whose instructions are formatted (null: none); each file has its own.
  InstructionFormatter(const PrimitiveCatalogue& primitives, const FunctionCatalogue* functions,
                       const FunctionList* privateFunctions = nullptr)
      : primitives_(primitives), functions_(functions), privateFunctions_(privateFunctions) {}

  std::string FormatInstruction(const BhavInstruction& instruction, const std::string& semiGlobalName,
                                Source* source = nullptr) const;
  std::string FormatInstruction(uint16_t opcode, const std::array<uint8_t, 8>& operand,
                                const std::string& semiGlobalName, Source* source = nullptr) const;

  // "%d (%d, %d, %d, %d)": opcode unsigned, then the four operand words signed.
  static std::string FallbackForm(uint16_t opcode, const std::array<uint8_t, 8>& operand);

  // Evaluates an expression as the body "=" + expression of a subroutine given these arguments.
  bool EvaluateExpression(std::string_view expression, const std::vector<ScriptValue>& arguments,
                          ScriptValue& result, const std::string& semiGlobalName = {}) const;

 private:
  const PrimitiveCatalogue& primitives_;
  const FunctionCatalogue* functions_;
  const FunctionList* privateFunctions_;
};

}  // namespace scrivet

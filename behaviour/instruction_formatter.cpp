#include "behaviour/instruction_formatter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

#include "behaviour/function_catalogue.h"
#include "behaviour/primitive_catalogue.h"
#include "codecs/resource_bhav.h"

namespace scrivet {

// ---------------------------------------------------------------- values

ScriptValue ScriptValue::FromNumber(int32_t number, int size) {
  ScriptValue value;
  value.number = number;
  value.size = size;
  value.Normalise();
  return value;
}

ScriptValue ScriptValue::FromText(std::string text) {
  ScriptValue value;
  value.isNumber = false;
  value.text = std::move(text);
  value.Normalise();
  return value;
}

void ScriptValue::Normalise() {
  if (isNumber) {
    if (size == 1) {
      number = static_cast<int8_t>(number);
    } else if (size == 2) {
      number = static_cast<int16_t>(number);
    } else {
      size = 4;
    }
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    text.assign(buffer, result.ptr);
    return;
  }
  size = 4;
  size_t pos = 0;
  bool negative = !text.empty() && text[0] == '-';
  if (negative) pos = 1;
  uint32_t value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10u + static_cast<uint32_t>(text[pos] - '0');
    ++pos;
  }
  number = static_cast<int32_t>(negative ? 0u - value : value);
}

namespace {

// Inside an evaluation a number's decimal text is made only when a text is needed; an empty text
// on a number means "not made yet" (a decimal form is never empty).
ScriptValue Number(int32_t number, int size) {
  ScriptValue value;
  value.size = size;
  value.number = size == 1 ? static_cast<int8_t>(number) : size == 2 ? static_cast<int16_t>(number) : number;
  value.text.clear();
  return value;
}

void NormaliseLazily(ScriptValue& value) {
  if (value.isNumber) {
    value = Number(value.number, value.size);
  } else {
    value.Normalise();
  }
}

void Materialise(ScriptValue& value) {
  if (value.isNumber && value.text.empty()) value.Normalise();
}

ScriptValue EmptyText() {
  ScriptValue value;
  value.isNumber = false;
  value.text.clear();
  return value;
}

ScriptValue SizedNumber(uint32_t bits, int size) { return Number(static_cast<int32_t>(bits), size); }

uint32_t Masked(const ScriptValue& value) {
  uint32_t bits = static_cast<uint32_t>(value.number);
  if (value.size == 1) return bits & 0xFFu;
  if (value.size == 2) return bits & 0xFFFFu;
  return bits;
}

// The accumulator of char, short and long: 1- and 2-byte numbers are shifted in, anything else
// is OR-ed in unshifted.
uint32_t Concatenate(const std::vector<ScriptValue>& arguments) {
  uint32_t accumulator = 0;
  for (const ScriptValue& value : arguments) {
    uint32_t bits = static_cast<uint32_t>(value.number);
    if (value.isNumber && value.size == 1) {
      accumulator = (accumulator << 8) | (bits & 0xFFu);
    } else if (value.isNumber && value.size == 2) {
      accumulator = (accumulator << 16) | (bits & 0xFFFFu);
    } else {
      accumulator |= bits;
    }
  }
  return accumulator;
}

enum class Builtin { None, Char, Short, Long, And, Or, Xor, Shl, Shr, Str, Hex, Text, Function, Default };

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (x != b[i]) return false;
  }
  return true;
}

Builtin FindBuiltin(std::string_view name) {
  static constexpr std::pair<std::string_view, Builtin> kBuiltins[] = {
      {"char", Builtin::Char}, {"short", Builtin::Short}, {"long", Builtin::Long},
      {"and", Builtin::And},   {"or", Builtin::Or},       {"xor", Builtin::Xor},
      {"shl", Builtin::Shl},   {"shr", Builtin::Shr},     {"str", Builtin::Str},
      {"hex", Builtin::Hex},   {"text", Builtin::Text},   {"function", Builtin::Function},
      {"default", Builtin::Default},
  };
  if (name.size() < 2 || name.size() > 8) return Builtin::None;
  for (const auto& [builtinName, builtin] : kBuiltins) {
    if (EqualsIgnoreCase(name, builtinName)) return builtin;
  }
  return Builtin::None;
}

bool IsBlank(char c) { return c == ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One evaluation of the script: the frames live on the native stack, the counters bound it.
class Evaluator {
 public:
  Evaluator(const PrimitiveCatalogue& primitives, const FunctionCatalogue* functions,
            const FunctionList* privateFunctions)
      : primitives_(primitives), functions_(functions), privateFunctions_(privateFunctions) {}

  bool CallSubroutine(const ScriptSubroutine& subroutine, std::vector<ScriptValue>&& arguments,
                      const std::string* semiGlobalName, ScriptValue& out);
  bool CallBuiltin(Builtin builtin, const std::vector<ScriptValue>& arguments, const std::string* semiGlobalName,
                   ScriptValue& out);
  bool CallByName(std::string_view name, const ScriptSubroutine* caller, std::vector<ScriptValue>&& arguments,
                  const std::string* semiGlobalName, ScriptValue& out);
  // Evaluates the frame's body, which must start with "=".
  bool EvaluateBody(CallFrame& frame, ScriptValue& out);

 private:
  struct NestingGuard {
    explicit NestingGuard(int& counter) : counter_(counter) { ++counter_; }
    ~NestingGuard() { --counter_; }
    int& counter_;
  };

  static char Peek(const CallFrame& f) { return f.cursor < f.body.size() ? f.body[f.cursor] : '\0'; }
  static char PeekAt(const CallFrame& f, size_t offset) {
    return f.cursor + offset < f.body.size() ? f.body[f.cursor + offset] : '\0';
  }
  static void SkipBlanks(CallFrame& f) {
    while (f.cursor < f.body.size() && IsBlank(f.body[f.cursor])) ++f.cursor;
  }

  bool Expression(CallFrame& f, ScriptValue& out);
  bool Term(CallFrame& f, ScriptValue& out);
  bool Case(CallFrame& f, ScriptValue& out);
  // Parses an expression with skip set: nothing is computed and no call is made.
  bool SkipExpression(CallFrame& f, ScriptValue& ignored);
  bool Condition(CallFrame& f, bool& truth);
  bool Comparison(CallFrame& f, bool& truth);
  bool Call(CallFrame& f, ScriptValue& out);
  bool FunctionName(int16_t id, const std::string* semiGlobalName, ScriptValue& out) const;

  const PrimitiveCatalogue& primitives_;
  const FunctionCatalogue* functions_;
  const FunctionList* privateFunctions_;
  int callDepth_ = 0;
  int nesting_ = 0;
  long steps_ = 0;
};

bool Apply(ScriptValue& left, char op, ScriptValue& right) {
  uint32_t l = static_cast<uint32_t>(left.number);
  uint32_t r = static_cast<uint32_t>(right.number);
  switch (op) {
    case '&':
      Materialise(left);
      left.isNumber = false;
      [[fallthrough]];
    case '+':
      if (!left.isNumber || !right.isNumber) {
        Materialise(left);
        Materialise(right);
        if (left.text.size() + right.text.size() > InstructionFormatter::kMaxTextLength) return false;
        left.text += right.text;
        left.isNumber = false;
      }
      left.number = static_cast<int32_t>(l + r);
      break;
    case '-':
      left.number = static_cast<int32_t>(l - r);
      left.isNumber = true;
      break;
    case '*':
      left.number = static_cast<int32_t>(l * r);
      left.isNumber = true;
      break;
    case '/':
    case '%':
      // Undefined in the language; an evaluation that meets them fails instead of trapping.
      if (right.number == 0 || (left.number == INT32_MIN && right.number == -1)) return false;
      left.number = op == '/' ? left.number / right.number : left.number % right.number;
      left.isNumber = true;
      break;
    default:
      return false;
  }
  NormaliseLazily(left);
  return true;
}

bool Evaluator::EvaluateBody(CallFrame& f, ScriptValue& out) {
  if (f.body.empty() || f.body[0] != '=') return false;
  f.cursor = 1;
  SkipBlanks(f);
  if (f.cursor >= f.body.size()) return false;
  if (!Expression(f, out)) return false;
  NormaliseLazily(out);
  return true;
}

bool Evaluator::Expression(CallFrame& f, ScriptValue& out) {
  NestingGuard guard(nesting_);
  if (nesting_ > InstructionFormatter::kMaxNesting) return false;
  // The first term replaces the fresh running value whatever operator it stands for.
  if (!Term(f, out)) return false;
  ScriptValue term;
  while (true) {
    char c = Peek(f);
    if (c != '+' && c != '-' && c != '*' && c != '/' && c != '%' && c != '&') return true;
    if (c == '&' && PeekAt(f, 1) == '&') return true;  // belongs to a condition
    ++f.cursor;
    if (!Term(f, term)) return false;
    // Values computed while skipping are never used, so nothing is computed (and a division
    // by zero in an arm that is not taken does not fail).
    if (!f.skip && !Apply(out, c, term)) return false;
  }
}

bool Evaluator::Term(CallFrame& f, ScriptValue& out) {
  if (++steps_ > InstructionFormatter::kMaxSteps) return false;
  SkipBlanks(f);
  const std::string_view body = f.body;
  char c = Peek(f);
  if (c == '"') {
    ++f.cursor;
    if (!f.skip) out = EmptyText();
    while (true) {
      size_t stop = std::min(body.find_first_of("\"\\", f.cursor), body.size());
      if (!f.skip) out.text.append(body.substr(f.cursor, stop - f.cursor));
      f.cursor = stop;
      if (stop >= body.size() || body[stop] == '"') break;
      // A backslash makes the next character literal.
      if (stop + 1 < body.size()) ++f.cursor;
      if (!f.skip) out.text.push_back(body[f.cursor]);
      ++f.cursor;
    }
    if (f.cursor < body.size()) ++f.cursor;  // the closing quote
    if (!f.skip) out.Normalise();
  } else if (c == '-' || IsDigit(c)) {
    bool negative = c == '-';
    if (negative) ++f.cursor;
    if (!IsDigit(Peek(f))) return false;
    uint32_t value = 0;
    while (IsDigit(Peek(f))) value = value * 10u + static_cast<uint32_t>(body[f.cursor++] - '0');
    if (!f.skip) out = Number(static_cast<int32_t>(negative ? 0u - value : value), 4);
  } else if (c == '%') {
    ++f.cursor;
    if (!IsDigit(Peek(f))) return false;
    size_t index = 0;
    while (IsDigit(Peek(f))) {
      index = std::min<size_t>(index * 10 + static_cast<size_t>(body[f.cursor++] - '0'), SIZE_MAX / 16);
    }
    if (index >= f.arguments.size()) return false;
    if (!f.skip) out = f.arguments[index];
  } else if (c == '(') {
    ++f.cursor;
    if (!Expression(f, out)) return false;
    if (f.cursor < body.size()) ++f.cursor;  // the closing parenthesis, whatever it is
  } else if (c == '[') {
    if (!Case(f, out)) return false;
  } else if (c >= 'a' && c <= 'z') {
    if (!Call(f, out)) return false;
  } else {
    return false;
  }
  SkipBlanks(f);
  return true;
}

bool Evaluator::Case(CallFrame& f, ScriptValue& out) {
  NestingGuard guard(nesting_);
  if (nesting_ > InstructionFormatter::kMaxNesting) return false;
  ++f.cursor;  // "["
  SkipBlanks(f);
  if (Peek(f) != ':') return false;
  ++f.cursor;
  SkipBlanks(f);
  if (!f.skip) out = EmptyText();
  if (Peek(f) == ']') {
    ++f.cursor;
    return true;
  }
  bool matched = false;
  ScriptValue ignored;
  while (true) {
    bool truth = false;
    if (!Condition(f, truth) || Peek(f) != ':') return false;
    ++f.cursor;
    if (truth && !matched) {
      matched = true;
      if (!Expression(f, out)) return false;
    } else if (!SkipExpression(f, ignored)) {
      return false;
    }
    SkipBlanks(f);
    char c = Peek(f);
    if (c == ']') break;
    if (c != ':') return false;
    ++f.cursor;
    SkipBlanks(f);
    if (Peek(f) == ']') break;
  }
  ++f.cursor;  // "]"
  return true;
}

bool Evaluator::SkipExpression(CallFrame& f, ScriptValue& ignored) {
  const size_t start = f.cursor;
  std::vector<uint32_t>* ends = nullptr;
  // Only a subroutine's frame has a fixed argument count, the one thing skipping depends on.
  if (f.subroutine && f.body.data() == f.subroutine->body.data() && f.body.size() < UINT32_MAX) {
    ends = &f.subroutine->skipEnds;
    if (ends->empty()) ends->resize(f.body.size() + 1, 0);
    if ((*ends)[start] != 0) {
      f.cursor = (*ends)[start];
      return true;
    }
  }
  bool saved = f.skip;
  f.skip = true;
  bool ok = Expression(f, ignored);
  f.skip = saved;
  if (ok && ends) (*ends)[start] = static_cast<uint32_t>(f.cursor);
  return ok;
}

bool Evaluator::Condition(CallFrame& f, bool& truth) {
  NestingGuard guard(nesting_);
  if (nesting_ > InstructionFormatter::kMaxNesting) return false;
  truth = true;
  SkipBlanks(f);
  if (Peek(f) == ':') return true;  // the "otherwise" arm
  bool orMode = false;
  while (true) {
    SkipBlanks(f);
    bool element = false;
    if (Peek(f) == '(') {
      ++f.cursor;
      if (!Condition(f, element)) return false;
      SkipBlanks(f);
      if (Peek(f) != ')') return false;
      ++f.cursor;
    } else if (!Comparison(f, element)) {
      return false;
    }
    // No short-circuit: every element was evaluated above.
    if (orMode) {
      if (element) truth = true;
    } else if (!element) {
      truth = false;
    }
    SkipBlanks(f);
    char c = Peek(f);
    if (c == ':' || c == ')') return true;
    if ((c != '|' && c != '&') || PeekAt(f, 1) != c) return false;
    orMode = c == '|';
    f.cursor += 2;
  }
}

bool Evaluator::Comparison(CallFrame& f, bool& truth) {
  ScriptValue left, right;
  if (!Expression(f, left)) return false;
  SkipBlanks(f);
  char c0 = Peek(f), c1 = PeekAt(f, 1);
  int op = 0;  // 0: none
  size_t length = 0;
  if (c1 == '=' && (c0 == '=' || c0 == '!' || c0 == '<' || c0 == '>')) {
    op = c0 == '=' ? 1 : c0 == '!' ? 2 : c0 == '<' ? 3 : 4;
    length = 2;
  } else if (c0 == '<' || c0 == '>') {
    op = c0 == '<' ? 5 : 6;
    length = 1;
  }
  f.cursor += length;
  if (!Expression(f, right)) return false;
  // Normalised numbers already hold their sign-extended values.
  const int32_t l = left.number, r = right.number;
  switch (op) {
    case 0:
      SkipBlanks(f);
      if (Peek(f) != ':') return false;
      truth = true;
      return true;
    case 1: truth = l == r; break;
    case 2: truth = l != r; break;
    case 3: truth = l <= r; break;
    case 4: truth = l >= r; break;
    case 5: truth = l < r; break;
    default: truth = l > r; break;
  }
  return true;
}

bool Evaluator::Call(CallFrame& f, ScriptValue& out) {
  size_t open = f.body.find('(', f.cursor);
  if (open == std::string_view::npos) return false;
  std::string_view name = f.body.substr(f.cursor, open - f.cursor);
  f.cursor = open + 1;
  std::vector<ScriptValue> arguments;
  if (!f.skip) arguments.reserve(4);
  if (f.body.substr(f.cursor, 3) == "%%)") {
    f.cursor += 3;
    if (!f.skip) arguments = f.arguments;
  } else {
    while (true) {
      while (Peek(f) == ',' || IsBlank(Peek(f))) ++f.cursor;
      if (f.cursor >= f.body.size()) return false;
      if (Peek(f) == ')') {
        ++f.cursor;
        break;
      }
      ScriptValue argument;
      if (!Expression(f, argument)) return false;
      if (!f.skip) arguments.push_back(std::move(argument));
    }
  }
  if (f.skip) return true;
  return CallByName(name, f.subroutine, std::move(arguments), f.semiGlobalName, out);
}

bool Evaluator::CallByName(std::string_view name, const ScriptSubroutine* caller, std::vector<ScriptValue>&& arguments,
                           const std::string* semiGlobalName, ScriptValue& out) {
  Builtin builtin = FindBuiltin(name);
  if (builtin == Builtin::Default && name == "default" && !(caller && caller->name == "default")) {
    // A script may define its own default; the built-in stays reachable from inside it.
    if (const ScriptSubroutine* own = primitives_.FindSubroutine("default")) {
      return CallSubroutine(*own, std::move(arguments), semiGlobalName, out);
    }
  }
  if (builtin != Builtin::None) return CallBuiltin(builtin, arguments, semiGlobalName, out);
  const ScriptSubroutine* subroutine = primitives_.FindSubroutine(name);
  if (!subroutine) return false;
  return CallSubroutine(*subroutine, std::move(arguments), semiGlobalName, out);
}

bool Evaluator::CallSubroutine(const ScriptSubroutine& subroutine, std::vector<ScriptValue>&& arguments,
                               const std::string* semiGlobalName, ScriptValue& out) {
  if (subroutine.parameterCount < 0 || arguments.size() != static_cast<size_t>(subroutine.parameterCount)) {
    return false;
  }
  if (callDepth_ >= InstructionFormatter::kMaxCallDepth) return false;
  ++callDepth_;
  CallFrame frame;
  frame.arguments = std::move(arguments);
  frame.subroutine = &subroutine;
  frame.semiGlobalName = semiGlobalName;
  frame.body = subroutine.body;
  bool ok = EvaluateBody(frame, out);
  --callDepth_;
  return ok;
}

bool Evaluator::FunctionName(int16_t id, const std::string* semiGlobalName, ScriptValue& out) const {
  if (id < 0) {
    out = SizedNumber(static_cast<uint16_t>(id), 2);
    return true;
  }
  if (id < 256) {
    const std::string* name =
        functions_ ? functions_->FindString(FunctionCatalogue::kPrimitiveNamesId, static_cast<uint16_t>(id)) : nullptr;
    out = name ? ScriptValue::FromText(*name) : EmptyText();
    return true;
  }
  const uint16_t key = static_cast<uint16_t>(id);
  if (const FunctionListEntry* entry =
          privateFunctions_ ? FunctionCatalogue::FindEntry(*privateFunctions_, key) : nullptr) {
    out = ScriptValue::FromText("(priv:) " + entry->name);
    return true;
  }
  if (functions_) {
    if (id < 4096) {
      if (const FunctionListEntry* entry = FunctionCatalogue::FindEntry(functions_->GlobalList(), key)) {
        out = ScriptValue::FromText("(glob:) " + entry->name);
        return true;
      }
    } else if (id >= 8192) {
      const FunctionList* list =
          semiGlobalName ? functions_->FindSemiGlobalList(*semiGlobalName) : nullptr;
      if (const FunctionListEntry* entry = list ? FunctionCatalogue::FindEntry(*list, key) : nullptr) {
        out = ScriptValue::FromText("(semi:) " + entry->name);
        return true;
      }
    }
  }
  out = SizedNumber(key, 2);
  return true;
}

bool Evaluator::CallBuiltin(Builtin builtin, const std::vector<ScriptValue>& args, const std::string* semiGlobalName,
                            ScriptValue& out) {
  auto needs = [&](size_t count) { return args.size() == count; };
  switch (builtin) {
    case Builtin::Char:
      out = SizedNumber(Concatenate(args) & 0xFFu, 1);
      return true;
    case Builtin::Short:
      out = SizedNumber(Concatenate(args) & 0xFFFFu, 2);
      return true;
    case Builtin::Long:
      out = SizedNumber(Concatenate(args), 4);
      return true;
    case Builtin::And:
    case Builtin::Or:
    case Builtin::Xor: {
      if (!needs(2)) return false;
      uint32_t a = Masked(args[0]), b = Masked(args[1]);
      uint32_t r = builtin == Builtin::And ? (a & b) : builtin == Builtin::Or ? (a | b) : (a ^ b);
      out = SizedNumber(r, std::max(args[0].size, args[1].size));
      return true;
    }
    case Builtin::Shl:
    case Builtin::Shr: {
      if (!needs(2)) return false;
      uint32_t a = Masked(args[0]);
      uint32_t shift = Masked(args[1]) % 32u;
      out = SizedNumber(builtin == Builtin::Shl ? a << shift : a >> shift, args[0].size);
      return true;
    }
    case Builtin::Str:
      if (!needs(1)) return false;
      out = args[0];
      Materialise(out);
      out.isNumber = false;
      out.Normalise();
      return true;
    case Builtin::Hex: {
      if (!needs(1)) return false;
      char buffer[16];
      int width = args[0].size == 1 ? 2 : args[0].size == 2 ? 4 : 8;
      std::snprintf(buffer, sizeof buffer, "%.*x", width, static_cast<unsigned>(Masked(args[0])));
      out = ScriptValue::FromText(buffer);
      return true;
    }
    case Builtin::Text: {
      if (!needs(2) || !args[0].isNumber || !args[1].isNumber) return false;
      uint32_t id = Masked(args[0]);
      uint16_t index = static_cast<uint16_t>(static_cast<uint32_t>(args[1].number) & 0xFFFFu);
      const std::string* text =
          functions_ && id <= 0xFFFF ? functions_->FindString(static_cast<uint16_t>(id), index) : nullptr;
      out = ScriptValue::FromText(text ? *text : "?");
      return true;
    }
    case Builtin::Function:
      if (!needs(1)) return false;
      return FunctionName(static_cast<int16_t>(Concatenate(args) & 0xFFFFu), semiGlobalName, out);
    case Builtin::Default: {
      if (!needs(9)) return false;
      ScriptValue name;
      if (!FunctionName(static_cast<int16_t>(Concatenate({args[0]}) & 0xFFFFu), semiGlobalName, name)) return false;
      Materialise(name);
      bool allFF = true;
      for (size_t i = 1; i <= 8; ++i) allFF = allFF && (args[i].number & 0xFF) == 0xFF;
      if (allFF) {
        out = ScriptValue::FromText(name.text);
        return true;
      }
      std::string text = name.text;
      text += " (";
      char buffer[4];
      for (size_t i = 1; i <= 8; ++i) {
        std::snprintf(buffer, sizeof buffer, "%.2x", static_cast<unsigned>(args[i].number & 0xFF));
        if (i > 1) text += ' ';
        text += buffer;
      }
      text += ')';
      out = ScriptValue::FromText(std::move(text));
      return true;
    }
    case Builtin::None:
      break;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------- formatter

std::string InstructionFormatter::FallbackForm(uint16_t opcode, const std::array<uint8_t, 8>& operand) {
  auto word = [&](size_t i) { return static_cast<int16_t>(operand[2 * i] | (operand[2 * i + 1] << 8)); };
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%u (%d, %d, %d, %d)", static_cast<unsigned>(opcode), word(0), word(1),
                word(2), word(3));
  return buffer;
}

std::string InstructionFormatter::FormatInstruction(const BhavInstruction& instruction,
                                                    const std::string& semiGlobalName, Source* source) const {
  return FormatInstruction(instruction.opcode, instruction.operand, semiGlobalName, source);
}

std::string InstructionFormatter::FormatInstruction(uint16_t opcode, const std::array<uint8_t, 8>& operand,
                                                    const std::string& semiGlobalName, Source* source) const {
  if (source) *source = Source::Fallback;
  const ScriptSubroutine* main = primitives_.scriptReady ? primitives_.FindSubroutine("main") : nullptr;
  // A failed custom load can leave the script marked ready without any subroutine.
  if (!main) return FallbackForm(opcode, operand);
  std::vector<ScriptValue> arguments;
  arguments.reserve(9);
  arguments.push_back(Number(static_cast<int16_t>(opcode), 2));
  for (uint8_t byte : operand) arguments.push_back(Number(static_cast<int8_t>(byte), 1));
  ScriptValue result;
  {
    Evaluator evaluator(primitives_, functions_, privateFunctions_);
    std::vector<ScriptValue> copy = arguments;
    if (evaluator.CallSubroutine(*main, std::move(copy), &semiGlobalName, result)) {
      if (source) *source = Source::Main;
      Materialise(result);
      return std::move(result.text);
    }
  }
  Evaluator evaluator(primitives_, functions_, privateFunctions_);
  if (evaluator.CallBuiltin(Builtin::Default, arguments, &semiGlobalName, result)) {
    if (source) *source = Source::Default;
    Materialise(result);
    return std::move(result.text);
  }
  return FallbackForm(opcode, operand);
}

bool InstructionFormatter::EvaluateExpression(std::string_view expression, const std::vector<ScriptValue>& arguments,
                                              ScriptValue& result, const std::string& semiGlobalName) const {
  std::string body = "=";
  body.append(expression);
  body.push_back(';');
  CallFrame frame;
  frame.arguments = arguments;
  for (ScriptValue& value : frame.arguments) value.Normalise();
  frame.semiGlobalName = &semiGlobalName;
  frame.body = body;
  Evaluator evaluator(primitives_, functions_, privateFunctions_);
  if (!evaluator.EvaluateBody(frame, result)) return false;
  Materialise(result);
  return true;
}

}  // namespace scrivet

#include "behaviour/instruction_formatter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "behaviour/primitive_catalogue.h"
#include "codecs/resource_bhav.h"

namespace scrivet {
namespace {

std::vector<ScriptValue> Bytes(std::initializer_list<uint8_t> bytes) {
  std::vector<ScriptValue> values;
  for (uint8_t b : bytes) values.push_back(ScriptValue::FromNumber(b, 1));
  return values;
}

struct TextCase {
  const char* expression;
  const char* text;
};

constexpr std::array<uint8_t, 8> kAllFF = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

class FormatterTest : public ::testing::Test {
 protected:
  void UseScript(const std::string& text) {
    ASSERT_TRUE(primitives_.Load(text));
    primitives_.scriptReady = true;
  }
  // The value's text, or "<fail>".
  std::string Eval(const std::string& expression, const std::vector<ScriptValue>& args = {}) {
    ScriptValue value;
    if (!formatter_.EvaluateExpression(expression, args, value)) return "<fail>";
    last_ = value;
    return value.text;
  }

  PrimitiveCatalogue primitives_;
  InstructionFormatter formatter_{primitives_, nullptr};
  ScriptValue last_;
};

TEST_F(FormatterTest, ExpressionsRunLeftToRightWithTheLeftSize) {
  const auto args = Bytes({100, 1, 0x80});
  const TextCase cases[] = {
      {"1 + 2 * 3", "9"},
      {"2 * (1 + 2)", "6"},
      {"%0 + %0", "-56"},       // two 1-byte numbers stay one byte
      {"%1 + 1000", "-23"},     // 1001 cut to the left's byte
      {"1000 + %1", "1001"},
      {"%2 * -1", "-128"},      // 128 does not fit one signed byte
      {"\"a\" & 1 + 2", "a12"},
      {"1 + \"x\"", "1x"},
      {"5 - \"abc\"", "5"},
      {"\"7\" - 2", "5"},
      {"\"-7x\" - 1", "-8"},  // a text's number is its leading digits, sign included
      {"7 / -2", "-3"},
      {"-7 % 2", "-1"},
      {"7 % -2", "1"},
      {"2147483647 + 1", "-2147483648"},
      {"\"a\\\"b\\\\c\\;\"", "a\"b\\c;"},
      {"\"unterminated", "unterminated;"},
      {"1 2", "1"},             // the expression ends at the first non-operator
  };
  for (const TextCase& c : cases) EXPECT_EQ(Eval(c.expression, args), c.text) << c.expression;
  EXPECT_EQ(Eval("\"5\" & 5"), "55");
  EXPECT_FALSE(last_.isNumber);
  EXPECT_EQ(last_.number, 55);
}

TEST_F(FormatterTest, FailuresOfTheLanguage) {
  UseScript("one(1)=%0;");
  const auto args = Bytes({1, 2});
  const char* failing[] = {
      "",  "1 +", "-", "%", "%2", "%99999999999999999999", "1 / 0", "1 % 0", "-2147483648 / -1",
      "-2147483648 % -1", "undefined(1)", "one()", "one(1, 2)", "and(1)", "hex(1, 2)", "str()",
      "default(1)", "text(1)", "text(\"a\", 1)", "function(1, 2)", "[", "[:", "[: 1 == 1 : 2", "[1]", "[: 1 = 1 : 2]",
      "[: 1 == 1 ; 2]", "[: 1 == 1 : 2 ; ]", "[: 1 == 1 | 1 == 1 : 2]", "[: (1 == 1 : 2]", "f", "@", "[: 1 2 3 : 4]",
  };
  for (const char* expression : failing) EXPECT_EQ(Eval(expression, args), "<fail>") << expression;
}

TEST_F(FormatterTest, BuiltIns) {
  struct Case {
    const char* expression;
    std::vector<ScriptValue> args;
    const char* text;
  };
  const Case cases[] = {
      {"short(%1, %0)", Bytes({0x34, 0x12}), "4660"},
      {"char(%0, %1)", Bytes({0x12, 0x80}), "-128"},
      {"long(%0, %1, %2, %3)", Bytes({1, 2, 3, 4}), "16909060"},
      {"long(short(%0, %1), %2)", Bytes({1, 2, 3}), "66051"},
      {"long(%0, short(%1, %2))", Bytes({1, 2, 3}), "66051"},  // 2-byte values shift by 16
      {"long(%0, 65536)", Bytes({1}), "65537"},                // 4-byte values are OR-ed in
      {"long()", {}, "0"},
      {"hex(%0)", Bytes({0xFF}), "ff"},
      {"hex(short(%0, %1))", Bytes({0xFF, 0xFF}), "ffff"},
      {"hex(10)", {}, "0000000a"},
      {"str(%0)", Bytes({0x80}), "-128"},
      {"and(%0, 255)", Bytes({0xFF}), "255"},   // masked to one byte, then the larger size
      {"and(%0, %1)", Bytes({0xFF, 0xFF}), "-1"},
      {"or(%0, 256)", Bytes({0x80}), "384"},
      {"xor(%0, %1)", Bytes({0x0F, 0xFF}), "-16"},
      {"shl(%0, 4)", Bytes({0x0F}), "-16"},
      {"shr(%0, 4)", Bytes({0xF0}), "15"},
      {"shl(1, 33)", {}, "2"},
      {"shr(-1, 28)", {}, "15"},
      {"function(%0)", {ScriptValue::FromNumber(300, 2)}, "300"},
      {"function(%0)", {ScriptValue::FromNumber(5, 2)}, ""},  // no behaviour file: no primitive names
      {"text(1, 5)", {}, "?"},
      {"cHAR(1)", {}, "1"},
      {"CHAR(1)", {}, "<fail>"},  // a call name starts with a lower-case letter
  };
  for (const Case& c : cases) EXPECT_EQ(Eval(c.expression, c.args), c.text) << c.expression;
}

TEST_F(FormatterTest, CasesEvaluateEveryConditionButOnlyTheChosenArm) {
  const auto args = Bytes({0x80, 3});
  const TextCase cases[] = {
      {"[: 1 == 2 : \"a\" : 1 == 1 : \"b\" : : \"c\"]", "b"},
      {"[: 1 == 2 : \"a\" : 2 == 3 : \"b\"]", ""},
      {"[ : ]", ""},
      {"[: : \"otherwise\" :]", "otherwise"},
      {"[: 1 == 1 : \"x\" : : undefined(1)]", "x"},       // calls in other arms are not made
      {"[: 1 == 1 : \"x\" : 1 == 1 : \"y\"]", "x"},        // the first true arm wins
      {"[: 1 == 1 || 1 == 2 && 1 == 2 : \"y\" : : \"n\"]", "n"},  // no precedence
      {"[: (1 == 2 || 1 == 1) && 2 == 2 : \"y\" : : \"n\"]", "y"},
      {"[: %0 < 0 && %0 >= -128 && %0 <= -128 && %0 != 0 && %1 > 2 : \"y\" : : \"n\"]", "y"},
      {"[: \"abc\" == \"xyz\" : \"equal\"]", "equal"},      // texts compare by their numbers
      {"[: \"a\" \"b\" : \"t\"]", "t"},                    // no operator: true
      {"[: 1 2 : \"t\" : : \"f\"]", "t"},                   // no operator: true, whatever follows
      {"[: 2>10 : \"y\" : : \"n\"]", "n"},                  // operators need no blanks
      {"[: 10<2 : \"y\" : : \"n\"]", "n"},
      {"[: 1 == 1 : [: 2 == 2 : \"in\"] & \"!\"]", "in!"},
      {"\"<\" & [: %1 == 3 : \"three\" : : \"other\"] & \">\"", "<three>"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(Eval(c.expression, args), c.text) << c.expression;
  // No short-circuit in conditions; skipped arms are parsed but not computed.
  EXPECT_EQ(Eval("[: 1 == 2 && undefined(1) == 1 : 1 : : 2]"), "<fail>");
  EXPECT_EQ(Eval("[: 1 == 1 : 1 : : %20]"), "<fail>");
  EXPECT_EQ(Eval("[: %1 != 0 : 100 / %1 : : \"none\"]", Bytes({0, 0})), "none");
  EXPECT_EQ(Eval("[: %1 != 0 : 100 / %1 : : \"none\"]", Bytes({0, 4})), "25");
  EXPECT_EQ(Eval("[: 1 == 1 : 1 / 0 : : 1]"), "<fail>");
}

TEST_F(FormatterTest, CallsPassArgumentsAndCountsMustMatch) {
  UseScript(
      "pair(2)=%1 & \"/\" & %0;"
      "pass(2)=pair(%%);"
      "twice(1)=pair(%0, %0);"
      "bad(1)=1 +;"
      "nobody(1)=;"
      "noequals(1)%0;"
      "semi(0)=\"x\\;y\";");
  EXPECT_EQ(Eval("pass(%0, %1)", Bytes({1, 2})), "2/1");
  EXPECT_EQ(Eval("tWICE(%0)", Bytes({7})), "7/7");  // names match ignoring case
  EXPECT_EQ(Eval("semi()"), "x;y");
  EXPECT_EQ(Eval("pass(%%)", Bytes({5, 6})), "6/5");
  for (const char* call : {"pair(%0)", "bad(%0)", "nobody(%0)", "noequals(%0)", "pass(%%)"})
    EXPECT_EQ(Eval(call, Bytes({1})), "<fail>") << call;
}

TEST_F(FormatterTest, FallbackForm) {
  const std::array<uint8_t, 8> operand = {0x01, 0x00, 0xff, 0xff, 0x00, 0x80, 0x10, 0x00};
  EXPECT_EQ(InstructionFormatter::FallbackForm(0xFFFF, {}), "65535 (0, 0, 0, 0)");
  InstructionFormatter::Source source;
  // Not ready: the fallback even though a main exists.
  ASSERT_TRUE(primitives_.Load("main(9)=\"script\";"));
  EXPECT_EQ(formatter_.FormatInstruction(2, operand, "", &source), "2 (1, -1, -32768, 16)");
  EXPECT_EQ(source, InstructionFormatter::Source::Fallback);
  BhavInstruction instruction;
  instruction.opcode = 2;
  instruction.operand = operand;
  primitives_.scriptReady = true;
  EXPECT_EQ(formatter_.FormatInstruction(instruction, "", &source), "script");
  EXPECT_EQ(source, InstructionFormatter::Source::Main);
  // Ready but without main (a failed custom load before any script): the fallback.
  ASSERT_TRUE(primitives_.Load(""));
  EXPECT_EQ(formatter_.FormatInstruction(instruction, "", &source), "2 (1, -1, -32768, 16)");
  EXPECT_EQ(source, InstructionFormatter::Source::Fallback);
}

TEST_F(FormatterTest, MainFailureFallsBackToDefault) {
  InstructionFormatter::Source source;
  UseScript("main(8)=\"eight parameters\";");
  const std::array<uint8_t, 8> lastByte = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01};
  EXPECT_EQ(formatter_.FormatInstruction(300, lastByte, "", &source), "300 (ff ff ff ff ff ff ff 01)");
  EXPECT_EQ(source, InstructionFormatter::Source::Default);
  EXPECT_EQ(formatter_.FormatInstruction(300, kAllFF, ""), "300");
  EXPECT_EQ(formatter_.FormatInstruction(0x8005, kAllFF, ""), "-32763");
  UseScript("main(9)=[: %0 == 1 : undefined(1) : : \"ok\"];");
  EXPECT_EQ(formatter_.FormatInstruction(1, kAllFF, ""), "");  // primitive without names: empty name
  EXPECT_EQ(formatter_.FormatInstruction(2, kAllFF, ""), "ok");
}

TEST_F(FormatterTest, UserDefaultIsCalledExceptFromItself) {
  UseScript(
      "main(9)=default(%%);"
      "default(9)=\"<\" & default(%%) & \">\";");
  EXPECT_EQ(formatter_.FormatInstruction(300, kAllFF, ""), "<300>");
  // Spelt otherwise (names are matched regardless of case after the first letter) the call goes
  // to the built-in.
  UseScript(
      "main(9)=dEFAULT(%%);"
      "default(9)=\"mine\";");
  EXPECT_EQ(formatter_.FormatInstruction(300, kAllFF, ""), "300");
}

TEST_F(FormatterTest, EndlessRecursionAndDeepNestingFailCleanly) {
  UseScript(
      "main(9)=loop(%0);"
      "loop(1)=loop(%0) & \"x\";");
  InstructionFormatter::Source source;
  EXPECT_EQ(formatter_.FormatInstruction(300, kAllFF, "", &source), "300");
  EXPECT_EQ(source, InstructionFormatter::Source::Default);
  UseScript("main(9)=count(%0);count(1)=[: %0 > 0 : count(%0 - 1) & \"x\" : : \"\"];");
  EXPECT_EQ(formatter_.FormatInstruction(200, kAllFF, ""), std::string(200, 'x'));
  EXPECT_EQ(formatter_.FormatInstruction(300, kAllFF, ""), "300");  // deeper than calls may go
  // Work that grows exponentially ends at the step and text limits.
  std::string calls = "main(9)=e0();";
  for (int i = 0; i < 40; ++i) {
    calls += "e" + std::to_string(i) + "(0)=e" + std::to_string(i + 1) + "() & e" + std::to_string(i + 1) + "();";
  }
  calls += "e40(0)=\"x\";";
  UseScript(calls);
  EXPECT_EQ(formatter_.FormatInstruction(300, kAllFF, "", &source), "300");
  EXPECT_EQ(source, InstructionFormatter::Source::Default);
  UseScript("main(9)=d(d(d(d(d(d(d(d(d(d(d(d(d(d(d(d(d(d(d(d(\"ab\"))))))))))))))))))));d(1)=%0 & %0;");
  EXPECT_EQ(formatter_.FormatInstruction(300, kAllFF, "", &source), "300");
  EXPECT_EQ(Eval(std::string(100000, '(') + "1"), "<fail>");
}

}  // namespace
}  // namespace scrivet

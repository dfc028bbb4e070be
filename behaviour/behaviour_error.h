#pragma once
// Why loading the behaviour catalogues failed. The texts the user sees are chosen by the
// application and the command-line tool.

namespace scrivet {

enum class BehaviourError {
  None,
  NoBehaviourFile,  // the game's behaviour file is missing or unreadable
  CantOpenScript,   // the script file cannot be opened
  ScriptParseError,
  NoMain,           // the script parses but has no "main" subroutine
};

}  // namespace scrivet

#pragma once
// Why an editor refused an edit. The editors' logic classes name the reason (and, for numbers,
// the accepted range); the dialogs choose the words the user sees.

#include <string>

namespace scrivet {

enum class EditError {
  None,
  Empty,       // a number box holds nothing but blanks
  NotANumber,  // not a whole number of the box's base ("12a", "0x" in a decimal box, "1e3")
  OutOfRange,  // a number, but outside the box's range (or wider than the field in binary or hex)
  // BHAV editor
  NoLineSelected,    // a line command that works on the selected line, with none selected
  TooManyLines,      // the routine would grow past the lines a jump can name
  LineIsJumpTarget,  // Delete of a line that another line jumps to
  NoFunctionChosen,  // the function picker's OK with no entry or a separator chosen
  // String table, object definition and interaction menu editors
  TooManyStrings,       // the string table would hold more strings than its count word can say
  TextTooLong,          // longer than the basic layout's 255 bytes (detail: the item number)
  TooManyInteractions,  // the interaction table would grow past its 16-bit count
  NoTextItem,           // an interaction's text index names no item a string table can hold
  // Career, constants, function table, FWAV and GLOB editors
  NoRowSelected,  // a row command or a field of the selected row, with no row selected
  ListFull,       // Add on a list that already holds as many rows as its file can count
  ZeroInText,     // a text with a zero byte, which would end it early in the file
};

struct EditFailure {
  EditError error = EditError::None;
  std::string detail;  // what was refused, as the user typed it
};

}  // namespace scrivet

#pragma once
// Why a core operation failed. The texts the user sees are chosen by the application and the
// command-line tool; the core only names the reason and passes on the system's own words.

#include <string>
#include <utility>

namespace scrivet {

enum class CoreError {
  None,
  NotIff,          // the header does not start with "IFF FILE"
  BadVersion,      // a container version other than 2.0 and 2.5
  InvalidHandle,   // the container has no stream (it was closed)
  System,          // the system refused (open, write, rename, ...); detail holds its reason
  OutOfMemory,
  ShortRead,       // the file ended before all of it was read
  SourceChanged,   // another program rewrote the file since it was opened
  DataUnreadable,  // resource data could not be read from the file
  WriteFailed,     // writing failed without a reason from the system
  NotFar,          // not a FAR archive of the readable version
};

struct CoreFailure {
  CoreError error = CoreError::None;
  std::string detail;  // the system's reason, when there is one
};

// Fills *failure when the caller asked for it; returns false so that failing paths can end with it.
inline bool ReportFailure(CoreFailure* failure, CoreError error, std::string detail = {}) {
  if (failure) *failure = {error, std::move(detail)};
  return false;
}

}  // namespace scrivet

#pragma once
// For a command that only read a document: once its output is flushed and the document
// closed (its lock released), the process may end without freeing the records one by one;
// at 100,000 records that is tens of thousands of frees the system does at once anyway.

#include <ostream>

namespace almx::cli {

// Flushes out, the standard streams and stdio, then ends the process with status (1 when
// the output could not be written and status was 0). Builds with AddressSanitizer instead
// return status, so the caller frees everything and the leak check still sees the command's
// memory.
int EndAfterReading(int status, std::ostream& out);

}  // namespace almx::cli

#pragma once
// The iCalendar and vCalendar forms of almx export and almx import.

#include <ostream>

#include "cli/command_registry.h"

namespace almx::cli {

// Whether the arguments ask for --format ics or vcs.
bool IsCalendarFormat(const Arguments& args);
int RunCalendarExport(const Arguments& args, std::ostream& out, std::ostream& err);
int RunCalendarImport(const Arguments& args, std::ostream& out, std::ostream& err);

}  // namespace almx::cli

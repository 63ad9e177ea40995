#pragma once
// Writes a crash report when the process faults (SIGSEGV, SIGBUS, SIGILL, SIGFPE,
// SIGABRT): the signal, the fault address and a backtrace, under the crash dump's file
// name, and a copy of the log beside it. Then the signal's default action runs.
//
// The handler runs on its own stack and uses async-signal-safe calls only, so every
// path it needs is prepared beforehand.
#include <string>

namespace CrashHandler {
// Installs the handler; `dumpPath` is where the report goes.
void install(const std::string& dumpPath);
// The log to copy, and where to (empty strings: no log to copy).
void setLogCopy(const std::string& logPath, const std::string& copyPath);
}  // namespace CrashHandler

#pragma once
// The start-up report of the drawing device, as log lines: the adapter block (for
// "QorGraphics::dumpAdapterInfo") and the capability block (written to the log as it is).
// A flag group gives "\t<group>: <supported flags>" and, when any is missing,
// "\t(unsupported) <missing flags>"; numbers give "\t<name>: <value>".
#include <string>
#include <vector>

struct DeviceCaps;

namespace CapsReport {
std::vector<std::u16string> adapterLines(const DeviceCaps& caps);
std::vector<std::u16string> capsLines(const DeviceCaps& caps);
}  // namespace CapsReport

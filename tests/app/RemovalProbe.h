#pragma once
// removal_probe.exe stands in for the program at its exit: it calls StartSelfRemoval and answers
// through its exit code.
//   (no arguments)   at once
//   wait <event>     after the named event is set (at most kProbeWaitMs), as a copy that is still running
#include "app/RemovalPlan.h"

constexpr int kProbeStarted = 0;        // the removal was started
constexpr int kProbeLaunchFailed = 99;  // the plan said remove, but the interpreter did not start
constexpr int kProbeSkipped = 100;      // plus the RemovalSkip: the folder stays
constexpr int kProbeUsage = 98;
constexpr unsigned long kProbeWaitMs = 60000;

inline int ProbeExitCode(RemovalSkip skip) { return kProbeSkipped + static_cast<int>(skip); }

#pragma once
// feedback_probe.exe: a tiny program that loads the feedback component through CFeedbackDll from
// its own folder, makes one kind of call and answers through its exit code.
//   load            bits: kProbeLoaded, kProbeResident, kProbeAnswered
//   init            InitFreedbackDll's result
//   version         GetToolIsNewVersion's result for this tool
//   url <address>   OpenUrl's result
//   survey <code> <time text>   CustomerFeedbackEx's result for this tool
//   all <time text> every call once, in the bridge's order; 0
// Every command but load exits with kProbeLoadFailed when the component does not load.

constexpr int kProbeLoaded = 1;    // Load returned 1
constexpr int kProbeResident = 2;  // the component is mapped into the process afterwards
constexpr int kProbeAnswered = 4;  // a forwarder answered nonzero although the load failed
constexpr int kProbeLoadFailed = 100;
constexpr int kProbeUsage = 101;

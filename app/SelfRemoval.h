#pragma once
// The program removes the folder it was started from when it is closed.
#include "app/RemovalPlan.h"

// Removes the folder the program runs from a few seconds after the process ends, when it can
// prove the folder is the program's own; otherwise starts nothing. True when the removal was started.
bool StartSelfRemoval();

// What the system says about the running program's folder, for PlanRemoval.
RemovalFacts GatherRemovalFacts();

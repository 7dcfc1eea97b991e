#pragma once
// The program removes the folder it was started from when it is closed.
#include "app/RemovalPlan.h"
#include "framework/base/KernelHandle.h"

#include <string>

// Removes the folder the program runs from a few seconds after the process ends, when it can
// prove the folder is the program's own; otherwise starts nothing. True when the removal was started.
bool StartSelfRemoval();

// What the system says about the running program's folder, for PlanRemoval.
RemovalFacts GatherRemovalFacts();

// The same for the folder of `modulePath`; `held` receives that folder, held open so that it stays
// the folder the facts are of.
RemovalFacts GatherRemovalFacts(const std::wstring& modulePath, fx::CKernelHandle* held);

// Decides on the facts and, when the folder is to go, seals it, decides again on its entries as they
// are then, and starts the removal. True when the removal was started.
bool CarryOutRemoval(fx::CKernelHandle folder, RemovalFacts facts);

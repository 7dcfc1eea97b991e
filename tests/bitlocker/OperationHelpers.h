#pragma once
// Runs the operator's workers against a simulated machine, for the operation tests.
#include "bitlocker/BitLockerOperator.h"
#include "res/PrivateMessages.h"
#include "tests/testbed/MachineScope.h"
#include "tests/testbed/WorkerRun.h"

#include <doctest.h>

namespace testing {

// Checks the two messages of a worker: the progress prompt's close request, then the result.
inline void CheckReport(const WorkerRun& run, UINT resultMessage)
{
    REQUIRE(run.started);
    REQUIRE(run.messages.size() == 2);
    CHECK(run.messages[0].message == WM_EXECUTE_PROMPT_CLOSE);
    CHECK(run.messages[1].message == resultMessage);
    CHECK(run.messages[0].sentFromOtherThread);
    CHECK(run.messages[1].sentFromOtherThread);
}

inline bde::Volume EncryptedDataVolume(const wchar_t* name)
{
    bde::Volume volume = bde::Machine::Default().volumes[0];
    volume.name = name;
    volume.kind = bde::VolumeKind::Data;
    return volume;
}

}  // namespace testing

// A program planted where the tool must not look for the programs it starts: it only leaves its
// marker and ends.
#include "tests/testbed/PlantMarker.h"

int wmain()
{
    testing::LeavePlantMarker(nullptr);
    return 0;
}

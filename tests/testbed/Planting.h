#pragma once
// What a standard user could put into the folder the program runs from, or into its current folder:
// programs named like those the tool starts, and libraries named like those it loads. Each one, when
// it runs, leaves a marker file named after itself in the folder that QUORLIN_PLANT_MARKERS names.
#include "tests/testbed/EnvironmentScope.h"
#include "tests/testbed/TempFolder.h"

#include <string>
#include <vector>

namespace testing {

constexpr wchar_t kPlantMarkersVariable[] = L"QUORLIN_PLANT_MARKERS";

// A fresh marker folder, named by QUORLIN_PLANT_MARKERS in this process's environment (so in every
// process it starts) for as long as the scope lives.
class CPlantMarkers
{
public:
    CPlantMarkers() : m_variable(kPlantMarkersVariable, m_folder.Path()) {}
    CPlantMarkers(const CPlantMarkers&) = delete;
    CPlantMarkers& operator=(const CPlantMarkers&) = delete;

    // The markers left so far: the names of the planted files that ran.
    std::vector<std::wstring> Names() const;

private:
    CTempFolder m_folder;
    CEnvironmentScope m_variable;
};

// Puts cmd and manage-bde into the folder as .exe, .com (programs), .bat and .cmd (scripts).
bool PlantPrograms(const std::wstring& folder);

// Puts a library into the folder under the given name ("riched20.dll").
bool PlantLibrary(const std::wstring& folder, const std::wstring& name);

}  // namespace testing

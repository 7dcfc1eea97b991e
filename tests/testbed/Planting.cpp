#include "tests/testbed/Planting.h"

#include "framework/base/TextCodec.h"

namespace testing {

namespace {

// Built by tests/testbed beside the tests, in a folder of their own.
std::wstring PlantedFile(const wchar_t* name) { return OwnFolder() + L"planted\\" + name; }

}  // namespace

std::vector<std::wstring> CPlantMarkers::Names() const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((m_folder / L"*.ran").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(entry.cFileName);
    while (FindNextFileW(find, &entry));
    FindClose(find);
    return names;
}

bool PlantPrograms(const std::wstring& folder)
{
    bool planted = true;
    for (const std::wstring name : {L"cmd", L"manage-bde"}) {
        for (const wchar_t* extension : {L".exe", L".com"}) {
            planted &=
                CopyFileW(PlantedFile(L"planted.exe").c_str(), (folder + name + extension).c_str(), FALSE) != FALSE;
        }
        for (const wchar_t* extension : {L".bat", L".cmd"}) {
            const std::wstring file = name + extension;
            const std::wstring script =
                L"@echo ran>> \"%" + std::wstring(kPlantMarkersVariable) + L"%" + file + L".ran\"\r\n";
            planted &= WriteFileBytes(folder + file, fx::EncodeCodePage(script, CP_ACP));
        }
    }
    return planted;
}

bool PlantLibrary(const std::wstring& folder, const std::wstring& name)
{
    return CopyFileW(PlantedFile(L"planted.dll").c_str(), (folder + name).c_str(), FALSE) != FALSE;
}

}  // namespace testing

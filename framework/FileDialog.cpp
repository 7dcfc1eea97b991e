#include "framework/FileDialog.h"

#include "framework/Com.h"

#include <shobjidl.h>

namespace fx {

std::wstring ShowSaveAsDialog(HWND owner, const SaveAsOptions& options)
{
    CComScope com;
    if (!com.IsApartment()) return {};
    CComPtr<IFileSaveDialog> dialog;
    if (FAILED(dialog.CoCreateInstance(CLSID_FileSaveDialog))) return {};

    FILEOPENDIALOGOPTIONS flags = 0;
    dialog->GetOptions(&flags);
    // Only a file system path can take the key file.
    dialog->SetOptions(flags | FOS_OVERWRITEPROMPT | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    const COMDLG_FILTERSPEC filter{options.filterName.c_str(), options.filterPattern.c_str()};
    dialog->SetFileTypes(1, &filter);
    dialog->SetDefaultExtension(options.defaultExtension.c_str());
    dialog->SetFileName(options.fileName.c_str());
    CComPtr<IShellItem> folder;
    if (!options.folder.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(options.folder.c_str(), nullptr, IID_PPV_ARGS(folder.Receive()))))
        dialog->SetFolder(folder.Get());

    if (FAILED(dialog->Show(owner))) return {};  // cancelled, or no dialog
    CComPtr<IShellItem> chosen;
    if (FAILED(dialog->GetResult(chosen.Receive()))) return {};
    wchar_t* path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return {};
    std::wstring result(path);
    CoTaskMemFree(path);
    return result;
}

}  // namespace fx

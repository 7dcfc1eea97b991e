#pragma once
// Writing a whole byte string to an open file, and renaming or deleting a file through the handle
// that was verified or written, never again by its path.
#include <windows.h>

#include <string>

namespace fx {

// True when every byte was written; a short write counts as failure.
bool WriteAll(HANDLE file, const std::string& bytes);

// Renames the open file to the full path `target`, replacing a file of that name (and only the
// name: a link there is replaced, not followed). The handle needs DELETE access.
bool RenameByHandle(HANDLE file, const std::wstring& target);

// Marks the open file for deletion when its last handle is closed. The handle needs DELETE access.
bool DeleteByHandle(HANDLE file);

}  // namespace fx

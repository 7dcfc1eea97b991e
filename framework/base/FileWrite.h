#pragma once
// Writing a whole byte string to an open file.
#include <windows.h>

#include <string>

namespace fx {

// True when every byte was written; a short write counts as failure.
bool WriteAll(HANDLE file, const std::string& bytes);

}  // namespace fx

#pragma once
// Runs one command line through the command interpreter in a hidden console process, waits for it to
// end, and appends everything it printed (standard output and error, in the system's ANSI code page:
// 936 on a Chinese Windows, UTF-8 where the system uses it) to a UTF-16 string.
// Blocks the calling thread for the whole life of the command: call it from worker threads only.
//
// The program runs with administrator rights from a folder that anyone may have put files into, so
// the interpreter is started by its full path in the system folder, without its AutoRun commands
// (/D), with the system folder as its current folder; it inherits the pipe's write end and an empty
// standard input, and no other handle of the program.
#include "framework/base/KernelHandle.h"

#include <string>

// 1 when this is a 32-bit process on 64-bit Windows; 0 otherwise, also when the check is unavailable.
int IsWow64();

// 1 when the command was started and has ended (whatever its exit code), 0 when it could not be
// started; the output is then unchanged. There is no time-out.
int RunConsoleCommand(std::wstring command, std::wstring* output);

// RunConsoleCommand with the interpreter given by its full path and the code page of its output;
// RunConsoleCommand passes the system's own "cmd.exe" and its ANSI code page.
int RunConsoleCommandWith(const std::wstring& interpreter, const std::wstring& command, std::wstring* output,
                          UINT codePage = GetACP());

// The pipe that carries the command's output: only the write end is inheritable, so the child never
// holds a copy of the read end.
bool CreateOutputPipe(fx::CKernelHandle* readEnd, fx::CKernelHandle* writeEnd);

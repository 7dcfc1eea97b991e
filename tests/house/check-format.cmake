# Fails when a C++ file of the tree differs from what clang-format makes of it with the repo's
# .clang-format (clang-format --dry-run -Werror names each file and line).
#   cmake -DROOT=<source folder> -DCLANG_FORMAT=<clang-format> -P check-format.cmake
cmake_minimum_required(VERSION 3.20)
foreach(variable ROOT CLANG_FORMAT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "check-format: ${variable} is not set")
  endif()
endforeach()
# The program's folders, its stand-ins, tests and tools; never a build folder inside the tree.
set(sources)
foreach(folder app bitlocker controls dialogs framework log res services standins tests tools)
  file(GLOB_RECURSE found RELATIVE ${ROOT} ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  list(APPEND sources ${found})
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources} WORKING_DIRECTORY ${ROOT}
                RESULT_VARIABLE result)
list(LENGTH sources count)
message(STATUS "checked the formatting of ${count} files")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "files differ from clang-format's layout: run clang-format -i on them")
endif()

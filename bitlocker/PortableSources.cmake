# The code of this folder that needs no Windows: built into the program and, natively under the
# sanitizers, into tests/native. Paths are relative to this folder.
set(QUORLIN_PORTABLE_SOURCES StatusParser.cpp BdeEditions.cpp TextChunk.cpp VolumeName.cpp RecoveryPassword.cpp)

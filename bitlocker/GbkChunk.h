#pragma once
// Console output arrives in pipe reads of arbitrary length; a two-byte GBK character may straddle two
// reads. These helpers find how much of a chunk ends on a character boundary. Portable (no Windows API).
#include <cstddef>
#include <string>

// Length of the longest prefix of bytes[0, count) that holds only complete GBK characters: either
// count, or count - 1 when the last byte is a lead byte whose trail byte has not arrived yet.
size_t CompleteGbkPrefix(const char* bytes, size_t count);

// Collects chunks and hands out the bytes that end on a character boundary; the rest waits for the
// next chunk.
class CGbkChunker
{
public:
    // Appends the chunk and returns every complete character received so far.
    std::string Push(const char* bytes, size_t count);
    // What is left at the end of the stream (an orphaned lead byte), to be decoded as it is.
    std::string Flush();

private:
    std::string m_pending;
};

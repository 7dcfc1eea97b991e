#pragma once
// Console output arrives in pipe reads of arbitrary length; a character of two or more bytes (GBK,
// UTF-8) may straddle two reads. These helpers find how much of a chunk ends on a character boundary,
// so that every piece is decoded whole. Portable (no Windows API).
#include <bitset>
#include <cstddef>
#include <string>

// How the bytes of a code page make up characters, as far as the end of a chunk is concerned.
class CChunkEncoding
{
public:
    // Every byte is a character of its own (code page 1252, and the fallback).
    static CChunkEncoding SingleByte() { return CChunkEncoding(false); }
    static CChunkEncoding Utf8() { return CChunkEncoding(true); }
    // A double-byte code page: the bytes from `first` to `last` open a two-byte character.
    CChunkEncoding& AddLeadRange(unsigned char first, unsigned char last);

    // Length of the longest prefix of bytes[0, count) that ends on a character boundary: count, or
    // less when the last character has not fully arrived.
    size_t CompletePrefix(const char* bytes, size_t count) const;

private:
    explicit CChunkEncoding(bool utf8) : m_utf8(utf8) {}

    bool m_utf8;
    std::bitset<256> m_leadBytes;
};

// Collects chunks and hands out the bytes that end on a character boundary; the rest waits for the
// next chunk.
class CTextChunker
{
public:
    explicit CTextChunker(CChunkEncoding encoding) : m_encoding(encoding) {}

    // Appends the chunk and returns every complete character received so far.
    std::string Push(const char* bytes, size_t count);
    // What is left at the end of the stream (an orphaned lead byte), to be decoded as it is.
    std::string Flush();

private:
    CChunkEncoding m_encoding;
    std::string m_pending;
};

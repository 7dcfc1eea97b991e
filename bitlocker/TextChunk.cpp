#include "bitlocker/TextChunk.h"

namespace {

constexpr size_t kUtf8MaxLength = 4;

// The number of bytes of the UTF-8 sequence that `c` opens; 0 for a continuation byte, 1 for ASCII
// and for bytes that open nothing valid (they decode on their own as a replacement character).
size_t Utf8SequenceLength(unsigned char c)
{
    if ((c & 0xC0) == 0x80) return 0;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace

CChunkEncoding& CChunkEncoding::AddLeadRange(unsigned char first, unsigned char last)
{
    for (unsigned value = first; value <= last; ++value) m_leadBytes.set(value);
    return *this;
}

size_t CChunkEncoding::CompletePrefix(const char* bytes, size_t count) const
{
    if (m_utf8) {
        // Only the last sequence can be cut: find where it starts, at most three bytes back.
        for (size_t back = 1; back <= kUtf8MaxLength && back <= count; ++back) {
            const size_t length = Utf8SequenceLength(static_cast<unsigned char>(bytes[count - back]));
            if (length != 0) return length > back ? count - back : count;
        }
        return count;
    }
    // A trail byte may look like a lead byte (in GBK, code page 936, 0xB0 0xA1 is one character), so the boundary
    // is found only by walking from the start.
    size_t i = 0;
    while (i < count) {
        if (m_leadBytes.test(static_cast<unsigned char>(bytes[i]))) {
            if (i + 1 == count) return i;
            i += 2;
        } else {
            ++i;
        }
    }
    return count;
}

std::string CTextChunker::Push(const char* bytes, size_t count)
{
    m_pending.append(bytes, count);
    const size_t complete = m_encoding.CompletePrefix(m_pending.data(), m_pending.size());
    std::string ready = m_pending.substr(0, complete);
    m_pending.erase(0, complete);
    return ready;
}

std::string CTextChunker::Flush()
{
    std::string rest;
    rest.swap(m_pending);
    return rest;
}

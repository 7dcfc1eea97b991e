#include "bitlocker/GbkChunk.h"

namespace {

// In code page 936 a byte from 0x81 to 0xFE opens a two-byte character; the trail byte may lie in
// the same range, so the boundary is found only by walking from the start.
bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

size_t CompleteGbkPrefix(const char* bytes, size_t count)
{
    size_t i = 0;
    while (i < count) {
        if (IsLeadByte(static_cast<unsigned char>(bytes[i]))) {
            if (i + 1 == count) return i;
            i += 2;
        } else {
            ++i;
        }
    }
    return count;
}

std::string CGbkChunker::Push(const char* bytes, size_t count)
{
    m_pending.append(bytes, count);
    const size_t complete = CompleteGbkPrefix(m_pending.data(), m_pending.size());
    std::string ready = m_pending.substr(0, complete);
    m_pending.erase(0, complete);
    return ready;
}

std::string CGbkChunker::Flush()
{
    std::string rest;
    rest.swap(m_pending);
    return rest;
}

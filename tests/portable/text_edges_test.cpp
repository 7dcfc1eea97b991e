#include "bitlocker/GbkChunk.h"
#include "bitlocker/VolumeName.h"

#include <doctest.h>

#include <string>

TEST_CASE("GBK chunks end on character boundaries")
{
    // "卷 C:" in GBK is BE ED 20 43 3A; trail bytes can look like lead bytes (0xB0 0xA1 = 啊).
    const std::string text = "\xBE\xED \x43\x3A\xB0\xA1\xB0\xA1";
    CHECK(CompleteGbkPrefix(text.data(), text.size()) == text.size());
    CHECK(CompleteGbkPrefix(text.data(), 1) == 0);
    CHECK(CompleteGbkPrefix(text.data(), 2) == 2);
    CHECK(CompleteGbkPrefix(text.data(), 6) == 5);  // 0xB0 alone at the end waits
    CHECK(CompleteGbkPrefix(text.data(), 7) == 7);  // 0xB0 0xA1 complete
    CHECK(CompleteGbkPrefix(text.data(), 0) == 0);

    for (size_t cut = 0; cut <= text.size(); ++cut) {
        CGbkChunker chunker;
        std::string joined = chunker.Push(text.data(), cut);
        CHECK(CompleteGbkPrefix(joined.data(), joined.size()) == joined.size());
        joined += chunker.Push(text.data() + cut, text.size() - cut);
        joined += chunker.Flush();
        CHECK(joined == text);
    }
}

TEST_CASE("an orphaned lead byte at the very end is flushed, not lost")
{
    CGbkChunker chunker;
    CHECK(chunker.Push("ab\xBE", 3) == "ab");
    CHECK(chunker.Flush() == "\xBE");
    CHECK(chunker.Flush().empty());
}

TEST_CASE("only drive letters and volume GUID paths are safe volume names")
{
    for (const wchar_t* name : {L"C:", L"z:", L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-333344445555}\\",
                                L"\\\\?\\Volume{0A1B2C3D-0000-1111-2222-333344445555}"}) {
        CHECK_MESSAGE(IsSafeVolumeName(name), "should be safe");
    }
    for (const wchar_t* name :
         {L"", L"C", L"C:\\", L"CC:", L"1:", L"C:&calc", L"C: & echo x", L"C:|", L"\"C:\"", L"%PATH%", L"C:\r\n",
          L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-333344445555}&x", L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-3333444455}\\",
          L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-33334444555g}\\", L"\\\\?\\Volume{}", L"Ｃ:"}) {
        CHECK_MESSAGE(!IsSafeVolumeName(name), "should be refused");
    }
}

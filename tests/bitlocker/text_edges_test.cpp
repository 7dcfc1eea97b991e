#include "bitlocker/BdeEditions.h"
#include "bitlocker/RecoveryPassword.h"
#include "bitlocker/TextChunk.h"
#include "bitlocker/VolumeName.h"

#include <doctest.h>

#include <string>
#include <vector>

TEST_CASE("GBK and UTF-8 chunks end on character boundaries")
{
    const CChunkEncoding gbk = CChunkEncoding::SingleByte().AddLeadRange(0x81, 0xFE);
    const struct
    {
        CChunkEncoding encoding;
        std::string text;
        std::vector<size_t> complete;  // CompletePrefix of the first n bytes, n = 0, 1, ...
    } cases[] = {
        // "卷 C:" in GBK is BE ED 20 43 3A; trail bytes can look like lead bytes (0xB0 0xA1 = 啊).
        {gbk, "\xBE\xED \x43\x3A\xB0\xA1\xB0\xA1", {0, 0, 2, 3, 4, 5, 5, 7, 7, 9}},
        // "a卷😀" in UTF-8: one, three and four bytes; a stray continuation byte passes as it is.
        {CChunkEncoding::Utf8(), "a\xE5\x8D\xB7\xF0\x9F\x98\x80\x80", {0, 1, 1, 1, 4, 4, 4, 4, 8, 9}},
    };
    for (const auto& c : cases) {
        for (size_t n = 0; n <= c.text.size(); ++n) CHECK(c.encoding.CompletePrefix(c.text.data(), n) == c.complete[n]);
        for (size_t cut = 0; cut <= c.text.size(); ++cut) {
            CTextChunker chunker(c.encoding);
            std::string joined = chunker.Push(c.text.data(), cut);
            CHECK(c.encoding.CompletePrefix(joined.data(), joined.size()) == joined.size());
            joined += chunker.Push(c.text.data() + cut, c.text.size() - cut);
            joined += chunker.Flush();
            CHECK(joined == c.text);
        }
    }
}

TEST_CASE("an orphaned lead byte at the very end is flushed, not lost")
{
    CTextChunker chunker(CChunkEncoding::Utf8());
    CHECK(chunker.Push("ab\xE5\x8D", 4) == "ab");
    CHECK(chunker.Flush() == "\xE5\x8D");
    CHECK(chunker.Flush().empty());
}

TEST_CASE("only drive letters and volume GUID paths are safe volume names")
{
    for (const wchar_t* name : {L"C:", L"z:", L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-333344445555}\\",
                                L"\\\\?\\Volume{0A1B2C3D-0000-1111-2222-333344445555}"}) {
        CHECK_MESSAGE(IsSafeVolumeName(name), "should be safe");
    }
    for (const wchar_t* name : {L"", L"C", L"C:\\", L"CC:", L"1:", L"C:&calc", L"C: & echo x", L"C:|", L"\"C:\"",
                                L"%PATH%", L"C:\r\n", L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-333344445555}&x",
                                L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-3333444455}\\",
                                L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-33334444555g}\\", L"\\\\?\\Volume{}", L"Ｃ:"}) {
        CHECK_MESSAGE(!IsSafeVolumeName(name), "should be refused");
    }
}

TEST_CASE("recovery passwords are brought to their canonical form")
{
    const std::wstring canonical = L"571406-613470-463529-412599-375045-353639-703813-007909";
    const wchar_t* typed[] = {
        L"571406-613470-463529-412599-375045-353639-703813-007909",
        L"  571406-613470-463529-412599-375045-353639-703813-007909  ",
        L"571406613470463529412599375045353639703813007909",
        L"571406 613470 463529 412599 375045 353639 703813 007909",
        L"571406\x2013"
        L"613470\x2013"
        L"463529\x2014"
        L"412599\x2014"
        L"375045\xFF0D"
        L"353639-703813-007909",
        L"\xFF15\xFF17\xFF11\xFF14\xFF10\xFF16-613470-463529-412599-375045-353639-703813-007909",
        L"571406 - 613470 - 463529 - 412599 - 375045 - 353639 - 703813 - 007909",
        L"571406\x3000"
        L"613470 463529 412599 375045 353639 703813 007909",
    };
    for (const wchar_t* text : typed) {
        std::wstring result = L"untouched";
        CHECK(NormalizeRecoveryPassword(text, &result));
        CHECK(result == canonical);
    }
}

TEST_CASE("anything but a real recovery password is refused and leaves the output alone")
{
    const std::wstring tooLong(5000, L'1');
    const std::wstring refused[] = {
        L"",
        L"571406-613470-463529-412599-375045-353639-703813-007908",  // 007908 is not a multiple of 11
        L"720896-613470-463529-412599-375045-353639-703813-007909",  // a multiple of 11 above 720885
        L"57140-61347-46352-41259-37504-35363-70381-00790",          // five-digit groups
        L"571406-613470-463529-412599-375045-353639-703813",         // seven groups
        L"571406-613470-463529-412599-375045-353639-703813-007909-000000",
        L"57140661347046352941259937504535363970381300790",  // 47 digits
        L"1 & echo x > C:\\pwned.txt",
        L"571406-613470-463529-412599-375045-353639-703813-007909 & echo x > C:\\pwned.txt",
        L"571406-613470-463529-412599-375045-353639-703813-007909|",
        L"|",
        L"^",
        L"%PATH%",
        L"\"571406-613470-463529-412599-375045-353639-703813-007909\"",
        L"571406-613470-463529-412599-375045-353639-703813-007909\r\n",
        L"571406-613470-463529-412599\n375045-353639-703813-007909",
        L"57l406-613470-463529-412599-375045-353639-703813-007909",  // a letter l
        L"571406--613470-463529-412599-375045-353639-703813-00790",
        tooLong,
    };
    for (const std::wstring& text : refused) {
        std::wstring result = L"untouched";
        CHECK_FALSE(NormalizeRecoveryPassword(text, &result));
        CHECK(result == L"untouched");
    }
    // The largest valid group passes.
    std::wstring result;
    CHECK(NormalizeRecoveryPassword(L"720885-000000-000011-000022-000033-000044-000055-000066", &result));
}

TEST_CASE("a protector listing holds a recovery password only when one follows the heading")
{
    const std::wstring heading =
        L"    数字密码:\r\n      ID: {4B82A66E-A0C0-4EF4-AB39-0123456789AB}\r\n      密码:\r\n";
    const std::wstring password = L"        571406-613470-463529-412599-375045-353639-703813-007909\r\n";
    struct Case
    {
        std::wstring text;
        bool holds;
    };
    const Case cases[] = {
        {L"卷 C: [OS]\r\n" + heading + password + L"\r\n", true},
        {heading + L"        571406-613470-463529-412599-375045-353639-703813-007909", true},  // no line end
        {L"    数字密码:\r\n", false},                                                         // ended at the heading
        {heading, false},                                  // ended before the password
        {heading + L"        571406-613470-4635", false},  // ended inside it
        {heading + L"        571406-613470-463529-412599-375045-353639-703813-007908\r\n", false},  // not 11 * n
        {password + heading, false},  // a password before the heading does not count
        {L"    TPM:\r\n" + password, false},
    };
    for (const Case& c : cases) {
        CHECK(HasRecoveryPasswordAfter(c.text, L"数字密码:") == c.holds);
    }
}

TEST_CASE("success, failure and no protector are read in the edition the answer names in its banner")
{
    const std::wstring zh =
        L"BitLocker 驱动器加密: 配置工具版本 10.0.19041\r\n版权所有 (C) 2013 Microsoft Corporation。\r\n\r\n";
    const std::wstring en = L"BitLocker Drive Encryption: Configuration Tool version 10.0.19041\r\n"
                            L"Copyright (C) 2013 Microsoft Corporation. All rights reserved.\r\n\r\n";
    const struct
    {
        std::wstring output;
        bool unlocked;
        bool decrypting;
        bool noProtector;
    } rows[] = {
        {zh + L"密码已成功解锁卷 D:。\r\n", true, false, false},
        {en + L"The password successfully unlocked volume D:.\r\n", true, false, false},
        {en + L"Decryption is now in progress.\r\n", false, true, false},
        {en + L"Volume E: [Data]\r\nAll Key Protectors\r\n\r\nERROR: No key protectors found.\r\n", false, false, true},
        // The other edition's words, an error line, a label, no banner at all: never a success.
        {zh + L"The password successfully unlocked volume D:.\r\n", false, false, false},
        {en + L"解密正在进行中。\r\nERROR: No key protectors found.\r\n", false, false, true},
        {en + L"Decryption is now in progress.\r\nERROR: An error occurred (code 0x80310001):\r\n", false, false,
         false},
        {en + L"Volume C: [No key protectors found]\r\nAll Key Protectors\r\n", false, false, false},
        {L"The password successfully unlocked volume D:.\r\n", false, false, false},
    };
    for (const auto& row : rows) {
        CAPTURE(row.output.size());
        CHECK(ReportsSuccess(row.output, &BdeEdition::unlocked) == row.unlocked);
        CHECK(ReportsSuccess(row.output, &BdeEdition::decrypting) == row.decrypting);
        CHECK(ReportsNoProtector(row.output) == row.noProtector);
    }
}

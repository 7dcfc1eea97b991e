#include "bitlocker/StatusParser.h"
#include "tests/bitlocker/StatusSamples.h"

#include <doctest.h>

using samples::Block;
using samples::Header;
using samples::VolumeBlock;

namespace {

Block Volume(const wchar_t* name)
{
    Block b;
    b.name = name;
    b.kind = L"[数据卷]";
    return b;
}

Block English(const wchar_t* name, const wchar_t* conversion, const wchar_t* percentage)
{
    Block b = Volume(name);
    b.english = true;
    b.kind = L"[Data Volume]";
    b.conversion = conversion;
    b.percentage = percentage;
    b.lock = L"Unlocked";
    return b;
}

}  // namespace

TEST_CASE("status output without the list header of its own edition parses to nothing")
{
    const std::wstring englishBlock = VolumeBlock(English(L"C:", L"Fully Encrypted", L"100.0%"));
    const std::wstring chineseBanner = Header().substr(0, Header().find(L"可以使用"));
    const std::wstring englishBanner = Header(true).substr(0, Header(true).find(L"Disk volumes"));
    const std::wstring texts[] = {
        L"错误: 发生错误(代码 0x80070005):\r\n拒绝访问。\r\n",
        englishBanner + L"ERROR: An attempt to access a required resource was denied.\r\n",
        L"",
        // A Chinese banner with the English list, an English banner with the Chinese list.
        chineseBanner + L"Disk volumes that can be protected with\r\nBitLocker Drive Encryption:\r\n" + englishBlock,
        englishBanner + L"可以使用 BitLocker 驱动器加密\r\n保护的磁盘卷:\r\n" + VolumeBlock(Block{}),
        // Labels that look like a list header are not one, the banner's first words are not one either.
        englishBanner + L"Volume C: [BitLocker Drive Encryption:]\r\n",
        chineseBanner + L"卷 C: [保护的磁盘卷:]\r\n",
    };
    for (const std::wstring& text : texts) {
        VolumeInfoMap map;
        CHECK(ParseStatusText(text, &map) == 0);
        CHECK(map.empty());
    }
}

TEST_CASE("the English edition: the same volumes by the same rules, whatever its labels say")
{
    Block locked = English(L"F:", L"Unknown", L"Unknown%");
    locked.label = L"Label Unknown";
    locked.lock = L"Locked";
    // A decrypted volume whose label reads as an encrypted one's status, and one in the other language.
    Block decrypted = English(L"G:", L"Fully Decrypted", L"0.0%");
    decrypted.label = L"Conversion Status: Fully Encrypted";
    Block chinese = Volume(L"K:");
    chinese.label = L"Volume";
    const std::wstring text = Header(true) + VolumeBlock(English(L"D:", L"Used Space Only Encrypted", L"99.9%")) +
                              VolumeBlock(English(L"C:", L"Fully Encrypted", L"100.0%")) + VolumeBlock(locked) +
                              VolumeBlock(decrypted) +
                              VolumeBlock(English(L"E:", L"Decryption in Progress", L"42.5%")) +
                              VolumeBlock(English(L"H:", L"Decryption Paused", L"50.0%")) +
                              VolumeBlock(English(L"I:", L"Encryption in Progress", L"12.5%")) + VolumeBlock(chinese);
    VolumeInfoMap map;
    REQUIRE(ParseStatusText(text, &map) == 1);
    CHECK(map.size() == 4);
    CHECK(map[L"C:"].strConversionStatus == L"Fully Encrypted");
    CHECK(map[L"C:"].dPercentageEncrypted == doctest::Approx(100.0));
    CHECK(map[L"C:"].strEncryptionMethod == L"XTS-AES 128");
    CHECK(map[L"D:"].dPercentageEncrypted == doctest::Approx(99.9));
    CHECK(map[L"F:"].strConversionStatus == L"Unknown");
    CHECK(map[L"F:"].dPercentageEncrypted == 0.0);
    CHECK(map[L"I:"].strConversionStatus == L"Encryption in Progress");
    CHECK(map.count(L"K:") == 0);

    // The same hostile label in the Chinese edition.
    Block hostile = Volume(L"G:");
    hostile.conversion = L"完全解密";
    hostile.label = L"转换状态: 完全加密";
    map.clear();
    REQUIRE(ParseStatusText(Header() + VolumeBlock(hostile), &map) == 1);
    CHECK(map.empty());
}

TEST_CASE("a realistic machine: encrypted, used space only, locked, decrypting and decrypted volumes")
{
    Block system;
    Block usedSpace = Volume(L"D:");
    usedSpace.conversion = L"仅加密了已用空间";
    usedSpace.percentage = L"99.9%";
    Block locked = Volume(L"F:");
    locked.conversion = L"未知";
    locked.percentage = L"未知%";
    locked.method = L"XTS-AES 256";
    locked.lock = L"已锁定";
    Block decrypting = Volume(L"E:");
    decrypting.conversion = L"解密正在进行中";
    decrypting.percentage = L"42.5%";
    Block decrypted = Volume(L"G:");
    decrypted.conversion = L"完全解密";
    decrypted.percentage = L"0.0%";
    decrypted.method = L"无";
    Block paused = Volume(L"H:");
    paused.conversion = L"解密已暂停";

    // The real tool does not always list the volumes in letter order.
    const std::wstring text = Header() + VolumeBlock(usedSpace) + VolumeBlock(system) + VolumeBlock(decrypting) +
                              VolumeBlock(locked) + VolumeBlock(decrypted) + VolumeBlock(paused);
    VolumeInfoMap map;
    REQUIRE(ParseStatusText(text, &map) == 1);
    REQUIRE(map.size() == 3);
    auto it = map.begin();
    CHECK(it->first == L"C:");
    CHECK(it->second.strVolume == L"C:");
    CHECK(it->second.strConversionStatus == L"完全加密");
    CHECK(it->second.dPercentageEncrypted == doctest::Approx(100.0));
    CHECK(it->second.strEncryptionMethod == L"XTS-AES 128");
    ++it;
    CHECK(it->first == L"D:");
    CHECK(it->second.strConversionStatus == L"仅加密了已用空间");
    CHECK(it->second.dPercentageEncrypted == doctest::Approx(99.9));
    CHECK(it->second.dPercentageEncrypted < 100.0);
    ++it;
    CHECK(it->first == L"F:");
    CHECK(it->second.strConversionStatus == L"未知");
    CHECK(it->second.dPercentageEncrypted == 0.0);
    CHECK(it->second.strEncryptionMethod == L"XTS-AES 256");
}

TEST_CASE("every volume fully decrypted: header found, map empty")
{
    Block c;
    c.conversion = L"完全解密";
    Block d = Volume(L"D:");
    d.conversion = L"完全解密";
    VolumeInfoMap map;
    CHECK(ParseStatusText(Header() + VolumeBlock(c) + VolumeBlock(d), &map) == 1);
    CHECK(map.empty());
}

TEST_CASE("a field missing from one block neither borrows the next block's value nor swallows it")
{
    Block c;
    c.withConversion = false;
    c.withPercentage = false;
    Block d = Volume(L"D:");
    d.conversion = L"解密正在进行中";
    d.percentage = L"100.0%";
    Block e = Volume(L"E:");
    e.withMethod = false;
    Block f = Volume(L"F:");
    f.method = L"AES-CBC 128";

    VolumeInfoMap map;
    REQUIRE(ParseStatusText(Header() + VolumeBlock(c) + VolumeBlock(d) + VolumeBlock(e) + VolumeBlock(f), &map) == 1);
    REQUIRE(map.size() == 3);
    CHECK(map.count(L"D:") == 0);
    CHECK(map[L"C:"].strConversionStatus.empty());
    CHECK(map[L"C:"].dPercentageEncrypted == 0.0);  // not D:'s 100.0
    CHECK(map[L"C:"].strEncryptionMethod == L"XTS-AES 128");
    CHECK(map[L"E:"].strEncryptionMethod.empty());  // not F:'s method
    CHECK(map[L"F:"].strEncryptionMethod == L"AES-CBC 128");
}

TEST_CASE("percentages: 100.0% qualifies, 99.9% does not, garbage reads 0")
{
    const struct
    {
        const wchar_t* text;
        double value;
    } cases[] = {{L"100.0%", 100.0}, {L"99.9%", 99.9}, {L"  12.5%%", 12.5}, {L"未知%", 0.0}, {L"%", 0.0}, {L"", 0.0}};
    for (const auto& c : cases) {
        Block b;
        b.percentage = c.text;
        VolumeInfoMap map;
        REQUIRE(ParseStatusText(Header() + VolumeBlock(b), &map) == 1);
        REQUIRE(map.size() == 1);
        CHECK(map[L"C:"].dPercentageEncrypted == doctest::Approx(c.value));
    }
}

TEST_CASE("an empty field value does not take the next line")
{
    Block b;
    b.conversion = L"";
    b.method = L"";
    VolumeInfoMap map;
    REQUIRE(ParseStatusText(Header() + VolumeBlock(b), &map) == 1);
    CHECK(map[L"C:"].strConversionStatus.empty());
    CHECK(map[L"C:"].strEncryptionMethod.empty());
    CHECK(map[L"C:"].dPercentageEncrypted == doctest::Approx(100.0));
}

TEST_CASE("duplicate names keep the first record; one-character names and names without a blank are skipped")
{
    Block first;
    first.method = L"first";
    Block second;
    second.method = L"second";
    Block shortName = Volume(L"X");
    const std::wstring noBlank = L"卷 Z:\r\n    转换状态:          完全加密\r\n\r\n";
    VolumeInfoMap map;
    REQUIRE(ParseStatusText(Header() + VolumeBlock(first) + VolumeBlock(shortName) + noBlank + VolumeBlock(second),
                            &map) == 1);
    REQUIRE(map.size() == 1);
    CHECK(map[L"C:"].strEncryptionMethod == L"first");
}

TEST_CASE("the parser only adds to the map")
{
    VolumeInfoMap map;
    map[L"A:"].strVolume = L"A:";
    REQUIRE(ParseStatusText(Header() + VolumeBlock(Block{}), &map) == 1);
    CHECK(map.size() == 2);
}

TEST_CASE("a volume GUID path is kept as its name")
{
    Block b = Volume(L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-333344445555}\\");
    VolumeInfoMap map;
    REQUIRE(ParseStatusText(Header() + VolumeBlock(b), &map) == 1);
    CHECK(map.count(L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-333344445555}\\") == 1);
}

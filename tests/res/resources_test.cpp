// The resources linked into a program module: every picture with its size and kind, the
// scroll bar skin, the icon, the strings, the manifest, the version block and the dialog
// templates, read back through the same calls the windows use.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>  // before gdiplus.h: the lean Windows headers leave it out
#include <gdiplus.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

const WORD kLangChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

struct Picture
{
    int firstId;
    int lastId;
    int width;
    int height;
    bool alpha;
};

// Every picture the windows load, by id range: size in pixels and whether it has alpha.
const Picture kPictures[] = {
    {138, 138, 410, 611, true}, {139, 139, 400, 600, false}, {140, 140, 48, 16, true},    {143, 146, 26, 34, false},
    {147, 147, 232, 132, true}, {148, 148, 204, 104, true},  {150, 153, 26, 34, false},   {154, 157, 266, 60, true},
    {158, 161, 58, 18, false},  {162, 162, 330, 150, true},  {163, 163, 320, 140, false}, {164, 166, 55, 24, false},
    {167, 169, 12, 12, false},  {170, 172, 55, 24, false},   {173, 175, 55, 24, false},   {176, 178, 55, 24, false},
    {179, 179, 410, 479, true}, {180, 180, 400, 468, true},  {181, 184, 12, 12, false},   {186, 189, 266, 60, true},
    {190, 190, 541, 402, true}, {191, 194, 266, 60, true},   {195, 198, 96, 86, true},    {199, 202, 96, 86, true},
    {203, 206, 96, 86, true},   {209, 209, 48, 16, true},    {216, 216, 370, 240, true},  {217, 217, 360, 230, false},
    {218, 221, 48, 28, false},
};

struct Bytes
{
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Bytes ResourceBytes(LPCWSTR type, LPCWSTR name, WORD language)
{
    HRSRC found = FindResourceExW(nullptr, type, name, language);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    if (!loaded) return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(nullptr, found)};
}

Bytes PngBytes(int id) { return ResourceBytes(L"PNG", MAKEINTRESOURCEW(id), kLangChinese); }

DWORD BigEndian32(const BYTE* p) { return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | p[3]; }

struct PngHeader
{
    bool valid = false;
    DWORD width = 0;
    DWORD height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

// The PNG signature followed by the IHDR chunk, which PNG requires to come first.
PngHeader ReadPngHeader(const Bytes& png)
{
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    PngHeader header;
    if (png.size < 8 + 8 + 13 || std::memcmp(png.data, kSignature, 8) != 0) return header;
    const BYTE* chunk = png.data + 8;
    if (BigEndian32(chunk) != 13 || std::memcmp(chunk + 4, "IHDR", 4) != 0) return header;
    header.valid = true;
    header.width = BigEndian32(chunk + 8);
    header.height = BigEndian32(chunk + 12);
    header.bitDepth = chunk[16];
    header.colourType = chunk[17];
    return header;
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context)
{
    auto* ids = reinterpret_cast<std::set<int>*>(context);
    ids->insert(IS_INTRESOURCE(name) ? int(reinterpret_cast<ULONG_PTR>(name)) : -1);
    return TRUE;
}

// GDI+ for the tests that look at pixels; started once for the whole program.
class GdiPlus
{
public:
    GdiPlus()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiPlus() { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

struct Decoded
{
    int width = 0;
    int height = 0;
    std::vector<UINT32> argb;  // straight (not premultiplied) alpha, row by row

    UINT32 At(int x, int y) const { return argb[size_t(y) * width + x]; }
};

// Decodes a picture resource the way the windows do: GDI+ from a stream on a copy of it.
bool Decode(int id, Decoded& out)
{
    static GdiPlus gdiplus;
    Bytes png = PngBytes(id);
    if (!png.data) return false;
    IStream* stream = SHCreateMemStream(png.data, png.size);
    if (!stream) return false;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    bool ok = false;
    if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok) {
        out.width = int(bitmap->GetWidth());
        out.height = int(bitmap->GetHeight());
        Gdiplus::Rect all(0, 0, out.width, out.height);
        Gdiplus::BitmapData data{};
        if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
            out.argb.resize(size_t(out.width) * out.height);
            for (int y = 0; y < out.height; ++y) {
                std::memcpy(&out.argb[size_t(y) * out.width], static_cast<const BYTE*>(data.Scan0) + y * data.Stride,
                            size_t(out.width) * 4);
            }
            bitmap->UnlockBits(&data);
            ok = true;
        }
    }
    bitmap.reset();
    stream->Release();
    return ok;
}

int Alpha(UINT32 argb) { return int(argb >> 24); }

// One picture shown over another, its top-left corner at (left, top) of the lower one.
struct Overlay
{
    int upper;
    int lower;
    int left;
    int top;
};

}  // namespace

TEST_CASE("every picture is a PNG resource of its size and kind, in Chinese (Simplified)")
{
    for (const Picture& picture : kPictures) {
        for (int id = picture.firstId; id <= picture.lastId; ++id) {
            CAPTURE(id);
            Bytes png = PngBytes(id);
            REQUIRE(png.data != nullptr);
            PngHeader header = ReadPngHeader(png);
            REQUIRE(header.valid);
            CHECK(header.width == DWORD(picture.width));
            CHECK(header.height == DWORD(picture.height));
            CHECK(header.bitDepth == 8);
            CHECK(header.colourType == (picture.alpha ? 6 : 2));  // 6 RGBA, 2 RGB
        }
    }
}

TEST_CASE("the program carries exactly the pictures of the table")
{
    std::set<int> expected;
    for (const Picture& picture : kPictures) {
        for (int id = picture.firstId; id <= picture.lastId; ++id) expected.insert(id);
    }
    std::set<int> present;
    EnumResourceNamesW(nullptr, L"PNG", CollectName, reinterpret_cast<LONG_PTR>(&present));
    CHECK(present == expected);
    CHECK(expected.size() == 72);
}

TEST_CASE("every picture decodes with GDI+ at its size")
{
    for (const Picture& picture : kPictures) {
        for (int id = picture.firstId; id <= picture.lastId; ++id) {
            CAPTURE(id);
            Decoded image;
            REQUIRE(Decode(id, image));
            CHECK(image.width == picture.width);
            CHECK(image.height == picture.height);
        }
    }
}

// A layered frame shows a shadow around an opaque card, and its child dialog lies over that
// card showing the very same pixels, so that the pair looks like one window.
TEST_CASE("layered frames are a see-through shadow around the card their child covers")
{
    const Overlay pairs[] = {
        {IDB_MAIN_BACKGROUND, IDB_SHELL_FRAME, 5, 4},
        {IDB_PROGRESS_BACKGROUND, IDB_PROGRESS_FRAME, 14, 12},
        {IDB_PROMPT_BACKGROUND, IDB_PROMPT_FRAME, 5, 3},
        {IDB_SURVEY_BACKGROUND, IDB_SURVEY_FRAME, 5, 4},
        {IDB_DISK_CHOOSER_BACKGROUND, IDB_DISK_CHOOSER_FRAME, 5, 3},
    };
    for (const Overlay& pair : pairs) {
        CAPTURE(pair.lower);
        Decoded frame, child;
        REQUIRE(Decode(pair.lower, frame));
        REQUIRE(Decode(pair.upper, child));
        // The outer corners are (nearly) clear, so the desktop shows through the shadow.
        CHECK(Alpha(frame.At(0, 0)) < 40);
        CHECK(Alpha(frame.At(frame.width - 1, frame.height - 1)) < 40);
        // Along the bottom edge the shadow is partly transparent: real per-pixel alpha.
        int shadow = Alpha(frame.At(frame.width / 2, frame.height - 2));
        CHECK(shadow > 0);
        CHECK(shadow < 255);
        int differing = 0;
        for (int y = 0; y < child.height; ++y) {
            for (int x = 0; x < child.width; ++x) {
                UINT32 card = frame.At(pair.left + x, pair.top + y);
                UINT32 inner = child.At(x, y);
                if (Alpha(card) != 255 || Alpha(inner) != 255 || (card & 0xFFFFFF) != (inner & 0xFFFFFF)) ++differing;
            }
        }
        CHECK(differing == 0);
    }
}

// A button picture without alpha covers its whole rectangle, so its edge must show the colour
// of the picture behind it, or the button would sit in a visible box. Checked where the
// window shows both at their own size (scale 1.0).
TEST_CASE("opaque buttons match the background around their place")
{
    const Overlay placements[] = {
        {IDB_MAIN_CLOSE_NORMAL, IDB_MAIN_BACKGROUND, 368, 0},
        {IDB_MAIN_CLOSE_DISABLED, IDB_MAIN_BACKGROUND, 368, 0},
        {IDB_MAIN_MINIMISE_NORMAL, IDB_MAIN_BACKGROUND, 340, 0},
        {IDB_MAIN_MINIMISE_HOVER, IDB_MAIN_BACKGROUND, 340, 0},
        {IDB_MORE_TOOLS_NORMAL, IDB_MAIN_BACKGROUND, 50, 545},
        {IDB_MORE_TOOLS_PRESSED, IDB_MAIN_BACKGROUND, 50, 545},
        {IDB_CHILD_CLOSE_NORMAL, IDB_DISK_CHOOSER_BACKGROUND, 334, 8},
        {IDB_CONFIRM_NORMAL, IDB_DISK_CHOOSER_BACKGROUND, 113, 200},
        {IDB_CANCEL_HOVER, IDB_DISK_CHOOSER_BACKGROUND, 192, 200},
        {IDB_SURVEY_CLOSE_NORMAL, IDB_SURVEY_BACKGROUND, 382, 6},
    };
    auto close = [](UINT32 a, UINT32 b) {
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 3) return false;
        }
        return true;
    };
    for (const Overlay& p : placements) {
        CAPTURE(p.upper);
        Decoded button, background;
        REQUIRE(Decode(p.upper, button));
        REQUIRE(Decode(p.lower, background));
        const int xs[] = {0, button.width - 1};
        const int ys[] = {0, button.height - 1};
        for (int x : xs) {
            for (int y : ys) {
                CAPTURE(x);
                CAPTURE(y);
                CHECK(close(button.At(x, y), background.At(p.left + x, p.top + y)));
            }
        }
    }
}

TEST_CASE("the scroll bar skin is an 8-bit bitmap of 9 by 3 tiles")
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN), RT_BITMAP);
    REQUIRE(found != nullptr);
    const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
    REQUIRE(info != nullptr);
    CHECK(info->biWidth == 117);
    CHECK(std::abs(info->biHeight) == 39);
    CHECK(info->biBitCount == 8);
    CHECK(info->biCompression == DWORD(BI_RGB));

    HBITMAP skin = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN));
    REQUIRE(skin != nullptr);
    BITMAP bitmap{};
    CHECK(GetObjectW(skin, sizeof bitmap, &bitmap) == sizeof bitmap);
    CHECK(bitmap.bmWidth == 117);
    CHECK(bitmap.bmHeight == 39);
    DeleteObject(skin);
}

TEST_CASE("the application icon comes in small and large sizes")
{
#pragma pack(push, 2)
    struct GroupEntry
    {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
    struct GroupHeader
    {
        WORD reserved, type, count;
    };
#pragma pack(pop)
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDI_QUORLIN), RT_GROUP_ICON);
    REQUIRE(found != nullptr);
    const auto* group = static_cast<const GroupHeader*>(LockResource(LoadResource(nullptr, found)));
    REQUIRE(group != nullptr);
    const auto* entries = reinterpret_cast<const GroupEntry*>(group + 1);
    std::set<int> sizes;
    for (WORD i = 0; i < group->count; ++i) sizes.insert(entries[i].width == 0 ? 256 : entries[i].width);
    for (int size : {16, 32, 48, 256}) {
        CAPTURE(size);
        CHECK(sizes.count(size) == 1);
    }
    for (int size : {16, 32}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUORLIN), IMAGE_ICON, size, size, 0));
        CHECK(icon != nullptr);
        if (icon) DestroyIcon(icon);
    }
}

TEST_CASE("the about entry of the system menu is a string resource")
{
    wchar_t text[64] = {};
    CHECK(LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 64) > 0);
    CHECK(std::wstring(text) == L"关于 TessaroQuorlin(&A)...");
}

TEST_CASE("the manifest asks for administrator rights, system DPI awareness, Windows 10 and common controls 6")
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    REQUIRE(found != nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    std::string manifest(text, SizeofResource(nullptr, found));
    CHECK(manifest.find("level=\"requireAdministrator\"") != std::string::npos);
    CHECK(manifest.find(">true</dpiAware>") != std::string::npos);
    CHECK(manifest.find(">system</dpiAwareness>") != std::string::npos);
    CHECK(manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>") != std::string::npos);
    CHECK(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") != std::string::npos);

    // And the system acts on it: the process's activation context redirects comctl32.dll to
    // the version 6 assembly.
    ACTCTX_SECTION_KEYED_DATA redirect{};
    redirect.cbSize = sizeof redirect;
    CHECK(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &redirect));
}

TEST_CASE("the version block names the program Quorlin 1.0.0")
{
    wchar_t path[MAX_PATH];
    REQUIRE(GetModuleFileNameW(nullptr, path, MAX_PATH) > 0);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    REQUIRE(size > 0);
    std::vector<BYTE> block(size);
    REQUIRE(GetFileVersionInfoW(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    CHECK(fixed->dwProductVersionMS == MAKELONG(0, 1));
    CHECK(fixed->dwProductVersionLS == 0);
    CHECK(fixed->dwFileVersionMS == fixed->dwProductVersionMS);
    CHECK(fixed->dwFileVersionLS == fixed->dwProductVersionLS);
    const struct
    {
        const wchar_t* name;
        const wchar_t* value;
    } strings[] = {
        {L"ProductName", L"Quorlin"},          {L"FileDescription", L"Quorlin"},
        {L"ProductVersion", L"1.0.0"},         {L"FileVersion", L"1.0.0"},
        {L"CompanyName", L"Korvane"},          {L"LegalCopyright", L"Copyright © Korvane"},
        {L"OriginalFilename", L"Quorlin.exe"},
    };
    for (const auto& entry : strings) {
        CAPTURE(&entry - strings);
        wchar_t* value = nullptr;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + entry.name;
        REQUIRE(VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length));
        CHECK(std::wstring(value) == entry.value);
    }
}

// The skinned scroll bar and the frame that gives a control skinned bars, on real windows driven
// with the real cursor: what the screen shows for each part and look, which notifications the bar
// sends and when, and how the frame lives with the control it wraps.
#include <doctest.h>

#include "controls/SkinScrollWnd.h"
#include "framework/Gdi.h"
#include "framework/MessageMap.h"
#include "res/resource.h"
#include "tests/uidriver/UiTestSupport.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Runs the std::function at lParam on the host's thread.
constexpr UINT WM_TEST_INVOKE = WM_APP + 7;
constexpr int kTile = 13;
constexpr int kBarLength = 200;
constexpr int kControlId = 1009;
// Enough lines for several pages of the wrapped edit control.
constexpr int kEditLines = 100;

struct ScrollEvent
{
    UINT message = 0;
    int code = 0;
    int position = 0;
    HWND from = nullptr;
    ULONGLONG time = 0;
};

fx::CBitmap LoadSkin()
{
    return fx::CBitmap(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN)));
}

// The skin's pixels, to compare the screen with its tiles.
const uitest::Pixels& SkinPixels()
{
    static const uitest::Pixels pixels = [] {
        uitest::Pixels result;
        fx::CBitmap skin = LoadSkin();
        BITMAP bitmap{};
        GetObjectW(skin.Get(), sizeof(bitmap), &bitmap);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), bitmap.bmWidth, -bitmap.bmHeight, 1, 32, BI_RGB};
        std::vector<DWORD> bits(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
        fx::CClientDC screen(nullptr);
        GetDIBits(screen.Get(), skin.Get(), 0, bitmap.bmHeight, bits.data(), &info, DIB_RGB_COLORS);
        result.width = bitmap.bmWidth;
        result.height = bitmap.bmHeight;
        for (DWORD bgr : bits) result.rgb.push_back(ui::Rgb{GetBValue(bgr), GetGValue(bgr), GetRValue(bgr)});
        return result;
    }();
    return pixels;
}

uitest::Pixels Tile(int column, int row)
{
    uitest::Pixels tile;
    tile.width = tile.height = kTile;
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) tile.rgb.push_back(SkinPixels().At(column * kTile + x, row * kTile + y));
    }
    return tile;
}

ui::Rgb TileCentre(int column, int row) { return Tile(column, row).At(kTile / 2, kTile / 2); }

// Which look (normal, hover, pressed) of a tile column the screen shows in an unscaled tile square.
int ShownRow(const RECT& screen, int column)
{
    const uitest::Pixels shown = uitest::CaptureScreen(screen);
    int best = -1;
    double bestDifference = 1e18;
    for (int row : {scrollskin::kNormal, scrollskin::kHover, scrollskin::kPressed}) {
        const double difference = uitest::MeanDifference(shown, Tile(column, row));
        if (difference < bestDifference) {
            bestDifference = difference;
            best = row;
        }
    }
    return bestDifference < 3.0 ? best : -1;
}

// A plain top-level window standing in for a scrolled control's parent. For the bar it is given,
// it records every notification with its time and moves the bar as a scrolled control would.
class CScrollHost : public fx::CWnd
{
public:
    CSkinScrollBar* m_pBar = nullptr;  // not owned

    void Invoke(const std::function<void()>& work) const
    {
        ui::Send(m_hWnd, WM_TEST_INVOKE, 0, reinterpret_cast<LPARAM>(&work));
    }
    std::vector<ScrollEvent> Events() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_events;
    }
    size_t EventCount() const { return Events().size(); }

protected:
    bool ProcessMessage(fx::Message& m) override
    {
        switch (m.message) {
        case WM_TEST_INVOKE: (*reinterpret_cast<const std::function<void()>*>(m.lParam))(); return true;
        case WM_ERASEBKGND: {
            const RECT client = GetClientRect();
            FillRect(reinterpret_cast<HDC>(m.wParam), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            m.result = TRUE;
            return true;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (!m_pBar || reinterpret_cast<HWND>(m.lParam) != m_pBar->GetSafeHwnd()) return false;
            OnBarScroll(m);
            return true;
        case WM_DESTROY: PostQuitMessage(0); return false;
        default: return false;
        }
    }

private:
    void OnBarScroll(const fx::Message& m)
    {
        const int code = LOWORD(m.wParam);
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_events.push_back({m.message, code, HIWORD(m.wParam), reinterpret_cast<HWND>(m.lParam), GetTickCount64()});
        }
        SCROLLINFO info = m_pBar->GetScrollInfo();
        const int page = static_cast<int>(info.nPage);
        int position = info.nPos;
        switch (code) {
        case SB_LINEUP: position -= 1; break;
        case SB_LINEDOWN: position += 1; break;
        case SB_PAGEUP: position -= page; break;
        case SB_PAGEDOWN: position += page; break;
        case SB_THUMBPOSITION: position = HIWORD(m.wParam); break;
        default: return;
        }
        info.nPos = std::clamp(position, info.nMin, info.nMax - std::max(page - 1, 0));
        info.fMask = SIF_POS;
        m_pBar->SetScrollInfo(info, true);
    }

    mutable std::mutex m_lock;
    std::vector<ScrollEvent> m_events;
};

// The host on a UI thread of its own; `populate` fills it on that thread.
class CHostBed
{
public:
    explicit CHostBed(std::function<void(CScrollHost&)> populate)
        : m_parked(ui::MoveCursor(POINT{1, 1})), m_thread([this, populate = std::move(populate)] {
              uitest::EnsureApplication();
              const fx::CreateArgs args{0, WS_POPUP | WS_VISIBLE, RECT{100, 100, 500, 420}, nullptr, 0, L"scroll host"};
              if (m_host.Create(args)) populate(m_host);
              m_ready = true;
              if (m_host.IsWindow()) ui::RunMessageLoop();
          })
    {
        ui::PumpUntil([this] { return m_ready.load(); });
        ui::PumpFor(300);
    }
    ~CHostBed()
    {
        if (m_host.IsWindow()) ui::Post(m_host.GetSafeHwnd(), WM_CLOSE);
    }
    CHostBed(const CHostBed&) = delete;
    CHostBed& operator=(const CHostBed&) = delete;

    CScrollHost& Host() { return m_host; }
    HWND Window() const { return m_host.GetSafeHwnd(); }

private:
    CScrollHost m_host;
    bool m_parked;
    std::atomic<bool> m_ready{false};
    ui::CUiThread m_thread;  // last: it starts at construction
};

SCROLLINFO Range(int minimum, int maximum, UINT page, int position = 0)
{
    return SCROLLINFO{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, minimum, maximum, page, position, 0};
}

// One bar alone in the host, as a control's parent would hold it.
struct BarBed
{
    fx::CBitmap skin = LoadSkin();
    CSkinScrollBar bar;
    CHostBed bed;

    BarBed(bool vertical, const SCROLLINFO& range)
        : bed([this, vertical, range](CScrollHost& host) {
              const RECT place =
                  vertical ? RECT{40, 20, 40 + kTile, 20 + kBarLength} : RECT{40, 20, 40 + kBarLength, 20 + kTile};
              const DWORD style = WS_CHILD | WS_VISIBLE | (vertical ? SBS_VERT : SBS_HORZ);
              if (!bar.Create(fx::CreateArgs{0, style, place, host.GetSafeHwnd(), 1}, 1.0f, 0)) return;
              bar.SetSkin(skin.Get());
              bar.SetScrollInfo(range, true);
              host.m_pBar = &bar;
          })
    {
    }

    // A part's rectangle on the screen.
    RECT Part(int part)
    {
        RECT rect{};
        bed.Host().Invoke([&] { rect = bar.PartRect(part); });
        MapWindowPoints(bar.GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    POINT Centre(int part) { return ui::CenterOf(Part(part)); }
    SCROLLINFO Info() { return bar.GetScrollInfo(); }
    int HitTestAtCursor()
    {
        int part = CSkinScrollBar::kNoPart;
        bed.Host().Invoke([&] {
            POINT cursor = ui::CursorPos();
            ScreenToClient(bar.GetSafeHwnd(), &cursor);
            part = bar.HitTest(cursor);
        });
        return part;
    }
    std::vector<ScrollEvent> Events() { return bed.Host().Events(); }
};

// The mouse arrives at a point and rests there a moment, as a user's does before pressing.
void RestAt(POINT point)
{
    ui::MoveCursor(point);
    ui::PumpFor(100);
}

std::vector<ScrollEvent> OfCode(const std::vector<ScrollEvent>& events, int code)
{
    std::vector<ScrollEvent> found;
    std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                 [code](const ScrollEvent& e) { return e.code == code; });
    return found;
}

}  // namespace

TEST_SUITE("scroll bar")
{
    TEST_CASE("the layout arithmetic of a bar")
    {
        SUBCASE("thumb length: page share of the track, with its minimum and none on a short track")
        {
            struct Case
            {
                int track, page, range, cap, expected;
            };
            const Case cases[] = {
                {174, 10, 100, 0, 17}, {174, 1, 1000, 0, 6}, {6, 10, 100, 0, 6}, {5, 10, 100, 0, 0},
                {20, 10, 100, 2, 10},  {9, 10, 100, 2, 0},   {174, 10, 0, 0, 0}, {174, 200, 100, 0, 174},
            };
            for (const Case& c : cases) {
                CAPTURE(c.track);
                CAPTURE(c.page);
                CAPTURE(c.cap);
                CHECK(ThumbLength(c.track, c.page, c.range, c.cap) == c.expected);
            }
        }
        SUBCASE("parts along a 200-pixel bar")
        {
            struct Case
            {
                float scale;
                SCROLLINFO info;
                int position;
                bool forHitTest;
                ScrollBarLayout expected;  // length, track, arrow, thumbStart, thumb
            };
            const Case cases[] = {
                {1.0f, Range(0, 99, 10), 0, false, {200, 174, 13, 13, 17}},
                {1.0f, Range(0, 99, 10), 45, false, {200, 174, 13, 91, 17}},
                {1.0f, Range(0, 99, 10), 90, false, {200, 174, 13, 170, 17}},
                // A minimum other than 0: the last position still puts the thumb at the track's end.
                {1.0f, Range(10, 109, 10), 100, false, {200, 174, 13, 170, 17}},
                // Beyond the range the thumb stays on its track.
                {1.0f, Range(0, 99, 10), 500, false, {200, 174, 13, 170, 17}},
                {1.44f, Range(0, 99, 10), 90, false, {200, 163, 18, 165, 16}},
                // A range that fits one page: no thumb, the track parts meet in the middle; hit
                // testing keeps a thumb there, centred.
                {1.0f, Range(0, 9, 10), 0, false, {200, 174, 13, 100, 0}},
                {1.0f, Range(0, 9, 20), 0, true, {200, 174, 13, 13, 174}},
                // Too short for a track: two half-length arrows.
                {1.0f, Range(0, 99, 10), 0, false, {20, 0, 10, 10, 0}},
            };
            for (const Case& c : cases) {
                CAPTURE(c.scale);
                CAPTURE(c.position);
                const ScrollBarLayout layout =
                    LayOutScrollBar(c.expected.length, kTile, c.scale, 0, c.info, c.position, c.forHitTest);
                CHECK(layout.track == c.expected.track);
                CHECK(layout.arrow == c.expected.arrow);
                CHECK(layout.thumbStart == c.expected.thumbStart);
                CHECK(layout.thumb == c.expected.thumb);
            }
        }
        SUBCASE("hit testing along the axis")
        {
            const ScrollBarLayout top = LayOutScrollBar(200, kTile, 1.0f, 0, Range(0, 99, 10), 0, true);
            const ScrollBarLayout middle = LayOutScrollBar(200, kTile, 1.0f, 0, Range(0, 99, 10), 45, true);
            struct Case
            {
                const ScrollBarLayout& layout;
                int offset, part;
            };
            const Case cases[] = {
                {top, -1, -1},
                {top, 0, SB_LINEUP},
                {top, 12, SB_LINEUP},
                {top, 13, SB_THUMBTRACK},
                {top, 29, SB_THUMBTRACK},
                {top, 30, SB_PAGEDOWN},
                {top, 186, SB_PAGEDOWN},
                {top, 187, SB_LINEDOWN},
                {top, 199, SB_LINEDOWN},
                {top, 200, -1},
                {middle, 90, SB_PAGEUP},
                {middle, 91, SB_THUMBTRACK},
            };
            for (const Case& c : cases) {
                CAPTURE(c.offset);
                CHECK(c.layout.PartAt(c.offset) == c.part);
            }
        }
        SUBCASE("the wrapping frame's children for each set of scroll bars")
        {
            struct Case
            {
                bool vertical, horizontal, left;
                SkinScrollLayout expected;
            };
            const Case cases[] = {
                {true, false, false, {{0, 0, 187, 100}, 0, {187, 0, 200, 100}, {}, CSkinScrollWnd::kNoCorner}},
                {false, true, false, {{0, 0, 200, 87}, 0, {}, {0, 87, 200, 100}, CSkinScrollWnd::kNoCorner}},
                {true,
                 true,
                 false,
                 {{0, 0, 187, 87}, 0, {187, 0, 200, 87}, {0, 87, 187, 100}, CSkinScrollWnd::kCornerRight}},
                {true,
                 true,
                 true,
                 {{13, 0, 200, 87}, -13, {0, 0, 13, 87}, {13, 87, 200, 100}, CSkinScrollWnd::kCornerLeft}},
                {false, false, false, {{0, 0, 200, 100}, 0, {}, {}, CSkinScrollWnd::kNoCorner}},
            };
            for (const Case& c : cases) {
                CAPTURE(c.vertical);
                CAPTURE(c.horizontal);
                CAPTURE(c.left);
                const SkinScrollLayout layout =
                    CSkinScrollWnd::LayOut(RECT{0, 0, 200, 100}, kTile, c.vertical, c.horizontal, c.left);
                CHECK(EqualRect(&layout.limit, &c.expected.limit));
                CHECK(layout.controlX == c.expected.controlX);
                CHECK(EqualRect(&layout.vertical, &c.expected.vertical));
                CHECK(EqualRect(&layout.horizontal, &c.expected.horizontal));
                CHECK(layout.corner == c.expected.corner);
            }
        }
    }

    TEST_CASE("a bar draws its parts from the skin's normal row and an arrow steps once per click")
    {
        struct Case
        {
            bool vertical;
            UINT message;
            int upColumn, downColumn, thumbColumn;
        };
        const Case cases[] = {
            {true, WM_VSCROLL, scrollskin::kUpArrow, scrollskin::kDownArrow, scrollskin::kVerticalThumb},
            {false, WM_HSCROLL, scrollskin::kLeftArrow, scrollskin::kRightArrow, scrollskin::kHorizontalThumb},
        };
        for (const Case& c : cases) {
            CAPTURE(c.vertical);
            BarBed bar(c.vertical, Range(0, 99, 10));
            REQUIRE(bar.bar.IsWindow());
            CHECK(ShownRow(bar.Part(SB_LINEUP), c.upColumn) == scrollskin::kNormal);
            CHECK(ShownRow(bar.Part(SB_LINEDOWN), c.downColumn) == scrollskin::kNormal);
            const ui::CScreenCapture screen = ui::CScreenCapture::OfWindow(bar.bar.GetSafeHwnd());
            CHECK(screen.GetScreenPixel(bar.Centre(SB_THUMBTRACK)) == TileCentre(c.thumbColumn, scrollskin::kNormal));
            CHECK(screen.GetScreenPixel(bar.Centre(SB_PAGEDOWN)) == TileCentre(scrollskin::kVerticalTrack, 0));

            uitest::ClickControl(bar.bar.GetSafeHwnd());  // the middle: the track below the thumb
            ui::PumpFor(200);
            const std::vector<ScrollEvent> paged = bar.Events();
            REQUIRE(paged.size() == 1);
            CHECK(paged[0].code == SB_PAGEDOWN);

            ui::Click(bar.Centre(SB_LINEDOWN));
            ui::PumpFor(700);
            const std::vector<ScrollEvent> events = bar.Events();
            REQUIRE(events.size() == 2);
            CHECK(events[1].message == c.message);
            CHECK(events[1].code == SB_LINEDOWN);
            CHECK(events[1].from == bar.bar.GetSafeHwnd());
            CHECK(bar.Info().nPos == 11);
        }
    }

    TEST_CASE("a range that fits one page draws no thumb")
    {
        BarBed bar(true, Range(0, 9, 10));
        REQUIRE(bar.bar.IsWindow());
        const RECT thumb = bar.Part(SB_THUMBTRACK);
        CHECK(IsRectEmpty(&thumb));
        const RECT up = bar.Part(SB_LINEUP);
        const RECT down = bar.Part(SB_LINEDOWN);
        const uitest::Pixels track = uitest::CaptureScreen(RECT{up.left, up.bottom, up.right, down.top});
        CHECK(uitest::IsUniform(track));
        CHECK(track.rgb.front() == TileCentre(scrollskin::kVerticalTrack, scrollskin::kNormal));
    }

    TEST_CASE("hover and pressed looks of the arrows and the thumb")
    {
        BarBed bar(true, Range(0, 99, 10));
        REQUIRE(bar.bar.IsWindow());
        const RECT up = bar.Part(SB_LINEUP);
        const RECT down = bar.Part(SB_LINEDOWN);
        auto thumbColour = [&] {
            return ui::CScreenCapture(bar.Part(SB_THUMBTRACK)).GetScreenPixel(bar.Centre(SB_THUMBTRACK));
        };

        ui::MoveCursor(ui::CenterOf(down));
        ui::PumpFor(200);
        CHECK(ShownRow(down, scrollskin::kDownArrow) == scrollskin::kHover);
        CHECK(ShownRow(up, scrollskin::kUpArrow) == scrollskin::kNormal);

        ui::MoveCursor(bar.Centre(SB_THUMBTRACK));
        ui::PumpFor(200);
        CHECK(thumbColour() == TileCentre(scrollskin::kVerticalThumb, scrollskin::kHover));
        CHECK(ShownRow(down, scrollskin::kDownArrow) == scrollskin::kNormal);

        ui::MouseDown(bar.Centre(SB_THUMBTRACK));
        ui::PumpFor(200);
        CHECK(thumbColour() == TileCentre(scrollskin::kVerticalThumb, scrollskin::kPressed));
        ui::MouseUp(bar.Centre(SB_THUMBTRACK));
        ui::PumpFor(200);
        CHECK(thumbColour() == TileCentre(scrollskin::kVerticalThumb, scrollskin::kHover));

        ui::MouseDown(ui::CenterOf(up));
        ui::PumpFor(150);
        CHECK(ShownRow(up, scrollskin::kUpArrow) == scrollskin::kPressed);
        ui::MouseUp(ui::CenterOf(up));
        ui::PumpFor(150);
        CHECK(ShownRow(up, scrollskin::kUpArrow) == scrollskin::kHover);

        // The mouse leaves the bar: everything normal again.
        ui::MoveCursor(POINT{up.right + 60, up.top});
        ui::PumpFor(300);
        CHECK(ShownRow(up, scrollskin::kUpArrow) == scrollskin::kNormal);
        CHECK(thumbColour() == TileCentre(scrollskin::kVerticalThumb, scrollskin::kNormal));
    }

    TEST_CASE("holding the down arrow steps at once, again after about 500 ms, then about every 100 ms")
    {
        BarBed bar(true, Range(0, 999, 10));
        REQUIRE(bar.bar.IsWindow());
        const POINT down = bar.Centre(SB_LINEDOWN);
        RestAt(down);
        const ULONGLONG pressed = GetTickCount64();
        ui::MouseDown(down);
        ui::PumpFor(1600);
        ui::MouseUp(down);
        ui::PumpFor(300);
        const std::vector<ScrollEvent> events = bar.Events();
        // The release stops it.
        ui::PumpFor(500);
        CHECK(bar.Events().size() == events.size());

        REQUIRE(events.size() >= 5);
        // 1 at once, 1 after 500 ms and 10 more at 100 ms in 1.6 s: never more.
        CHECK(events.size() <= 13);
        CHECK(OfCode(events, SB_LINEDOWN).size() == events.size());
        CHECK(events[0].time - pressed < 400);
        CHECK(events[1].time - events[0].time >= 350);
        for (size_t i = 2; i < events.size(); ++i) {
            CAPTURE(i);
            CHECK(events[i].time - events[i - 1].time >= 60);
        }
        CHECK(bar.Info().nPos == static_cast<int>(events.size()));
    }

    TEST_CASE("moving off the held arrow pauses the repeat and moving back resumes it")
    {
        BarBed bar(true, Range(0, 999, 10));
        REQUIRE(bar.bar.IsWindow());
        const RECT down = bar.Part(SB_LINEDOWN);
        const POINT on = ui::CenterOf(down);
        const POINT off{down.right + 40, on.y};
        RestAt(on);
        ui::MouseDown(on);
        ui::PumpFor(800);
        CHECK(bar.Events().size() >= 2);

        ui::MoveCursor(off);
        ui::PumpFor(200);
        const size_t paused = bar.Events().size();
        CHECK(ShownRow(down, scrollskin::kDownArrow) == scrollskin::kNormal);
        ui::PumpFor(700);
        CHECK(bar.Events().size() == paused);

        ui::MoveCursor(on);
        ui::PumpFor(700);
        CHECK(bar.Events().size() >= paused + 2);
        CHECK(ShownRow(down, scrollskin::kDownArrow) == scrollskin::kPressed);
        ui::MouseUp(on);
        ui::PumpFor(200);
        const size_t released = bar.Events().size();
        ui::PumpFor(400);
        CHECK(bar.Events().size() == released);
    }

    TEST_CASE("holding the track below the thumb pages until the thumb reaches the cursor")
    {
        BarBed bar(true, Range(0, 99, 10));
        REQUIRE(bar.bar.IsWindow());
        RECT client{};
        GetWindowRect(bar.bar.GetSafeHwnd(), &client);
        const POINT below{ui::CenterOf(client).x, client.top + 150};
        RestAt(below);
        ui::MouseDown(below);
        ui::PumpFor(2600);
        const std::vector<ScrollEvent> held = bar.Events();
        ui::PumpFor(400);
        CHECK(bar.Events().size() == held.size());  // stopped, though still held
        CHECK(bar.HitTestAtCursor() == SB_THUMBTRACK);
        ui::MouseUp(below);
        // Thumb of 17 at 13 + position x 157 / 90 covers offset 150 from position 70 on: seven pages.
        CHECK(held.size() == 7);
        CHECK(OfCode(held, SB_PAGEDOWN).size() == held.size());
        CHECK(bar.Info().nPos == 70);
    }

    TEST_CASE("dragging the thumb past either end clamps to the range and ends with one SB_THUMBPOSITION")
    {
        struct Case
        {
            int minimum, maximum, last;
        };
        for (const Case& c : {Case{0, 99, 90}, Case{10, 109, 100}}) {
            CAPTURE(c.minimum);
            BarBed bar(true, Range(c.minimum, c.maximum, 10, c.minimum));
            REQUIRE(bar.bar.IsWindow());
            const RECT window = ui::WindowRect(bar.bar.GetSafeHwnd());
            const struct
            {
                int beyond;
                int expected;
            } drags[] = {{window.bottom + 120, c.last}, {window.top - 120, c.minimum}};
            for (const auto& drag : drags) {
                CAPTURE(drag.expected);
                const size_t before = bar.Events().size();
                const POINT from = bar.Centre(SB_THUMBTRACK);
                ui::Drag(from, POINT{from.x, drag.beyond}, 12, 20);
                ui::PumpFor(300);
                std::vector<ScrollEvent> events = bar.Events();
                events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(before));
                const std::vector<ScrollEvent> tracked = OfCode(events, SB_THUMBTRACK);
                REQUIRE(tracked.size() >= 2);
                for (const ScrollEvent& e : tracked) {
                    CHECK(e.position >= c.minimum);
                    CHECK(e.position <= c.last);
                }
                CHECK(tracked.back().position == drag.expected);
                REQUIRE(OfCode(events, SB_THUMBPOSITION).size() == 1);
                CHECK(events.back().code == SB_THUMBPOSITION);
                CHECK(events.back().position == drag.expected);
                CHECK(bar.Info().nPos == drag.expected);
            }
            // Back at the start the thumb touches the up arrow, as it touched the down arrow before.
            CHECK(bar.Part(SB_THUMBTRACK).top == bar.Part(SB_LINEUP).bottom);
        }
    }

    TEST_CASE("a double click on an arrow scrolls one line")
    {
        BarBed bar(true, Range(0, 99, 10));
        REQUIRE(bar.bar.IsWindow());
        const POINT down = bar.Centre(SB_LINEDOWN);
        RestAt(down);
        ui::Click(down);
        ui::Click(down);
        ui::PumpFor(800);
        const std::vector<ScrollEvent> events = bar.Events();
        CHECK(events.size() == 1);
        CHECK(bar.Info().nPos == 1);
    }
}

namespace {

// Sees the messages of the control it is bound to, as a dialog's control object does.
class CProbeBinding : public fx::CWnd
{
public:
    std::atomic<int> messages{0};
    std::atomic<bool> finalSeen{false};
    std::atomic<HWND> parentAtDestroy{nullptr};

protected:
    bool ProcessMessage(fx::Message& m) override
    {
        ++messages;
        if (m.message == WM_DESTROY) parentAtDestroy = ::GetParent(m.hwnd);
        return false;
    }
    void OnFinalMessage(HWND) override { finalSeen = true; }
};

enum class Binding
{
    None,
    BeforeWrapping,
    AfterWrapping,
};

// A multi-line edit control in the host, wrapped with the skinned bars.
struct WrapBed
{
    fx::CBitmap skin = LoadSkin();
    CProbeBinding probe;
    HWND edit = nullptr;
    HWND frameWindow = nullptr;
    CSkinScrollWnd* frame = nullptr;  // belongs to its window
    CHostBed bed;

    // A multi-line edit control with `styles` (its scroll bars), or a control of another class.
    WrapBed(DWORD styles, Binding binding, const wchar_t* className = L"Edit", DWORD exStyle = 0)
        : bed([this, styles, binding, className, exStyle](CScrollHost& host) {
              std::wstring text;
              for (int line = 1; line <= kEditLines; ++line)
                  text += L"第 " + std::to_wstring(line) + L" 行 a line of the edit control that is long enough\r\n";
              const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
              const bool isEdit = std::wstring(className) == L"Edit";
              edit = CreateWindowExW(exStyle, className, isEdit ? text.c_str() : L"", (isEdit ? style : 0) | styles, 20,
                                     20, 280, 180, host.GetSafeHwnd(), reinterpret_cast<HMENU>(kControlId), nullptr,
                                     nullptr);
              if (binding == Binding::BeforeWrapping) probe.SubclassWindow(edit);
              frame = SkinWndScroll(edit, skin.Get(), 1.0f, 0);
              if (frame) frameWindow = frame->GetSafeHwnd();
              if (binding == Binding::AfterWrapping) probe.SubclassWindow(edit);
          })
    {
    }

    CScrollHost& Host() { return bed.Host(); }
    HWND Bar(int id) const { return GetDlgItem(frameWindow, id); }
    int FirstLine() const { return static_cast<int>(ui::Send(edit, EM_GETFIRSTVISIBLELINE).value_or(-1)); }
    int BarPosition(int id) const
    {
        SCROLLINFO info{sizeof(info), SIF_POS};
        ui::Send(Bar(id), SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
        return info.nPos;
    }
    int ControlPosition()
    {
        int position = -1;
        Host().Invoke([&] { position = GetScrollPos(edit, SB_VERT); });
        return position;
    }
    // The bottom tile of the vertical bar: its down arrow.
    POINT DownArrow() const
    {
        const RECT bar = ui::WindowRect(Bar(CSkinScrollWnd::kVerticalBarId));
        return POINT{(bar.left + bar.right) / 2, bar.bottom - kTile / 2 - 1};
    }
};

}  // namespace

TEST_SUITE("skinned scroll frame")
{
    TEST_CASE("a control without WS_HSCROLL gets a skinned vertical bar at its right edge and no other")
    {
        WrapBed bed(WS_VSCROLL, Binding::None);
        REQUIRE(bed.frame);
        HWND frame = bed.frameWindow;
        CHECK(ui::WindowText(frame) == L"SkinScrollBarFrame");
        CHECK(ui::ControlId(frame) == kControlId);
        CHECK(GetParent(frame) == bed.bed.Window());
        // The frame took the control's place.
        const RECT placed = ui::WindowRect(frame);
        const POINT origin = ui::ClientToScreenPoint(bed.bed.Window(), POINT{20, 20});
        CHECK(placed.left == origin.x);
        CHECK(placed.top == origin.y);
        CHECK(ui::SizeOf(placed).cx == 280);
        CHECK(ui::SizeOf(placed).cy == 180);

        HWND limit = GetDlgItem(frame, CSkinScrollWnd::kLimitId);
        CHECK(ui::WindowText(limit) == L"LIMIT");
        CHECK(GetParent(bed.edit) == limit);

        const RECT client = ui::ClientRectOnScreen(frame);
        HWND vertical = bed.Bar(CSkinScrollWnd::kVerticalBarId);
        REQUIRE(ui::IsVisible(vertical));
        const RECT bar = ui::WindowRect(vertical);
        const RECT expected{client.right - kTile, client.top, client.right, client.bottom};
        CHECK(EqualRect(&bar, &expected));
        CHECK_FALSE(ui::IsVisible(bed.Bar(CSkinScrollWnd::kHorizontalBarId)));
        int corner = -1;
        bed.Host().Invoke([&] { corner = bed.frame->GetCorner(); });
        CHECK(corner == CSkinScrollWnd::kNoCorner);

        // The control's text area fills the limit exactly: its own bar is cut away.
        const RECT limitRect = ui::WindowRect(limit);
        const RECT text = ui::ClientRectOnScreen(bed.edit);
        CHECK(text.left == limitRect.left);
        CHECK(text.right == limitRect.right);
        CHECK(limitRect.right == bar.left);
        // What shows there is the skin, not the system's bar.
        CHECK(ShownRow(RECT{bar.left, bar.top, bar.right, bar.top + kTile}, scrollskin::kUpArrow) ==
              scrollskin::kNormal);
    }

    TEST_CASE("the frame takes the control's border or client edge; the control keeps neither")
    {
        struct Case
        {
            DWORD style, exStyle;
        };
        for (const Case& c : {Case{WS_BORDER, 0}, Case{0, WS_EX_CLIENTEDGE}}) {
            CAPTURE(c.style);
            WrapBed bed(WS_CHILD | WS_VISIBLE | WS_VSCROLL | c.style, Binding::None, L"Static", c.exStyle);
            REQUIRE(bed.frame);
            CHECK((ui::Style(bed.frameWindow) & WS_BORDER) == c.style);
            CHECK((ui::ExStyle(bed.frameWindow) & WS_EX_CLIENTEDGE) == c.exStyle);
            CHECK((ui::Style(bed.edit) & WS_BORDER) == 0);
            CHECK((ui::ExStyle(bed.edit) & WS_EX_CLIENTEDGE) == 0);
            // The control and its bar fill the frame's client area within the edge.
            const RECT client = ui::ClientRectOnScreen(bed.frameWindow);
            CHECK(ui::SizeOf(ui::WindowRect(bed.frameWindow)).cx > ui::SizeOf(client).cx);
            CHECK(ui::WindowRect(bed.Bar(CSkinScrollWnd::kVerticalBarId)).right == client.right);
            CHECK(ui::ClientRectOnScreen(bed.edit).left == client.left);
        }
    }

    TEST_CASE("a control with both bars gets both, and the size grip in the corner between them")
    {
        WrapBed bed(WS_VSCROLL | WS_HSCROLL, Binding::None);
        REQUIRE(bed.frame);
        const RECT client = ui::ClientRectOnScreen(bed.frameWindow);
        HWND horizontal = bed.Bar(CSkinScrollWnd::kHorizontalBarId);
        REQUIRE(ui::IsVisible(horizontal));
        const RECT bar = ui::WindowRect(horizontal);
        const RECT expected{client.left, client.bottom - kTile, client.right - kTile, client.bottom};
        CHECK(EqualRect(&bar, &expected));
        CHECK(ui::WindowRect(bed.Bar(CSkinScrollWnd::kVerticalBarId)).bottom == client.bottom - kTile);
        int corner = -1;
        bed.Host().Invoke([&] { corner = bed.frame->GetCorner(); });
        CHECK(corner == CSkinScrollWnd::kCornerRight);
        const RECT grip{client.right - kTile, client.bottom - kTile, client.right, client.bottom};
        CHECK(uitest::MeanDifference(uitest::CaptureScreen(grip), Tile(scrollskin::kSizeGrip, scrollskin::kGripRight)) <
              3.0);
    }

    TEST_CASE("the skinned bar scrolls the control and follows the control when it scrolls by itself")
    {
        WrapBed bed(WS_VSCROLL, Binding::BeforeWrapping);
        REQUIRE(bed.frame);
        CHECK(bed.FirstLine() == 0);
        RestAt(bed.DownArrow());
        ui::Click(bed.DownArrow());
        CHECK(ui::PumpUntil([&] { return bed.FirstLine() == 1; }, 2000));
        CHECK(bed.BarPosition(CSkinScrollWnd::kVerticalBarId) == bed.ControlPosition());

        // Scrolled by a message of its own, not through the bar.
        ui::Send(bed.edit, EM_LINESCROLL, 0, 20);
        CHECK(ui::PumpUntil([&] { return bed.BarPosition(CSkinScrollWnd::kVerticalBarId) == 21; }, 2000));

        // The thumb dragged to the bottom shows the last lines.
        const RECT bar = ui::WindowRect(bed.Bar(CSkinScrollWnd::kVerticalBarId));
        SCROLLINFO info{sizeof(info), SIF_ALL};
        ui::Send(bed.Bar(CSkinScrollWnd::kVerticalBarId), SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
        const ScrollBarLayout layout = LayOutScrollBar(ui::SizeOf(bar).cy, kTile, 1.0f, 0, info, info.nPos, false);
        const POINT thumb{(bar.left + bar.right) / 2, bar.top + layout.thumbStart + layout.thumb / 2};
        ui::Drag(thumb, POINT{thumb.x, bar.bottom + 100});
        CHECK(
            ui::PumpUntil([&] { return bed.ControlPosition() == info.nMax - static_cast<int>(info.nPage) + 1; }, 2000));
        CHECK(bed.FirstLine() > kEditLines / 2);
        CHECK(ui::PumpUntil([&] { return bed.BarPosition(CSkinScrollWnd::kVerticalBarId) == bed.ControlPosition(); },
                            2000));
        CHECK(bed.probe.messages > 0);
    }

    TEST_CASE("the frame lives beside a CWnd binding of the control and goes with the control, in any order")
    {
        struct Case
        {
            const char* name;
            Binding binding;
            bool unbindFirst;  // the binding object lets go while the frame is attached
            bool destroyHost;  // the window around everything goes, not the control alone
        };
        const Case cases[] = {
            {"bound before, control destroyed", Binding::BeforeWrapping, false, false},
            {"bound after, control destroyed", Binding::AfterWrapping, false, false},
            {"bound before, unbound first", Binding::BeforeWrapping, true, false},
            {"bound after, unbound first", Binding::AfterWrapping, true, false},
            {"bound before, host destroyed", Binding::BeforeWrapping, false, true},
        };
        for (const Case& c : cases) {
            CAPTURE(c.name);
            WrapBed bed(WS_VSCROLL, c.binding);
            REQUIRE(bed.frame);
            const HWND edit = bed.edit;
            const HWND frame = bed.frameWindow;
            // Both see the control's messages.
            const int seen = bed.probe.messages;
            ui::Send(edit, WM_GETTEXTLENGTH);
            CHECK(bed.probe.messages > seen);

            if (c.unbindFirst) {
                bed.Host().Invoke([&] { bed.probe.UnsubclassWindow(); });
                RestAt(bed.DownArrow());
                ui::Click(bed.DownArrow());
                CHECK(ui::PumpUntil([&] { return bed.FirstLine() == 1; }, 2000));
                CHECK(ui::PumpUntil([&] { return bed.BarPosition(CSkinScrollWnd::kVerticalBarId) == 1; }, 2000));
            }
            if (c.destroyHost) {
                ui::Post(bed.bed.Window(), WM_CLOSE);
                CHECK(ui::WaitForWindowGone(bed.bed.Window()));
            } else {
                bed.Host().Invoke([&] { DestroyWindow(edit); });
            }
            CHECK_FALSE(IsWindow(edit));
            CHECK_FALSE(IsWindow(frame));
            if (!c.unbindFirst) CHECK(bed.probe.finalSeen);
            if (!c.destroyHost) {
                // The control was handed back to the host before it went, and nothing is left.
                if (!c.unbindFirst) CHECK(bed.probe.parentAtDestroy == bed.bed.Window());
                CHECK(ui::ChildWindows(bed.bed.Window()).empty());
            }
        }
    }
}

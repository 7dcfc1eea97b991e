#include "tests/uidriver/UiTestSupport.h"

#include "controls/PngPainting.h"

#include <cmath>

namespace uitest {

void EnsureApplication()
{
    static fx::CWinApp application;
    static const bool started = application.Startup();
    (void)started;
}

namespace {
constexpr DWORD kPaintSettleMs = 300;
}  // namespace

// The cursor starts in the screen's corner, away from where dialogs appear: a cursor left over a
// button by an earlier test would show its hover picture.
static bool ParkCursor() { return ui::MoveCursor(POINT{1, 1}); }

CModalRun::CModalRun(std::function<INT_PTR()> body)
    : m_parked(ParkCursor()), m_thread([this, body = std::move(body)] {
          EnsureApplication();
          m_result = body();
          m_done = true;
      })
{
}

HWND CModalRun::Frame()
{
    const DWORD thread = m_thread.Id();
    return ui::WaitForWindow(ui::All(
        {ui::OnThread(thread), ui::IsShown(), [](HWND window) { return (ui::ExStyle(window) & WS_EX_LAYERED) != 0; }}));
}

HWND CModalRun::Dialog()
{
    HWND window = ui::WaitForWindow(ui::All({ui::OnThread(m_thread.Id()), ui::IsShown()}));
    if (window) ui::PumpFor(kPaintSettleMs);
    return window;
}

HWND CModalRun::Child()
{
    HWND frame = Frame();
    if (!frame) return nullptr;
    HWND child = ui::WaitForWindow(ui::All({ui::OwnedBy(frame), ui::IsShown()}));
    // Time to paint: Xvfb keeps no picture of a window's own, so an early capture would show
    // whatever stood there before.
    if (child) ui::PumpFor(kPaintSettleMs);
    return child;
}

bool CModalRun::Wait(DWORD timeoutMs)
{
    return ui::PumpUntil([this] { return m_done.load(); }, timeoutMs);
}

void ClickControl(HWND window)
{
    const POINT centre = ui::CenterOf(ui::WindowRect(window));
    // The cursor comes from beside the control, as a hand moves it: a click at a point the cursor
    // already rests on, after a window under it has gone, can be lost under Wine's X11 driver.
    ui::MoveCursor({centre.x - 1, centre.y - 1});
    ui::PumpFor(50);
    ui::MoveCursor(centre);
    ui::PumpFor(kPaintSettleMs);
    ui::Click(centre);
}

Pixels RenderResource(UINT id, const RECT& source, int width, int height, COLORREF under)
{
    EnsureApplication();
    Pixels pixels;
    fx::ImagePtr image;
    if (!LoadPngFromResource(image, id)) return pixels;
    Gdiplus::Bitmap canvas(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&canvas);
        graphics.Clear(Gdiplus::Color(255, GetRValue(under), GetGValue(under), GetBValue(under)));
        graphics.DrawImage(image.get(), Gdiplus::Rect(0, 0, width, height), source.left, source.top,
                           source.right - source.left, source.bottom - source.top, Gdiplus::UnitPixel);
    }
    pixels.width = width;
    pixels.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Gdiplus::Color color;
            canvas.GetPixel(x, y, &color);
            pixels.rgb.push_back(ui::Rgb{color.GetR(), color.GetG(), color.GetB()});
        }
    }
    return pixels;
}

Pixels RenderResource(UINT id, COLORREF under)
{
    fx::ImagePtr image;
    if (!LoadPngFromResource(image, id)) return {};
    const int width = static_cast<int>(image->GetWidth());
    const int height = static_cast<int>(image->GetHeight());
    return RenderResource(id, RECT{0, 0, width, height}, width, height, under);
}

Pixels CaptureScreen(const RECT& screenRect)
{
    ui::CScreenCapture capture(screenRect);
    Pixels pixels;
    pixels.width = capture.Width();
    pixels.height = capture.Height();
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) pixels.rgb.push_back(capture.GetPixel(x, y));
    }
    return pixels;
}

double MeanDifference(const Pixels& a, const Pixels& b)
{
    if (a.width != b.width || a.height != b.height || a.rgb.empty()) return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        sum +=
            std::abs(a.rgb[i].r - b.rgb[i].r) + std::abs(a.rgb[i].g - b.rgb[i].g) + std::abs(a.rgb[i].b - b.rgb[i].b);
    }
    return sum / (3.0 * static_cast<double>(a.rgb.size()));
}

UINT ClosestResource(const RECT& screenRect, const std::vector<UINT>& ids)
{
    const Pixels shown = CaptureScreen(screenRect);
    UINT best = 0;
    double bestDifference = 1e18;
    for (UINT id : ids) {
        fx::ImagePtr image;
        if (!LoadPngFromResource(image, id)) continue;
        const RECT whole{0, 0, static_cast<LONG>(image->GetWidth()), static_cast<LONG>(image->GetHeight())};
        const double difference = MeanDifference(shown, RenderResource(id, whole, shown.width, shown.height));
        if (difference < bestDifference) {
            bestDifference = difference;
            best = id;
        }
    }
    return best;
}

bool IsUniform(const Pixels& pixels)
{
    for (const auto& pixel : pixels.rgb) {
        if (pixel != pixels.rgb.front()) return false;
    }
    return true;
}

}  // namespace uitest

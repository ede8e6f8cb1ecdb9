#include "driver/box_icon.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr auto kPaintDeadline = std::chrono::seconds(3);
// The mean difference per colour channel below which two images match.
constexpr double kMatchTolerance = 8.0;

struct Candidate {
    BoxIcon icon;
    LPCWSTR resource;
};

const Candidate kCandidates[] = {
    {BoxIcon::Stop, IDI_HAND},
    {BoxIcon::Question, IDI_QUESTION},
    {BoxIcon::Warning, IDI_EXCLAMATION},
    {BoxIcon::Information, IDI_ASTERISK},
};

// A 32-bit top-down bitmap selected into a memory context.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pixels), nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    std::uint32_t Pixel(int x, int y) const { return m_pixels[y * m_width + x]; }

    void Fill(std::uint32_t colour)
    {
        std::fill(m_pixels, m_pixels + m_width * m_height, colour);
    }

    double MeanDifference(const Canvas& other) const
    {
        std::uint64_t total = 0;
        for (int i = 0; i < m_width * m_height; ++i) {
            for (int shift : {0, 8, 16})
                total += std::abs(static_cast<int>((m_pixels[i] >> shift) & 0xFF) -
                                  static_cast<int>((other.m_pixels[i] >> shift) & 0xFF));
        }
        return static_cast<double>(total) / (3.0 * m_width * m_height);
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    std::uint32_t* m_pixels = nullptr;
};

BoxIcon MatchOnce(HWND iconControl)
{
    RECT rect{};
    GetWindowRect(iconControl, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return BoxIcon::Unknown;

    Canvas screen(width, height);
    const HDC screenDc = GetDC(nullptr);
    BitBlt(screen.Dc(), 0, 0, width, height, screenDc, rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screenDc);

    // Every standard icon leaves its corner transparent: that is the box.
    const std::uint32_t background = screen.Pixel(0, 0);
    BoxIcon best = BoxIcon::Unknown;
    double bestDifference = kMatchTolerance;
    for (const Candidate& candidate : kCandidates) {
        Canvas drawn(width, height);
        drawn.Fill(background);
        DrawIconEx(drawn.Dc(), 0, 0, LoadIconW(nullptr, candidate.resource), width, height, 0, nullptr, DI_NORMAL);
        const double difference = screen.MeanDifference(drawn);
        if (difference < bestDifference) {
            bestDifference = difference;
            best = candidate.icon;
        }
    }
    return best;
}

}  // namespace

BoxIcon RecognizeBoxIcon(HWND iconControl)
{
    if (iconControl == nullptr || !IsWindowVisible(iconControl))
        return BoxIcon::None;
    // The box may not have painted yet when it first shows.
    const auto deadline = std::chrono::steady_clock::now() + kPaintDeadline;
    for (;;) {
        const BoxIcon icon = MatchOnce(iconControl);
        if (icon != BoxIcon::Unknown || std::chrono::steady_clock::now() >= deadline)
            return icon;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

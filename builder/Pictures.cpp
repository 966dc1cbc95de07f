#include "builder/Pictures.h"

#include <initializer_list>
#include <utility>

namespace kestrix {

namespace {

constexpr uint32_t kClear = 0x00000000;
constexpr uint32_t kOutline = 0xFF404040;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kPaperLine = 0xFFA0A8B0;
constexpr uint32_t kDiskBlue = 0xFF2848A0;
constexpr uint32_t kMetal = 0xFFC0C8D0;
constexpr uint32_t kFolderBack = 0xFFD0A030;
constexpr uint32_t kFolderFront = 0xFFF8D060;
constexpr uint32_t kGold = 0xFFE8B020;
constexpr uint32_t kGoldLight = 0xFFFFE080;
constexpr uint32_t kGoldDark = 0xFF986800;
constexpr uint32_t kRibbon = 0xFFC83030;
constexpr uint32_t kBookBlue = 0xFF2858B8;
constexpr uint32_t kBookSpine = 0xFF183880;
constexpr uint32_t kSignBlue = 0xFF2068C8;
constexpr uint32_t kYellow = 0xFFF8D838;
constexpr uint32_t kPlayGreen = 0xFF30B040;
constexpr uint32_t kPlayDark = 0xFF187020;
constexpr uint32_t kStopBlue = 0xFF3060D0;
constexpr uint32_t kStopDark = 0xFF183880;

constexpr uint32_t kMonitorKey = 0xFFFF00FF;  // transparent
constexpr uint32_t kCase = 0xFFD8D4CC;
constexpr uint32_t kCaseLight = 0xFFF4F2EE;
constexpr uint32_t kCaseShadow = 0xFFA8A49C;
constexpr uint32_t kCaseOutline = 0xFF707070;
constexpr uint32_t kScreenFrame = 0xFF303438;
constexpr uint32_t kLed = 0xFF30C040;

// Just enough drawing for small pictures; coordinates outside the picture are left out.
class Canvas {
public:
    Canvas(int width, int height, uint32_t background) {
        picture_.SetSize(width, height);
        for (uint32_t& pixel : picture_.Pixels()) pixel = background;
    }

    void Pixel(int x, int y, uint32_t color) {
        if (x >= 0 && y >= 0 && x < picture_.Width() && y < picture_.Height()) picture_.SetPixel(x, y, color);
    }
    // Corners inclusive.
    void Fill(int left, int top, int right, int bottom, uint32_t color) {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) Pixel(x, y, color);
    }
    void Frame(int left, int top, int right, int bottom, uint32_t color) {
        for (int x = left; x <= right; ++x) Pixel(x, top, color), Pixel(x, bottom, color);
        for (int y = top; y <= bottom; ++y) Pixel(left, y, color), Pixel(right, y, color);
    }
    void Box(int left, int top, int right, int bottom, uint32_t fill, uint32_t outline) {
        Fill(left, top, right, bottom, fill);
        Frame(left, top, right, bottom, outline);
    }
    // A filled rectangle with rounded corners of the given radius, and its outline.
    void RoundBox(int left, int top, int right, int bottom, int radius, uint32_t fill, uint32_t outline) {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                const int edge = CornerDistance(x, y, left, top, right, bottom, radius);
                if (edge < 0) continue;
                Pixel(x, y, edge == 0 ? outline : fill);
            }
    }
    // A disc around (cx, cy) in pixel-edge coordinates, so (8, 8) is the middle of 16 pixels.
    void Disc(double cx, double cy, double radius, uint32_t color) {
        for (int y = 0; y < picture_.Height(); ++y)
            for (int x = 0; x < picture_.Width(); ++x) {
                const double dx = x + 0.5 - cx;
                const double dy = y + 0.5 - cy;
                if (dx * dx + dy * dy <= radius * radius) Pixel(x, y, color);
            }
    }
    // Rows of a small pattern: '#' in the colour, anything else left as it is.
    void Pattern(int left, int top, std::initializer_list<const char*> rows, uint32_t color) {
        int y = top;
        for (const char* row : rows) {
            for (int x = 0; row[x]; ++x)
                if (row[x] == '#') Pixel(left + x, y, color);
            ++y;
        }
    }
    TBitmap Take() { return std::move(picture_); }

private:
    // -1 outside the rounded rectangle, 0 on its edge, 1 inside.
    static int CornerDistance(int x, int y, int left, int top, int right, int bottom, int radius) {
        const int cx = x < left + radius ? left + radius : x > right - radius ? right - radius : x;
        const int cy = y < top + radius ? top + radius : y > bottom - radius ? bottom - radius : y;
        const int dx = x - cx;
        const int dy = y - cy;
        const int squared = dx * dx + dy * dy;
        if (squared > radius * radius) return -1;
        const bool onStraightEdge = x == left || x == right || y == top || y == bottom;
        const bool onCurve = (dx != 0 || dy != 0) && squared > (radius - 1) * (radius - 1);
        return onStraightEdge || onCurve ? 0 : 1;
    }

    TBitmap picture_;
};

Canvas Icon() { return Canvas(kActionImageSize, kActionImageSize, kClear); }

void DrawDisk(Canvas& c, int left, int top, int size) {
    const int right = left + size - 1;
    const int bottom = top + size - 1;
    c.Box(left, top, right, bottom, kDiskBlue, kOutline);
    c.Pixel(right, top, kClear);  // the cut corner
    const int shutterLeft = left + size / 4;
    const int shutterRight = right - size / 4;
    c.Box(shutterLeft, top, shutterRight, top + size * 5 / 16, kMetal, kOutline);
    c.Fill(shutterRight - size / 8, top + 1, shutterRight - 1, top + size * 5 / 16 - 1, kDiskBlue);
    c.Box(left + 2, top + size / 2, right - 2, bottom, kWhite, kOutline);
    if (size >= 14) {
        c.Fill(left + 4, top + size / 2 + 2, right - 4, top + size / 2 + 2, kPaperLine);
        c.Fill(left + 4, top + size / 2 + 4, right - 4, top + size / 2 + 4, kPaperLine);
    }
}

void DrawSheet(Canvas& c, int left, int top, int right, int bottom, bool lines) {
    const int fold = 3;
    c.Box(left, top, right, bottom, kWhite, kOutline);
    // The folded top-right corner.
    for (int i = 0; i <= fold; ++i) {
        for (int x = right - fold + i + 1; x <= right; ++x) c.Pixel(x, top + i, kClear);
        c.Pixel(right - fold + i, top + i, kOutline);
    }
    c.Fill(right - fold, top + fold, right, top + fold, kOutline);
    c.Fill(right - fold, top, right - fold, top + fold, kOutline);
    if (!lines) return;
    for (int y = top + fold + 3; y < bottom - 1; y += 2) c.Fill(left + 2, y, right - 2, y, kPaperLine);
}

TBitmap Disk() {
    Canvas c = Icon();
    DrawDisk(c, 1, 1, 14);
    return c.Take();
}

TBitmap DiskWithSheet() {
    Canvas c = Icon();
    DrawSheet(c, 6, 0, 15, 11, true);
    DrawDisk(c, 0, 6, 10);
    return c.Take();
}

TBitmap OpenFolder() {
    Canvas c = Icon();
    c.Box(1, 2, 6, 4, kFolderBack, kOutline);  // the tab
    c.Box(0, 3, 13, 14, kFolderBack, kOutline);
    // The front flap, tilted open: each row starts one pixel further left going down.
    for (int row = 0; row <= 7; ++row) {
        const int y = 7 + row;
        const int left = 4 - row / 2;
        const int right = 15 - row / 2;
        c.Fill(left, y, right, y, kFolderFront);
        c.Pixel(left, y, kOutline);
        c.Pixel(right, y, kOutline);
    }
    c.Fill(4, 7, 15, 7, kOutline);
    c.Fill(1, 14, 12, 14, kOutline);
    return c.Take();
}

TBitmap NewSheet() {
    Canvas c = Icon();
    DrawSheet(c, 2, 1, 12, 15, false);
    // A spark at the corner: the sheet is new.
    c.Pattern(11, 0, {"..#..", ".###.", "#####", ".###.", "..#.."}, kYellow);
    c.Pattern(11, 0, {"..#..", ".....", "#...#", ".....", "..#.."}, kGoldDark);
    return c.Take();
}

TBitmap CircularBadge() {
    Canvas c = Icon();
    c.Box(3, 8, 6, 15, kRibbon, kOutline);
    c.Box(9, 8, 12, 15, kRibbon, kOutline);
    c.Fill(4, 15, 5, 15, kClear);  // the notched ends
    c.Fill(10, 15, 11, 15, kClear);
    c.Disc(8, 6, 6, kGoldDark);
    c.Disc(8, 6, 5, kGold);
    c.Disc(8, 6, 3, kGoldLight);
    c.Disc(8, 6, 1.5, kGold);
    return c.Take();
}

TBitmap HelpBook() {
    Canvas c = Icon();
    c.Box(3, 12, 14, 15, kWhite, kOutline);  // the pages, seen at the bottom
    c.Box(2, 0, 13, 13, kBookBlue, kOutline);
    c.Fill(3, 1, 4, 12, kBookSpine);
    c.Pattern(6, 3, {".###.", "#...#", "....#", "...#.", "..#..", "..#..", ".....", "..#.."}, kYellow);
    return c.Take();
}

TBitmap InformationSign() {
    Canvas c = Icon();
    c.Disc(8, 8, 7.5, kOutline);
    c.Disc(8, 8, 6.5, kSignBlue);
    c.Fill(7, 3, 8, 4, kWhite);
    c.Fill(6, 6, 8, 6, kWhite);
    c.Fill(7, 7, 8, 11, kWhite);
    c.Fill(6, 12, 9, 12, kWhite);
    return c.Take();
}

}  // namespace

TBitmap PlayGlyph() {
    Canvas c = Icon();
    // Column by column the triangle narrows to its tip at the right.
    for (int x = 0; x <= 10; ++x) {
        const int half = 5 - (x * 5 + 5) / 11;
        c.Fill(3 + x, 7 - half, 3 + x, 8 + half, x == 0 || x == 10 ? kPlayDark : kPlayGreen);
        c.Pixel(3 + x, 7 - half, kPlayDark);
        c.Pixel(3 + x, 8 + half, kPlayDark);
    }
    return c.Take();
}

TBitmap StopGlyph() {
    Canvas c = Icon();
    c.Box(3, 3, 12, 12, kStopBlue, kStopDark);
    return c.Take();
}

std::vector<TBitmap> ActionImages() {
    return {Icon().Take(), Disk(), DiskWithSheet(), OpenFolder(), NewSheet(), CircularBadge(), HelpBook(),
            InformationSign()};
}

TBitmap MonitorPicture() {
    Canvas c(250, 240, kMonitorKey);
    // The stand first, so the case overlaps its top.
    c.RoundBox(55, 214, 194, 236, 6, kCase, kCaseOutline);
    c.Fill(60, 232, 189, 234, kCaseShadow);
    c.Box(104, 190, 145, 216, kCaseShadow, kCaseOutline);
    c.RoundBox(0, 0, 249, 195, 8, kCase, kCaseOutline);
    // Light from the top left.
    c.Fill(8, 1, 241, 1, kCaseLight);
    c.Fill(1, 8, 1, 187, kCaseLight);
    c.Fill(8, 194, 241, 194, kCaseShadow);
    c.Fill(248, 8, 248, 187, kCaseShadow);
    const PictureRect s = kMonitorScreen;
    c.Box(s.Left - 5, s.Top - 5, s.Left + s.Width + 4, s.Top + s.Height + 4, kScreenFrame, kCaseShadow);
    c.Fill(214, 183, 219, 186, kLed);
    c.Frame(213, 182, 220, 187, kCaseShadow);
    return c.Take();
}

}  // namespace kestrix

// Movie engine benchmarks: reference scenes drawn at 1920 x 1080 by the engine and, as the
// baseline in the same run, the same paths drawn by cairo with its default anti-aliasing.
// Figures are medians in milliseconds per frame, with the ratio engine / cairo (below 1 is
// faster than cairo; --engine-only skips cairo for profiling). A last check plays a looping movie and reports whether
// the display list grows.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <cairo.h>

#include "swf/Player.h"
#include "swf/Stage.h"
#include "tests/swf/SwfWriter.h"

namespace {

using namespace kestrix::swf;
using namespace kestrix::swf::test;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRuns = 25;

// One object of a scene: a one-fill shape placed with a matrix. The same data goes into the
// movie and to cairo.
struct Item {
    ShapeDraft shape;
    Matrix placement;
};

struct Scene {
    std::string name;
    std::vector<Item> items;
    // Bitmaps the fills refer to (straight 0xAARRGGBB), in definition order from id 1.
    std::vector<std::pair<std::pair<int, int>, std::vector<uint32_t>>> bitmaps;
};

double Px(double pixels) {
    return pixels * 20;
}

uint32_t RandomColor(std::mt19937& random, bool translucent) {
    const uint32_t alpha = translucent ? 0x80 : 0xFF;
    return alpha << 24 | (random() & 0xFFFFFF);
}

// A closed blob of quadratic curves around a centre.
PathDraft Blob(std::mt19937& random, double cx, double cy, double radius, int lobes) {
    std::uniform_real_distribution<double> wobble(0.6, 1.0);
    PathDraft path;
    path.fill1 = 1;
    const double step = 2 * M_PI / lobes;
    auto point = [&](double angle, double r) { return Point{cx + r * std::cos(angle), cy + r * std::sin(angle)}; };
    path.start = point(0, radius);
    for (int i = 0; i < lobes; ++i) {
        const Point control = point((i + 0.5) * step, radius * 1.25 * wobble(random));
        const Point to = i + 1 == lobes ? path.start : point((i + 1) * step, radius * wobble(random));
        path.CurveTo(control.x, control.y, to.x, to.y);
    }
    return path;
}

Scene SolidShapes() {
    Scene scene{"solid shapes with curves (400)", {}, {}};
    std::mt19937 random(1);
    std::uniform_real_distribution<double> x(0, kWidth), y(0, kHeight), r(20, 120);
    for (int i = 0; i < 400; ++i) {
        Item item;
        item.shape.fills = {FillDraft::Color(RandomColor(random, i % 3 == 0))};
        item.shape.paths = {Blob(random, Px(x(random)), Px(y(random)), Px(r(random)), 8)};
        scene.items.push_back(item);
    }
    return scene;
}

Scene GradientShapes() {
    Scene scene{"gradient shapes (60)", {}, {}};
    std::mt19937 random(2);
    std::uniform_real_distribution<double> x(0, kWidth), y(0, kHeight), r(100, 300);
    for (int i = 0; i < 60; ++i) {
        const double cx = Px(x(random)), cy = Px(y(random)), radius = Px(r(random));
        FillDraft fill;
        fill.kind = i % 2 == 0 ? FillDraft::Linear : FillDraft::Radial;
        fill.stops = {
            {0, RandomColor(random, false)}, {128, RandomColor(random, true)}, {255, RandomColor(random, false)}};
        const double scale = 2 * radius / 32768;
        const double angle = i * 0.7;
        fill.matrix = {scale * std::cos(angle),
                       scale * std::sin(angle),
                       -scale * std::sin(angle),
                       scale * std::cos(angle),
                       cx,
                       cy};
        Item item;
        item.shape.fills = {fill};
        item.shape.paths = {Blob(random, cx, cy, radius, 6)};
        scene.items.push_back(item);
    }
    return scene;
}

Scene ScaledBitmap() {
    Scene scene{"full-screen bitmap, smoothed, 3x", {}, {}};
    const int w = 640, h = 360;
    std::vector<uint32_t> pixels(w * h);
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx)
            pixels[yy * w + xx] = 0xFF000000u | (xx * 255 / w) << 16 | (yy * 255 / h) << 8 | ((xx ^ yy) & 0xFF);
    scene.bitmaps.push_back({{w, h}, pixels});
    FillDraft fill;
    fill.kind = FillDraft::Bitmap;
    fill.bitmapId = 1;
    fill.smooth = true;
    fill.repeat = false;
    fill.matrix = Matrix::Scale(Px(3), Px(3));
    Item item;
    item.shape.fills = {fill};
    item.shape.paths = {PathDraft::Rectangle(0, 0, Px(kWidth), Px(kHeight), 1)};
    scene.items.push_back(item);
    return scene;
}

// Glyph-like outlines on a 1024 em: rings, bars and bowls built from curves.
std::vector<PathDraft> GlyphOutline(int index) {
    std::mt19937 random(100 + index);
    std::vector<PathDraft> paths;
    PathDraft outer = Blob(random, 300, -350, 300, 8);
    paths.push_back(outer);
    if (index % 3 == 0) {
        // A counter (hole), drawn the other way round.
        PathDraft inner = Blob(random, 300, -350, 140, 6);
        inner.fill1 = 0;
        inner.fill0 = 1;
        paths.push_back(inner);
    }
    if (index % 2 == 0) paths.push_back(PathDraft::Rectangle(520, -700, 600, 0, 1));
    return paths;
}

Scene Text() {
    Scene scene{"glyph text (12 lines x 80)", {}, {}};
    const double height = Px(28);
    const double scale = height / 1024;
    for (int line = 0; line < 12; ++line) {
        for (int i = 0; i < 80; ++i) {
            Item item;
            item.shape.fills = {FillDraft::Color(0xFF202020)};
            item.shape.paths = GlyphOutline((line * 7 + i * 3) % 26);
            item.placement = {scale, 0, 0, scale, Px(20 + i * 23.5), Px(60 + line * 80)};
            scene.items.push_back(item);
        }
    }
    return scene;
}

// ---- The engine

std::vector<uint8_t> WriteMovie(const Scene& scene, bool asText) {
    SwfWriter writer(8, kWidth, kHeight);
    for (const auto& [size, pixels] : scene.bitmaps) writer.DefineLosslessBitmap(size.first, size.second, pixels);
    if (asText) {
        // The text scene goes in as a font and DefineText records, as a movie has it.
        std::vector<GlyphDraft> glyphs(26);
        for (int i = 0; i < 26; ++i) {
            glyphs[i].code = static_cast<uint16_t>('a' + i);
            glyphs[i].advance = 660;
            glyphs[i].paths = GlyphOutline(i);
        }
        const uint16_t font = writer.DefineFont(glyphs);
        std::vector<TextRecordDraft> records;
        for (int line = 0; line < 12; ++line) {
            TextRecordDraft record;
            record.fontId = font;
            record.height = Px(28);
            record.color = 0xFF202020;
            record.x = Px(20);
            record.y = Px(60 + line * 80);
            for (int i = 0; i < 80; ++i) record.glyphs.push_back({(line * 7 + i * 3) % 26, static_cast<int>(Px(23.5))});
            records.push_back(record);
        }
        writer.Place(1, writer.DefineText({0, static_cast<int32_t>(Px(kWidth)), 0, static_cast<int32_t>(Px(kHeight))},
                                          Matrix(), records));
    } else {
        uint16_t depth = 1;
        for (const Item& item : scene.items) {
            PlaceOptions place;
            place.matrix = item.placement;
            writer.Place(depth++, writer.DefineShape(item.shape), place);
        }
    }
    writer.ShowFrame();
    return writer.Finish();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Times two drawings taking turns, so that a busy machine slows both alike; returns the
// medians in milliseconds.
std::pair<double, double> TimeInTurns(const std::function<void()>& first, const std::function<void()>& second) {
    first();  // warm caches and buffers
    if (second) second();
    std::vector<double> firstTimes;
    std::vector<double> secondTimes;
    auto time = [](const std::function<void()>& draw) {
        const auto start = std::chrono::steady_clock::now();
        draw();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    for (int i = 0; i < kRuns; ++i) {
        firstTimes.push_back(time(first));
        if (second) secondTimes.push_back(time(second));
    }
    return {Median(firstTimes), second ? Median(secondTimes) : 0};
}

// Everything the engine needs to draw a scene, kept alive between drawings.
struct EngineScene {
    std::shared_ptr<const Movie> movie;
    std::unique_ptr<Player> player;
    std::vector<uint32_t> pixels;

    EngineScene(const Scene& scene, bool asText) : pixels(static_cast<size_t>(kWidth) * kHeight) {
        const std::vector<uint8_t> bytes = WriteMovie(scene, asText);
        std::string error;
        movie = Movie::Load(bytes.data(), bytes.size(), error);
        if (!movie) {
            std::fprintf(stderr, "scene %s did not load: %s\n", scene.name.c_str(), error.c_str());
            std::exit(1);
        }
        player = std::make_unique<Player>(movie);
    }
    void Draw() { player->Render(pixels.data(), kWidth, kHeight, kWidth, ScaleMode::ShowAll, 0); }
};

// ---- cairo

void SetSource(cairo_t* cr, const FillDraft& fill, const std::vector<cairo_surface_t*>& bitmaps) {
    auto channel = [](uint32_t c, int shift) { return ((c >> shift) & 0xFF) / 255.0; };
    if (fill.kind == FillDraft::Solid) {
        cairo_set_source_rgba(cr, channel(fill.color, 16), channel(fill.color, 8), channel(fill.color, 0),
                              channel(fill.color, 24));
        return;
    }
    cairo_pattern_t* pattern = nullptr;
    if (fill.kind == FillDraft::Bitmap) {
        pattern = cairo_pattern_create_for_surface(bitmaps.at(fill.bitmapId - 1));
        cairo_pattern_set_filter(pattern, fill.smooth ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
        cairo_pattern_set_extend(pattern, fill.repeat ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
    } else {
        pattern = fill.kind == FillDraft::Linear ? cairo_pattern_create_linear(-16384, 0, 16384, 0)
                                                 : cairo_pattern_create_radial(0, 0, 0, 0, 0, 16384);
        for (const auto& [ratio, color] : fill.stops)
            cairo_pattern_add_color_stop_rgba(pattern, ratio / 255.0, channel(color, 16), channel(color, 8),
                                              channel(color, 0), channel(color, 24));
    }
    // cairo's pattern matrix maps user space to pattern space: the fill matrix inverted.
    Matrix inverse;
    fill.matrix.Invert(inverse);
    cairo_matrix_t m;
    cairo_matrix_init(&m, inverse.a, inverse.b, inverse.c, inverse.d, inverse.tx, inverse.ty);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

void DrawWithCairo(cairo_t* cr, const Scene& scene, const std::vector<cairo_surface_t*>& bitmaps) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    for (const Item& item : scene.items) {
        cairo_save(cr);
        cairo_scale(cr, 1 / 20.0, 1 / 20.0);
        cairo_matrix_t m;
        const Matrix& p = item.placement;
        cairo_matrix_init(&m, p.a, p.b, p.c, p.d, p.tx, p.ty);
        cairo_transform(cr, &m);
        cairo_new_path(cr);
        for (const PathDraft& path : item.shape.paths) {
            cairo_move_to(cr, path.start.x, path.start.y);
            Point pen = path.start;
            for (const auto& edge : path.edges) {
                if (edge.curve) {
                    // The quadratic as the cubic it equals.
                    const double c1x = pen.x + 2.0 / 3 * (edge.control.x - pen.x);
                    const double c1y = pen.y + 2.0 / 3 * (edge.control.y - pen.y);
                    const double c2x = edge.to.x + 2.0 / 3 * (edge.control.x - edge.to.x);
                    const double c2y = edge.to.y + 2.0 / 3 * (edge.control.y - edge.to.y);
                    cairo_curve_to(cr, c1x, c1y, c2x, c2y, edge.to.x, edge.to.y);
                } else {
                    cairo_line_to(cr, edge.to.x, edge.to.y);
                }
                pen = edge.to;
            }
            cairo_close_path(cr);
        }
        SetSource(cr, item.shape.fills.at(0), bitmaps);
        cairo_fill(cr);
        cairo_restore(cr);
    }
}

// cairo's drawing of a scene, with its surfaces kept alive between drawings.
struct CairoScene {
    const Scene& scene;
    cairo_surface_t* surface;
    cairo_t* cr;
    std::vector<std::vector<uint32_t>> storage;
    std::vector<cairo_surface_t*> bitmaps;

    explicit CairoScene(const Scene& s)
        : scene(s),
          surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight)),
          cr(cairo_create(surface)) {
        storage.reserve(scene.bitmaps.size());
        for (const auto& [size, pixels] : scene.bitmaps) {
            storage.push_back(pixels);  // opaque, so already premultiplied
            bitmaps.push_back(
                cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(storage.back().data()),
                                                    CAIRO_FORMAT_ARGB32, size.first, size.second, size.first * 4));
        }
    }
    ~CairoScene() {
        for (cairo_surface_t* bitmap : bitmaps) cairo_surface_destroy(bitmap);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    void Draw() {
        DrawWithCairo(cr, scene, bitmaps);
        cairo_surface_flush(surface);
    }
};

// A sprite that places and removes objects every frame, on a looping main timeline.
void LoopingMemory() {
    SwfWriter writer(8, 100, 100);
    const uint16_t shape = writer.DefineRectangle(0, 0, 400, 400, 0xFFFF0000);
    const uint16_t sprite = writer.BeginSprite();
    for (int frame = 0; frame < 5; ++frame) {
        writer.Place(static_cast<uint16_t>(frame + 1), shape);
        writer.ShowFrame();
    }
    writer.EndSprite();
    for (int frame = 0; frame < 10; ++frame) {
        writer.Place(static_cast<uint16_t>(frame + 1), sprite);
        writer.ShowFrame();
    }
    const std::vector<uint8_t> bytes = writer.Finish();
    std::string error;
    const auto movie = Movie::Load(bytes.data(), bytes.size(), error);
    Stage stage(movie->Data());
    int firstLoop = 0;
    int lastLoop = 0;
    for (int step = 0; step < 10000; ++step) {
        stage.StepFrame();
        if (step < 20) firstLoop = std::max(firstLoop, stage.LiveObjects());
        if (step >= 9980) lastLoop = std::max(lastLoop, stage.LiveObjects());
    }
    std::printf("looping movie: at most %d objects in the first loops, %d after 10000 frames (%s)\n", firstLoop,
                lastLoop, lastLoop <= firstLoop ? "no growth" : "GROWS");
}

}  // namespace

int main(int argc, char** argv) {
    // --engine-only leaves cairo out, for profiling the engine.
    const bool engineOnly = argc > 1 && std::string(argv[1]) == "--engine-only";
    std::printf("%-36s %10s %10s %8s\n", "scene at 1920x1080", "engine ms", "cairo ms", "ratio");
    const Scene scenes[] = {SolidShapes(), GradientShapes(), ScaledBitmap(), Text()};
    for (const Scene& scene : scenes) {
        EngineScene engine(scene, &scene == &scenes[3]);
        CairoScene cairo(scene);
        const auto [engineMs, cairoMs] =
            TimeInTurns([&] { engine.Draw(); }, engineOnly ? std::function<void()>() : [&] { cairo.Draw(); });
        if (engineOnly)
            std::printf("%-36s %10.2f\n", scene.name.c_str(), engineMs);
        else
            std::printf("%-36s %10.2f %10.2f %8.2f\n", scene.name.c_str(), engineMs, cairoMs, engineMs / cairoMs);
    }
    LoopingMemory();
    return 0;
}

// The renderer's rules, each on a small picture of its own.
#include <gtest/gtest.h>

#include <map>

#include "element_tree.h"
#include "panel_host.h"
#include "renderer.h"
#include "test_support.h"

using panel::Bitmap;
using panel::Canvas;
using panel::Rgb;

namespace {

constexpr Rgb Grey{100, 100, 100};
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Green{0, 200, 0};
constexpr Rgb White{255, 255, 255};
constexpr Rgb Black{0, 0, 0};

Bitmap Solid(int width, int height, Rgb colour) {
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bit_count = 8;
    bitmap.palette = {Black, colour, Red, Green, White};
    bitmap.pixels.assign(size_t(width) * size_t(height), colour == Black ? 0 : 1);
    return bitmap;
}

void Paint(Bitmap& bitmap, int x, int y, Rgb colour) {
    for (size_t i = 0; i < bitmap.palette.size(); ++i)
        if (bitmap.palette[i] == colour) bitmap.pixels[size_t(y) * size_t(bitmap.width) + size_t(x)] = uint8_t(i);
}

// The probe gauge drawn from pictures made here: a grey root, a black icon
// with one red pixel, a needle that is a white line from its pivot, and a
// bar whose strip is black on the left and green on the right.
class RenderProbe : public testing::Test {
protected:
    void SetUp() override {
        bitmaps[0x1000] = Solid(100, 100, Grey);
        bitmaps[0x1100] = Solid(100, 100, Black);
        Paint(bitmaps[0x1100], 5, 5, Red);
        bitmaps[0x1200] = Solid(23, 5, Black);
        for (int x = 2; x < 23; ++x) Paint(bitmaps[0x1200], x, 2, White);
        bitmaps[0x3500] = Solid(20, 4, Black);
        for (int x = 10; x < 20; ++x)
            for (int y = 0; y < 4; ++y) Paint(bitmaps[0x3500], x, y, Green);
        bitmaps[0x3503] = Solid(10, 4, White);
        gauge = &host.Load(ModulePath("probe_gauge"));
        gauge->Start();
        elements = panel::ElementsInOrder(gauge->root());
    }
    void TearDown() override {
        // The records outlive this test in the loaded module: put them back.
        for (ElementHeader* element : elements) element->image_flags &= ~ImageHidden;
    }
    Canvas Draw(double airspeed = 0, double deviation = 0) {
        host.variables().Set(0x3D, airspeed);  // the needle shows twice this
        host.variables().Set(0x28, deviation);
        gauge->Cycle();
        panel::Renderer renderer([this](uint32_t id) -> std::optional<Bitmap> {
            auto found = bitmaps.find(id);
            if (found == bitmaps.end()) return std::nullopt;
            return found->second;
        });
        return renderer.Render(*gauge);
    }

    std::map<uint32_t, Bitmap> bitmaps;
    panel::PanelHost host;
    panel::Gauge* gauge = nullptr;
    std::vector<ElementHeader*> elements;  // root, needle, icon, bar, text
};

int Brightness(Rgb colour) {
    return (colour.r + colour.g + colour.b) / 3;
}

TEST_F(RenderProbe, PureBlackIsLeftOutOnlyWhereTheElementSaysSo) {
    Canvas picture = Draw();
    EXPECT_EQ(picture.At(5, 5), Red);
    EXPECT_EQ(picture.At(60, 80), Grey);  // the icon's black, left out
    elements[2]->image_flags &= ~ImageTransparentBlack;
    picture = Draw();
    EXPECT_EQ(picture.At(60, 80), Black);
    elements[2]->image_flags |= ImageTransparentBlack;
}

TEST_F(RenderProbe, AHiddenElementsChildrenAreStillDrawn) {
    elements[2]->image_flags |= ImageHidden;  // the icon; the bar is its child
    Canvas picture = Draw(0, 128);
    EXPECT_EQ(picture.At(5, 5), Grey);
    EXPECT_EQ(picture.At(3, 1), Green);
}

TEST_F(RenderProbe, NeedleAtAScaleValuePointsExactlyAtItsPoint) {
    // Scale: (10, 50) for 0, (90, 50) for 100, about the pivot (50, 50).
    Canvas at_zero = Draw(0);
    EXPECT_EQ(at_zero.At(35, 50), White);
    EXPECT_EQ(at_zero.At(31, 50), White);
    EXPECT_LT(Brightness(at_zero.At(35, 48)), 120);
    EXPECT_LT(Brightness(at_zero.At(35, 52)), 120);
    EXPECT_EQ(at_zero.At(65, 50), Grey);

    Canvas at_full = Draw(50);
    EXPECT_EQ(at_full.At(65, 50), White);
    EXPECT_EQ(at_full.At(35, 50), Grey);
}

TEST_F(RenderProbe, NeedleBetweenTwoPointsTurnsClockwiseBetweenThem) {
    // Halfway from 9 o'clock to 3 o'clock, clockwise, is 12 o'clock.
    Canvas halfway = Draw(25);
    EXPECT_EQ(halfway.At(50, 35), White);
    EXPECT_EQ(halfway.At(50, 65), Grey);
    // A quarter of the way: 45 degrees up and to the left, drawn smooth.
    Canvas quarter = Draw(12.5);
    EXPECT_GT(Brightness(quarter.At(39, 39)), 180);
    EXPECT_EQ(quarter.At(50, 35), Grey);
    // Outside the scale the needle holds at the end points.
    EXPECT_EQ(Draw(-40).At(35, 50), White);
    EXPECT_EQ(Draw(400).At(65, 50), White);
}

TEST_F(RenderProbe, MovingImageAtBothEndsOfItsRange) {
    struct Case {
        double deviation;
        bool green;
    };
    for (const Case& c : {Case{0, false}, Case{-50, false}, Case{128, true}, Case{1000, true}}) {
        Canvas picture = Draw(0, c.deviation);
        // The strip's black half lets the root show through.
        EXPECT_EQ(picture.At(3, 1), c.green ? Green : Grey) << c.deviation;
        EXPECT_EQ(picture.At(9, 3), c.green ? Green : Grey) << c.deviation;
    }
    Canvas halfway = Draw(0, 64);  // shifted by half: black left, green right
    EXPECT_EQ(halfway.At(2, 1), Grey);
    EXPECT_EQ(halfway.At(7, 1), Green);
}

TEST(RenderRadio, HighlightedCharactersFollowTheHostsSelection) {
    panel::PanelHost host;
    host.variables().Set(5, 2);
    host.variables().Set(0x18, 0x1795);
    panel::Gauge& radio = host.Load(ModulePath("ORIM_TR410"));
    radio.Start();
    radio.Cycle();
    panel::Renderer renderer(radio.library());
    auto blue_pixels = [&](std::optional<int32_t> selection, int x0, int x1) {
        Canvas picture = renderer.Render(radio, {.selection = selection});
        int count = 0;
        for (int y = 16; y < 56; ++y)
            for (int x = x0; x < x1; ++x) {
                Rgb c = picture.At(x, y);
                count += c.b > 150 && c.r < 100 && c.g < 100;
            }
        return count;
    };
    // NavActiveText: 356 to 470; its MHz digits lie in the left half.
    EXPECT_EQ(blue_pixels(std::nullopt, 356, 470), 0);
    EXPECT_GT(blue_pixels(6, 356, 412), 20);
    EXPECT_EQ(blue_pixels(6, 430, 470), 0);
    EXPECT_GT(blue_pixels(7, 430, 470), 20);
    EXPECT_EQ(blue_pixels(7, 356, 400), 0);
    EXPECT_EQ(blue_pixels(4, 356, 470), 0);  // selection 4 belongs to COM
    radio.Kill();
}

}  // namespace

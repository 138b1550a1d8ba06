// The airspeed and fuel gauges' pictures: the committed files, what the
// built modules carry, and the geometry the records rely on.
#include <gtest/gtest.h>

#include <cstdio>

#include "bitmaps.h"
#include "element_tree.h"
#include "module_loader.h"
#include "test_support.h"

using panel::Bitmap;
using panel::Rgb;

namespace {

struct Picture {
    const char* folder;
    const char* module;
    uint32_t id;
    int width, height;
};

const Picture Pictures[] = {
    {"airspeed", "QAV_MetricOnly_US_450", 0x1000, 150, 150},
    {"airspeed", "QAV_MetricOnly_US_450", 0x1100, 150, 150},
    {"airspeed", "QAV_MetricOnly_US_450", 0x1103, 150, 150},
    {"airspeed", "QAV_MetricOnly_US_450", 0x1200, 87, 9},
    {"fuel", "QAV_98_200L_Fuel_Quantity", 0x1000, 150, 150},
    {"fuel", "QAV_98_200L_Fuel_Quantity", 0x1100, 150, 150},
    {"fuel", "QAV_98_200L_Fuel_Quantity", 0x1200, 150, 150},
    {"fuel", "QAV_98_200L_Fuel_Quantity", 0x1300, 51, 4},
    {"fuel", "QAV_98_200L_Fuel_Quantity", 0x1400, 51, 4},
    {"radio", "ORIM_TR410", 0x1000, 501, 157},
    {"radio", "ORIM_TR410", 0x1200, 439, 75},
    {"radio", "ORIM_TR410", 0x2000, 50, 32},
    {"radio", "ORIM_TR410", 0x3000, 47, 48},
    {"radio", "ORIM_TR410", 0x3300, 24, 24},
    {"radio", "ORIM_TR410", 0x3500, 180, 25},
    {"radio", "ORIM_TR410", 0x3503, 90, 25},
    {"radio", "ORIM_TR410", 0x4500, 180, 25},
    {"radio", "ORIM_TR410", 0x4503, 90, 25},
};

// The Russian gauges' pictures carry the Russian resource language, the
// radio's United States English.
[[maybe_unused]] uint16_t LanguageOf(const std::string& module) {
    return module == "ORIM_TR410" ? 1033 : 1049;
}

std::string FileOf(const Picture& picture) {
    char name[16];
    std::snprintf(name, sizeof name, "%04X.bmp", picture.id);
    return SourcePath(std::string(picture.folder) + "/bitmaps/" + name);
}

Bitmap Committed(const char* folder, uint32_t id) {
    for (const Picture& picture : Pictures)
        if (std::string(picture.folder) == folder && picture.id == id)
            return panel::ParseBmpFile(panel::ReadFileBytes(FileOf(picture)));
    throw std::runtime_error("no such picture");
}

constexpr Rgb Black{0, 0, 0};

int Brightness(Rgb colour) {
    return (colour.r + colour.g + colour.b) / 3;
}

TEST(Bitmaps, CommittedFilesHaveTheirIdsSizesAndDepth) {
    for (const Picture& picture : Pictures) {
        SCOPED_TRACE(FileOf(picture));
        Bitmap bitmap = panel::ParseBmpFile(panel::ReadFileBytes(FileOf(picture)));
        EXPECT_EQ(bitmap.width, picture.width);
        EXPECT_EQ(bitmap.height, picture.height);
        EXPECT_EQ(bitmap.bit_count, 8);
        EXPECT_LE(bitmap.palette.size(), 256u);
        if (std::string(picture.folder) != "radio") {
            // Black fills everything outside the drawn parts.
            EXPECT_EQ(bitmap.At(0, 0), Black);
            EXPECT_EQ(bitmap.At(picture.width - 1, picture.height - 1), Black);
        }
    }
}

TEST(Bitmaps, ModulesCarryExactlyTheCommittedPictures) {
    for (const char* module : {"QAV_MetricOnly_US_450", "QAV_98_200L_Fuel_Quantity", "ORIM_TR410"}) {
        SCOPED_TRACE(module);
        panel::ModuleLibrary library(ModulePath(module));
        std::vector<uint32_t> expected_ids;
        for (const Picture& picture : Pictures) {
            if (std::string(picture.module) != module) continue;
            expected_ids.push_back(picture.id);
            auto carried = panel::LoadModuleBitmap(library, picture.id);
            ASSERT_TRUE(carried.has_value()) << std::hex << picture.id;
            Bitmap committed = panel::ParseBmpFile(panel::ReadFileBytes(FileOf(picture)));
            EXPECT_EQ(carried->width, committed.width);
            EXPECT_EQ(carried->height, committed.height);
            EXPECT_EQ(carried->pixels, committed.pixels);
            EXPECT_TRUE(carried->palette == committed.palette);
#if defined(_WIN32)
            EXPECT_EQ(panel::BitmapLanguages(library, picture.id), std::vector<uint16_t>{LanguageOf(module)});
#endif
        }
        EXPECT_EQ(panel::ModuleBitmapIds(library), expected_ids);
    }
}

TEST(Bitmaps, DialMarksEndOnTheScalePoints) {
    struct Dial {
        const char* module;
        const char* folder;
        uint32_t face;
    };
    for (const Dial& dial : {Dial{"QAV_MetricOnly_US_450", "airspeed", 0x1100},
                             Dial{"QAV_98_200L_Fuel_Quantity", "fuel", 0x1200}}) {
        SCOPED_TRACE(dial.folder);
        panel::PanelHost host;
        panel::Gauge& gauge = host.Load(ModulePath(dial.module));
        auto* needle = panel::As<NeedleElement>(panel::ElementsInOrder(gauge.root())[2]);
        Bitmap face = Committed(dial.folder, dial.face);
        for (uint32_t i = 0; i < needle->scale_count; ++i) {
            const NonlinearityEntry& point = needle->scale[i];
            EXPECT_GE(Brightness(face.At(point.x, point.y)), 60) << "point " << i;
        }
    }
}

TEST(Bitmaps, NeedlesHaveTheirPivotAndTipWhereTheRecordsSay) {
    Bitmap airspeed = Committed("airspeed", 0x1200);
    EXPECT_NE(airspeed.At(27, 5), Black);   // the hub on the pivot
    EXPECT_GE(Brightness(airspeed.At(86, 5)), 200);  // the tip, last column
    EXPECT_EQ(airspeed.At(86, 0), Black);
    EXPECT_EQ(airspeed.At(86, 8), Black);

    Bitmap fuel = Committed("fuel", 0x1400);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x <= 21; ++x) EXPECT_EQ(fuel.At(x, y), Black) << x << "," << y;
        EXPECT_NE(fuel.At(22, y), Black) << y;
    }
    EXPECT_NE(fuel.At(50, 1), Black);
    EXPECT_NE(fuel.At(50, 2), Black);
    EXPECT_EQ(fuel.At(50, 0), Black);
    EXPECT_EQ(fuel.At(50, 3), Black);
}

TEST(Bitmaps, FuelBezelCarriesTheYellowDiscOnThePivot) {
    Bitmap bezel = Committed("fuel", 0x1000);
    const Rgb yellow{168, 168, 0};
    EXPECT_EQ(bezel.At(75, 91), yellow);
    EXPECT_EQ(bezel.At(75 - 19, 91), yellow);
    EXPECT_EQ(bezel.At(75 + 19, 91), yellow);
    EXPECT_EQ(bezel.At(75, 91 + 19), yellow);
    EXPECT_NE(bezel.At(75, 91 + 23), yellow);
    EXPECT_NE(bezel.At(75, 91 - 23), yellow);
}

TEST(Bitmaps, RadioWindowsAreTheDisplayColourExactly) {
    Bitmap face = Committed("radio", 0x1000);
    const Rgb window{192, 192, 0};
    for (auto [left, right] : {std::pair{33, 145}, {157, 344}, {356, 467}}) {
        for (int y = 15; y <= 84; ++y)
            for (int x = left; x <= right; ++x) ASSERT_EQ(face.At(x, y), window) << x << "," << y;
        EXPECT_NE(face.At(left - 1, 50), window);
        EXPECT_NE(face.At(right + 1, 50), window);
        EXPECT_NE(face.At(left, 14), window);
        EXPECT_NE(face.At(left, 85), window);
    }
}

TEST(Bitmaps, RadioCoverIsBlackOnlyOverTheBarsBetweenTheWindows) {
    Bitmap cover = Committed("radio", 0x1200);
    Bitmap face = Committed("radio", 0x1000);
    const Rgb dark{17, 22, 9};
    for (int y = 0; y < cover.height; ++y)
        for (int x = 0; x < cover.width; ++x) {
            int face_x = x + 31;
            bool over_bar = (face_x >= 148 && face_x <= 153) || (face_x >= 347 && face_x <= 352);
            ASSERT_EQ(cover.At(x, y), over_bar ? Black : dark) << x << "," << y;
            // The bars lie between the windows, not over them.
            if (over_bar) {
                ASSERT_NE(face.At(face_x, y + 15), (Rgb{192, 192, 0}));
            }
        }
}

TEST(Bitmaps, DeviationBarMasksHoldFourRingsEach) {
    for (uint32_t id : {0x3503u, 0x4503u}) {
        Bitmap mask = Committed("radio", id);
        // Count the rings along the middle row: each is crossed twice.
        int runs = 0;
        bool inside = false;
        for (int x = 0; x < mask.width; ++x) {
            bool lit = mask.At(x, 12) != Black;
            if (lit && !inside) ++runs;
            inside = lit;
        }
        EXPECT_EQ(runs, 8) << std::hex << id;
    }
}

TEST(Bitmaps, AirspeedSparePictureIsAllBlack) {
    Bitmap spare = Committed("airspeed", 0x1103);
    for (int y = 0; y < spare.height; ++y)
        for (int x = 0; x < spare.width; ++x) ASSERT_EQ(spare.At(x, y), Black);
}

}  // namespace

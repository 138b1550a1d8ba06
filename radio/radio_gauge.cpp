// ORIM_TR410, the NAV/COM radio: its element tree, its free-standing host
// variables and its gauge header. The tree is drawn depth first, so the
// dark display cover, last in its branch, covers the texts drawn before it.
#include "gauge_routines.h"
#include "module_linkage.h"
#include "radio.h"

namespace {

// Every element shares one failure list.
FailureRecord RadioFailures[] = {
    {.failure = 9, .action = 0},
    {.failure = 1, .action = 2},
    {.failure = 16, .action = 0},
    {},
};

// The MHz (characters 0 to 2) and the hundredths (4 and 5) of an active
// frequency, under the host's selection numbers.
HighlightRange NavActiveHighlights[] = {
    {.selection = 6, .first_char = 0, .last_char = 2},
    {.selection = 7, .first_char = 4, .last_char = 5},
    {.selection = 0, .first_char = -1, .last_char = -1},
};

HighlightRange ComActiveHighlights[] = {
    {.selection = 4, .first_char = 0, .last_char = 2},
    {.selection = 5, .first_char = 4, .last_char = 5},
    {.selection = 0, .first_char = -1, .last_char = -1},
};

constexpr uint32_t DisplayColour = 0x0000C0C0;  // RGB(192, 192, 0), the windows
constexpr uint32_t Black = 0x00000000;
constexpr uint32_t Blue = 0x00FF0000;
constexpr uint32_t Red = 0x000000FF;
constexpr uint32_t Orange = 0x000064FF;
constexpr uint32_t TextFormat = TextSingleLine | TextVerticalCentre | TextCentre;

extern ElementHeader* ComActiveChildren[];
extern ElementHeader* DeviationBarRightChildren[];
extern ElementHeader* DeviationBarLeftChildren[];
extern ElementHeader* FaceChildren[];

}  // namespace

#define RADIO_HEADER(element_kind, id, x, y, child_list, flags) \
    {                                                        \
        .kind = element_kind,                                \
        .image_id = id,                                      \
        .position = {x, y},                                  \
        .gauge = &RadioHeader,                               \
        .children = child_list,                              \
        .failures = RadioFailures,                           \
        .image_flags = flags,                                \
    }

StaticImageElement FaceImage = {
    .header = RADIO_HEADER(StaticImageKind, 0x1000, 0, 0, FaceChildren, ImageTransparentBlack),
};

StringElement NavActiveText = {
    .header = RADIO_HEADER(StringKind, NoImage, 356, 16, nullptr, ImageTransparentBlack),
    .sources = {{.token = 0x18}, {.token = 1}},
    .text_callback = ShowNavActive,
    .box_width = 115,
    .box_height = 40,
    .text_colour = Black,
    .background_colour = DisplayColour,
    .highlight_colour = Blue,
    .font_name = "Arial",
    .font_weight = 400,
    .font_charset = 1,
    .format = TextFormat,
    .max_chars = 6,
    .highlights = NavActiveHighlights,
};

StringElement NavStandbyText = {
    .header = RADIO_HEADER(StringKind, NoImage, 356, 48, nullptr, ImageTransparentBlack),
    .sources = {{.token = 1}},
    .text_callback = ShowNavStandby,
    .box_width = 115,
    .box_height = 40,
    .text_colour = Black,
    .background_colour = DisplayColour,
    .highlight_colour = Blue,
    .font_name = "Arial",
    .font_weight = 400,
    .font_charset = 1,
    .format = TextFormat,
    .max_chars = 6,
};

StringElement ComStandbyText = {
    .header = RADIO_HEADER(StringKind, NoImage, 34, 48, nullptr, ImageTransparentBlack),
    .sources = {{.token = 1}},
    .text_callback = ShowComStandby,
    .box_width = 115,
    .box_height = 40,
    .text_colour = Black,
    .background_colour = DisplayColour,
    .highlight_colour = Blue,
    .font_name = "Arial",
    .font_weight = 400,
    .font_charset = 1,
    .format = TextFormat,
    .max_chars = 6,
};

StaticImageElement IdentKnobImage = {
    .header = RADIO_HEADER(StaticImageKind, 0x2000, 326, 114, nullptr, ImageHidden | ImageDrawOption),
};

StaticImageElement PowerKnobImage = {
    .header = RADIO_HEADER(StaticImageKind, 0x3300, 40, 115, nullptr, ImageHidden | ImageDrawOption),
};

StaticImageElement StepKnobImage = {
    .header = RADIO_HEADER(StaticImageKind, 0x3000, 143, 97, nullptr, ImageHidden | ImageDrawOption),
};

StringElement NavNumberText = {
    .header = RADIO_HEADER(StringKind, NoImage, 210, 45, nullptr, ImageTransparentBlack),
    .sources = {{.token = 0x2D}, {.token = 1}, {.token = 0x19}},
    .source_callbacks = {ReadObs, PassValue, ReadRadial},
    .box_width = 80,
    .box_height = 40,
    .text_colour = Black,
    .background_colour = DisplayColour,
    .highlight_colour = Blue,
    .font_name = "Arial Narrow",
    .font_weight = 700,
    .font_charset = 1,
    .format = TextFormat,
    .max_chars = 3,
};

StringElement NavModeText = {
    .header = RADIO_HEADER(StringKind, NoImage, 160, 60, nullptr, ImageTransparentBlack),
    .sources = {{.token = 1}},
    .source_callbacks = {PassValue},
    .box_width = 50,
    .box_height = 25,
    .text_colour = Black,
    .background_colour = DisplayColour,
    .highlight_colour = Blue,
    .font_name = "Arial",
    .font_weight = 400,
    .font_charset = 1,
    .format = TextFormat,
    .max_chars = 3,
};

StringElement NavFlagText = {
    .header = RADIO_HEADER(StringKind, NoImage, 285, 60, nullptr, ImageTransparentBlack),
    .sources = {{.token = 1}, {.token = 0x2B}, {.token = 0x2E}},
    .source_callbacks = {UpdateNavReadout, ReadToFrom, ReadNavFlags},
    .box_width = 60,
    .box_height = 25,
    .text_colour = Black,
    .background_colour = DisplayColour,
    .highlight_colour = Blue,
    .font_name = "Arial",
    .font_weight = 400,
    .font_charset = 1,
    .format = TextFormat,
    .max_chars = 4,
};

StringElement ComActiveText = {
    .header = RADIO_HEADER(StringKind, NoImage, 34, 16, ComActiveChildren, ImageTransparentBlack),
    .sources = {{.token = 0x17}, {.token = 1}},
    .text_callback = ShowComActive,
    .box_width = 115,
    .box_height = 40,
    .text_colour = Black,
    .background_colour = DisplayColour,
    .highlight_colour = Blue,
    .font_name = "Arial",
    .font_weight = 400,
    .font_charset = 1,
    .format = TextFormat,
    .max_chars = 6,
    .highlights = ComActiveHighlights,
};

MovingImageElement DeviationBarRight = {
    .header = RADIO_HEADER(MovingImageKind, 0x4500, 250, 17, DeviationBarRightChildren,
                           ImageTransparentBlack | ImageDrawOption),
    .source = {.token = 0x28},
    .callback = RightBarValue,
    .range_min = 0.0,
    .range_max = 128.0,
};

MovingImageElement DeviationBarLeft = {
    .header = RADIO_HEADER(MovingImageKind, 0x3500, 160, 17, DeviationBarLeftChildren,
                           ImageTransparentBlack | ImageDrawOption),
    .source = {.token = 0x28},
    .callback = LeftBarValue,
    .range_min = 0.0,
    .range_max = 128.0,
};

StaticImageElement LcdOffImage = {
    .header = RADIO_HEADER(StaticImageKind, 0x1200, 31, 15, nullptr,
                           ImageHidden | ImageDrawOption | ImageTransparentBlack),
};

StringElement MessageText = {
    .header = RADIO_HEADER(StringKind, NoImage, 160, 137, nullptr, ImageTransparentBlack),
    .sources = {{.token = 0x10}, {.token = 0x11}, {.token = 5}},
    .box_width = 180,
    .box_height = 18,
    .text_colour = Red,
    .background_colour = Black,
    .highlight_colour = Orange,
    .font_name = "Arial",
    .font_weight = 400,
    .font_charset = 1,
    .format = TextFormat,
    .max_chars = 13,
};

#undef RADIO_HEADER

namespace {

ElementHeader* DeviationBarLeftChildren[] = {&LcdOffImage.header, nullptr};
ElementHeader* DeviationBarRightChildren[] = {&DeviationBarLeft.header, nullptr};
ElementHeader* ComActiveChildren[] = {&DeviationBarRight.header, nullptr};

ElementHeader* FaceChildren[] = {
    &NavActiveText.header,
    &NavStandbyText.header,
    &ComStandbyText.header,
    &IdentKnobImage.header,
    &PowerKnobImage.header,
    &StepKnobImage.header,
    &NavNumberText.header,
    &NavModeText.header,
    &NavFlagText.header,
    &ComActiveText.header,
    &MessageText.header,
    nullptr,
};

ElementHeader* RadioElements[] = {&FaceImage.header, nullptr};

extern const GaugeFrame RadioFrame;

}  // namespace

ModuleVar NavActiveVar = {.token = 0x18};
ModuleVar ComActiveVar = {.token = 0x17};

GaugeHeader RadioHeader = {
    .version = GaugeVersion,
    .name = "ORIM_TR410",
    .elements = RadioElements,
    GAUGE_STANDARD_ROUTINES(RadioFrame),
    .gauge_size = 170,
};

namespace {

const GaugeFrame RadioFrame = {
    .header = &RadioHeader,
    .mouse_list = RadioMouse,
    .after_initialise = RadioInitialise,
    .after_update = RadioUpdate,
    .before_kill = RadioKill,
};

}  // namespace

GAUGE_LINKAGE(RadioHeader)

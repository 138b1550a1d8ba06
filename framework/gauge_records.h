// The records through which a module meets the panel host. The host reads
// every one of them at fixed byte offsets, so the layout below is binding:
// little-endian, 32-bit integers and pointers, packed on 4-byte boundaries
// (a double may start at a multiple of 4). Fields the host alone uses are
// kept as zeroed byte arrays so that every record reserves its full size.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__i386__)
#define GAUGE_STDCALL __attribute__((stdcall))
#else
// Only the 32-bit builds produce modules; other builds (editors, tools)
// just need the header to parse.
#define GAUGE_STDCALL
#endif

#if defined(_WIN32)
#define GAUGE_EXPORT
#else
#define GAUGE_EXPORT __attribute__((visibility("default")))
#endif

struct GaugeHeader;
struct ElementHeader;
struct ModuleVar;
struct MouseRect;

// ---------------------------------------------------------------------------
// Callbacks

// Turns an element's variable into what the element shows.
using ElementCallback = double(GAUGE_STDCALL*)(ModuleVar* var);
// Writes a text element's text; hands its 8-byte argument back unchanged.
using TextCallback = double(GAUGE_STDCALL*)(double value);
// Answers a click; the first argument is the host's and never read.
using MouseHandler = int32_t(GAUGE_STDCALL*)(void* host_data, uint32_t flags);

// ---------------------------------------------------------------------------
// Panel services: the host's table of function pointers, 41 slots of which
// thirteen are called. The others are reserved so every slot sits at
// 4 x its number.

using QueryElementsService = uint32_t(GAUGE_STDCALL*)(ElementHeader* root);
using InstallElementsService = void(GAUGE_STDCALL*)(ElementHeader* root, uint32_t value);
using ElementsService = void(GAUGE_STDCALL*)(ElementHeader* root);
using GenerateElementsService = void(GAUGE_STDCALL*)(ElementHeader* root, uint32_t value);
using SetUpMouseListService = void(GAUGE_STDCALL*)(MouseRect* list, GaugeHeader* header,
                                                   void* host_image_plus_4);
using MouseListService = void(GAUGE_STDCALL*)(MouseRect* list, GaugeHeader* header);
using SendKeyEventService = void(GAUGE_STDCALL*)(uint32_t event, uint32_t value);
using VariableService = void(GAUGE_STDCALL*)(ModuleVar* var);
using UnusedService = void*;

constexpr int PanelServiceSlots = 41;

struct PanelServices {
    UnusedService unused_0_23[24];
    QueryElementsService QueryElements;      // 24
    InstallElementsService InstallElements;  // 25
    ElementsService InitialiseElements;      // 26
    ElementsService UpdateElements;          // 27
    GenerateElementsService GenerateElements;  // 28
    ElementsService DrawElements;            // 29
    UnusedService unused_30;
    ElementsService KillElements;            // 31
    SetUpMouseListService SetUpMouseList;    // 32
    MouseListService StartMouseList;         // 33
    MouseListService EndMouseList;           // 34
    UnusedService unused_35;
    SendKeyEventService SendKeyEvent;        // 36
    UnusedService unused_37;
    VariableService InitialiseVariable;      // 38
    UnusedService unused_39;
    VariableService RefreshVariable;         // 40
};

// ---------------------------------------------------------------------------
// Linkage: the two exported records and the gauge header.

using ModuleRoutine = void(GAUGE_STDCALL*)();
using QueryRoutine = uint32_t(GAUGE_STDCALL*)();
using ValueRoutine = void(GAUGE_STDCALL*)(uint32_t value);

#pragma pack(push, 4)

struct LinkageRecord {
    uint32_t tag;  // 19
    ModuleRoutine module_init;
    ModuleRoutine module_deinit;
    uint32_t reserved1;
    uint32_t reserved2;
    uint32_t reserved3;
    GaugeHeader* gauge;
    uint32_t end;
};

struct ImportTableRecord {
    uint32_t entry_id;  // 15
    PanelServices* services;  // written by the host on load
    uint32_t end_id;
    uint32_t end_pointer;
};

struct GaugeHeader {
    uint32_t version;  // 610
    const char* name;
    ElementHeader** elements;  // one entry, the root, then null
    QueryRoutine query;
    ValueRoutine install;
    ModuleRoutine initialise;
    ModuleRoutine update;
    ValueRoutine generate;
    ModuleRoutine draw;
    ModuleRoutine kill;
    uint32_t reserved;
    uint32_t gauge_size;
    uint8_t tail[40];
};

// ---------------------------------------------------------------------------
// Drawing elements.

enum ElementKind : uint32_t {
    StaticImageKind = 0,
    NeedleKind = 1,
    StringKind = 2,
    IconKind = 4,
    MovingImageKind = 5,
};

// image_flags bits
constexpr uint32_t ImageTransparentBlack = 0x00000001;
constexpr uint32_t ImageDrawOption = 0x00000002;
constexpr uint32_t ImageDrawOption4000 = 0x00004000;
constexpr uint32_t ImageHidden = 0x40000000;

constexpr uint32_t NoImage = 0xFFFFFFFF;

struct PixelPoint {
    int32_t x;
    int32_t y;
};

struct FailureRecord {
    uint32_t failure;
    uint32_t action;
    uint32_t reserved;
};

struct ElementHeader {
    uint32_t kind;
    uint32_t image_id;
    PixelPoint position;
    PixelPoint previous_position;  // host
    PixelPoint offset;
    GaugeHeader* gauge;
    ElementHeader* previous_element;  // host
    ElementHeader** children;
    FailureRecord* failures;
    uint32_t image_flags;
    uint32_t instrumentation_flags;
    uint32_t reserved;
};

// A variable's current value: a double, or a 32-bit integer in the first
// four bytes for the variables the host keeps as integers or bit sets.
union VariableValue {
    double number;
    int32_t integer;
    uint8_t bytes[8];
};

struct ModuleVar {
    uint32_t token;  // 0: no variable
    void* value_ptr;  // host
    uint32_t type;    // host
    VariableValue value;  // host
    VariableValue previous_value;  // host
};

struct StaticImageElement {
    ElementHeader header;
    void* host_image;  // set by InstallElements
    uint8_t host_reserved[16];
};

struct NonlinearityEntry {
    int32_t x;
    int32_t y;
    double value;
    uint8_t host_reserved[8];
};

struct NeedleElement {
    ElementHeader header;
    ModuleVar source;
    ElementCallback callback;
    uint8_t host_reserved1[12];
    PixelPoint tip_point;
    NonlinearityEntry* scale;
    uint32_t scale_count;
    uint8_t host_reserved2[104];
};

struct HighlightRange {
    int32_t selection;
    int32_t first_char;
    int32_t last_char;
};

constexpr int StringSources = 3;

// format bits, as in the Windows text-drawing flags
constexpr uint32_t TextCentre = 0x01;
constexpr uint32_t TextVerticalCentre = 0x04;
constexpr uint32_t TextSingleLine = 0x20;

struct StringElement {
    ElementHeader header;
    ModuleVar sources[StringSources];
    uint8_t host_reserved1[24];
    ElementCallback source_callbacks[StringSources];
    TextCallback text_callback;
    char* text;  // host buffer of max_chars + 1 bytes
    uint8_t host_reserved2[4];
    int32_t box_width;
    int32_t box_height;
    uint8_t host_reserved3[8];
    uint32_t text_colour;
    uint32_t background_colour;
    uint32_t highlight_colour;
    uint8_t host_reserved4[28];
    char font_name[32];
    uint32_t font_weight;
    uint32_t font_charset;
    uint32_t format;
    uint32_t max_chars;
    uint8_t host_reserved5[4];
    HighlightRange* highlights;
    uint8_t host_reserved6[8];
};

struct IconElement {
    ElementHeader header;
    ModuleVar source;
    ElementCallback callback;
    uint8_t host_reserved1[20];
    uint32_t image_count;
    uint8_t host_reserved2[20];
};

struct MovingImageElement {
    ElementHeader header;
    ModuleVar source;
    ElementCallback callback;
    double range_min;
    double range_max;
    uint8_t host_reserved[140];
};

// ---------------------------------------------------------------------------
// Mouse rectangles.

enum MouseRectKind : uint32_t {
    MouseListEnd = 0,
    MouseGroupStart = 1,
    MouseArea = 2,
    MouseGroupEnd = 3,
};

constexpr uint32_t MousePrimaryClick = 0x20000000;
constexpr uint32_t MouseSecondaryClick = 0x80000000;
constexpr uint32_t MouseHostOption = 0x00200000;

constexpr int32_t NoCursor = -1;

struct MouseRect {
    uint32_t kind;
    int32_t box_x;
    int32_t box_y;
    int32_t box_width;
    int32_t box_height;
    int32_t cursor;
    uint32_t reserved1;
    uint32_t mouse_flags;
    uint32_t reserved2;
    MouseHandler handler;
    uint32_t reserved3;
};

#pragma pack(pop)

// The three fixed entries every mouse list has around its areas.
#define MOUSE_GROUP_START { .kind = MouseGroupStart, .cursor = NoCursor }
#define MOUSE_GROUP_END { .kind = MouseGroupEnd, .cursor = NoCursor }
#define MOUSE_LIST_END { .kind = MouseListEnd, .cursor = NoCursor }

// ---------------------------------------------------------------------------
// Binding layout, checked wherever pointers are 32 bits (the real modules
// and the native 32-bit build).

#if defined(__i386__)
#define GAUGE_FIELD_AT(type, field, off) static_assert(offsetof(type, field) == (off), #type "." #field)

static_assert(sizeof(PanelServices) == PanelServiceSlots * 4);
GAUGE_FIELD_AT(PanelServices, QueryElements, 0x60);
GAUGE_FIELD_AT(PanelServices, InstallElements, 0x64);
GAUGE_FIELD_AT(PanelServices, InitialiseElements, 0x68);
GAUGE_FIELD_AT(PanelServices, UpdateElements, 0x6C);
GAUGE_FIELD_AT(PanelServices, GenerateElements, 0x70);
GAUGE_FIELD_AT(PanelServices, DrawElements, 0x74);
GAUGE_FIELD_AT(PanelServices, KillElements, 0x7C);
GAUGE_FIELD_AT(PanelServices, SetUpMouseList, 0x80);
GAUGE_FIELD_AT(PanelServices, StartMouseList, 0x84);
GAUGE_FIELD_AT(PanelServices, EndMouseList, 0x88);
GAUGE_FIELD_AT(PanelServices, SendKeyEvent, 0x90);
GAUGE_FIELD_AT(PanelServices, InitialiseVariable, 0x98);
GAUGE_FIELD_AT(PanelServices, RefreshVariable, 0xA0);

static_assert(sizeof(LinkageRecord) == 32);
GAUGE_FIELD_AT(LinkageRecord, tag, 0);
GAUGE_FIELD_AT(LinkageRecord, module_init, 4);
GAUGE_FIELD_AT(LinkageRecord, module_deinit, 8);
GAUGE_FIELD_AT(LinkageRecord, reserved1, 12);
GAUGE_FIELD_AT(LinkageRecord, reserved2, 16);
GAUGE_FIELD_AT(LinkageRecord, reserved3, 20);
GAUGE_FIELD_AT(LinkageRecord, gauge, 24);
GAUGE_FIELD_AT(LinkageRecord, end, 28);

static_assert(sizeof(ImportTableRecord) == 16);
GAUGE_FIELD_AT(ImportTableRecord, entry_id, 0);
GAUGE_FIELD_AT(ImportTableRecord, services, 4);
GAUGE_FIELD_AT(ImportTableRecord, end_id, 8);
GAUGE_FIELD_AT(ImportTableRecord, end_pointer, 12);

static_assert(sizeof(GaugeHeader) == 88);
GAUGE_FIELD_AT(GaugeHeader, version, 0);
GAUGE_FIELD_AT(GaugeHeader, name, 4);
GAUGE_FIELD_AT(GaugeHeader, elements, 8);
GAUGE_FIELD_AT(GaugeHeader, query, 12);
GAUGE_FIELD_AT(GaugeHeader, install, 16);
GAUGE_FIELD_AT(GaugeHeader, initialise, 20);
GAUGE_FIELD_AT(GaugeHeader, update, 24);
GAUGE_FIELD_AT(GaugeHeader, generate, 28);
GAUGE_FIELD_AT(GaugeHeader, draw, 32);
GAUGE_FIELD_AT(GaugeHeader, kill, 36);
GAUGE_FIELD_AT(GaugeHeader, reserved, 40);
GAUGE_FIELD_AT(GaugeHeader, gauge_size, 44);
GAUGE_FIELD_AT(GaugeHeader, tail, 48);

static_assert(sizeof(ElementHeader) == 60);
GAUGE_FIELD_AT(ElementHeader, kind, 0);
GAUGE_FIELD_AT(ElementHeader, image_id, 4);
GAUGE_FIELD_AT(ElementHeader, position, 8);
GAUGE_FIELD_AT(ElementHeader, previous_position, 16);
GAUGE_FIELD_AT(ElementHeader, offset, 24);
GAUGE_FIELD_AT(ElementHeader, gauge, 32);
GAUGE_FIELD_AT(ElementHeader, previous_element, 36);
GAUGE_FIELD_AT(ElementHeader, children, 40);
GAUGE_FIELD_AT(ElementHeader, failures, 44);
GAUGE_FIELD_AT(ElementHeader, image_flags, 48);
GAUGE_FIELD_AT(ElementHeader, instrumentation_flags, 52);
GAUGE_FIELD_AT(ElementHeader, reserved, 56);

static_assert(sizeof(ModuleVar) == 28);
GAUGE_FIELD_AT(ModuleVar, token, 0);
GAUGE_FIELD_AT(ModuleVar, value_ptr, 4);
GAUGE_FIELD_AT(ModuleVar, type, 8);
GAUGE_FIELD_AT(ModuleVar, value, 12);
GAUGE_FIELD_AT(ModuleVar, previous_value, 20);

static_assert(sizeof(StaticImageElement) == 80);
GAUGE_FIELD_AT(StaticImageElement, host_image, 60);

static_assert(sizeof(NeedleElement) == 224);
GAUGE_FIELD_AT(NeedleElement, source, 60);
GAUGE_FIELD_AT(NeedleElement, callback, 88);
GAUGE_FIELD_AT(NeedleElement, tip_point, 104);
GAUGE_FIELD_AT(NeedleElement, scale, 112);
GAUGE_FIELD_AT(NeedleElement, scale_count, 116);

static_assert(sizeof(NonlinearityEntry) == 24);
GAUGE_FIELD_AT(NonlinearityEntry, x, 0);
GAUGE_FIELD_AT(NonlinearityEntry, y, 4);
GAUGE_FIELD_AT(NonlinearityEntry, value, 8);

static_assert(sizeof(StringElement) == 312);
GAUGE_FIELD_AT(StringElement, sources, 60);
GAUGE_FIELD_AT(StringElement, source_callbacks, 168);
GAUGE_FIELD_AT(StringElement, text_callback, 180);
GAUGE_FIELD_AT(StringElement, text, 184);
GAUGE_FIELD_AT(StringElement, box_width, 192);
GAUGE_FIELD_AT(StringElement, box_height, 196);
GAUGE_FIELD_AT(StringElement, text_colour, 208);
GAUGE_FIELD_AT(StringElement, background_colour, 212);
GAUGE_FIELD_AT(StringElement, highlight_colour, 216);
GAUGE_FIELD_AT(StringElement, font_name, 248);
GAUGE_FIELD_AT(StringElement, font_weight, 280);
GAUGE_FIELD_AT(StringElement, font_charset, 284);
GAUGE_FIELD_AT(StringElement, format, 288);
GAUGE_FIELD_AT(StringElement, max_chars, 292);
GAUGE_FIELD_AT(StringElement, highlights, 300);

static_assert(sizeof(HighlightRange) == 12);
GAUGE_FIELD_AT(HighlightRange, selection, 0);
GAUGE_FIELD_AT(HighlightRange, first_char, 4);
GAUGE_FIELD_AT(HighlightRange, last_char, 8);

static_assert(sizeof(IconElement) == 136);
GAUGE_FIELD_AT(IconElement, source, 60);
GAUGE_FIELD_AT(IconElement, callback, 88);
GAUGE_FIELD_AT(IconElement, image_count, 112);

static_assert(sizeof(MovingImageElement) == 248);
GAUGE_FIELD_AT(MovingImageElement, source, 60);
GAUGE_FIELD_AT(MovingImageElement, callback, 88);
GAUGE_FIELD_AT(MovingImageElement, range_min, 92);
GAUGE_FIELD_AT(MovingImageElement, range_max, 100);

static_assert(sizeof(FailureRecord) == 12);
GAUGE_FIELD_AT(FailureRecord, failure, 0);
GAUGE_FIELD_AT(FailureRecord, action, 4);
GAUGE_FIELD_AT(FailureRecord, reserved, 8);

static_assert(sizeof(MouseRect) == 44);
GAUGE_FIELD_AT(MouseRect, kind, 0);
GAUGE_FIELD_AT(MouseRect, box_x, 4);
GAUGE_FIELD_AT(MouseRect, box_y, 8);
GAUGE_FIELD_AT(MouseRect, box_width, 12);
GAUGE_FIELD_AT(MouseRect, box_height, 16);
GAUGE_FIELD_AT(MouseRect, cursor, 20);
GAUGE_FIELD_AT(MouseRect, reserved1, 24);
GAUGE_FIELD_AT(MouseRect, mouse_flags, 28);
GAUGE_FIELD_AT(MouseRect, reserved2, 32);
GAUGE_FIELD_AT(MouseRect, handler, 36);
GAUGE_FIELD_AT(MouseRect, reserved3, 40);

#undef GAUGE_FIELD_AT
#endif

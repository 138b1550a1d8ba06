#include "radio_support.h"

#include <cstdlib>
#include <cstring>

#include "test_support.h"

#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>

#include "standin_control.h"
#endif

namespace {

void ForgetStoredValue() {
#if defined(_WIN32)
    panel::ClearStoredStandby();
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\ORIM");
#else
    std::remove(standin::RegistryFile().c_str());
#endif
}

}  // namespace

void RadioTest::SetUp() {
#if !defined(_WIN32)
    // A registry file and shared-memory names of this test's own.
    std::string unique = "orimtest" + std::to_string(getpid()) + "_";
    setenv("ORIM_SHM_PREFIX", unique.c_str(), 1);
    std::string file = testing::TempDir() + unique + "registry";
    setenv("ORIM_REGISTRY_FILE", file.c_str(), 1);
    standin::ClearFaults();
    standin::ClearMessageBoxes();
#endif
    ForgetStoredValue();
    bus_mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Bus), "ORIM_ZUD_BRISKO");
    ASSERT_NE(bus_mapping_, nullptr);
    bus_ = static_cast<Bus*>(MapViewOfFile(bus_mapping_, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(bus_, nullptr);
    std::memset(bus_, 0, sizeof *bus_);
#if !defined(_WIN32)
    standin::ResetCounts();
#endif
    // The swap buttons refuse while host variable 5 is a multiple of 5, and
    // an odd value switches the radio off at initialise: 2 lets it work.
    host.variables().Set(5, 2);
}

void RadioTest::TearDown() {
    if (radio) host.Unload(*radio);
    radio = nullptr;
    if (bus_) UnmapViewOfFile(bus_);
    if (bus_mapping_) CloseHandle(bus_mapping_);
    ForgetStoredValue();
#if !defined(_WIN32)
    shm_unlink(standin::SharedMemoryName("ORIM_ZUD_BRISKO").c_str());
    standin::ClearFaults();
#endif
}

void RadioTest::Start() {
    if (!radio) radio = &host.Load(ModulePath("ORIM_TR410"));
    radio->Start();
}

void RadioTest::Kill() {
    radio->Kill();
}

void RadioTest::Cycle(int cycles) {
    for (int i = 0; i < cycles; ++i) radio->Cycle();
}

std::optional<int32_t> RadioTest::ClickArea(int area, panel::MouseButton button) {
    const MouseRect& rect = radio->mouse_list()[area];
    return radio->Click(rect.box_x + rect.box_width / 2, rect.box_y + rect.box_height / 2, button);
}

ElementHeader* RadioTest::Element(RadioElement element) {
    return panel::ElementsInOrder(radio->root())[element];
}

std::string RadioTest::Text(RadioElement element) {
    return radio->Text(Element(element));
}

bool RadioTest::Hidden(RadioElement element) {
    return (Element(element)->image_flags & ImageHidden) != 0;
}

double RadioTest::Value(RadioElement element) {
    return radio->ElementValue(Element(element)).value_or(-99999.0);
}

int RadioTest::ServiceCount(const std::string& service, uint32_t token) const {
    int count = 0;
    for (const auto& call : host.calls())
        if (call.service == service && call.args.size() > 1 && call.args[1] == token) ++count;
    return count;
}

void RadioTest::WriteBus(int32_t condition1, int32_t condition2) {
    bus().powerCondition1 = condition1;
    bus().powerCondition2 = condition2;
    bus().initMark = 4321;
}

void RadioTest::Store(DWORD type, const std::vector<uint8_t>& bytes) {
    ASSERT_NO_THROW(panel::StoreValue(type, bytes));
}

void RadioTest::StoreStandby(uint32_t nav, uint32_t com) {
    ASSERT_NO_THROW(panel::StoreStandby(nav, com));
}

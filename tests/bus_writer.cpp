// Another gauge of the panel, in a process of its own: it writes the power
// bus on request. The test asks through the bus's third word, which the
// radio never uses: a request r from 4 to 7 sets condition 1 to bit 1 of r
// and condition 2 to bit 0, marks the block as set up, and answers -r. The
// request 255 ends the writer.
#include <chrono>
#include <cstdio>
#include <thread>

#include "windows_api.h"

int main() {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, "ORIM_ZUD_BRISKO");
    if (!mapping) return std::fprintf(stderr, "bus_writer: no mapping\n"), 1;
    auto* bus = static_cast<volatile int32_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (!bus) return std::fprintf(stderr, "bus_writer: no view\n"), 1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        int32_t request = bus[2];
        if (request > 0) {
            if (request != 255) {
                bus[0] = (request >> 1) & 1;
                bus[1] = request & 1;
                bus[3] = 4321;
            }
            bus[2] = -request;
            if (request == 255) return 0;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::fprintf(stderr, "bus_writer: no end request within a minute\n");
    return 1;
}

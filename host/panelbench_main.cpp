// panelbench: what a gauge cycle, a click and a frame cost. The gauges run
// with fixed inputs; times are medians over batches after a warm-up.
//
//   panelbench cycles MODULE N      run N cycles (for counting instructions)
//   panelbench clicks MODULE AREA N click mouse area AREA N times, a cycle after each
//   panelbench frames MODULE N      draw the gauge N times
//   panelbench times MODULE_FOLDER  time cycles, frames and start-up of the three gauges
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "panel_host.h"
#include "renderer.h"

namespace {

using Clock = std::chrono::steady_clock;

// The inputs every run uses: a powered radio with a signal, the airspeed
// and fuel needles on their scales.
void SetInputs(panel::PanelHost& host) {
    auto& v = host.variables();
    v.Set(5, 2);
    v.Set(0x17, 0x1800);
    v.Set(0x18, 0x1130);
    v.Set(0x2E, 0);
    v.Set(0x2B, 1);
    v.Set(0x2D, 45);
    v.Set(0x19, 8190);
    v.Set(0x28, 30);
    v.Set(0x3D, 120);
    v.Set(0x129, 3600000);
    v.Set(0x123, 2300000);
}

// Median of the per-call seconds of `batches` batches of `calls` calls.
double MedianSeconds(int batches, int calls, const std::function<void()>& work) {
    for (int i = 0; i < calls; ++i) work();  // warm-up
    std::vector<double> per_call;
    for (int b = 0; b < batches; ++b) {
        auto start = Clock::now();
        for (int i = 0; i < calls; ++i) work();
        per_call.push_back(std::chrono::duration<double>(Clock::now() - start).count() / calls);
    }
    std::sort(per_call.begin(), per_call.end());
    return per_call[per_call.size() / 2];
}

int Cycles(const std::string& module, int count) {
    panel::PanelHost host;
    SetInputs(host);
    panel::Gauge& gauge = host.Load(module);
    gauge.Start();
    for (int i = 0; i < count; ++i) {
        gauge.Cycle();
        host.ClearLogs();
    }
    return 0;
}

int Clicks(const std::string& module, int area, int count) {
    panel::PanelHost host;
    SetInputs(host);
    panel::Gauge& gauge = host.Load(module);
    gauge.Start();
    gauge.Cycle();
    const MouseRect& rect = gauge.mouse_list()[area];
    for (int i = 0; i < count; ++i) {
        gauge.Click(rect.box_x + rect.box_width / 2, rect.box_y + rect.box_height / 2, panel::MouseButton::Primary);
        host.ClearLogs();
    }
    return 0;
}

int Frames(const std::string& module, int count) {
    panel::PanelHost host;
    SetInputs(host);
    panel::Gauge& gauge = host.Load(module);
    gauge.Start();
    gauge.Cycle();
    panel::Renderer renderer(gauge.library());
    panel::Canvas canvas = renderer.Render(gauge);
    for (int i = 0; i < count; ++i) renderer.RenderInto(canvas, gauge, 0, 0);
    return 0;
}

int Times(const std::string& folder) {
    const char* names[] = {"ORIM_TR410", "QAV_MetricOnly_US_450", "QAV_98_200L_Fuel_Quantity"};
    // Start-up, each module alone (a module loads once at a time): load, install, initialise, one cycle, one frame.
    for (const char* name : names) {
        double startup = MedianSeconds(9, 5, [&] {
            panel::PanelHost fresh;
            SetInputs(fresh);
            panel::Gauge& gauge = fresh.Load(folder + "/" + name + ".so");
            gauge.Start();
            gauge.Cycle();
            panel::Renderer renderer(gauge.library());
            renderer.Render(gauge);
        });
        std::printf("startup %s %.3f\n", name, startup * 1e6);
    }
    panel::PanelHost host;
    SetInputs(host);
    std::vector<panel::Gauge*> gauges;
    std::vector<std::unique_ptr<panel::Renderer>> renderers;
    for (const char* name : names) {
        gauges.push_back(&host.Load(folder + "/" + name + ".so"));
        gauges.back()->Start();
        gauges.back()->Cycle();
        renderers.push_back(std::make_unique<panel::Renderer>(gauges.back()->library()));
    }
    for (size_t g = 0; g < gauges.size(); ++g) {
        double cycle = MedianSeconds(15, 2000, [&] {
            gauges[g]->Cycle();
            host.ClearLogs();
        });
        panel::Canvas canvas = renderers[g]->Render(*gauges[g]);
        double frame = MedianSeconds(15, 100, [&] { renderers[g]->RenderInto(canvas, *gauges[g], 0, 0); });
        std::printf("cycle %s %.3f\nframe %s %.3f\n", names[g], cycle * 1e6, names[g], frame * 1e6);
    }
    // The panel: the three side by side in one canvas.
    panel::Canvas panel_canvas(501 + 150 + 150 + 40, 177);
    double panel_frame = MedianSeconds(15, 100, [&] {
        int x = 10;
        for (size_t g = 0; g < gauges.size(); ++g) {
            renderers[g]->RenderInto(panel_canvas, *gauges[g], x, 10);
            x += g == 0 ? 511 : 160;
        }
    });
    std::printf("frame panel %.3f\n", panel_frame * 1e6);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "cycles") return Cycles(args[1], std::atoi(args[2].c_str()));
    if (args.size() == 4 && args[0] == "clicks")
        return Clicks(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()));
    if (args.size() == 2 && args[0] == "times") return Times(args[1]);
    if (args.size() == 3 && args[0] == "frames") return Frames(args[1], std::atoi(args[2].c_str()));
    std::fputs("usage: panelbench cycles MODULE N | clicks MODULE AREA N | frames MODULE N | times MODULE_FOLDER\n", stderr);
    return 2;
}

// panelhost: runs our gauge modules the way the simulator's panel does,
// draws them, scripts them and checks them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "element_tree.h"
#include "gauge_names.h"
#include "inspect.h"
#include "panel_host.h"
#include "radio_environment.h"
#include "renderer.h"
#include "scenario.h"

#if defined(PANELHOST_VIEWER)
#include <chrono>
#include <csignal>
#include <thread>

#include "viewer.h"
#endif

namespace {

const char* MainUsage =
    "usage: panelhost COMMAND [ARGS]\n"
    "\n"
    "  render MODULE... --out FILE.png   draw gauges after a few steps\n"
    "  run SCENARIO...                   run scenario scripts\n"
    "  inspect MODULE...                 list a module's records and check them\n"
    "  cycle MODULE...                   run cycles and print what each gauge shows\n"
    "  view MODULE... [--port N]         work the gauges live in a browser\n"
    "\n"
    "panelhost COMMAND --help tells more. Variables are named as in\n"
    "'airspeed_knots', 'com_active', 'nav_obs' or given by token ('0x3D').\n";

const char* RenderUsage =
    "usage: panelhost render MODULE... [--set NAME=VALUE]... [--cycles N] [--click X,Y[,secondary]]...\n"
    "                        [--bus C1,C2[,MARK]] [--select N] [--areas] --out FILE.png\n"
    "\n"
    "Loads each module, starts its gauge, runs one cycle, then each click (with a cycle\n"
    "after it) and N more cycles (default 2), and draws the gauges side by side.\n"
    "  --set NAME=VALUE   a host variable, before the gauges start\n"
    "  --click X,Y        a click at a pixel of the first gauge (',secondary' for the other button)\n"
    "  --bus C1,C2[,MARK] the radio's power bus as another gauge writes it (MARK 4321)\n"
    "  --select N         the host's selection, for highlighted text\n"
    "  --areas            outline every mouse area with its index\n";

const char* RunUsage =
    "usage: panelhost run SCENARIO... [--modules DIR] [--out DIR] [--golden DIR [--update]]\n"
    "\n"
    "Runs each scenario script and reports every failed expectation with its line.\n"
    "  --modules DIR  where 'load NAME' finds modules (default: the build's module folder)\n"
    "  --out DIR      where snapshots go (default: the current folder)\n"
    "  --golden DIR   compare each snapshot with DIR/NAME.png; --update rewrites those instead\n"
    "\n"
    "Scenario commands, one a line ('#' starts a comment):\n"
    "  load MODULE | set NAME VALUE | cycle [N] | click X Y [secondary] | click area N [secondary]\n"
    "  bus C1 C2 [MARK] | registry clear | registry set NAV COM | select N | select none\n"
    "  kill | start | snapshot NAME | clear events\n"
    "  expect text ELEMENT \"TEXT\" | expect shown ELEMENT | expect hidden ELEMENT\n"
    "  expect value ELEMENT NUMBER [TOLERANCE] | expect event NUMBER [VALUE] | expect no events\n"
    "  expect variable NAME NUMBER\n"
    "ELEMENT is an element's name (NavActiveText, AirspeedNeedle, ...) or #N, its place in drawing order.\n";

const char* InspectUsage =
    "usage: panelhost inspect MODULE...\n"
    "\n"
    "Prints each module's gauge header, element tree with every field the module fills, mouse\n"
    "list and bitmaps, and checks them: each element once in the tree, every bitmap present with\n"
    "the sizes the elements imply, scale values ascending, texts terminated, mouse list well formed.\n"
    "Exits 1 when a module has a problem.\n";

const char* ViewUsage =
    "usage: panelhost view MODULE... [--port N]\n"
    "\n"
    "Runs the gauges at the simulator's pace (18 cycles a second) and serves a page on\n"
    "http://127.0.0.1:N/ (default 8098) where you click them (left: primary, right: secondary),\n"
    "set their variables and the power bus, and watch the key events. When a module file\n"
    "changes on disk (a rebuild), the viewer loads it again and says so on the page; a module\n"
    "that fails to load leaves the old one running. Ctrl-C ends it.\n";

const char* CycleUsage =
    "usage: panelhost cycle MODULE... [--cycles N] [--set NAME=VALUE]...\n"
    "\n"
    "Loads each module, starts its gauge, runs N cycles (default 3) and prints every element\n"
    "with what it shows.\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& message) {
    throw UsageError(message);
}

double ParseNumber(const std::string& text, const std::string& what) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') Fail("bad value '" + text + "' for " + what);
    return value;
}

int ParseCount(const std::string& text, const std::string& what) {
    double n = ParseNumber(text, what);
    if (n < 0 || n > 1e7 || n != static_cast<int>(n)) Fail(what + " takes a whole number from 0");
    return static_cast<int>(n);
}

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return parts;
}

// The options every command shares, read from the arguments.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<uint32_t, double>> settings;
    std::vector<std::string> clicks;
    std::string out, modules, golden, bus;
    std::optional<int32_t> selection;
    int cycles = -1;
    bool areas = false, update = false, help = false;
};

Arguments Parse(const std::vector<std::string>& args, const std::string& command) {
    Arguments parsed;
    auto value = [&](size_t& i) -> std::string {
        if (i + 1 >= args.size()) Fail(args[i] + " needs a value (see panelhost " + command + " --help)");
        return args[++i];
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--set") {
            std::string setting = value(i);
            auto equals = setting.find('=');
            if (equals == std::string::npos) Fail("--set needs NAME=VALUE, not '" + setting + "'");
            std::string name = setting.substr(0, equals);
            auto token = panel::ParseToken(name);
            if (!token) Fail("unknown variable '" + name + "'");
            parsed.settings.push_back({*token, ParseNumber(setting.substr(equals + 1), name)});
        } else if (arg == "--cycles") {
            parsed.cycles = ParseCount(value(i), "--cycles");
        } else if (arg == "--click") {
            parsed.clicks.push_back(value(i));
        } else if (arg == "--out") {
            parsed.out = value(i);
        } else if (arg == "--modules") {
            parsed.modules = value(i);
        } else if (arg == "--golden") {
            parsed.golden = value(i);
        } else if (arg == "--bus") {
            parsed.bus = value(i);
        } else if (arg == "--select") {
            parsed.selection = ParseCount(value(i), "--select");
        } else if (arg == "--areas") {
            parsed.areas = true;
        } else if (arg == "--port") {
            value(i);  // read by view itself
        } else if (arg == "--update") {
            parsed.update = true;
        } else if (arg.rfind("--", 0) == 0) {
            Fail("unknown option " + arg + " (see panelhost " + command + " --help)");
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

panel::Gauge& LoadStarted(panel::PanelHost& host, const std::string& path) {
    panel::Gauge& gauge = host.Load(path);
    gauge.Start();
    return gauge;
}

int Render(const std::vector<std::string>& args) {
    Arguments a = Parse(args, "render");
    if (a.help) return std::fputs(RenderUsage, stdout), 0;
    if (a.positional.empty()) Fail("render needs at least one module (see panelhost render --help)");
    if (a.out.empty()) Fail("render needs --out FILE.png");

    panel::PanelHost host;
    for (auto [token, value] : a.settings) host.variables().Set(token, value);
    std::unique_ptr<panel::PowerBus> bus;
    if (!a.bus.empty()) {
        auto parts = SplitCommas(a.bus);
        if (parts.size() < 2 || parts.size() > 3) Fail("--bus takes C1,C2[,MARK]");
        bus = std::make_unique<panel::PowerBus>();
        bus->Set(ParseCount(parts[0], "--bus"), ParseCount(parts[1], "--bus"),
                 parts.size() == 3 ? ParseCount(parts[2], "--bus") : 4321);
    }
    std::vector<panel::Gauge*> gauges;
    for (const std::string& path : a.positional) gauges.push_back(&LoadStarted(host, path));
    for (auto* gauge : gauges) gauge->Cycle();
    for (const std::string& click : a.clicks) {
        auto parts = SplitCommas(click);
        if (parts.size() < 2 || parts.size() > 3 || (parts.size() == 3 && parts[2] != "secondary"))
            Fail("--click takes X,Y or X,Y,secondary, not '" + click + "'");
        gauges[0]->Click(static_cast<int>(ParseNumber(parts[0], "--click")),
                         static_cast<int>(ParseNumber(parts[1], "--click")),
                         parts.size() == 3 ? panel::MouseButton::Secondary : panel::MouseButton::Primary);
        for (auto* gauge : gauges) gauge->Cycle();
    }
    int cycles = a.cycles < 0 ? 2 : a.cycles;
    for (int i = 0; i < cycles; ++i)
        for (auto* gauge : gauges) gauge->Cycle();

    // Side by side, 10 pixels apart, on the panel's grey.
    const int gap = 10;
    std::vector<std::unique_ptr<panel::Renderer>> renderers;
    std::vector<panel::Canvas> pictures;
    panel::RenderOptions options{.selection = a.selection, .show_areas = a.areas};
    int width = gap, height = 0;
    for (auto* gauge : gauges) {
        renderers.push_back(std::make_unique<panel::Renderer>(gauge->library()));
        pictures.push_back(renderers.back()->Render(*gauge, options));
        width += pictures.back().width + gap;
        height = std::max(height, pictures.back().height);
    }
    panel::Canvas panel_picture;
    if (pictures.size() == 1) {
        panel_picture = pictures[0];
    } else {
        panel_picture = panel::Canvas(width, height + 2 * gap);
        panel_picture.Fill(0, 0, width, height + 2 * gap, {46, 48, 52});
        int x = gap;
        for (const auto& picture : pictures) {
            panel_picture.Paste(picture, x, gap + (height - picture.height) / 2);
            x += picture.width + gap;
        }
    }
    panel::WritePng(panel_picture, a.out);
    std::printf("wrote %s (%d x %d)\n", a.out.c_str(), panel_picture.width, panel_picture.height);
    return 0;
}

std::string DefaultModuleFolder(const char* argv0) {
    // The build keeps modules in <build>/modules, the command in <build>/host.
    std::string self = argv0;
    auto slash = self.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? "." : self.substr(0, slash);
    return folder + "/../modules";
}

int Run(const std::vector<std::string>& args, const char* argv0) {
    Arguments a = Parse(args, "run");
    if (a.help) return std::fputs(RunUsage, stdout), 0;
    if (a.positional.empty()) Fail("run needs a scenario (see panelhost run --help)");
    panel::ScenarioOptions options;
    options.module_folder = a.modules.empty() ? DefaultModuleFolder(argv0) : a.modules;
    options.out_folder = a.out.empty() ? "." : a.out;
    options.golden_folder = a.golden;
    options.update_golden = a.update;
    int failed = 0, checks = 0;
    for (const std::string& scenario : a.positional) {
        panel::ScenarioResult result = panel::RunScenario(scenario, options);
        for (const std::string& failure : result.failures) std::printf("FAILED %s\n", failure.c_str());
        std::printf("%s: %d checks, %zu failed%s\n", scenario.c_str(), result.checks, result.failures.size(),
                    result.snapshots.empty() ? "" : (", snapshots in " + options.out_folder).c_str());
        failed += static_cast<int>(result.failures.size());
        checks += result.checks;
    }
    return failed ? 1 : 0;
}

int Inspect(const std::vector<std::string>& args) {
    Arguments a = Parse(args, "inspect");
    if (a.help) return std::fputs(InspectUsage, stdout), 0;
    if (a.positional.empty()) Fail("inspect needs a module (see panelhost inspect --help)");
    int problems = 0;
    for (const std::string& path : a.positional) {
        panel::PanelHost host;
        panel::Gauge& gauge = host.Load(path);
        gauge.Install();  // hands over the mouse list; nothing of the gauge runs
        auto found = panel::InspectGauge(gauge, std::cout);
        std::cout << path << ": " << (found.empty() ? "consistent" : std::to_string(found.size()) + " problems") << "\n";
        problems += static_cast<int>(found.size());
    }
    return problems ? 1 : 0;
}

void Summarise(panel::Gauge& gauge) {
    GaugeHeader& header = gauge.header();
    std::printf("%s: gauge \"%s\", size %u, %d cycles\n", gauge.library().path().c_str(), gauge.name().c_str(),
                header.gauge_size, gauge.cycles());
    panel::VisitElements(gauge.root(), [&](ElementHeader* element, int depth) {
        std::printf("  %*s%s (%s)%s", depth * 2, "", panel::ElementName(gauge, element).c_str(),
                    panel::KindName(element->kind), element->image_flags & ImageHidden ? " hidden" : "");
        if (element->kind == StringKind)
            std::printf(" \"%s\"", gauge.Text(element).c_str());
        else if (auto value = gauge.ElementValue(element))
            std::printf(" %g", *value);
        std::printf("\n");
    });
}

int Cycle(const std::vector<std::string>& args) {
    Arguments a = Parse(args, "cycle");
    if (a.help) return std::fputs(CycleUsage, stdout), 0;
    if (a.positional.empty()) Fail("cycle needs at least one module (see panelhost cycle --help)");
    panel::PanelHost host;
    for (auto [token, value] : a.settings) host.variables().Set(token, value);
    for (const std::string& path : a.positional) {
        panel::Gauge& gauge = LoadStarted(host, path);
        for (int i = 0; i < (a.cycles < 0 ? 3 : a.cycles); ++i) gauge.Cycle();
        Summarise(gauge);
        host.Unload(gauge);
    }
    return 0;
}

#if defined(PANELHOST_VIEWER)
volatile std::sig_atomic_t stop_requested = 0;

int View(const std::vector<std::string>& args) {
    Arguments a = Parse(args, "view");
    if (a.help) return std::fputs(ViewUsage, stdout), 0;
    if (a.positional.empty()) Fail("view needs at least one module (see panelhost view --help)");
    int port = 8098;
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "--port") port = ParseCount(args[i + 1], "--port");
    if (port < 0 || port > 65535) Fail("--port takes a number from 0 (any free port) to 65535");
    panel::Viewer viewer(a.positional);
    port = viewer.Start(port);
    std::printf("panelhost view: open http://127.0.0.1:%d/ (Ctrl-C ends)\n", port);
    std::fflush(stdout);
    std::signal(SIGINT, [](int) { stop_requested = 1; });
    std::signal(SIGTERM, [](int) { stop_requested = 1; });
    while (!stop_requested) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    viewer.Stop();
    return 0;
}
#else
int View(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) return std::fputs(ViewUsage, stdout), 0;
    Fail("the live viewer is part of the Linux build's panelhost");
}
#endif

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(MainUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    std::string command = args[0];
    args.erase(args.begin());
    try {
        if (command == "render") return Render(args);
        if (command == "run") return Run(args, argv[0]);
        if (command == "inspect") return Inspect(args);
        if (command == "cycle") return Cycle(args);
        if (command == "view") return View(args);
        Fail("unknown command '" + command + "' (see panelhost --help)");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "panelhost: %s\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "panelhost: %s\n", error.what());
        return 1;
    }
}

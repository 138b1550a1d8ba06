// panelhost: runs gauge modules the way the simulator's panel does.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "element_tree.h"
#include "panel_host.h"

namespace {

const char* Usage =
    "usage: panelhost cycle MODULE... [--cycles N] [--set NAME=VALUE]...\n"
    "\n"
    "  cycle   load each module, install and initialise its gauge, run N\n"
    "          cycles (default 3), print what it shows, then kill it.\n"
    "\n"
    "  --set NAME=VALUE  set a host variable first (a name such as\n"
    "                    airspeed_knots, or a token number such as 0x3D)\n";

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "panelhost: %s\n", message.c_str());
    std::exit(2);
}

double ParseNumber(const std::string& text, const std::string& what) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') Fail("bad value '" + text + "' for " + what);
    return value;
}

void Summarise(panel::Gauge& gauge) {
    GaugeHeader& header = gauge.header();
    std::printf("%s: gauge \"%s\", size %u, %d cycles\n", gauge.library().path().c_str(), gauge.name().c_str(),
                header.gauge_size, gauge.cycles());
    panel::VisitElements(gauge.root(), [&](ElementHeader* element, int depth) {
        std::printf("  %*s%s 0x%X at (%d, %d)%s", depth * 2, "", panel::KindName(element->kind), element->image_id,
                    element->position.x, element->position.y, element->image_flags & ImageHidden ? " hidden" : "");
        if (element->kind == StringKind)
            std::printf(" text \"%s\"", gauge.Text(element).c_str());
        else if (auto value = gauge.ElementValue(element))
            std::printf(" value %g", *value);
        std::printf("\n");
    });
    int areas = 0;
    for (MouseRect* rect = gauge.mouse_list(); rect && rect->kind != MouseListEnd; ++rect)
        areas += rect->kind == MouseArea;
    std::printf("  %d mouse areas\n", areas);
}

int Cycle(const std::vector<std::string>& args) {
    std::vector<std::string> modules;
    std::vector<std::pair<uint32_t, double>> settings;
    int cycles = 3;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == "--cycles") {
            if (i + 1 >= args.size()) Fail("--cycles needs a number");
            double n = ParseNumber(args[++i], "--cycles");
            if (n < 0 || n > 1e7 || n != static_cast<int>(n)) Fail("--cycles takes a whole number from 0");
            cycles = static_cast<int>(n);
        } else if (arg == "--set") {
            if (i + 1 >= args.size()) Fail("--set needs NAME=VALUE");
            std::string setting = args[++i];
            auto equals = setting.find('=');
            if (equals == std::string::npos) Fail("--set needs NAME=VALUE, not '" + setting + "'");
            std::string name = setting.substr(0, equals);
            auto token = panel::ParseToken(name);
            if (!token) Fail("unknown variable '" + name + "'");
            settings.push_back({*token, ParseNumber(setting.substr(equals + 1), name)});
        } else if (arg.rfind("--", 0) == 0) {
            Fail("unknown option " + arg + " (see panelhost cycle --help)");
        } else {
            modules.push_back(arg);
        }
    }
    if (modules.empty()) Fail("cycle needs at least one module (see panelhost cycle --help)");

    panel::PanelHost host;
    for (auto [token, value] : settings) host.variables().Set(token, value);
    for (const std::string& path : modules) {
        panel::Gauge* gauge = nullptr;
        try {
            gauge = &host.Load(path);
        } catch (const panel::LoadError& error) {
            Fail(error.what());
        }
        gauge->Start();
        for (int i = 0; i < cycles; ++i) gauge->Cycle();
        Summarise(*gauge);
        gauge->Kill();
        host.Unload(*gauge);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(Usage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    std::string verb = args[0];
    args.erase(args.begin());
    if (verb == "cycle") return Cycle(args);
    Fail("unknown command '" + verb + "' (see panelhost --help)");
}

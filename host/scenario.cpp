#include "scenario.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "canvas.h"
#include "gauge_names.h"
#include "radio_environment.h"
#include "renderer.h"

namespace panel {

double PictureDifference(const Canvas& a, const Canvas& b) {
    if (a.width != b.width || a.height != b.height) return 1.0;
    size_t differing = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3) {
        int worst = 0;
        for (size_t c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])));
        differing += worst > 24;
    }
    return a.rgb.empty() ? 0.0 : double(differing) / double(a.rgb.size() / 3);
}

namespace {

// Splits a line into words; a word in double quotes may hold spaces.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
        } else if (line[i] == '#' && !(i + 1 < line.size() && std::isdigit(static_cast<unsigned char>(line[i + 1])))) {
            break;  // a comment; "#2" names an element by its place
        } else if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos) throw std::runtime_error("a quoted text has no closing quote");
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = line.find_first_of(" \t", i);
            if (end == std::string::npos) end = line.size();
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

double ParseNumber(const std::string& text) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end) throw std::runtime_error("'" + text + "' is not a number");
    return value;
}

int ParseInt(const std::string& text) {
    double value = ParseNumber(text);
    if (value != std::floor(value) || std::fabs(value) > 1e9) throw std::runtime_error("'" + text + "' is not a whole number");
    return static_cast<int>(value);
}

std::string Describe(double value) {
    std::ostringstream out;
    out.precision(10);
    out << value;
    return out.str();
}

class ScenarioRun {
public:
    ScenarioRun(const std::string& path, const ScenarioOptions& options) : path_(path), options_(options) {}

    ScenarioResult Run() {
        std::ifstream in(path_);
        if (!in) throw std::runtime_error("cannot read scenario " + path_);
        std::string line;
        while (std::getline(in, line)) {
            ++line_number_;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::vector<std::string> words;
            try {
                words = Words(line);
                if (!words.empty()) Command(words);
            } catch (const std::exception& error) {
                throw std::runtime_error(path_ + ":" + std::to_string(line_number_) + ": " + error.what());
            }
        }
        return result_;
    }

private:
    Gauge& Current() {
        if (!gauge_) throw std::runtime_error("no module loaded yet (use 'load MODULE')");
        return *gauge_;
    }

    ElementHeader* Element(const std::string& name) {
        ElementHeader* element = FindElement(Current(), name);
        if (!element) throw std::runtime_error("the gauge has no element '" + name + "'");
        return element;
    }

    uint32_t Token(const std::string& name) {
        auto token = ParseToken(name);
        if (!token) throw std::runtime_error("unknown variable '" + name + "'");
        return *token;
    }

    void Check(bool ok, const std::string& what) {
        ++result_.checks;
        if (!ok) result_.failures.push_back(path_ + ":" + std::to_string(line_number_) + ": " + what);
    }

    void Need(const std::vector<std::string>& words, size_t low, size_t high) {
        if (words.size() < low || words.size() > high) throw std::runtime_error("wrong number of words for '" + words[0] + "'");
    }

    void Command(const std::vector<std::string>& w) {
        const std::string& verb = w[0];
        if (verb == "load") {
            Need(w, 2, 2);
            std::string file = w[1];
            if (file.find('/') == std::string::npos && file.find('\\') == std::string::npos) {
#if defined(_WIN32)
                file = options_.module_folder + "/" + file + ".gau";
#else
                file = options_.module_folder + "/" + file + ".so";
#endif
            }
            if (gauge_) host_.Unload(*gauge_);
            gauge_ = nullptr;
            renderer_.reset();
            gauge_ = &host_.Load(file);
            renderer_ = std::make_unique<Renderer>(gauge_->library());
            gauge_->Start();
        } else if (verb == "set") {
            Need(w, 3, 3);
            host_.variables().Set(Token(w[1]), ParseNumber(w[2]));
        } else if (verb == "cycle") {
            Need(w, 1, 2);
            int cycles = w.size() == 2 ? ParseInt(w[1]) : 1;
            for (int i = 0; i < cycles; ++i) Current().Cycle();
        } else if (verb == "click") {
            Click(w);
        } else if (verb == "bus") {
            Need(w, 3, 4);
            if (!bus_) bus_ = std::make_unique<PowerBus>();
            bus_->Set(ParseInt(w[1]), ParseInt(w[2]), w.size() == 4 ? ParseInt(w[3]) : 4321);
        } else if (verb == "registry") {
            if (w.size() == 2 && w[1] == "clear") {
                ClearStoredStandby();
            } else if (w.size() == 4 && w[1] == "set") {
                StoreStandby(static_cast<uint32_t>(ParseNumber(w[2])), static_cast<uint32_t>(ParseNumber(w[3])));
            } else {
                throw std::runtime_error("use 'registry clear' or 'registry set NAV COM'");
            }
        } else if (verb == "select") {
            Need(w, 2, 2);
            if (w[1] == "none")
                render_options_.selection.reset();
            else
                render_options_.selection = ParseInt(w[1]);
        } else if (verb == "kill") {
            Current().Kill();
        } else if (verb == "start") {
            Current().Start();
        } else if (verb == "snapshot") {
            Need(w, 2, 2);
            Snapshot(w[1]);
        } else if (verb == "expect") {
            Expect(w);
        } else if (verb == "clear" && w.size() == 2 && w[1] == "events") {
            host_.ClearLogs();
        } else {
            throw std::runtime_error("unknown command '" + verb + "'");
        }
    }

    void Click(const std::vector<std::string>& w) {
        Need(w, 3, 4);
        bool secondary = w.back() == "secondary";
        MouseButton button = secondary ? MouseButton::Secondary : MouseButton::Primary;
        if (w.size() == 4 && !secondary) throw std::runtime_error("the last word of a click may only be 'secondary'");
        if (w[1] == "area") {
            if (w.size() != (secondary ? 4u : 3u)) throw std::runtime_error("use 'click area N [secondary]'");
            int index = ParseInt(w[2]);
            MouseRect* list = Current().mouse_list();
            int count = 0;
            while (list && list[count].kind != MouseListEnd && count < 4096) ++count;
            if (index < 0 || index >= count || list[index].kind != MouseArea)
                throw std::runtime_error("the gauge has no mouse area " + w[2]);
            const MouseRect& area = list[index];
            Current().Click(area.box_x + area.box_width / 2, area.box_y + area.box_height / 2, button);
        } else {
            if (w.size() != (secondary ? 4u : 3u)) throw std::runtime_error("use 'click X Y [secondary]'");
            Current().Click(ParseInt(w[1]), ParseInt(w[2]), button);
        }
    }

    void Snapshot(const std::string& name) {
        Canvas picture = renderer_->Render(Current(), render_options_);
        if (options_.update_golden && !options_.golden_folder.empty()) {
            WritePng(picture, options_.golden_folder + "/" + name + ".png");
            return;
        }
        std::string file = options_.out_folder + "/" + name + ".png";
        WritePng(picture, file);
        result_.snapshots.push_back(file);
        if (!options_.golden_folder.empty()) {
            std::string golden = options_.golden_folder + "/" + name + ".png";
            double difference = PictureDifference(picture, ReadPng(golden));
            Check(difference <= SnapshotTolerance,
                  "snapshot " + name + " differs from " + golden + " in " + Describe(difference * 100) + "% of its pixels");
        }
    }

    void Expect(const std::vector<std::string>& w) {
        if (w.size() < 2) throw std::runtime_error("expect what?");
        const std::string& what = w[1];
        if (what == "text") {
            Need(w, 4, 4);
            std::string text = Current().Text(Element(w[2]));
            Check(text == w[3], "expected text \"" + w[3] + "\" in " + w[2] + ", it is \"" + text + "\"");
        } else if (what == "shown" || what == "hidden") {
            Need(w, 3, 3);
            bool hidden = Element(w[2])->image_flags & ImageHidden;
            Check(hidden == (what == "hidden"), "expected " + w[2] + " " + what + ", it is " + (hidden ? "hidden" : "shown"));
        } else if (what == "value") {
            Need(w, 4, 5);
            double expected = ParseNumber(w[3]);
            double tolerance = w.size() == 5 ? ParseNumber(w[4]) : 1e-9;
            auto value = Current().ElementValue(Element(w[2]));
            Check(value && std::fabs(*value - expected) <= tolerance,
                  "expected value " + w[3] + " of " + w[2] + ", it is " + (value ? Describe(*value) : "none"));
        } else if (what == "event") {
            Need(w, 3, 4);
            uint32_t event = static_cast<uint32_t>(ParseNumber(w[2]));
            bool found = false;
            for (const KeyEvent& sent : host_.events())
                found |= sent.event == event && (w.size() == 3 || sent.value == static_cast<uint32_t>(ParseNumber(w[3])));
            Check(found, "expected event " + w[2] + (w.size() == 4 ? " with value " + w[3] : "") + ", none was sent");
        } else if (what == "no" && w.size() == 3 && w[2] == "events") {
            Check(host_.events().empty(), "expected no events, " + std::to_string(host_.events().size()) + " were sent");
        } else if (what == "variable") {
            Need(w, 4, 4);
            double value = host_.variables().Get(Token(w[2]));
            Check(value == ParseNumber(w[3]), "expected variable " + w[2] + " " + w[3] + ", it is " + Describe(value));
        } else {
            throw std::runtime_error("unknown expectation '" + what + "'");
        }
    }

    std::string path_;
    ScenarioOptions options_;
    int line_number_ = 0;
    PanelHost host_;
    Gauge* gauge_ = nullptr;
    std::unique_ptr<Renderer> renderer_;
    std::unique_ptr<PowerBus> bus_;
    RenderOptions render_options_;
    ScenarioResult result_;
};

}  // namespace

ScenarioResult RunScenario(const std::string& path, const ScenarioOptions& options) {
    return ScenarioRun(path, options).Run();
}

}  // namespace panel

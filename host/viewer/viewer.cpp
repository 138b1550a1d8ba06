#include "viewer.h"

#include <httplib.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "element_tree.h"
#include "gauge_names.h"
#include "key_events.h"
#include "viewer_page.h"

namespace fs = std::filesystem;

namespace panel {

namespace {

constexpr auto CyclePeriod = std::chrono::microseconds(1000000 / 18);  // the simulator's pace
constexpr size_t MaxEvents = 200;

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\', out += c;
        else if (static_cast<unsigned char>(c) < 0x20) out += ' ';
        else out += c;
    }
    return out;
}

std::string Number(double value) {
    if (!std::isfinite(value)) return "null";
    std::ostringstream out;
    out.precision(12);
    out << value;
    return out.str();
}

}  // namespace

struct Viewer::Slot {
    std::string source;
    fs::file_time_type stamp{};
    uintmax_t size = 0;
    Gauge* gauge = nullptr;
    std::unique_ptr<Renderer> renderer;
    std::string error;
    int loads = 0;
};

Viewer::Viewer(const std::vector<std::string>& modules) {
    private_folder_ = (fs::temp_directory_path() / ("panelhost-view-" + std::to_string(getpid()))).string();
    fs::create_directories(private_folder_);
    // The radio's power bus, as the other gauges of a panel would set it up.
    bus_ = std::make_unique<PowerBus>();
    bus_->Set(1, 1, 4321);
    host_.variables().Set(5, 2);  // swaps allowed, radio on at start
    for (const std::string& module : modules) {
        auto slot = std::make_unique<Slot>();
        slot->source = fs::absolute(module).string();
        Load(*slot);
        if (!slot->gauge) throw LoadError(slot->error);
        slots_.push_back(std::move(slot));
    }
}

Viewer::~Viewer() {
    Stop();
    std::lock_guard lock(mutex_);
    for (auto& slot : slots_) {
        slot->renderer.reset();
        if (slot->gauge) host_.Unload(*slot->gauge);
    }
    std::error_code ignored;
    fs::remove_all(private_folder_, ignored);
}

// The module is loaded from a private copy, so that a build can overwrite
// the file while the viewer runs; the bitmaps beside it come along.
void Viewer::Load(Slot& slot) {
    std::error_code error;
    fs::path source(slot.source);
    slot.stamp = fs::last_write_time(source, error);
    slot.size = fs::file_size(source, error);
    std::string name = source.stem().string() + "-" + std::to_string(++copies_);
    fs::path copy = fs::path(private_folder_) / (name + source.extension().string());
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing, error);
    fs::path bitmaps = source.parent_path() / source.stem();
    if (!error && fs::is_directory(bitmaps)) fs::copy(bitmaps, fs::path(private_folder_) / name, error);
    if (error) {
        slot.error = "cannot copy " + slot.source + ": " + error.message();
        messages_.push_back(slot.error);
        return;
    }
    Gauge* fresh = nullptr;
    try {
        fresh = &host_.Load(copy.string());
    } catch (const std::exception& failure) {
        slot.error = failure.what();
        messages_.push_back("could not load the new " + source.filename().string() + ", the old one runs on: " +
                            failure.what());
        return;
    }
    if (slot.gauge) {
        slot.renderer.reset();
        host_.Unload(*slot.gauge);
    }
    slot.gauge = fresh;
    slot.renderer = std::make_unique<Renderer>(fresh->library());
    slot.error.clear();
    fresh->Start();
    fresh->Cycle();
    if (++slot.loads > 1) messages_.push_back("reloaded " + source.filename().string());
}

void Viewer::CheckForRebuilds() {
    std::lock_guard lock(mutex_);
    for (auto& slot : slots_) {
        std::error_code error;
        auto stamp = fs::last_write_time(slot->source, error);
        auto size = error ? 0 : fs::file_size(slot->source, error);
        if (error || (stamp == slot->stamp && size == slot->size)) continue;
        Load(*slot);
    }
}

void Viewer::Run() {
    auto next = std::chrono::steady_clock::now();
    int ticks = 0;
    while (running_) {
        {
            std::lock_guard lock(mutex_);
            for (auto& slot : slots_)
                if (slot->gauge && slot->gauge->state() == GaugeState::Running) slot->gauge->Cycle();
            host_.ClearCalls();
        }
        if (++ticks % 9 == 0) CheckForRebuilds();
        next += CyclePeriod;
        std::this_thread::sleep_until(next);
    }
}

int Viewer::Start(int port) {
    server_ = std::make_unique<httplib::Server>();
    Routes();
    int bound = port ? (server_->bind_to_port("127.0.0.1", port) ? port : -1) : server_->bind_to_any_port("127.0.0.1");
    if (bound < 0) throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
    running_ = true;
    cycles_ = std::thread([this] { Run(); });
    listener_ = std::thread([this] { server_->listen_after_bind(); });
    return bound;
}

void Viewer::Stop() {
    if (!running_.exchange(false)) return;
    server_->stop();
    if (listener_.joinable()) listener_.join();
    if (cycles_.joinable()) cycles_.join();
}

void Viewer::Wait() {
    if (listener_.joinable()) listener_.join();
}

std::string Viewer::StateJson() {
    std::ostringstream out;
    out << "{\"gauges\":[";
    std::set<uint32_t> tokens = {5};
    for (size_t i = 0; i < slots_.size(); ++i) {
        Slot& slot = *slots_[i];
        Gauge& gauge = *slot.gauge;
        const auto& root = slot.renderer->PictureFor(gauge.root()->image_id);
        const char* states[] = {"loaded", "installed", "running", "killed"};
        out << (i ? "," : "") << "{\"index\":" << i << ",\"name\":\"" << Escape(gauge.name()) << "\",\"module\":\""
            << Escape(fs::path(slot.source).filename().string()) << "\",\"state\":\""
            << states[static_cast<int>(gauge.state())] << "\",\"width\":" << root.width << ",\"height\":"
            << root.height << ",\"loads\":" << slot.loads << ",\"error\":\"" << Escape(slot.error) << "\",\"texts\":{";
        bool first = true;
        for (ElementHeader* element : ElementsInOrder(gauge.root())) {
            for (ModuleVar* var : ElementVariables(element))
                if (var->token) tokens.insert(var->token);
            if (element->kind != StringKind) continue;
            out << (first ? "" : ",") << "\"" << Escape(ElementName(gauge, element)) << "\":\""
                << Escape(gauge.Text(element)) << "\"";
            first = false;
        }
        out << "}}";
        if (gauge.name() == "ORIM_TR410") tokens.insert({0x17, 0x18});
        if (gauge.name() == "QAV_98_200L_Fuel_Quantity") tokens.insert(0x123);
    }
    out << "],\"variables\":[";
    bool first = true;
    for (uint32_t token : tokens) {
        out << (first ? "" : ",") << "{\"name\":\"" << Escape(TokenLabel(token)) << "\",\"token\":" << token
            << ",\"value\":" << Number(host_.variables().Get(token)) << "}";
        first = false;
    }
    out << "],\"bus\":[" << bus_->Field(0) << "," << bus_->Field(1) << "," << bus_->Field(3) << "],\"events\":[";
    for (size_t i = 0; i < events_.size(); ++i) {
        const LoggedEvent& e = events_[events_.size() - 1 - i];
        out << (i ? "," : "") << "{\"event\":" << e.event.event << ",\"label\":\"" << Escape(EventLabel(e.event.event))
            << "\",\"value\":" << e.event.value << ",\"changed\":\"" << Escape(e.changed) << "\"}";
    }
    out << "],\"messages\":[";
    for (size_t i = 0; i < messages_.size(); ++i)
        out << (i ? "," : "") << "\"" << Escape(messages_[messages_.size() - 1 - i]) << "\"";
    out << "]}";
    return out.str();
}

void Viewer::Routes() {
    httplib::Server& server = *server_;
    auto fail = [](httplib::Response& response, const std::string& message) {
        response.status = 400;
        response.set_content("{\"error\":\"" + Escape(message) + "\"}", "application/json");
    };
    // A gauge by its index in the request, or a failure already answered.
    auto slot_of = [this, fail](const httplib::Request& request, httplib::Response& response) -> Slot* {
        char* end = nullptr;
        std::string text = request.has_param("gauge") ? request.get_param_value("gauge") : "";
        long index = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end || index < 0 || index >= static_cast<long>(slots_.size())) {
            fail(response, "no gauge '" + text + "'");
            return nullptr;
        }
        return slots_[static_cast<size_t>(index)].get();
    };
    auto number = [](const httplib::Request& request, const char* name, double& value) {
        if (!request.has_param(name)) return false;
        std::string text = request.get_param_value(name);
        char* end = nullptr;
        value = std::strtod(text.c_str(), &end);
        return !text.empty() && !*end;
    };
    // Runs an action on the host and logs the events it sent, with the
    // variables they changed.
    auto act = [this](const std::function<void()>& action) {
        auto before = host_.variables().All();
        action();
        auto after = host_.variables().All();
        std::string changed;
        for (const auto& [token, value] : after) {
            auto old = before.find(token);
            if (old == before.end() || old->second != value)
                changed += (changed.empty() ? "" : " ") + TokenLabel(token) + "=" + Number(value);
        }
        for (const KeyEvent& event : host_.events()) events_.push_back({event, changed});
        if (events_.size() > MaxEvents) events_.erase(events_.begin(), events_.end() - MaxEvents);
        host_.ClearLogs();
    };

    server.Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(ViewerPage, "text/html; charset=utf-8");
    });
    server.Get("/api/state", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        response.set_content(StateJson(), "application/json");
    });
    server.Get("/api/gauge.png", [this, slot_of](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        Slot* slot = slot_of(request, response);
        if (!slot) return;
        RenderOptions options{.show_areas = request.has_param("areas") && request.get_param_value("areas") == "1"};
        auto png = EncodePng(slot->renderer->Render(*slot->gauge, options));
        response.set_content(std::string(png.begin(), png.end()), "image/png");
    });
    server.Get("/api/snapshot.png", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        int width = 10, height = 0;
        std::vector<Canvas> pictures;
        for (auto& slot : slots_) {
            pictures.push_back(slot->renderer->Render(*slot->gauge));
            width += pictures.back().width + 10;
            height = std::max(height, pictures.back().height + 20);
        }
        Canvas panel(width, height);
        panel.Fill(0, 0, width, height, {46, 48, 52});
        int x = 10;
        for (const Canvas& picture : pictures) panel.Paste(picture, x, 10), x += picture.width + 10;
        auto png = EncodePng(panel);
        response.set_header("Content-Disposition", "attachment; filename=\"panel.png\"");
        response.set_content(std::string(png.begin(), png.end()), "image/png");
    });
    server.Get("/api/cursor", [this, slot_of, number](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        Slot* slot = slot_of(request, response);
        double x = 0, y = 0;
        if (!slot || !number(request, "x", x) || !number(request, "y", y)) return;
        int area = slot->gauge->AreaAt(int(x), int(y), MouseButton::Primary);
        int cursor = area >= 0 ? slot->gauge->mouse_list()[area].cursor : -1;
        response.set_content("{\"area\":" + std::to_string(area) + ",\"cursor\":" + std::to_string(cursor) + "}",
                             "application/json");
    });
    server.Post("/api/click", [this, slot_of, number, fail, act](const httplib::Request& request,
                                                                  httplib::Response& response) {
        std::lock_guard lock(mutex_);
        Slot* slot = slot_of(request, response);
        if (!slot) return;
        double x = 0, y = 0;
        const auto& root = slot->renderer->PictureFor(slot->gauge->root()->image_id);
        if (!number(request, "x", x) || !number(request, "y", y) || x < 0 || y < 0 || x >= root.width ||
            y >= root.height)
            return fail(response, "the click lies outside the gauge");
        std::string button = request.has_param("button") ? request.get_param_value("button") : "primary";
        if (button != "primary" && button != "secondary") return fail(response, "no button '" + button + "'");
        std::optional<int32_t> result;
        act([&] {
            result = slot->gauge->Click(int(x), int(y),
                                        button == "primary" ? MouseButton::Primary : MouseButton::Secondary);
        });
        response.set_content(result ? "{\"handled\":true,\"result\":" + std::to_string(*result) + "}"
                                    : std::string("{\"handled\":false}"),
                             "application/json");
    });
    server.Post("/api/set", [this, number, fail](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        std::string name = request.has_param("name") ? request.get_param_value("name") : "";
        auto token = ParseToken(name);
        double value = 0;
        if (!token) return fail(response, "unknown variable '" + name + "'");
        if (!number(request, "value", value)) return fail(response, "bad value for " + name);
        host_.variables().Set(*token, value);
        response.set_content("{}", "application/json");
    });
    server.Post("/api/bus", [this, number, fail](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        double c1 = 0, c2 = 0, mark = 4321;
        if (!number(request, "c1", c1) || !number(request, "c2", c2)) return fail(response, "the bus needs c1 and c2");
        number(request, "mark", mark);
        bus_->Set(int32_t(c1), int32_t(c2), int32_t(mark));
        response.set_content("{}", "application/json");
    });
    server.Post("/api/kill", [this, slot_of, fail, act](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        Slot* slot = slot_of(request, response);
        if (!slot) return;
        if (slot->gauge->state() != GaugeState::Running) return fail(response, "the gauge is not running");
        act([&] { slot->gauge->Kill(); });
        response.set_content("{}", "application/json");
    });
    server.Post("/api/start", [this, slot_of, fail, act](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        Slot* slot = slot_of(request, response);
        if (!slot) return;
        if (slot->gauge->state() == GaugeState::Running) return fail(response, "the gauge is running");
        act([&] { slot->gauge->Start(); });
        response.set_content("{}", "application/json");
    });
}

}  // namespace panel

// The live viewer: the gauges running at the simulator's pace in a host of
// their own, served to a browser on 127.0.0.1, and loaded again whenever a
// module file changes on disk.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "panel_host.h"
#include "radio_environment.h"
#include "renderer.h"

namespace httplib {
class Server;
}

namespace panel {

class Viewer {
public:
    // Loads a private copy of each module and starts its gauge. Throws
    // LoadError when a module cannot be loaded.
    explicit Viewer(const std::vector<std::string>& modules);
    ~Viewer();

    // Serves on 127.0.0.1 (port 0: any free port) until Stop; returns the port.
    int Start(int port);
    void Stop();
    // Blocks until Stop (for the command line).
    void Wait();

    // Loads a module again if its file changed; run by the viewer itself
    // every half second, and by tests.
    void CheckForRebuilds();

private:
    struct Slot;
    void Run();
    void Load(Slot& slot);
    void Routes();
    std::string StateJson();

    std::vector<std::unique_ptr<Slot>> slots_;
    PanelHost host_;
    std::unique_ptr<PowerBus> bus_;
    std::recursive_mutex mutex_;
    std::unique_ptr<httplib::Server> server_;
    std::thread cycles_, listener_;
    std::atomic<bool> running_{false};
    struct LoggedEvent {
        KeyEvent event;
        std::string changed;  // the host variables it changed, "name=value ..."
    };
    std::vector<LoggedEvent> events_;  // newest last
    std::vector<std::string> messages_;
    std::string private_folder_;
    int copies_ = 0;
};

}  // namespace panel

// Scenarios: small scripts that drive a gauge through the host and check
// what it shows. One command a line; '#' starts a comment (but "#2" is an
// element named by its place in drawing order).
//
//   load MODULE                 load a module (a path, or a name in the module folder) and start it
//   set NAME VALUE              set a host variable (by name or token number)
//   cycle [N]                   run N cycles (1)
//   click X Y [secondary]       click at a gauge pixel
//   click area N [secondary]    click in the middle of mouse area N
//   bus C1 C2 [MARK]            the power bus as another gauge writes it (MARK 4321)
//   registry clear              forget the radio's stored standby frequencies
//   registry set NAV COM        store them
//   select N | select none      the host's selection, for highlighted text
//   kill | start                the gauge's kill, or install and initialise again
//   snapshot NAME               draw the gauge into OUT/NAME.png
//   expect text ELEMENT "TEXT"
//   expect shown ELEMENT | expect hidden ELEMENT
//   expect value ELEMENT NUMBER [TOLERANCE]
//   expect event NUMBER [VALUE] a key event sent since the last 'clear events'
//   expect no events
//   expect variable NAME NUMBER
//   clear events
#pragma once

#include <string>
#include <vector>

namespace panel {

struct Canvas;

struct ScenarioOptions {
    std::string module_folder;  // where "load NAME" looks
    std::string out_folder = ".";
    std::string golden_folder;  // when set, snapshots are compared with NAME.png there
    bool update_golden = false; // write the snapshots into the golden folder instead
};

struct ScenarioResult {
    int checks = 0;
    std::vector<std::string> failures;  // "FILE:LINE: what"
    std::vector<std::string> snapshots;  // files written
};

// Throws std::runtime_error for a line it cannot run (with the line).
ScenarioResult RunScenario(const std::string& path, const ScenarioOptions& options);

// How far two pictures differ: the share of pixels whose colour differs by
// more than 24 in any channel. Different sizes count as entirely different.
double PictureDifference(const Canvas& a, const Canvas& b);
// The tolerance snapshots are held to: 0.2% of the pixels, for the small
// differences in font rasterising and rounding between builds.
constexpr double SnapshotTolerance = 0.002;

}  // namespace panel

#pragma once

#include <cstddef>

#include "tests/plugin/support/host_window.h"
#include "tests/plugin/support/simulated_hid.h"

namespace pellion::testing {

// What a run leaves behind once its last scanner is removed; all zero when
// nothing leaks.
struct Leftovers {
    std::size_t entries = 0;
    std::size_t openHandles = 0;
    std::size_t notifications = 0;
    std::size_t preparsedData = 0;
    std::size_t timerRows = 0;
    std::size_t closedHandleUses = 0;

    bool operator==(const Leftovers& other) const;
};

struct ReplugRace {
    int cycles = 0;         // completed
    int arrivalsFirst = 0;  // of them, with the new interface arriving before the old one's removal
    int commands = 0;       // sent by the racing thread
    int carried = 0;        // of them, answered 0
    int positive = 0;       // answered with a positive code, which no command may
    bool scannerWorks = false;  // the scanner plugged in last reads and answers
    std::size_t strayNotifications = 0;
    Leftovers left;
    double milliseconds = 0;
};

// Loads the plug-in with short pauses, then unplugs one simulated scanner
// and plugs it in again, cycle after cycle, while another thread sends it
// commands. Every third cycle, the last one among them, the new interface
// arrives before the old one's removal and takes over the scanner's entry.
// Runs on the host window's thread; the plug-in stays loaded.
ReplugRace RunReplugRace(SimulatedHid& sim, HostWindow& host, int cycles);

}  // namespace pellion::testing

// Unplugs a simulated scanner and plugs it in again, cycle after cycle,
// while another thread sends it commands; every third cycle the new
// interface arrives before the old one's removal. Tells how long the run
// took, whether the scanner plugged in last still works and what the
// plug-in left behind.
// Usage: pellion_replug_bench [cycles]

#include <cstdio>
#include <cstdlib>

#include "bench/plugin/replug_race.h"

using namespace pellion;
using namespace pellion::testing;

namespace {

constexpr int kDefaultCycles = 1000;

bool Sound(const ReplugRace& race, int cycles)
{
    return race.cycles == cycles && race.positive == 0 && race.carried > 0 && race.scannerWorks &&
           race.strayNotifications == 0 && race.left == Leftovers{};
}

}  // namespace

int main(int argc, char** argv)
{
    const int cycles = argc > 1 ? std::atoi(argv[1]) : kDefaultCycles;
    SimulatedHid sim;
    ScopedSimulation binding(sim);
    HostWindow host;
    const ReplugRace race = RunReplugRace(sim, host, cycles);
    UnloadPlugin(false);

    std::printf("replug: %d of %d cycles (%d with the arrival before the removal) in %.0f ms, %.2f ms a cycle\n",
                race.cycles, cycles, race.arrivalsFirst, race.milliseconds,
                race.cycles > 0 ? race.milliseconds / race.cycles : 0.0);
    std::printf("commands: %d sent, %d carried, %d with a positive code\n", race.commands, race.carried,
                race.positive);
    std::printf("last scanner: %s; stray notifications: %zu\n", race.scannerWorks ? "works" : "DOES NOT WORK",
                race.strayNotifications);
    const Leftovers& left = race.left;
    std::printf("left behind: %zu entries, %zu handles, %zu notifications, %zu preparsed data, %zu timer rows; "
                "%zu uses of closed handles\n",
                left.entries, left.openHandles, left.notifications, left.preparsedData, left.timerRows,
                left.closedHandleUses);
    const bool sound = Sound(race, cycles);
    std::printf("%s\n", sound ? "sound" : "NOT SOUND");
    return sound ? 0 : 1;
}

// One reload of the main window's list (open, query, build the rows, hand
// them to the list) against the sqlite3 shell reading "SELECT * FROM Quorva"
// from the same file, at 100,000 and 1,000,000 records. The reload also
// reports the process's peak memory and its memory with the list at rest,
// each as a multiple of the database file's size. The peak is the process's
// own high-water mark, so run one size per process to read it.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_records.h"
#include "bench/bench_register.h"

namespace {

double PeakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

double ResidentBytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Each repetition is one pair, a reload and then the shell, so both meet the
// same moment of a shared machine; the ratio is the pair's.
void ReloadAgainstShell(benchmark::State& state)
{
    const std::string path = bench::EnsureBenchFile(static_cast<int>(state.range(0)));
    bench::BenchRegister onFile(path);
    quorva::MainWindowPresenter& presenter = onFile.presenter;
    // The first reload fills the list, so every timed one replaces a full list.
    presenter.Button3Click();
    const std::string command = "sqlite3 '" + path + "' 'SELECT * FROM Quorva' > /dev/null";
    for (auto _ : state) {
        const double ours = bench::SecondsOf([&] { presenter.Button3Click(); });
        const double shell = bench::SecondsOf([&] {
            if (std::system(command.c_str()) != 0) state.SkipWithError("sqlite3 shell failed");
        });
        state.SetIterationTime(ours);
        state.counters["shell_ms"] = shell * 1e3;
        state.counters["ratio"] = ours / shell;
    }
    if (onFile.view.shown == 0) state.SkipWithError("nothing listed: the register did not read the bench file");
    const double fileBytes = static_cast<double>(bench::FileBytes(path));
    state.counters["rows"] = static_cast<double>(onFile.view.shown);
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["peak_x_file"] = PeakResidentBytes() / fileBytes;
    state.counters["rest_x_file"] = ResidentBytes() / fileBytes;
}

// The median of 5 pairs.
void Pairs(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->UseManualTime();
}

}  // namespace

BENCHMARK(ReloadAgainstShell)->Arg(bench::kRecordCount)->Apply(Pairs);
BENCHMARK(ReloadAgainstShell)->Arg(bench::kLargeRecordCount)->Apply(Pairs);
BENCHMARK_MAIN();

// The register on the database server, through ODBC, on loopback:
// - one reload of the main window's list of 100,000 records, paired with
//   psql fetching the same rows into /dev/null;
// - one registration's round trips: the three duplicate look-ups and the
//   insert, on the same table.
// Needs the server that bench/measure_server.sh starts (QUORVA_PG_*).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "bench/bench_records.h"
#include "bench/counting_view.h"
#include "register/core/records/document_table.h"
#include "register/core/shell/main_window_presenter.h"
#include "register/core/storage/record_copy.h"
#include "register/core/storage/server_store.h"
#include "tests/support/fakes.h"

namespace {

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

quorva::ServerLocation BenchServer()
{
    return {quorva::kDefaultServerDriver,       Variable("QUORVA_PG_HOST"), Variable("QUORVA_PG_PORT"),
            Variable("QUORVA_PG_DATABASE"), Variable("QUORVA_PG_USER"), Variable("QUORVA_PG_PASSWORD")};
}

class PlainSecrets final : public quorva::SecretBox {
public:
    std::string Seal(const std::string& secret) override { return "=" + secret; }
    std::optional<std::string> Unseal(const std::string& sealed) override { return sealed.substr(1); }
};

// The server holds the 100,000 records of the file benchmarks, once.
void FillServerOnce(quorva::ServerStore& server)
{
    auto connection = server.Open();
    quorva::EnsureDocumentTable(*connection);
    if (quorva::CountRecords(*connection) == bench::kRecordCount) return;
    connection->Execute("DROP TABLE Quorva");
    quorva::UploadToServer(bench::EnsureBenchFile(), server);
}

void ReloadAgainstPsql(benchmark::State& state)
{
    const quorva::ServerLocation location = BenchServer();
    quorva::ServerStore server(location, "");
    FillServerOnce(server);
    FakeFileSystem fs;
    MemoryProfileStore profiles;
    ScriptedPrompter prompter;
    PlainSecrets secrets;
    bench::CountingView view;
    quorva::Settings settings(profiles, "A:\\ovd\\quorva.ini");
    quorva::WriteStoreChoice(settings, {quorva::StoreKind::Server, location}, secrets);
    quorva::MainWindowPresenter presenter(
        view, quorva::MainWindowEnvironment{fs, profiles, prompter, "A:", {"X:"}, [] { return quorva::CivilDate{2026, 12, 8}; },
                                            nullptr, nullptr, nullptr, nullptr, {}, &secrets});
    presenter.FormCreate();
    presenter.Button3Click();
    const std::string command = "PGPASSWORD='" + location.password + "' psql -X -A -t -q -h " + location.host + " -p " +
                                location.port + " -U " + location.user + " -d " + location.database +
                                " -c 'SELECT * FROM Quorva order by ID' > /dev/null";
    for (auto _ : state) {
        const double ours = bench::SecondsOf([&] { presenter.Button3Click(); });
        const double psql = bench::SecondsOf([&] {
            if (std::system(command.c_str()) != 0) state.SkipWithError("psql failed");
        });
        state.SetIterationTime(ours);
        state.counters["psql_ms"] = psql * 1e3;
        state.counters["ratio"] = ours / psql;
    }
    state.counters["rows"] = static_cast<double>(view.shown);
}

void OneRegistration(benchmark::State& state)
{
    quorva::ServerStore server(BenchServer(), "");
    FillServerOnce(server);
    int n = bench::kRecordCount;
    for (auto _ : state) {
        const quorva::RecordFields fields = bench::RealisticRecord(++n);
        const double seconds = bench::SecondsOf([&] {
            auto connection = server.Open();
            for (quorva::Column column : {quorva::Column::wh, quorva::Column::swzh, quorva::Column::bwh}) {
                connection->Query(quorva::DuplicateStatement(column, fields[static_cast<int>(column)]));
            }
            connection->InsertRecord(quorva::InsertRecordStatement(fields));
        });
        state.SetIterationTime(seconds);
    }
    server.Open()->Execute(SqlStatement{"DELETE FROM Quorva WHERE ID > ?", {std::int64_t{bench::kRecordCount}}});
}

}  // namespace

BENCHMARK(ReloadAgainstPsql)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->UseManualTime();
BENCHMARK(OneRegistration)->Unit(benchmark::kMillisecond)->Iterations(50)->Repetitions(3)->ReportAggregatesOnly(true)->UseManualTime();
BENCHMARK_MAIN();

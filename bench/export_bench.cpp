// The .xlsx of a 100,000-record list as the export writes it where no
// spreadsheet application is, against libxlsxwriter writing the same cells
// straight from strings made beforehand, in the same mode: what the export
// costs over the library itself.
#include <benchmark/benchmark.h>

#include <xlsxwriter.h>

#include <array>
#include <ctime>
#include <string>
#include <vector>

#include "bench/bench_records.h"
#include "bench/bench_register.h"
#include "register/core/automation/list_export.h"
#include "register/core/automation/list_workbook.h"
#include "tests/support/temp_folder.h"

namespace {

using SheetRow = std::array<std::string, quorva::kSheetColumnCount>;

void WriteDirectly(const std::vector<SheetRow>& rows, const std::string& path, const std::string& folder)
{
    std::vector<char> tmpdir(folder.c_str(), folder.c_str() + folder.size() + 1);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpdir.data();
    lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* title = workbook_add_format(workbook);
    format_set_font_size(title, quorva::kTitleFontSize);
    format_set_align(title, LXW_ALIGN_CENTER);
    format_set_align(title, LXW_ALIGN_VERTICAL_CENTER);
    worksheet_merge_range(sheet, 0, 0, 0, quorva::kSheetColumnCount - 1, quorva::kSheetTitle, title);
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    worksheet_set_row(sheet, 2, LXW_DEF_ROW_HEIGHT, bold);
    for (lxw_col_t k = 0; k < quorva::kSheetColumnCount; ++k)
        worksheet_write_string(sheet, 2, k, quorva::SheetHeaders()[k], bold);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (lxw_col_t k = 0; k < quorva::kSheetColumnCount; ++k)
            worksheet_write_string(sheet, static_cast<lxw_row_t>(i + 3), k, rows[i][k].c_str(), nullptr);
    workbook_close(workbook);
}

// Each repetition is one pair, the export and then the library, so both meet
// the same moment of a shared machine; the ratio is the pair's.
void ExportAgainstLibrary(benchmark::State& state)
{
    const std::string path = bench::EnsureBenchFile(bench::kRecordCount);
    bench::BenchRegister onFile(path);
    quorva::MainWindowPresenter& presenter = onFile.presenter;
    presenter.Button3Click();
    const quorva::RecordList& list = presenter.rows();
    std::vector<SheetRow> cells;
    for (std::size_t i = 0; i < list.size(); ++i) cells.push_back(quorva::SheetCells(list[i], i));
    const TempFolder scratch;
    const std::string folder = PathToUtf8(scratch.path());
    for (auto _ : state) {
        const std::clock_t start = std::clock();
        const double ours = bench::SecondsOf([&] { quorva::WriteListWorkbook(list, folder + "/export.xlsx"); });
        const std::clock_t between = std::clock();
        const double direct = bench::SecondsOf([&] { WriteDirectly(cells, folder + "/direct.xlsx", folder); });
        state.SetIterationTime(ours);
        state.counters["library_ms"] = direct * 1e3;
        state.counters["ratio"] = ours / direct;
        // Processor time too: on a shared machine the wall clock also counts the others' work.
        state.counters["cpu_ms"] = 1e3 * static_cast<double>(between - start) / CLOCKS_PER_SEC;
        state.counters["library_cpu_ms"] = 1e3 * static_cast<double>(std::clock() - between) / CLOCKS_PER_SEC;
    }
    state.counters["rows"] = static_cast<double>(list.size());
    if (list.size() == 0) state.SkipWithError("nothing listed: the register did not read the bench file");
}

}  // namespace

// The median of 5 pairs.
BENCHMARK(ExportAgainstLibrary)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->UseManualTime();
BENCHMARK_MAIN();

// Export of 1,000 list rows into the stand-in spreadsheet served by a local
// server in its own process, as Excel would be: automation calls and time
// per row. Run under Wine from the build's bin folder.
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "register/core/automation/office_automation.h"
#include "register/core/records/record_row.h"
#include "register/win32/automation/list_exporter.h"
#include "register/win32/automation/office_application.h"
#include "tests/win32/automation/standin_registry.h"

namespace {

constexpr int kRows = 1000;

std::vector<quorva::RecordRow> SampleRows(int count)
{
    std::vector<quorva::RecordRow> rows(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        for (int k = 0; k < quorva::kRecordRowItemCount; ++k) {
            rows[static_cast<std::size_t>(i)].SetItem(k, "第" + std::to_string(i) + "行第" + std::to_string(k) + "项");
        }
    }
    return rows;
}

struct Run {
    double seconds;
    long invokes;
    long lookups;
};

Run Export(const Dispatch& desk, const std::vector<quorva::RecordRow>& rows)
{
    const Dispatch sheet = AcquireApplication(quorva::SpreadsheetOrder("list.doc"));
    if (!sheet) throw std::runtime_error("the stand-in spreadsheet did not start");
    desk.Call(L"Reset");
    LARGE_INTEGER frequency{}, begin{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    WriteSheet(sheet, rows);
    QueryPerformanceCounter(&end);
    return Run{static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart),
               desk.Value(L"Invokes").AsLong(), desk.Value(L"NameLookups").AsLong()};
}

}  // namespace

int main()
{
    ComApartment com;
    StandInRegistry standIns(StandInRegistry::Server::Local);
    standIns.Register(L"Excel.Application");
    try {
        const Dispatch desk = standIns.Inspector();
        if (!desk) throw std::runtime_error("the stand-in server is not reachable");
        const Run empty = Export(desk, {});
        const Run full = Export(desk, SampleRows(kRows));
        const double perRowMs = (full.seconds - empty.seconds) * 1000.0 / kRows;
        std::printf("rows: %d\n", kRows);
        std::printf("title and headers: %ld Invoke, %ld GetIDsOfNames, %.1f ms\n", empty.invokes, empty.lookups,
                    empty.seconds * 1000.0);
        std::printf("whole export: %ld Invoke, %ld GetIDsOfNames, %.2f s\n", full.invokes, full.lookups, full.seconds);
        std::printf("per row: %.1f Invoke + %.1f GetIDsOfNames, %.3f ms\n",
                    static_cast<double>(full.invokes - empty.invokes) / kRows,
                    static_cast<double>(full.lookups - empty.lookups) / kRows, perRowMs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "export bench: %s\n", e.what());
        return 1;
    }
    return 0;
}

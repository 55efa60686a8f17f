#pragma once

#include <string>

#include "bench/bench_records.h"
#include "bench/counting_view.h"
#include "register/core/shell/main_window_presenter.h"
#include "tests/support/fakes.h"

namespace bench {

// A register started on a bench file, as the clerk's would be: the file
// named in its settings, the window created, nothing listed yet. `searches`
// answers 查询 where a bench asks one.
struct BenchRegister {
    explicit BenchRegister(const std::string& databasePath, quorva::SearchDialogFactory* searches = nullptr)
        : presenter(view, quorva::MainWindowEnvironment{fs, settings, prompter, kAppData, {"X:"},
                                                        [] { return quorva::CivilDate{2026, 12, 8}; }, nullptr,
                                                        searches})
    {
        NameBenchFile(settings, kAppData, databasePath);
        presenter.FormCreate();
    }

    static constexpr const char* kAppData = "A:";
    FakeFileSystem fs;
    MemoryProfileStore settings;
    ScriptedPrompter prompter;
    CountingView view;
    quorva::MainWindowPresenter presenter;
};

}  // namespace bench

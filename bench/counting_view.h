#pragma once

#include <cstddef>
#include <string>

#include "register/core/shell/main_window_presenter.h"

namespace bench {

// The benchmarks' main view. The real list is virtual: handing it the rows
// is setting a count, so this costs what the real view costs.
class CountingView : public quorva::MainView {
public:
    void ShowFilterChecks(const quorva::FilterState&) override {}
    void SetDaysText(const std::string&) override {}
    void SetFiltersEnabled(bool) override {}
    void SetStatusText(const std::string&) override {}
    void ShowRows(const quorva::RecordList& rows) override { shown = rows.size(); }
    void SelectRow(int index) override { selected = index; }
    int SelectedRow() const override { return selected; }
    void RefreshRow(int) override {}
    void ShowQueryMode(bool) override {}
    void SetOverdueText(const std::string&) override {}
    std::size_t shown = 0;
    int selected = -1;
};

}  // namespace bench

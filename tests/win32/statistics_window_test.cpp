#include <gtest/gtest.h>

#include <fstream>

#include "register/win32/statistics/statistics_form.h"
#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form;
using main_form_test::MainFormTest;
using main_form_test::Pump;
using main_form_test::SendMouse;

constexpr int kByDocumentType = 1;  // in the grouping drop-down

std::string TableText(HWND table)
{
    std::string text;
    for (int row = 0; row < ListView_GetItemCount(table); ++row) {
        for (int column = 0; column < 3; ++column) {
            wchar_t cell[128] = {};
            ListView_GetItemText(table, row, column, cell, 128);
            text += Narrow(cell) + (column < 2 ? " " : "|");
        }
    }
    return text;
}

class StatisticsWindowTest : public MainFormTest {
protected:
    void Add(const char* swrq, const char* wz)
    {
        quorva::RecordFields fields{};
        fields[static_cast<int>(quorva::Column::swrq)] = swrq;
        fields[static_cast<int>(quorva::Column::wz)] = wz;
        Store()->Execute(quorva::InsertRecordStatement(fields));
    }
};

TEST_F(StatisticsWindowTest, OpensOnThisYearByMonthSwitchesGroupingAndAClickedRowIsListed)
{
    Add("20260105", "通知");
    Add("20260220", "通知");
    Add("20260220", "请示");
    Add("20261231", "函");
    Add("20251231", "通知");
    Start();
    Pump(200);  // up and maximized, as the clerk finds it
    Click(kStatistics);
    TStatisticsForm* statistics = form->statistics();
    ASSERT_TRUE(statistics);
    const HWND table = statistics->Control(statistics_form::kTable);
    EXPECT_EQ(ListView_GetItemCount(table), 13) << "twelve months and 合计";
    EXPECT_EQ(TableText(table).substr(0, TableText(table).find("2026年3月")), "2026年1月 1 25.0%|2026年2月 2 50.0%|");

    const HWND grouping = statistics->Control(statistics_form::kGrouping);
    SendMessageW(grouping, CB_SETCURSEL, kByDocumentType, 0);
    SendMessageW(statistics->hwnd(), WM_COMMAND, MAKEWPARAM(statistics_form::kGrouping, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(grouping));
    EXPECT_EQ(TableText(table), "通知 2 50.0%|函 1 25.0%|请示 1 25.0%|合计 4 100.0%|");

    Pump(200);
    std::filesystem::create_directories("test-output");
    const std::string picture = TestsOnServer() ? "test-output\\statistics-chart-server.png"
                                                : "test-output\\statistics-chart.png";
    statistics->SaveChart(picture);
    char signature[4] = {};
    std::ifstream(picture, std::ios::binary).read(signature, 4);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");

    RECT first{};
    ListView_GetItemRect(table, 0, &first, LVIR_LABEL);
    POINT at{(first.left + first.right) / 2, (first.top + first.bottom) / 2};
    ClientToScreen(table, &at);
    SendMouse(at);
    SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    SendMouse(at, MOUSEEVENTF_LEFTUP);
    Pump(300);
    EXPECT_TRUE(Checked(kQueryMode));
    ASSERT_EQ(RowCount(), 2) << "the two 通知 of 2026";
    EXPECT_EQ(Cell(1, 1), "20260220");
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace

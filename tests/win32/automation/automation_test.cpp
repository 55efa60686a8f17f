// The two automation commands through the real helper and the real
// attach-or-start, against stand-ins registered under the register's
// ProgIDs in this prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "register/core/automation/list_export.h"
#include "register/win32/automation/approval_form_printer.h"
#include "register/win32/automation/list_exporter.h"
#include "register/win32/automation/ole_exception.h"
#include "register/win32/automation/table_exporter.h"
#include "tests/support/fake_entry_dialog.h"
#include "tests/support/form_samples.h"
#include "tests/win32/automation/standin_registry.h"
#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form;
using quorva::EntryField;
namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::wstring& text)
{
    std::vector<std::string> lines;
    std::wistringstream stream(text);
    for (std::wstring line; std::getline(stream, line);) lines.push_back(Narrow(line));
    return lines;
}

std::vector<std::string> Starts(const std::vector<std::string>& log)
{
    std::vector<std::string> starts;
    for (const std::string& line : log) {
        if (line.rfind("start ", 0) == 0) starts.push_back(line);
    }
    return starts;
}

HWND WaitForDialog(const wchar_t* caption)
{
    for (int i = 0; i < 500; ++i) {
        const HWND found = FindWindowW(L"#32770", caption);
        if (found && IsWindowVisible(found)) return found;
        Sleep(10);
    }
    return nullptr;
}

class AutomationTest : public main_form_test::MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        desk = standIns.Inspector();
        ASSERT_TRUE(desk) << "the stand-ins are not registered in this prefix";
    }
    void TearDown() override { desk = Dispatch(); }

    std::string Template(const char* name, const std::string& text)
    {
        const std::string path = folder.File(name);
        std::ofstream(std::filesystem::u8path(path), std::ios::binary) << text;
        return path;
    }
    std::string Forms() const { return DefaultFolder() + "\\呈批表"; }
    void UseTemplate(const std::string& path)
    {
        Win32FileSystem().CreateFolders(SettingsFolder());
        WritePrivateProfileStringW(L"Option", L"MB", Widen(path).c_str(), Widen(Ini()).c_str());
    }
    std::vector<std::string> Log() { return Lines(desk.Value(L"Log").AsText()); }
    std::string Document() { return Narrow(desk.Value(L"Document").AsText()); }
    std::string SheetCell(int row, int column) { return Narrow(desk.Value(L"Cell", {row, column}).AsText()); }

    ComApartment com;
    StandInRegistry standIns;
    Dispatch desk;
};

// The first placeholder's calls, as every fill makes them.
std::vector<std::string> FindSetUp(const std::string& placeholder)
{
    return {"Options.ReplaceSelection=true", "Find.ClearFormatting()", "Find.Text=" + placeholder,
            "Replacement.Text=", "Find.Forward=true", "Find.Wrap=1", "Find.Format=false", "Find.MatchCase=false",
            "Find.MatchWholeWord=false", "Find.MatchByte=true", "Find.MatchWildcards=false",
            "Find.MatchSoundsLike=false", "Find.MatchAllWordForms=false"};
}

TEST_F(AutomationTest, PrintingFillsTheTemplateInWordAndMinimizesTheDialog)
{
    standIns.Register(L"word.Application");
    const std::string path = Template("呈批表.doc",
                                      "日期:$收文日期$|号:$收文号$,$收文号$,$收文号$|字号:$来文字号$|"
                                      "结果:$办理结果$|备注:$备注$|意见:$拟办意见$|完");
    UseTemplate(path);
    Start();
    bool minimizedAndOpen = false;
    std::thread clerk([&] {
        const HWND dialog = WaitForDialog(L"收文录入");
        if (!dialog) return;
        SYSTEMTIME received{2026, 12, 0, 7};
        SendMessageW(GetDlgItem(dialog, TForm1::ControlId(EntryField::eswrq)), DTM_SETSYSTEMTIME, GDT_VALID,
                     reinterpret_cast<LPARAM>(&received));
        SetWindowTextW(GetDlgItem(dialog, TForm1::ControlId(EntryField::ewh)), L"发[2026]3号");
        SetWindowTextW(GetDlgItem(dialog, TForm1::ControlId(EntryField::eybyj)), L"一\r\n二");
        SetWindowTextW(GetDlgItem(dialog, TForm1::ControlId(EntryField::ebljg)), L"见$办理结果$");
        const HWND print = FindWindowExW(dialog, nullptr, L"Button", L"打印呈批表");
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(print), BN_CLICKED), reinterpret_cast<LPARAM>(print));
        for (int i = 0; i < 500 && !IsIconic(dialog); ++i) Sleep(10);
        minimizedAndOpen = IsIconic(dialog) && IsWindow(dialog);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Click(kNewRecord);
    clerk.join();

    EXPECT_TRUE(minimizedAndOpen);
    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown[0].text;
    EXPECT_EQ(Document(), "日期:2026.12.7|号:    ,    ,    |字号:发[2026]3号|结果:见$办理结果$|备注:    |"
                          "意见:一\r\n二|完");
    const std::vector<std::string> log = Log();
    ASSERT_GT(log.size(), 20u);
    std::vector<std::string> opening = {"start word.Application", "Application.Visible=true",
                                        "Documents.Add(" + path + ")"};
    for (const std::string& line : FindSetUp("$收文日期$")) opening.push_back(line);
    opening.insert(opening.end(), {"Find.Execute()", "Selection.TypeText(2026.12.7)", "Find.Execute()"});
    opening.push_back(FindSetUp("$收文号$")[0]);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + static_cast<long>(opening.size())), opening);
    EXPECT_EQ(log.back(), "Selection.homekey(unit=6)");
    EXPECT_EQ(std::count(log.begin(), log.end(), "Find.ClearFormatting()"), 26) << "$办理时限$ too, absent here";
}

// A value holding its own placeholder, in a word processor whose selection
// says nothing of where it is, would otherwise be typed for ever.
TEST_F(AutomationTest, AFillStopsAfterAThousandReplacementsAndTheNextPlaceholderIsFilled)
{
    standIns.Register(L"word.Application");
    desk.Put(L"PositionsReported", false);
    FakeEntryDialog dialog;
    dialog.SetText(EntryField::ebljg, "见$办理结果$");
    dialog.SetText(EntryField::ebz, "附件");
    EXPECT_TRUE(PrintApprovalForm(dialog, Template("form.doc", "结果:$办理结果$|备注:$备注$"), Forms(), prompter));
    const std::vector<std::string> log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Selection.TypeText(见$办理结果$)"), 1000);
    EXPECT_NE(Document().find("|备注:附件"), std::string::npos) << Document().substr(Document().size() - 40);
}

TEST_F(AutomationTest, AMissingTemplateStartsNothing)
{
    standIns.Register(L"word.Application");
    FakeEntryDialog dialog;
    EXPECT_FALSE(PrintApprovalForm(dialog, folder.File("无此模板.doc"), Forms(), prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "指定的呈批表模板不存在，请在系统设置选定正确的路径！");
    EXPECT_EQ(prompter.shown[0].icon, quorva::PromptIcon::Information);
    EXPECT_TRUE(Log().empty());
}

TEST_F(AutomationTest, WithoutAWordProcessorABinaryTemplateIsRefusedNamingTheFormatsThatCanBeFilled)
{
    FakeEntryDialog dialog;
    EXPECT_FALSE(PrintApprovalForm(dialog, Template("form.doc", "\xD0\xCF\x11\xE0"), Forms(), prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, quorva::kUnfillableTemplateMessage);
    EXPECT_EQ(prompter.shown[0].caption, "Marivel");
    EXPECT_FALSE(fs::exists(fs::u8path(Forms())));
}

// Explorer windows that showed the written files, closed again; how many.
int CloseExplorerWindows(int expected)
{
    int closed = 0;
    for (int i = 0; i < 3000 && closed < expected; ++i) {
        const HWND explorer = FindWindowW(L"ExplorerWClass", nullptr);
        if (!explorer) {
            Sleep(10);
            continue;
        }
        PostMessageW(explorer, WM_CLOSE, 0, 0);
        for (int j = 0; j < 200 && IsWindow(explorer); ++j) Sleep(10);
        ++closed;
    }
    return closed;
}

std::string Head(const std::string& path)
{
    char head[2] = {};
    std::ifstream(fs::u8path(path), std::ios::binary).read(head, 2);
    return std::string(head, 2);
}

// No stand-in is registered: the machine has no office suite.
TEST_F(AutomationTest, WithoutAnOfficeSuiteBothCommandsWriteTheirFilesFromTheWindows)
{
    std::vector<std::string> placeholders;
    for (const auto& fill : quorva::ApprovalFormFills(FakeEntryDialog())) placeholders.push_back(fill.placeholder);
    UseTemplate(Template("呈批表模板.docx", SplitPlaceholderDocx(placeholders)));
    AddRecord("20261207", "是", "关于𠀋的通知");
    Start();
    std::thread clerk([&] {
        const HWND dialog = WaitForDialog(L"收文录入");
        if (!dialog) return;
        SetWindowTextW(GetDlgItem(dialog, TForm1::ControlId(EntryField::eswzh)), L"收/12");
        const HWND print = FindWindowExW(dialog, nullptr, L"Button", L"打印呈批表");
        for (int i = 0; i < 2; ++i) SendMessageW(dialog, WM_COMMAND, GetDlgCtrlID(print), reinterpret_cast<LPARAM>(print));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Click(kNewRecord);
    clerk.join();
    const std::string exported = folder.File("列表.xlsx");
    std::thread saver([&] {
        const HWND save = WaitForDialog(L"导出列表");
        const HWND name = GetDlgItem(save, cmb13) ? GetDlgItem(save, cmb13) : GetDlgItem(save, edt1);
        SetWindowTextW(name, Widen(exported).c_str());
        PostMessageW(save, WM_COMMAND, IDOK, 0);
    });
    Click(kExportList);
    saver.join();

    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown[0].text;
    EXPECT_EQ(Head(Forms() + "\\收_12_20261208.docx"), "PK");
    EXPECT_EQ(Head(Forms() + "\\收_12_20261208_2.docx"), "PK");
    EXPECT_EQ(Head(exported), "PK");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 5)
        << "no scratch file is left beside the workbook";
    EXPECT_EQ(CloseExplorerWindows(3), 3) << "no program is registered for .docx or .xlsx: Explorer shows them";
}

TEST_F(AutomationTest, TheTemplatesExtensionAndWhatIsPresentChooseTheApplication)
{
    const struct {
        const char* name;
        std::vector<const wchar_t*> present;
        const char* used;
    } cases[] = {
        {"form.wps", {L"word.Application", L"kwps.Application"}, "start kwps.Application"},
        {"form.Wps", {L"word.Application"}, "start word.Application"},
        {"form.doc", {L"word.Application", L"kwps.Application"}, "start word.Application"},
        {"form.docx", {L"kwps.Application"}, "start kwps.Application"},
        {"list.WPS", {L"Excel.Application", L"Ket.Application"}, "start Ket.Application"},
        {"list.wps", {L"Excel.Application"}, "start Excel.Application"},
        {"list.doc", {L"Excel.Application", L"Ket.Application"}, "start Excel.Application"},
        {"list.doc", {L"Ket.Application"}, "start Ket.Application"},
    };
    for (const auto& c : cases) {
        StandInRegistry present;
        for (const wchar_t* progId : c.present) present.Register(progId);
        desk.Call(L"Reset");
        FakeEntryDialog dialog;
        const std::string path = Template(c.name, "$备注$");
        if (std::string(c.name).rfind("form", 0) == 0) {
            PrintApprovalForm(dialog, path, Forms(), prompter);
        } else {
            ExportList({}, path, nullptr);
        }
        EXPECT_EQ(Starts(Log()), std::vector<std::string>{c.used}) << c.name;
    }
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(AutomationTest, ARunningWordProcessorIsAttachedTo)
{
    standIns.Register(L"word.Application");
    standIns.Register(L"kwps.Application");
    const standins::StandInClass& wps = *standins::ClassOf(L"kwps.Application");
    ComPtr<IUnknown> running;
    ASSERT_EQ(CoCreateInstance(wps.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(running.Receive())),
              S_OK);
    DWORD registration = 0;
    ASSERT_EQ(RegisterActiveObject(running.get(), wps.clsid, ACTIVEOBJECT_STRONG, &registration), S_OK);
    desk.Call(L"Reset");
    FakeEntryDialog dialog;
    dialog.SetText(EntryField::ebz, "附件两份");
    EXPECT_TRUE(PrintApprovalForm(dialog, Template("form.wps", "备注:$备注$"), Forms(), prompter));
    RevokeActiveObject(registration, nullptr);
    EXPECT_TRUE(Starts(Log()).empty()) << "the running one is used, none is started";
    EXPECT_EQ(Document(), "备注:附件两份");
}

TEST_F(AutomationTest, AnApplicationsOwnErrorTextBecomesTheExceptionsMessage)
{
    try {
        desk.Value(L"Cell");
        FAIL() << "no error";
    } catch (const EOleException& e) {
        EXPECT_STREQ(e.what(), "argument missing for Cell");
        EXPECT_EQ(e.code(), DISP_E_EXCEPTION);
    }
}

TEST_F(AutomationTest, ExportWritesTheListAsShownIntoTheSheet)
{
    AddRecord("20261201", "否", "第一份");
    AddRecord("20261202", "是", "第二份");
    AddRecord("20261203", "是", "");
    standIns.Register(L"Excel.Application");
    Start();
    Click(kSubmitted);  // the list now shows the second and third records
    ASSERT_EQ(RowCount(), 2);
    Click(kExportList);

    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown[0].text;
    std::vector<std::string> expected = {
        "start Excel.Application",        "Application.Visible=true",
        "Workbooks.Add()",                "Cells(1,1).Value=Marivel记录列表",
        "Cells(1,1).HorizontalAlignment=3", "Cells(1,1).VerticalAlignment=2",
        "Cells(1,1).Font.size=18",        "Range(1,1:1,27).Merge()",
        "Rows(3).Font.Bold=true"};
    const char* const headers[] = {"序号",     "收文日期", "收文编号", "来文单位", "文种",     "来文字号", "密级",
                                   "缓急",     "文件标题", "拟办意见", "请办意见", "批办意见", "办文编号", "已呈批",
                                   "经办人",   "发文日期", "主送单位", "条码编号", "条码制作单位", "制作日期",
                                   "发布层次", "已办结",   "存档号",   "录入人",   "办理结果", "备注",     "办理时限"};
    for (int k = 0; k < quorva::kSheetColumnCount; ++k) {
        expected.push_back("Cells(3," + std::to_string(k + 1) + ").Value=" + headers[k]);
    }
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < quorva::kSheetColumnCount; ++k) {
            expected.push_back("Cells(" + std::to_string(i + 4) + "," + std::to_string(k + 1) + ").Value=" +
                               (k == 0 ? std::to_string(i + 1) : Cell(i, k < 26 ? k : 27)));  // past the ID
        }
    }
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(SheetCell(4, 1), "1");
    EXPECT_EQ(SheetCell(4, 2), "20261202");
    EXPECT_EQ(SheetCell(5, 9), "");
    EXPECT_EQ(desk.Value(L"UsedColumns").AsLong(), 27);
    EXPECT_EQ(desk.Value(L"UsedRows").AsLong(), 5);
}

TEST_F(AutomationTest, AnEmptyListExportsTitleAndHeadersOnly)
{
    standIns.Register(L"Ket.Application");
    Start();
    ASSERT_EQ(RowCount(), 0);
    Click(kExportList);
    EXPECT_EQ(SheetCell(1, 1), "Marivel记录列表");
    EXPECT_EQ(SheetCell(3, 26), "备注");
    EXPECT_EQ(desk.Value(L"UsedRows").AsLong(), 3);
}

TEST_F(AutomationTest, AStatisticsTableGoesTheSameRoadInTheSameLayoutOverItsOwnColumns)
{
    standIns.Register(L"Ket.Application");
    ExportTable({"收文统计", {"文种", "件数", "占比"}, {{"通知", "2", "100.0%"}, {"合计", "2", "100.0%"}}}, "form.wps",
                nullptr, "导出表格", "收文统计_");
    const std::vector<std::string> log = Log();
    EXPECT_NE(std::find(log.begin(), log.end(), "Range(1,1:1,3).Merge()"), log.end());
    EXPECT_EQ(SheetCell(1, 1), "收文统计");
    EXPECT_EQ(SheetCell(3, 2), "件数");
    EXPECT_EQ(SheetCell(5, 1), "合计");
    EXPECT_EQ(desk.Value(L"UsedColumns").AsLong(), 3);
    EXPECT_EQ(desk.Value(L"UsedRows").AsLong(), 5);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "register/win32/platform/win32_prompter.h"
#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form;
using main_form_test::ClickOn;
using main_form_test::MainFormTest;
using quorva::EntryField;

// Plays the clerk from a second thread while the dialog runs its modal loop
// on the test's thread.
class Clerk {
public:
    explicit Clerk(std::function<void()> script) : thread_([script] { script(); }) {}
    ~Clerk() { thread_.join(); }

private:
    std::thread thread_;
};

HWND WaitForWindow(const std::string& caption, HWND notThis = nullptr)
{
    const std::wstring wide = Widen(caption);
    for (int i = 0; i < 500; ++i) {
        const HWND found = FindWindowW(L"#32770", wide.c_str());
        if (found && found != notThis && IsWindowVisible(found)) return found;
        Sleep(10);
    }
    return nullptr;
}

HWND FieldOf(HWND dialog, EntryField field) { return GetDlgItem(dialog, TForm1::ControlId(field)); }

// What a scanner sends: characters as typed text, Tab and Enter as keys.
void Scan(const std::wstring& text)
{
    std::vector<INPUT> inputs;
    const auto key = [&](WORD vk) {
        INPUT down{INPUT_KEYBOARD};
        down.ki.wVk = vk;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(down);
        inputs.push_back(up);
    };
    for (wchar_t c : text) {
        if (c == L'\t') {
            key(VK_TAB);
        } else if (c == L'\n') {
            key(VK_RETURN);
        } else {
            INPUT down{INPUT_KEYBOARD};
            down.ki.wScan = c;
            down.ki.dwFlags = KEYEVENTF_UNICODE;
            INPUT up = down;
            up.ki.dwFlags |= KEYEVENTF_KEYUP;
            inputs.push_back(down);
            inputs.push_back(up);
        }
    }
    // One keystroke at a time, as a scanner emulating a keyboard does.
    for (std::size_t i = 0; i < inputs.size(); i += 2) {
        SendInput(2, &inputs[i], sizeof(INPUT));
        Sleep(2);
    }
}

void WaitUntilGone(HWND window)
{
    for (int i = 0; i < 500 && IsWindow(window); ++i) Sleep(10);
}

void SetStoredField(quorva::StoreConnection& store, const char* column, const char* value)
{
    store.Execute(SqlStatement{std::string("update Quorva set ") + column + "=?", {std::string(value)}});
}

BOOL CALLBACK CollectEditBox(HWND child, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Edit") == 0) reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
    return TRUE;
}

// Fills the three required fields.
void TypeRequired(HWND dialog, const wchar_t* number)
{
    SetWindowTextW(FieldOf(dialog, EntryField::elwdw), L"市政府");
    SetWindowTextW(FieldOf(dialog, EntryField::ewh), number);
    SetWindowTextW(FieldOf(dialog, EntryField::ewjbt), L"第二份");
}

// The program's real message boxes, counting how many are up at once.
class WatchedBoxes final : public quorva::Prompter {
public:
    quorva::PromptAnswer Show(const std::string& text, const std::string& caption, quorva::PromptIcon icon,
                              quorva::PromptButtons buttons) override
    {
        mostOpen = std::max(mostOpen, ++open);
        const quorva::PromptAnswer answer = boxes.Show(text, caption, icon, buttons);
        --open;
        return answer;
    }

    Win32Prompter boxes;
    int open = 0;
    int mostOpen = 0;
};

TEST_F(MainFormTest, AScannersKeystrokesRegisterACompleteRecord)
{
    Win32FileSystem().CreateFolders(SettingsFolder());
    WritePrivateProfileStringW(L"Option", L"SHao", L"SW2026-015", Widen(Ini()).c_str());
    Start();
    std::atomic<bool> typed{false};
    {
        Clerk clerk([&] {
            const HWND dialog = WaitForWindow("收文录入");
            if (!dialog) return;
            SetForegroundWindow(dialog);
            Sleep(100);
            Scan(L"秘密\t5年\t市政府办公厅\t京政办发[2026]8号\t通报\t特急\t关于𠀋䶮的通知\t拟办一\n拟办二\t\t\t"
                 L"\t各区人民政府\t1100001234\t市委办公厅\t20261201\t县团级\n");
            typed = true;
            WaitUntilGone(dialog);
        });
        Click(kNewRecord);
    }
    ASSERT_TRUE(typed);
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Stored("lwdw", 1), "市政府办公厅");
    EXPECT_EQ(Stored("wh", 1), "京政办发〔2026〕8号");
    EXPECT_EQ(Stored("wz", 1), "通报");
    EXPECT_EQ(Stored("jjcd", 1), "特急");
    EXPECT_EQ(Stored("mmdj", 1), "秘密5年");
    EXPECT_EQ(Stored("wjbt", 1), "关于𠀋䶮的通知");
    EXPECT_EQ(Stored("ybyj", 1), "拟办一\r\n拟办二");
    EXPECT_EQ(Stored("zsdw", 1), "各区人民政府");
    EXPECT_EQ(Stored("tmbh", 1), "1100001234");
    EXPECT_EQ(Stored("tmzzdw", 1), "市委办公厅");
    EXPECT_EQ(Stored("zzrq", 1), "20261201");
    EXPECT_EQ(Stored("fbcq", 1), "县团级");
    EXPECT_EQ(Stored("swzh", 1), "SW2026-016");
    EXPECT_EQ(Stored("swrq", 1), "20261208");
    EXPECT_EQ(Stored("fwrq", 1), "20261208");
    EXPECT_EQ(Counter("SHao"), "SW2026-016");
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(Cell(0, 8), "关于𠀋䶮的通知");
}

TEST_F(MainFormTest, AnEmptyRequiredFieldKeepsTheDialogOpen)
{
    Start();
    {
        Clerk clerk([&] {
            const HWND dialog = WaitForWindow("收文录入");
            if (!dialog) return;
            SetWindowTextW(FieldOf(dialog, EntryField::elwdw), L"市政府");
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            WaitUntilGone(dialog);
        });
        Click(kNewRecord);
    }
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "注意：来文字号不能为空！");
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Counter("SHao"), "<missing>") << "a cancelled dialog writes no counter";
}

TEST_F(MainFormTest, ADuplicateQuestionKeepsTheDialogBehindItFromTakingClicks)
{
    AddRecord("20261201", "否", "第一份");
    SetStoredField(*Store(), "wh", "京政发1号");
    WatchedBoxes boxes;
    Start(boxes);
    boxes.boxes.SetOwner(form->hwnd());
    bool dialogDisabled = false, dialogStayed = false;
    {
        Clerk clerk([&] {
            const HWND dialog = WaitForWindow("收文录入");
            if (!dialog) return;
            TypeRequired(dialog, L"京政发1号");
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            if (const HWND box = WaitForWindow(quorva::kDuplicateCaption, dialog)) {
                dialogDisabled = !IsWindowEnabled(dialog);
                ClickOn(GetDlgItem(dialog, IDOK));
                ClickOn(GetDlgItem(dialog, IDCANCEL));
                Sleep(300);
                dialogStayed = IsWindowVisible(dialog) && IsWindow(box);
            }
            // Answer 否 to every question, however many a fault let in.
            for (int i = 0; i < 5; ++i) {
                if (const HWND box = WaitForWindow(quorva::kDuplicateCaption, dialog)) {
                    PostMessageW(box, WM_COMMAND, IDNO, 0);
                    WaitUntilGone(box);
                }
                if (!FindWindowW(L"#32770", Widen(quorva::kDuplicateCaption).c_str())) break;
            }
            if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            WaitUntilGone(dialog);
        });
        Click(kNewRecord);
    }
    EXPECT_TRUE(dialogDisabled) << "the box is owned by the dialog";
    EXPECT_TRUE(dialogStayed) << "取消 behind the box was not taken";
    EXPECT_EQ(boxes.mostOpen, 1) << "a second 确定 started no second check";
    EXPECT_EQ(RowCount(), 1);
}

TEST_F(MainFormTest, ARefusedReceiptNumberIsTheOnlyFieldPaintedRed)
{
    AddRecord("20261201", "否", "第一份");
    SetStoredField(*Store(), "swzh", "SW-7");
    prompter.answers = {quorva::PromptAnswer::No};
    Start();
    std::vector<HWND> red;
    HWND receiptNumber = nullptr;
    {
        Clerk clerk([&] {
            const HWND dialog = WaitForWindow("收文录入");
            if (!dialog) return;
            TypeRequired(dialog, L"新号");
            receiptNumber = FieldOf(dialog, EntryField::eswzh);
            SetWindowTextW(receiptNumber, L"SW-7");
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            // Every edit box, the drop-downs' own edit parts too, asks the
            // dialog for its colours.
            std::vector<HWND> edits;
            EnumChildWindows(dialog, CollectEditBox, reinterpret_cast<LPARAM>(&edits));
            const HDC dc = CreateCompatibleDC(nullptr);
            for (HWND edit : edits) {
                SetBkColor(dc, RGB(255, 255, 255));
                SendMessageW(dialog, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
                if (GetBkColor(dc) == RGB(255, 0, 0)) red.push_back(edit);
            }
            DeleteDC(dc);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            WaitUntilGone(dialog);
        });
        Click(kNewRecord);
    }
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].caption, quorva::kDuplicateCaption);
    EXPECT_EQ(red, std::vector<HWND>{receiptNumber});
}

TEST_F(MainFormTest, AnEditThroughTheDialogUpdatesExactlyOneRow)
{
    AddRecord("20261201", "否", "第一份");
    AddRecord("2026-12-02", "否", "第二份");
    AddRecord("20261203", "否", "第三份");
    Sql("update Quorva set fwrq='20261130', mmdj='绝密长期'");
    Sql("update Quorva set fwrq='2026年春' where id=2");
    Start();
    ListView_SetItemState(form->Control(kList), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    std::string level, period, received;
    {
        Clerk clerk([&] {
            const HWND dialog = WaitForWindow("编辑记录");
            if (!dialog) return;
            wchar_t text[64] = {};
            GetWindowTextW(FieldOf(dialog, EntryField::emmdj1), text, 64);
            level = Narrow(text);
            GetWindowTextW(FieldOf(dialog, EntryField::emmdj2), text, 64);
            period = Narrow(text);
            SYSTEMTIME date{};
            SendMessageW(FieldOf(dialog, EntryField::eswrq), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
            received = std::to_string(date.wYear * 10000 + date.wMonth * 100 + date.wDay);
            SetWindowTextW(FieldOf(dialog, EntryField::ewjbt), L"第二份（改）");
            SetWindowTextW(FieldOf(dialog, EntryField::ewh), L"新[2026]2号");
            SetWindowTextW(FieldOf(dialog, EntryField::elwdw), L"市政府");
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            WaitUntilGone(dialog);
        });
        Click(kEditRecord);
    }
    EXPECT_EQ(level, "绝密");
    EXPECT_EQ(period, "长期");
    EXPECT_EQ(received, "20261202");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "修改将覆盖原有记录，您确认要修改选定的记录吗？");
    EXPECT_EQ(Stored("wjbt", 2), "第二份（改）");
    EXPECT_EQ(Stored("wh", 2), "新〔2026〕2号");
    EXPECT_EQ(Stored("swrq", 2), "20261202");
    EXPECT_EQ(Stored("mmdj", 2), "绝密长期");
    EXPECT_EQ(Stored("fwrq", 2), "2026年春") << "an issue date the picker cannot show is kept";
    EXPECT_EQ(Stored("wjbt", 1), "第一份");
    EXPECT_EQ(Stored("wjbt", 3), "第三份");
    EXPECT_EQ(Cell(1, 8), "第二份（改）");
    EXPECT_EQ(Cell(1, 1), "20261202");
    EXPECT_EQ(Cell(1, 0), "2");
}

TEST_F(MainFormTest, ThePickListEditorRoundTrip)
{
    Start();
    {
        std::ofstream names(std::filesystem::u8path(Ini() + ".xm"), std::ios::binary);
        names << "\xD5\xC5\xC8\xFD\r\n";  // 张三 in code page 936
    }
    int itemsBefore = -1, itemsAfter = -1;
    std::string kept;
    {
        Clerk clerk([&] {
            const HWND dialog = WaitForWindow("收文录入");
            if (!dialog) return;
            const HWND lrr = FieldOf(dialog, EntryField::elrr);
            itemsBefore = static_cast<int>(SendMessageW(lrr, CB_GETCOUNT, 0, 0));
            SetWindowTextW(lrr, L"手写的名字");
            PostMessageW(GetDlgItem(dialog, 3002), BM_CLICK, 0, 0);
            const HWND editor = WaitForWindow("常用输入姓名设置");
            if (editor) {
                SetWindowTextW(GetDlgItem(editor, PickListForm::kBodyId), L"王五\r\n𠀋䶮\r\n");
                PostMessageW(editor, WM_COMMAND, IDOK, 0);
                WaitUntilGone(editor);
            }
            Sleep(50);
            itemsAfter = static_cast<int>(SendMessageW(lrr, CB_GETCOUNT, 0, 0));
            wchar_t text[64] = {};
            GetWindowTextW(lrr, text, 64);
            kept = Narrow(text);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            WaitUntilGone(dialog);
        });
        Click(kNewRecord);
    }
    EXPECT_EQ(itemsBefore, 1);
    EXPECT_EQ(itemsAfter, 2);
    EXPECT_EQ(kept, "手写的名字");
    std::ifstream file(std::filesystem::u8path(Ini() + ".xm"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, std::string("\xCD\xF5\xCE\xE5\r\n") + "\x95\x32\x83\x37\xFE\x9F\r\n");
}

}  // namespace

namespace {

// A row's text colour, asked of the window as the list asks while drawing.
COLORREF DrawnColour(TmainForm& main, int row)
{
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = NMHDR{main.Control(kList), static_cast<UINT_PTR>(kList), static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.clrText = CLR_DEFAULT;
    SendMessageW(main.hwnd(), WM_NOTIFY, kList, reinterpret_cast<LPARAM>(&draw));
    return draw.clrText;
}

TEST_F(MainFormTest, OverdueRowsAreRedCountedAndFilteredAndNumbersRestartInANewYear)
{
    const auto add = [&](const char* swrq, const char* jjcd, const char* ybj, const char* title) {
        quorva::RecordFields fields{};
        for (auto [column, value] : {std::pair{quorva::Column::swrq, swrq}, {quorva::Column::jjcd, jjcd},
                                     {quorva::Column::ybj, ybj}, {quorva::Column::wjbt, title}}) {
            fields[static_cast<int>(column)] = value;
        }
        Store()->Execute(quorva::InsertRecordStatement(fields));
    };
    add("20261201", "特急", "", "超期");
    add("20261207", "特提", "否", "将到期");
    add("20261201", "特急", "是", "已办结");
    Win32FileSystem().CreateFolders(SettingsFolder());
    for (auto [key, value] : {std::pair{L"SHao", L"SW-2026-0041"}, {L"HaoNian", L"2026"}, {L"HaoMeiNian", L"1"}}) {
        WritePrivateProfileStringW(L"Option", key, value, Widen(Ini()).c_str());
    }
    TmainForm& main = Start();
    const auto overdueText = [&] {
        wchar_t text[64] = {};
        SendMessageW(main.Control(kStatusBar), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
        return Narrow(text);
    };
    EXPECT_EQ(overdueText(), "超期未办结 1 件");
    EXPECT_EQ(DrawnColour(main, 0), RGB(220, 0, 0));
    EXPECT_EQ(DrawnColour(main, 1), RGB(230, 120, 0));
    EXPECT_EQ(DrawnColour(main, 2), CLR_DEFAULT);
    Click(kOverdueOnly);
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Cell(0, 8), "超期");
    EXPECT_EQ(Cell(0, 27), "20261204");

    today = quorva::CivilDate{2027, 1, 2};  // left running over New Year
    std::string proposed;
    bool deadlineLast = false;
    bool unset = false;
    {
        Clerk clerk([&] {
            const HWND dialog = WaitForWindow("收文录入");
            if (!dialog) return;
            proposed = Narrow(main_form_test::Text(FieldOf(dialog, EntryField::eswzh)));
            const HWND deadline = FieldOf(dialog, EntryField::eblsx);
            // Only 修改记录, hidden for a new record, comes after it.
            const HWND next = GetWindow(deadline, GW_HWNDNEXT);
            deadlineLast = next == FindWindowExW(dialog, nullptr, L"Button", L"修改记录") &&
                           GetWindow(next, GW_HWNDNEXT) == nullptr;
            SYSTEMTIME due{};
            unset = SendMessageW(deadline, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&due)) == GDT_NONE;
            due = SYSTEMTIME{2026, 12, 0, 31};
            SendMessageW(deadline, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&due));
            TypeRequired(dialog, L"新年第一份");
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            WaitUntilGone(dialog);
        });
        Click(kNewRecord);
    }
    EXPECT_EQ(proposed, "SW-2027-0001");
    EXPECT_TRUE(deadlineLast) << "after every other control in the tab order";
    EXPECT_TRUE(unset) << "a new record has no deadline of its own until the clerk sets one";
    EXPECT_EQ(Counter("HaoNian"), "2027");
    ASSERT_EQ(RowCount(), 3) << "the new record is overdue by its own deadline";
    EXPECT_EQ(Cell(2, 27), "20261231");
    EXPECT_EQ(overdueText(), "超期未办结 3 件");
}

}  // namespace

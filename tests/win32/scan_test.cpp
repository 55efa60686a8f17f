#include <gtest/gtest.h>

#include <thread>

#include "register/core/search/search_form.h"
#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form;
using main_form_test::MainFormTest;
using main_form_test::Pump;
using quorva::EntryField;

constexpr DWORD kScannerPaceMs = 1;
constexpr DWORD kTypingPaceMs = 150;

std::wstring Barcode(const wchar_t* number, const wchar_t* title)
{
    return std::wstring(L"GB0626-2005^1100001234^市政府办公厅^通知^") + number + L"^各区人民政府^" + title +
           L"^秘密5年^特急^2026年12月1日^县团级^市委办公厅^2026.12.2^^\n";
}

// Keystrokes as a keyboard sends them, one every `paceMs`: characters as
// typed text (a surrogate pair as two keystrokes), a line end as Enter.
void Type(const std::wstring& text, DWORD paceMs)
{
    for (wchar_t c : text) {
        INPUT keys[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
        if (c == L'\n') {
            keys[0].ki.wVk = VK_RETURN;
        } else {
            keys[0].ki.wScan = c;
            keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
        }
        keys[1] = keys[0];
        keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
        Sleep(paceMs);
    }
}

HWND WaitForDialog(const char* caption)
{
    for (int i = 0; i < 500; ++i) {
        const HWND found = FindWindowW(L"#32770", Widen(caption).c_str());
        if (found && IsWindowVisible(found)) return found;
        Sleep(10);
    }
    return nullptr;
}

std::string FieldText(HWND dialog, EntryField field)
{
    return Narrow(main_form_test::Text(GetDlgItem(dialog, TForm1::ControlId(field))));
}

// Runs `clerk` on a second thread while the entry dialog's modal loop runs
// on this one; it leaves the dialog with `close` when it is still open.
void WithEntryDialog(TmainForm& form, const std::function<void(HWND)>& clerk, WPARAM close = IDCANCEL)
{
    std::thread thread([&] {
        const HWND dialog = WaitForDialog(quorva::kNewRecordCaption);
        if (!dialog) return;
        SetForegroundWindow(dialog);
        Sleep(100);
        clerk(dialog);
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, close, 0);
    });
    SendMessageW(form.Control(kNewRecord), BM_CLICK, 0, 0);
    thread.join();
}

std::string StatusText(TmainForm& form)
{
    wchar_t text[512] = {};
    SendMessageW(form.Control(kStatusBar), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

class ScanTest : public MainFormTest {
protected:
    void Setting(const wchar_t* key, const wchar_t* value)
    {
        Win32FileSystem().CreateFolders(SettingsFolder());
        WritePrivateProfileStringW(L"Option", key, value, Widen(Ini()).c_str());
    }

    // Over the main window, as the clerk's scanner does.
    void ScanIntoMainWindow(const std::wstring& text)
    {
        SetForegroundWindow(form->hwnd());
        SetFocus(form->Control(kList));
        Pump(50);
        Type(text, kScannerPaceMs);
        Pump(300);
    }
};

TEST_F(ScanTest, ARawScanIntoTheDialogIsSpreadOverItsFieldsAndStoredOnConfirm)
{
    Setting(L"SHao", L"SW2026-015");
    TmainForm& main = Start();
    bool stillOpen = false;
    std::string level, period, issued, note;
    WithEntryDialog(main, [&](HWND dialog) {
        Type(Barcode(L"京政办发[2026]8号", L"关于𠀋䶮的通知"), kScannerPaceMs);
        Sleep(300);
        stillOpen = IsWindowVisible(dialog);
        level = FieldText(dialog, EntryField::emmdj1);
        period = FieldText(dialog, EntryField::emmdj2);
        SYSTEMTIME date{};
        SendMessageW(GetDlgItem(dialog, TForm1::ControlId(EntryField::efwrq)), DTM_GETSYSTEMTIME, 0,
                     reinterpret_cast<LPARAM>(&date));
        issued = std::to_string(date.wYear * 10000 + date.wMonth * 100 + date.wDay);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(stillOpen) << "the scan's Enter does not press 确定";
    EXPECT_EQ(level, "秘密") << "the raw text landed here and was taken back out";
    EXPECT_EQ(period, "5年");
    EXPECT_EQ(issued, "20261201");
    EXPECT_TRUE(prompter.shown.empty());
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Stored("lwdw", 1), "市政府办公厅");
    EXPECT_EQ(Stored("wh", 1), "京政办发〔2026〕8号");
    EXPECT_EQ(Stored("wjbt", 1), "关于𠀋䶮的通知");
    EXPECT_EQ(Stored("mmdj", 1), "秘密5年");
    EXPECT_EQ(Stored("tmbh", 1), "1100001234");
    EXPECT_EQ(Stored("zzrq", 1), "20261202");
    EXPECT_EQ(Stored("swzh", 1), "SW2026-016");
}

TEST_F(ScanTest, TheSameTextTypedAtAPersonsPaceStaysInItsFieldAndEnterConfirms)
{
    TmainForm& main = Start();
    std::string typed;
    WithEntryDialog(main, [&](HWND dialog) {
        Type(L"GB0626-2005^1^^通知^号^^标题^\n", kTypingPaceMs);
        Sleep(300);
        typed = FieldText(dialog, EntryField::emmdj1);
    });
    EXPECT_EQ(typed, "GB0626-2005^1^^通知^号^^标题^");
    ASSERT_EQ(prompter.shown.size(), 1u) << "Enter pressed 确定";
    EXPECT_EQ(prompter.shown[0].text, "注意：来文单位不能为空！");
}

TEST_F(ScanTest, SilentScansRegisterARecordEachAndARepeatIsRefused)
{
    Setting(L"PLinput", L"1");
    Setting(L"SHao", L"SW-1");
    Setting(L"BHao", L"BW-9");
    Start();
    for (const wchar_t* number : {L"京发[2026]1号", L"京发[2026]2号", L"京发[2026]3号"}) {
        ScanIntoMainWindow(Barcode(number, L"𠀋䶮文件"));
    }
    ASSERT_EQ(RowCount(), 3);
    EXPECT_EQ(Stored("swzh", 3), "SW-4");
    EXPECT_EQ(Stored("bwh", 3), "BW-12");
    EXPECT_EQ(Stored("wh", 3), "京发〔2026〕3号");
    EXPECT_EQ(Stored("swrq", 3), "20261208");
    EXPECT_EQ(Stored("fwrq", 3), "20261201");
    EXPECT_EQ(Stored("wjbt", 3), "𠀋䶮文件");
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(StatusText(*form), "已静默录入：收文号“SW-4”，来文号“京发〔2026〕3号”，《𠀋䶮文件》");

    ScanIntoMainWindow(Barcode(L"京发[2026]2号", L"𠀋䶮文件"));
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(IniValue("SHao"), "SW-4");
    EXPECT_EQ(StatusText(*form), "来文号“京发〔2026〕2号”已存在于数据库（ID 2，收文号“SW-3”，《𠀋䶮文件》），本次扫描未录入");
    EXPECT_TRUE(prompter.shown.empty()) << "no box interrupts a run of scans";
}

TEST_F(ScanTest, AScanInQueryModeListsTheMatchingRecord)
{
    AddRecord("20261201", "否", "第一份");
    AddRecord("20261202", "否", "第二份");
    Sql("update Quorva set wh='京发〔2026〕' || ID || '号'");
    Start();
    Click(kQueryMode);
    ScanIntoMainWindow(Barcode(L"京发[2026]2号", L"第二份"));
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Cell(0, 8), "第二份");
    EXPECT_TRUE(Checked(kQueryMode));

    ScanIntoMainWindow(Barcode(L"京发[2026]9号", L"无此文"));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, quorva::kNothingFoundText);
    EXPECT_EQ(RowCount(), 1);
}

}  // namespace

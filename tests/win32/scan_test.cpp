#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>
#include <thread>

#include "register/core/search/search_form.h"
#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form;
using main_form_test::MainFormTest;
using main_form_test::Pump;
using quorva::EntryField;

constexpr DWORD kScannerPaceMs = 1;
// Slower than any scanner's pace between key events.
constexpr DWORD kTypingPaceMs = 300;

std::wstring Barcode(const wchar_t* number, const wchar_t* title)
{
    return std::wstring(L"GB0626-2005^1100001234^市政府办公厅^通知^") + number + L"^各区人民政府^" + title +
           L"^秘密5年^特急^2026年12月1日^县团级^市委办公厅^2026.12.2^^";
}

// A keyboard-wedge scanner as clerks own them: it types through SendInput in
// one of its output modes, one key event every `gapMs`.
enum class ScannerMode { Unicode, KeysAndAltCodes, CapsLockKeys };
enum class ScanSuffix { Cr, CrLf, Tab, None };

void SendKey(WORD vk, wchar_t unit, DWORD flags, DWORD gapMs)
{
    INPUT input{INPUT_KEYBOARD};
    input.ki = KEYBDINPUT{vk, unit, flags | (vk ? 0 : KEYEVENTF_UNICODE), 0, 0};
    SendInput(1, &input, sizeof input);
    Sleep(gapMs);
}

void Press(WORD vk, DWORD gapMs, WORD held = 0, wchar_t unit = 0)
{
    if (held) SendKey(held, 0, 0, gapMs);
    SendKey(vk, unit, 0, gapMs);
    SendKey(vk, unit, KEYEVENTF_KEYUP, gapMs);
    if (held) SendKey(held, 0, KEYEVENTF_KEYUP, gapMs);
}

void SendScan(const std::wstring& text, ScannerMode mode, ScanSuffix suffix, DWORD gapMs)
{
    const bool capsLock = mode == ScannerMode::CapsLockKeys;
    if (capsLock) Press(VK_CAPITAL, gapMs);
    for (wchar_t c : text) {
        const SHORT key = VkKeyScanW(c);
        unsigned char gbk[2] = {};
        if (mode == ScannerMode::Unicode) {
            Press(0, gapMs, 0, c);
        } else if (c < 0x80) {
            Press(LOBYTE(key), gapMs, (HIBYTE(key) & 1) != (capsLock && IsCharAlphaW(c)) ? VK_SHIFT : 0);
        } else if (WideCharToMultiByte(936, 0, &c, 1, reinterpret_cast<char*>(gbk), 2, nullptr, nullptr) == 2) {
            // Alt held, the character's code page 936 code on the keypad, Alt released.
            SendKey(VK_MENU, 0, 0, gapMs);
            for (char digit : std::to_string(gbk[0] << 8 | gbk[1])) Press(VK_NUMPAD0 + digit - '0', gapMs);
            SendKey(VK_MENU, 0, KEYEVENTF_KEYUP, gapMs);
        }
    }
    if (suffix == ScanSuffix::Cr || suffix == ScanSuffix::CrLf) Press(VK_RETURN, gapMs);
    if (suffix == ScanSuffix::Tab) Press(VK_TAB, gapMs);
    if (suffix == ScanSuffix::CrLf && mode == ScannerMode::Unicode) Press(0, gapMs, 0, L'\n');
    if (suffix == ScanSuffix::CrLf && mode != ScannerMode::Unicode) Press('J', gapMs, VK_CONTROL);
    if (capsLock) Press(VK_CAPITAL, gapMs);
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
        // Under load the activation may land after the first keys and lose a held Shift.
        Sleep(400);
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

    // Over the main window, as the clerk's scanner does. A space or Tab that
    // reached the focused 查询模式 would untick or leave it.
    void ScanIntoMainWindow(const std::wstring& text, ScannerMode mode = ScannerMode::Unicode,
                            ScanSuffix suffix = ScanSuffix::Cr, DWORD gapMs = kScannerPaceMs)
    {
        SetForegroundWindow(form->hwnd());
        SetFocus(form->Control(kQueryMode));
        Pump(50);
        SendScan(text, mode, suffix, gapMs);
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
        SendScan(Barcode(L"京政办发[2026]8号", L"关于𠀋䶮的通知"), ScannerMode::Unicode, ScanSuffix::Cr, kScannerPaceMs);
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
        SendScan(L"GB0626-2005^1^^通知^号^^标题^", ScannerMode::Unicode, ScanSuffix::Cr, kTypingPaceMs);
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
    EXPECT_EQ(Counter("SHao"), "SW-4");
    EXPECT_EQ(StatusText(*form), "来文号“京发〔2026〕2号”已存在于数据库（ID 2，收文号“SW-3”，《𠀋䶮文件》），本次扫描未录入，已记入 " +
                                     SideFolder() + "\\未录入扫描.txt");
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
    EXPECT_TRUE(prompter.shown.empty()) << "no box interrupts a run of scans";
    EXPECT_EQ(StatusText(*form), "未查询到来文号“京发〔2026〕9号”的记录");
    EXPECT_EQ(RowCount(), 1);
}

TEST_F(ScanTest, AltCodesThePlatformLeavesUntypedAreComposedIntoTheFocusedField)
{
    TmainForm& main = Start();
    std::string typed;
    WithEntryDialog(main, [&](HWND dialog) {
        SendScan(L"AB国务院x", ScannerMode::KeysAndAltCodes, ScanSuffix::None, 50);
        Sleep(500);
        typed = FieldText(dialog, EntryField::emmdj1);
    });
    EXPECT_EQ(typed, "AB国务院x");
}

TEST_F(ScanTest, ARunOfSilentScansLosesNoneAndShowsNoBox)
{
    Setting(L"PLinput", L"1");
    Setting(L"SHao", L"SW-1");
    Start();
    for (int n = 1; n <= 20; ++n) {
        const std::wstring number = n == 10 ? L"京发［２０２６］1号 " : L"京发[2026]" + std::to_wstring(n == 5 ? 99 : n) + L"号";
        // A query that finds nothing, a duplicate, and the database file
        // held open for reading only by another program, so it opens
        // read-only.
        if (n == 5) Click(kQueryMode);
        const HANDLE held = n == 15 && !TestsOnServer() ? CreateFileW(Widen(DatabasePath()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                                    : INVALID_HANDLE_VALUE;
        ScanIntoMainWindow(Barcode(number.c_str(), L"文件"));
        if (n == 5) {
            EXPECT_EQ(StatusText(*form), "未查询到来文号“京发〔2026〕99号”的记录");
            Click(kQueryMode);
        }
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    }
    EXPECT_TRUE(prompter.shown.empty());
    const int held = TestsOnServer() ? 0 : 1;
    EXPECT_EQ(RowCount(), 18 - held);
    std::ifstream file(std::filesystem::u8path(SideFolder() + "\\未录入扫描.txt"));
    const std::string kept((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 1 + held) << kept;
    EXPECT_NE(kept.find("\t来文号“京发［２０２６］1号 ”已存在于数据库"), std::string::npos) << kept;
    if (held) {
        EXPECT_NE(kept.find("\tGB0626-2005^1100001234^市政府办公厅^通知^京发[2026]15号^"), std::string::npos) << kept;
    }
}

// The matrix of scanner modes, paces and endings over both windows: at 1 ms
// every mode with every ending; at the slower paces a covering set, so that
// each window meets every mode, pace and ending and the two windows together
// every mode at every pace. A scan is written as its mode, Unicode, Keys with
// Alt codes or CapsLock keys, and its ending, CR, cr Lf, Tab or None. The
// dialog takes a row's scans one after another, as it takes them from a
// clerk who scans again.
using MatrixRow = std::tuple<bool, DWORD, const char*>;  // the dialog or not, the pace, the scans
class ScanMatrixTest : public ScanTest, public ::testing::WithParamInterface<MatrixRow> {};

TEST_P(ScanMatrixTest, EachScanIsTakenWholeAndNoKeyOfItActsOnTheWindow)
{
    const DWORD gapMs = std::get<1>(GetParam());
    Setting(L"PLinput", L"1");
    Setting(L"SHao", L"SW-1");
    TmainForm& main = Start();
    // Each scan's 来文号 and title as the window took them, and whether the
    // window is otherwise as it was.
    std::vector<std::string> seen, expected;
    const auto scanAll = [&](const std::function<std::string(const std::wstring&, ScannerMode, ScanSuffix, int)>& scan) {
        std::istringstream scans(std::get<2>(GetParam()));
        std::string code;
        for (int n = 1; scans >> code; ++n) {
            const std::wstring barcode = L"GB0626-2005^A^局^^X[26]" + std::to_wstring(n) + L"^^关 x^^^20261201^^^^";
            seen.push_back(code + " " + scan(barcode, static_cast<ScannerMode>(std::string("UKC").find(code[0])),
                                             static_cast<ScanSuffix>(std::string("CLTN").find(code[1])), n));
            expected.push_back(code + " X〔26〕" + std::to_string(n) + "|关 x|1");
        }
    };
    if (std::get<0>(GetParam())) {
        WithEntryDialog(main, [&](HWND entry) {
            const HWND memo = GetDlgItem(entry, TForm1::ControlId(EntryField::eybyj));
            scanAll([&](const std::wstring& barcode, ScannerMode mode, ScanSuffix suffix, int n) {
                SendScan(barcode, mode, suffix, gapMs);
                for (int i = 0; i < 100 && FieldText(entry, EntryField::ewh) != "X〔26〕" + std::to_string(n); ++i) Sleep(20);
                GUITHREADINFO thread{sizeof thread};
                GetGUIThreadInfo(GetWindowThreadProcessId(entry, nullptr), &thread);
                return FieldText(entry, EntryField::ewh) + "|" + FieldText(entry, EntryField::ewjbt) + "|" +
                       std::to_string(IsWindowVisible(entry) && thread.hwndFocus == memo && main_form_test::Text(memo).empty());
            });
        });
    } else {
        scanAll([&](const std::wstring& barcode, ScannerMode mode, ScanSuffix suffix, int n) {
            ScanIntoMainWindow(barcode, mode, suffix, gapMs);
            for (int i = 0; i < 100 && RowCount() < n; ++i) Pump(20);
            return Stored("wh", n) + "|" + Stored("wjbt", n) + "|" +
                   std::to_string(!Checked(kQueryMode) && GetFocus() == form->Control(kQueryMode));
        });
    }
    EXPECT_EQ(seen, expected) << StatusText(*form);
    EXPECT_TRUE(prompter.shown.empty());
}

const char* const kEveryModeAndEnding = "UC UL UT UN KC KL KT KN CC CL CT CN";
INSTANTIATE_TEST_SUITE_P(Matrix, ScanMatrixTest,
                         ::testing::Values(MatrixRow{true, 1, kEveryModeAndEnding}, MatrixRow{true, 30, "UL KT CN"},
                                           MatrixRow{true, 100, "KN CC"}, MatrixRow{false, 1, kEveryModeAndEnding},
                                           MatrixRow{false, 30, "UN KC CT"}, MatrixRow{false, 100, "UT KL"}));

}  // namespace

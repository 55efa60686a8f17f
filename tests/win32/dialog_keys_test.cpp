// The dialogs on the real windows: the clerk plays from a second thread while
// the dialog runs its modal loop on the test's.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "register/core/text/text_encoding.h"
#include "register/win32/search/search_form.h"
#include "register/win32/shell/settings_form.h"
#include "tests/support/fakes.h"

namespace {

constexpr DWORD kPatienceMs = 2000;

HWND WaitForDialog(const char* caption)
{
    for (DWORD waited = 0; waited < kPatienceMs; waited += 10, Sleep(10)) {
        const HWND found = FindWindowW(L"#32770", Widen(caption).c_str());
        if (found && IsWindowVisible(found)) return found;
    }
    return nullptr;
}

bool GoneWithin(HWND window, DWORD milliseconds)
{
    for (DWORD waited = 0; IsWindow(window) && waited < milliseconds; waited += 10) Sleep(10);
    return !IsWindow(window);
}

void Press(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string Text(HWND dialog, int id)
{
    wchar_t text[MAX_PATH] = {};
    GetDlgItemTextW(dialog, id, text, MAX_PATH);
    return Narrow(text);
}

enum class Way { CancelButton, CloseBox, Esc };

// Leaves `dialog` the given way, Esc pressed in `box`; a dialog that stays is
// left with 确定, as a stuck clerk would, and the answer is false.
bool LeftBy(HWND dialog, Way way, int box)
{
    if (way == Way::CancelButton) Press(dialog, IDCANCEL);
    if (way == Way::CloseBox) PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (way == Way::Esc) PostMessageW(GetDlgItem(dialog, box), WM_KEYDOWN, VK_ESCAPE, 0);
    if (GoneWithin(dialog, kPatienceMs)) return true;
    Press(dialog, IDOK);
    GoneWithin(dialog, kPatienceMs);
    return false;
}

// Every box changed through its "..." button, the file name by a confirmed
// file-name dialog after one left `way`; the settings dialog is then left
// `way` too, and nothing of it counts.
// The store's buttons are not pressed here.
class NoServer final : public quorva::SettingsActions {
public:
    std::vector<std::string> Drivers() override { return {}; }
    std::string TestConnection(const quorva::ServerLocation&) override { return ""; }
    std::string Upload(const std::string&, const quorva::ServerLocation&) override { return ""; }
};

TEST(SettingsDialogs, CancelTheCloseBoxAndEscLeaveBothWithoutTheirChanges)
{
    ScriptedFilePicker picker;
    picker.folder = "D:\\elsewhere";
    picker.templateFile = "D:\\form.doc";
    for (Way way : {Way::CancelButton, Way::CloseBox, Way::Esc}) {
        bool left = false;
        std::string shown;
        NoServer noServer;
        std::thread clerk([&] {
            const HWND settings = WaitForDialog(quorva::kSettingsCaption);
            for (int button : {TForm3::kPickFolder, TForm3::kPickTemplate, TForm3::kPickFileName}) Press(settings, button);
            const HWND first = WaitForDialog(quorva::kFileNameCaption);
            SetDlgItemTextW(first, TForm4::kNameBox, L"first");
            left = LeftBy(first, way, TForm4::kNameBox);
            Press(settings, TForm3::kPickFileName);
            const HWND second = WaitForDialog(quorva::kFileNameCaption);
            SetDlgItemTextW(second, TForm4::kNameBox, L"other");
            Press(second, IDOK);
            GoneWithin(second, kPatienceMs);
            for (int box : {TForm3::kFolder, TForm3::kFileName, TForm3::kTemplate}) shown += Text(settings, box) + "|";
            left = LeftBy(settings, way, TForm3::kFolder) && left;
        });
        TForm3 dialog(nullptr, noServer, [&](HWND) { return std::make_unique<ScriptedFilePicker>(picker); });
        EXPECT_FALSE(dialog.ShowModal({"D:\\Quorva", "Quorva.db", "D:\\Quorva\\form.doc", false}));
        clerk.join();
        EXPECT_TRUE(left) << static_cast<int>(way);
        EXPECT_EQ(shown, "D:\\elsewhere|other.db|D:\\form.doc|");
    }
}

// In build order from 0: 文件标题; 收文日期, 发文日期, 制作日期; 拟办意见, 请办意见,
// 批办意见, 办理结果, 备注.
constexpr int kTitleRow = 7;
constexpr int kDigitsRows[] = {0, 11, 15};
constexpr int kMemoRows[] = {8, 9, 10, 20, 21};

TEST(SearchDialog, EscInItsMemoRowsKeepsItOpenAndItsDigitsRowsKeepOnlyThePastedDigits)
{
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard());
    const std::wstring pasted = L"2026年12月01日 a-b";
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(block), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);  // the clipboard's own now
    CloseClipboard();
    bool stayed = false;
    std::thread clerk([&] {
        const HWND dialog = WaitForDialog(quorva::kSearchCaption);
        for (int row : kDigitsRows) SendDlgItemMessageW(dialog, TForm2::ValueId(row), WM_PASTE, 0, 0);
        SetDlgItemTextW(dialog, TForm2::ValueId(kTitleRow), L"二");
        for (int row : kMemoRows) PostMessageW(GetDlgItem(dialog, TForm2::ValueId(row)), WM_KEYDOWN, VK_ESCAPE, 0);
        stayed = !GoneWithin(dialog, 500);
        Press(dialog, IDOK);
    });
    TForm2 dialog(nullptr, {});
    EXPECT_TRUE(dialog.ShowModal());
    clerk.join();
    EXPECT_TRUE(stayed);
    for (int row : kDigitsRows) EXPECT_EQ(dialog.Inputs()[row].value, "20261201") << row;
    EXPECT_EQ(dialog.Inputs()[kTitleRow].value, "二");
}

}  // namespace

// The settings dialogs on the real windows, the clerk playing from a second
// thread while they run their modal loops on the test's thread.
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form;
using main_form_test::MainFormTest;
namespace fs = std::filesystem;

using main_form_test::GoneWithin;
using main_form_test::kPatienceMs;
using main_form_test::Press;
using main_form_test::WaitForDialog;

std::string Bytes(const std::string& path)
{
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string BoxText(HWND dialog, int id)
{
    return Narrow(main_form_test::Text(GetDlgItem(dialog, id)));
}

enum class Way { CancelButton, CloseBox, Esc };

// Leaves `dialog` the given way, Esc pressed in `box`. A dialog that stays
// is left with 确定, as a clerk stuck in it would, and the answer is false.
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

// Types `name` into the file-name dialog and leaves it `way`, or with 确定.
bool NameTheFile(HWND settings, const wchar_t* name, std::optional<Way> way)
{
    Press(settings, TForm3::kPickFileName);
    const HWND dialog = WaitForDialog(quorva::kFileNameCaption);
    SetWindowTextW(GetDlgItem(dialog, TForm4::kNameBox), name);
    if (way) return LeftBy(dialog, *way, TForm4::kNameBox);
    Press(dialog, IDOK);
    return GoneWithin(dialog, kPatienceMs);
}

TEST_F(MainFormTest, CancelTheCloseBoxAndEscLeaveSettingsAndTheirFileAsTheyWere)
{
    Win32FileSystem().CreateFolders(SettingsFolder());
    WritePrivateProfileStringW(L"Option", L"PLinput", L"0", Widen(Ini()).c_str());
    Start();
    const std::string before = Bytes(Ini());
    const quorva::MainWindowState state = form->presenter().state();
    filePicker.folder = folder.File("elsewhere");
    filePicker.templateFile = folder.File("form.doc");
    for (Way way : {Way::CancelButton, Way::CloseBox, Way::Esc}) {
        bool nameLeft = false, settingsLeft = false;
        std::string shown;
        std::thread clerk([&] {
            const HWND settings = WaitForDialog(quorva::kSettingsCaption);
            Press(settings, TForm3::kPickFolder);
            Press(settings, TForm3::kPickTemplate);
            SendMessageW(GetDlgItem(settings, TForm3::kSilentEntry), BM_SETCHECK, BST_CHECKED, 0);
            nameLeft = NameTheFile(settings, L"first", way);
            NameTheFile(settings, L"other", std::nullopt);
            Sleep(100);
            shown = BoxText(settings, TForm3::kFolder) + "|" + BoxText(settings, TForm3::kFileName) + "|" +
                    BoxText(settings, TForm3::kTemplate);
            settingsLeft = LeftBy(settings, way, TForm3::kFolder);
        });
        SendMessageW(form->hwnd(), WM_COMMAND, kMenuSettings, 0);
        clerk.join();
        SCOPED_TRACE(static_cast<int>(way));
        EXPECT_TRUE(nameLeft) << "the file-name dialog";
        EXPECT_TRUE(settingsLeft) << "the settings dialog";
        EXPECT_EQ(shown, folder.File("elsewhere") + "|other.db|" + folder.File("form.doc"));
        EXPECT_EQ(Bytes(Ini()), before);
        EXPECT_EQ(form->presenter().state().databasePath, state.databasePath);
        EXPECT_EQ(form->presenter().state().templatePath, state.templatePath);
        EXPECT_FALSE(form->presenter().state().silentEntry);
    }
}

// Held open without sharing, as another program may hold it: the file cannot
// be written. (Wine run as root writes through the read-only attribute.)
using HeldFile = std::unique_ptr<void, decltype(&CloseHandle)>;
HeldFile Hold(const std::string& path)
{
    return HeldFile(CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), CloseHandle);
}

TEST_F(MainFormTest, AnUnwritableSettingsFileIsReportedAndTheListStaysAsItWas)
{
    AddRecord("20261201", "", "一");
    Win32FileSystem().CreateFolders(SettingsFolder());
    WritePrivateProfileStringW(L"Option", L"PLinput", L"0", Widen(Ini()).c_str());
    Start();
    const HeldFile held = Hold(Ini());
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    Win32FileSystem().CreateFolders(folder.File("backups"));
    filePicker.folder = folder.File("backups");
    SendMessageW(form->hwnd(), WM_COMMAND, kMenuBackup, 0);
    EXPECT_TRUE(fs::exists(fs::u8path(folder.File("backups") + "\\Quorva.db.bak")));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "备份成功！\n备份时间未能写入设置文件：Unable to write to " + Ini() + ".");

    Win32FileSystem().CreateFolders(folder.File("elsewhere"));
    filePicker.folder = folder.File("elsewhere");
    std::thread clerk([] {
        const HWND settings = WaitForDialog(quorva::kSettingsCaption);
        Press(settings, TForm3::kPickFolder);
        Press(settings, IDOK);
    });
    SendMessageW(form->hwnd(), WM_COMMAND, kMenuSettings, 0);
    clerk.join();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, "Unable to write to " + Ini() + ".");
    EXPECT_EQ(prompter.shown[1].icon, quorva::PromptIcon::Error);
    EXPECT_EQ(RowCount(), 1) << "not reloaded from the new, empty folder";
}

}  // namespace

#include <gtest/gtest.h>

#include <thread>

#include "register/core/storage/file_store.h"
#include "register/win32/shell/settings_form.h"
#include "tests/win32/main_form_fixture.h"

// The clerk moves a file register to the server through 高级设置 and back.
namespace {

using namespace main_form;
using main_form_test::MainFormTest;

HWND WaitForDialog(const wchar_t* caption, HWND owner)
{
    for (int i = 0; i < 1000; ++i) {
        const HWND found = FindWindowW(L"#32770", caption);
        if (found && IsWindowVisible(found) && (!owner || GetWindow(found, GW_OWNER) == owner)) return found;
        Sleep(10);
    }
    return nullptr;
}

// Presses a button of the dialog, then answers the box it raises and gives
// back the box's text.
std::string PressAndRead(HWND dialog, int button)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    const HWND box = WaitForDialog(L"Marivel", dialog);
    if (!box) return "<no box>";
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (lstrcmpiW(name, L"Static") == 0) text += Narrow(main_form_test::Text(child));
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 500 && IsWindow(box); ++i) Sleep(10);
    return text;
}

void SetField(HWND dialog, int id, const std::string& text)
{
    SetWindowTextW(GetDlgItem(dialog, id), Widen(text).c_str());
}

class StoreSettingsTest : public MainFormTest {
protected:
    void ChooseInSettings(int storeButton, std::function<void(HWND)> more = {})
    {
        std::thread clerk([&] {
            const HWND dialog = WaitForDialog(Widen(quorva::kSettingsCaption).c_str(), nullptr);
            if (!dialog) return;
            SendMessageW(GetDlgItem(dialog, storeButton), BM_CLICK, 0, 0);
            if (more) more(dialog);
            PostMessageW(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        });
        SendMessageW(form->hwnd(), WM_COMMAND, kMenuSettings, 0);
        clerk.join();
    }
};

TEST_F(StoreSettingsTest, AFileRegisterUploadedThroughTheSettingsIsListedFromTheServerAndTheFileStaysOneClickAway)
{
    if (!TestsOnServer()) GTEST_SKIP() << "needs the test server";
    Win32FileSystem().CreateFolders(DefaultFolder());
    {
        quorva::FileStoreConnection file(DatabasePath());
        quorva::EnsureDocumentTable(file);
        for (const char* title : {"关于𠀋的通知", "会议纪要"}) {
            quorva::RecordFields fields{};
            fields[static_cast<int>(quorva::Column::swrq)] = "20261201";
            fields[static_cast<int>(quorva::Column::wjbt)] = title;
            file.Execute(quorva::InsertRecordStatement(fields));
        }
    }
    WritePrivateProfileStringW(L"Option", L"StoreKind", L"0", Widen(Ini()).c_str());
    Start();
    ASSERT_EQ(RowCount(), 2);

    const quorva::ServerLocation server = TestServerLocation();
    std::string tested, uploaded;
    ChooseInSettings(TForm3::kServerStore, [&](HWND dialog) {
        SetField(dialog, TForm3::kHost, server.host);
        SetField(dialog, TForm3::kPort, server.port);
        SetField(dialog, TForm3::kDatabase, server.database);
        SetField(dialog, TForm3::kUser, server.user);
        SetField(dialog, TForm3::kPassword, server.password);
        tested = PressAndRead(dialog, TForm3::kTestConnection);
        uploaded = PressAndRead(dialog, TForm3::kUpload);
    });
    EXPECT_EQ(tested, "连接成功：" + quorva::ServerName(server));
    EXPECT_EQ(uploaded, "已上传到 " + quorva::ServerName(server) + "：本机文件 2 条，服务器 2 条。");
    EXPECT_EQ(IniValue("StoreKind"), "1");
    EXPECT_EQ(IniValue("ServerPassword"), "sealed:" + server.password) << "never the password in clear";
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Cell(0, 8), "关于𠀋的通知");

    Sql("DELETE FROM Quorva WHERE wjbt = '会议纪要'");
    form->presenter().Button3Click();
    EXPECT_EQ(RowCount(), 1) << "listed from the server";
    ChooseInSettings(TForm3::kFileStore);
    EXPECT_EQ(RowCount(), 2) << "the file as it was";
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace

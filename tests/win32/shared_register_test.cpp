#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "tests/win32/main_form_fixture.h"

// Several clerks on one register on the server, each a process of its own.
namespace {

using namespace main_form;
using main_form_test::MainFormTest;

constexpr int kClerks = 5;
constexpr int kScansEach = 200;
constexpr DWORD kClerkLimitMs = 240000;

class SharedRegisterTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        for (const auto& [key, value] : {std::pair{L"SHao", L"SW-0000"}, std::pair{L"BHao", L"BW-0000"},
                                         std::pair{L"PLinput", L"1"}}) {
            WritePrivateProfileStringW(L"Option", key, value, Widen(Ini()).c_str());
        }
    }

    void TearDown() override
    {
        // A clerk still at work when a test fails must not outlive it.
        for (HANDLE clerk : clerks_) {
            TerminateProcess(clerk, 1);
            CloseHandle(clerk);
        }
    }

    // Starts clerk_process.exe beside this program.
    HANDLE StartClerk(int clerk, int scans) { return StartClerkWith(clerk, std::to_wstring(scans)); }

    HANDLE StartClerkWith(int clerk, const std::wstring& arguments)
    {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring program = self;
        program = program.substr(0, program.find_last_of(L'\\') + 1) + L"clerk_process.exe";
        std::wstring line = L"\"" + program + L"\" \"" + Widen(AppData()) + L"\" " + std::to_wstring(clerk) + L" " +
                            arguments;
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            return nullptr;
        }
        CloseHandle(process.hThread);
        clerks_.push_back(process.hProcess);
        return process.hProcess;
    }

    // Waits for a clerk; true when it stored every scan and showed no box.
    bool Finished(HANDLE clerk)
    {
        if (WaitForSingleObject(clerk, kClerkLimitMs) != WAIT_OBJECT_0) return false;
        DWORD code = 1;
        GetExitCodeProcess(clerk, &code);
        return code == 0;
    }

    std::vector<std::string> Column(const char* name)
    {
        std::vector<std::string> values;
        auto result = Store()->Query(std::string("SELECT ") + name + " FROM Quorva ORDER BY " + name);
        for (int r = 0; r < result->CountRows(); ++r) {
            std::string text;
            result->AppendTextOf(r, 0, text);
            values.push_back(text);
        }
        return values;
    }

    std::vector<HANDLE> clerks_;
};

std::vector<std::string> Consecutive(const char* prefix, int count)
{
    std::vector<std::string> numbers;
    for (int n = 1; n <= count; ++n) {
        char text[16];
        std::snprintf(text, sizeof text, "%s%04d", prefix, n);
        numbers.push_back(text);
    }
    return numbers;
}

TEST_F(SharedRegisterTest, FiveClerksScanningAtOnceGetUniqueConsecutiveNumbersAndLoseNothing)
{
    const auto started = std::chrono::steady_clock::now();
    for (int clerk = 1; clerk <= kClerks; ++clerk) ASSERT_NE(StartClerk(clerk, kScansEach), nullptr);
    for (HANDLE clerk : clerks_) EXPECT_TRUE(Finished(clerk)) << "every scan stored, no box";
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d clerks x %d scans: %.1f s\n", kClerks, kScansEach, seconds);
    EXPECT_EQ(Column("swzh"), Consecutive("SW-", kClerks * kScansEach));
    EXPECT_EQ(Column("bwh"), Consecutive("BW-", kClerks * kScansEach));
}

TEST_F(SharedRegisterTest, AnotherClerksRegistrationShowsInTheListWithinTwoSeconds)
{
    Start();
    ASSERT_EQ(RowCount(), 0);
    ASSERT_TRUE(Finished(StartClerk(1, 1)));
    const DWORD registered = GetTickCount();
    while (RowCount() == 0 && GetTickCount() - registered < 2000) main_form_test::Pump(50);
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Narrow(main_form_test::Text(form->Control(kStatusBar))), "职员1 14:02 新增 收文号 SW-0001");
}

// The second clerk to save is shown what the first changed and keeps their own.
TEST_F(SharedRegisterTest, OfTwoClerksEditingOneRecordTheSecondIsToldAndChooses)
{
    ASSERT_TRUE(Finished(StartClerk(1, 1)));
    Start();
    ListView_SetItemState(form->Control(kList), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    bool otherSaved = false;
    std::thread clerk([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 500 && !dialog; ++i, Sleep(10)) dialog = FindWindowW(L"#32770", L"编辑记录");
        if (!dialog) return;
        otherSaved = Finished(StartClerkWith(2, L"edit SW-0001 对方的标题"));
        SetWindowTextW(GetDlgItem(dialog, TForm1::ControlId(quorva::EntryField::ewjbt)), L"我的标题");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Click(kEditRecord);
    clerk.join();
    EXPECT_TRUE(otherSaved);
    ASSERT_EQ(prompter.shown.size(), 2u) << "the overwrite question, then the conflict";
    EXPECT_EQ(prompter.shown[1].caption, "记录已被其他人修改");
    EXPECT_NE(prompter.shown[1].text.find("现为“对方的标题”，您改为“我的标题”"), std::string::npos) << prompter.shown[1].text;
    EXPECT_EQ(Column("wjbt"), std::vector<std::string>{"我的标题"});
}

}  // namespace

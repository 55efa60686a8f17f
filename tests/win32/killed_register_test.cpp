#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>

#include "register/core/text/text_encoding.h"
#include "register/store/sqlite_database.h"
#include "tests/support/temp_folder.h"

// A register taking a run of silent scans, killed at random moments by
// another process and started again from the scan after the last one it
// reported stored: it loses nothing it reported and stores nothing twice.
namespace {

constexpr int kScans = 200;
constexpr int kKills = 30;
constexpr int kMostReportsBeforeKill = 8;
constexpr int kMostDelayMs = 60;  // about two scans
constexpr unsigned kSeed = 23;
std::string Reference(int n) { return "京发〔2026〕1-" + std::to_string(n) + "号"; }
std::string AlreadyStored(int n) { return "来文号“" + Reference(n) + "”已存在于数据库"; }

// One clerk_process from scan `first` on, its output read a line at a time.
class ClerkRun {
public:
    ClerkRun(const std::string& appData, int first)
    {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        HANDLE writeEnd = nullptr;
        CreatePipe(&output_, &writeEnd, &inherited, 0);
        SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring program = self;
        program = program.substr(0, program.find_last_of(L'\\') + 1) + L"clerk_process.exe";
        std::wstring line = L"\"" + program + L"\" \"" + Widen(appData) + L"\" 1 " +
                            std::to_wstring(kScans - first + 1) + L" " + std::to_wstring(first);
        STARTUPINFOW startup{sizeof startup};
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd;
        startup.hStdError = writeEnd;
        PROCESS_INFORMATION process{};
        CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
        CloseHandle(writeEnd);
        CloseHandle(process.hThread);
        process_ = process.hProcess;
    }
    ~ClerkRun()
    {
        Kill();
        CloseHandle(output_);
        CloseHandle(process_);
    }
    ClerkRun(const ClerkRun&) = delete;
    ClerkRun& operator=(const ClerkRun&) = delete;

    bool Started() const { return process_ != nullptr; }

    // The next line, without its line end; false once the output has ended.
    bool ReadLine(std::string& line)
    {
        line.clear();
        char c = 0;
        DWORD read = 0;
        while (ReadFile(output_, &c, 1, &read, nullptr) && read == 1) {
            if (c == '\n') return true;
            if (c != '\r') line += c;
        }
        return !line.empty();
    }

    // True when the process was still running.
    bool Kill()
    {
        if (!process_ || WaitForSingleObject(process_, 0) != WAIT_TIMEOUT) return false;
        TerminateProcess(process_, 9);
        WaitForSingleObject(process_, INFINITE);
        return true;
    }

private:
    HANDLE output_ = nullptr;
    HANDLE process_ = nullptr;
};

TEST(KilledRegisterTest, KilledThirtyTimesInTwoHundredScansItLosesAndDoublesNothing)
{
    TempFolder folder;
    const std::string appData = folder.File("AppData"), database = appData + "\\Quorva";
    std::filesystem::create_directories(std::filesystem::u8path(appData) / "ovd");
    std::filesystem::create_directories(std::filesystem::u8path(database));
    const std::wstring ini = Widen(appData + "\\ovd\\quorva.ini");
    for (const auto& [key, value] : {std::pair{L"PLinput", L"1"}, std::pair{L"SHao", L"SW-0000"}}) {
        WritePrivateProfileStringW(L"Option", key, value, ini.c_str());
    }
    WritePrivateProfileStringW(L"Option", L"Path", Widen(database).c_str(), ini.c_str());

    std::mt19937 random(kSeed);
    std::set<int> reported;
    int next = 1, kills = 0;
    const auto started = std::chrono::steady_clock::now();
    while (next <= kScans) {
        ClerkRun run(appData, next);
        ASSERT_TRUE(run.Started());
        int killAfter = kills < kKills ? std::uniform_int_distribution<>(0, kMostReportsBeforeKill)(random) : -1;
        const auto killNow = [&] {
            Sleep(std::uniform_int_distribution<>(0, kMostDelayMs)(random));
            if (run.Kill()) ++kills;
        };
        if (killAfter == 0) killNow();
        std::string line;
        for (int lines = 1; run.ReadLine(line); ++lines) {
            if (line.rfind("scan ", 0) != 0) continue;  // the closing count
            int n = 0;
            char outcome[16] = {};
            ASSERT_EQ(std::sscanf(line.c_str(), "scan %d %15s", &n, outcome), 2) << line;
            ASSERT_EQ(n, next) << line;
            // A scan stored just before a kill, with no time left to say so,
            // is refused as a duplicate when it comes again.
            const bool stored = std::string(outcome) == "stored";
            ASSERT_TRUE(stored || line.find(AlreadyStored(n)) != std::string::npos) << line;
            if (stored) reported.insert(n);
            ++next;
            if (lines == killAfter) killNow();
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d scans, %d kills survived, %zu scans reported stored, %.1f s\n", kScans, kills, reported.size(),
                seconds);
    EXPECT_EQ(kills, kKills);

    TSQLiteDatabase db(database + "\\Quorva.db", TSQLiteDatabase::ReadOnly{});
    EXPECT_EQ(db.Query("PRAGMA integrity_check")->TextAt(0), "ok");
    auto counts = db.Query("SELECT count(*), count(DISTINCT wh), count(DISTINCT swzh) FROM Quorva");
    EXPECT_EQ(counts->Int64At(0), kScans) << "every scan stored in the end";
    EXPECT_EQ(counts->Int64At(1), kScans) << "no document twice";
    EXPECT_EQ(counts->Int64At(2), kScans) << "no receipt number twice";
    for (int n : reported) {
        const auto found = db.Query(SqlStatement{"SELECT count(*) FROM Quorva WHERE wh=?", {Reference(n)}});
        EXPECT_EQ(found->Int64At(0), 1) << Reference(n) << " was reported stored";
    }
}

}  // namespace

// list_bench reload DATABASE [TIMES]: reloads of the list through the main
// window's presenter, each timed, with the process's peak memory.
// list_bench window DATABASE [CLICKS]: the real main window on DATABASE: from
// the process's start to the window shown, from there to the list drawn full,
// then filter clicks ("仅显示未呈批" ticked and cleared), each timed until
// the list has been redrawn, and three reloads with no click.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/counting_view.h"
#include "register/core/shell/main_window_presenter.h"
#include "register/core/shell/settings.h"
#include "register/core/shell/startup.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/platform/local_date.h"
#include "register/win32/shell/main_form.h"
#include "register/win32/shell/main_form_ids.h"
#include "register/win32/platform/win32_file_system.h"
#include "register/win32/platform/win32_profile_store.h"
#include "tests/support/fakes.h"

namespace {

double Seconds()
{
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds since the process was created.
double SinceLaunch()
{
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 1e7;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double FileMegabytes(const std::wstring& path)
{
    return static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

// The settings of a machine of its own, in the temporary folder, naming the database.
std::string PrepareAppData(const std::wstring& database, Win32ProfileStore& profiles)
{
    const std::filesystem::path appData = std::filesystem::temp_directory_path() / L"quorva-list-bench";
    std::filesystem::create_directories(appData / L"ovd");
    const std::filesystem::path file(database);
    const std::string ini = Narrow((appData / L"ovd" / L"quorva.ini").wstring());
    profiles.Write(ini, quorva::kSettingsSection, quorva::keys::kDatabaseFolder, Narrow(file.parent_path().wstring()));
    profiles.Write(ini, quorva::kSettingsSection, quorva::keys::kDatabaseName, Narrow(file.filename().wstring()));
    return Narrow(appData.wstring());
}

int Reloads(const std::wstring& database, int times)
{
    Win32FileSystem files;
    Win32ProfileStore profiles;
    ScriptedPrompter prompter;
    bench::CountingView view;
    const std::string appData = PrepareAppData(database, profiles);
    quorva::MainWindowPresenter presenter(
        view, quorva::MainWindowEnvironment{files, profiles, prompter, appData,
                                            quorva::DefaultDatabaseFolderCandidates(), LocalToday});
    presenter.FormCreate();
    std::printf("database %s\n", presenter.state().databasePath.c_str());
    std::vector<double> seconds;
    for (int i = 0; i < times; ++i) {
        const double start = Seconds();
        quorva::RunCommand(prompter, [&] { presenter.Button3Click(); });
        seconds.push_back(Seconds() - start);
        if (!prompter.shown.empty()) {
            std::printf("reload %d failed: %s\n", i + 1, prompter.shown.back().text.c_str());
            return 1;
        }
        std::printf("reload %d: %zu rows in %.3f s\n", i + 1, view.shown, seconds.back());
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const double file = FileMegabytes(database);
    const double addressSpace = static_cast<double>(reinterpret_cast<std::uintptr_t>(system.lpMaximumApplicationAddress)) / 1e6;
    std::printf("%d-bit, file %.1f MB, address space %.0f MB\n", static_cast<int>(8 * sizeof(void*)), file, addressSpace);
    std::printf("median reload %.3f s\n", Median(seconds));
    std::printf("peak private %.1f MB (%.2f x file), peak working set %.1f MB (%.2f x file)\n",
                memory.PeakPagefileUsage / 1e6, memory.PeakPagefileUsage / 1e6 / file,
                memory.PeakWorkingSetSize / 1e6, memory.PeakWorkingSetSize / 1e6 / file);
    std::printf("at rest private %.1f MB (%.2f x file)\n", memory.PrivateUsage / 1e6, memory.PrivateUsage / 1e6 / file);
    return 0;
}

void Redraw(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int Window(const std::wstring& database, int clicks)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_BAR_CLASSES |
                                                       ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Win32FileSystem files;
    Win32ProfileStore profiles;
    ScriptedPrompter prompter;
    const std::string appData = PrepareAppData(database, profiles);
    TmainForm form(quorva::MainWindowEnvironment{files, profiles, prompter, appData,
                                                 quorva::DefaultDatabaseFolderCandidates(), LocalToday},
                   false);
    std::printf("database %s\n", form.presenter().state().databasePath.c_str());
    const double beforeShow = SinceLaunch();
    const double shown = Seconds();
    // Showing the window loads the list; the drawing follows.
    ShowWindow(form.hwnd(), SW_SHOWNORMAL);
    Redraw(form.hwnd());
    const double full = Seconds() - shown;
    const HWND list = form.Control(main_form::kList);
    std::printf("launch to window shown %.3f s; window shown to list drawn full %.3f s (%d rows); launch to full list %.3f s\n",
                beforeShow, full, ListView_GetItemCount(list), beforeShow + full);
    ShowWindow(form.hwnd(), SW_MAXIMIZE);
    Redraw(form.hwnd());
    std::vector<double> seconds;
    const HWND box = form.Control(main_form::kUnsubmitted);
    for (int i = 0; i < clicks; ++i) {
        const double start = Seconds();
        SendMessageW(box, BM_CLICK, 0, 0);
        const double loaded = Seconds();
        Redraw(form.hwnd());
        seconds.push_back(Seconds() - start);
        std::printf("click %d (%s): %d rows, redrawn in %.3f s (reload %.3f s, drawing %.3f s)\n", i + 1,
                    SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? "ticked" : "cleared",
                    ListView_GetItemCount(list), seconds.back(), loaded - start, seconds.back() - (loaded - start));
    }
    std::printf("median filter click %.3f s\n", Median(seconds));
    for (int i = 0; i < 3; ++i) {
        const double start = Seconds();
        form.presenter().Button3Click();
        const double loaded = Seconds();
        Redraw(form.hwnd());
        std::printf("reload without a click %.3f s, drawing %.3f s\n", loaded - start, Seconds() - loaded);
    }
    for (const auto& message : prompter.shown) std::printf("message: %s\n", message.text.c_str());
    return prompter.shown.empty() ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::printf("usage: list_bench reload|window DATABASE [COUNT]\n");
        return 2;
    }
    const std::wstring mode = argv[1];
    const int count = argc > 3 ? _wtoi(argv[3]) : 6;
    if (mode == L"reload") return Reloads(argv[2], count);
    if (mode == L"window") return Window(argv[2], count);
    std::printf("unknown mode\n");
    return 2;
}

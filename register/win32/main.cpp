// The register program: the main window and its event loop.
#include <windows.h>
#include <commctrl.h>

#include "register/core/shell/startup.h"
#include "register/win32/automation/com_resources.h"
#include "register/win32/entry/entry_form.h"
#include "register/win32/history/journal_dialogs.h"
#include "register/win32/platform/dpapi_secret_box.h"
#include "register/win32/platform/local_date.h"
#include "register/win32/shell/main_form.h"
#include "register/win32/entry/pick_list_form.h"
#include "register/win32/search/search_form.h"
#include "register/win32/shell/settings_form.h"
#include "register/win32/platform/win32_file_picker.h"
#include "register/win32/platform/win32_file_system.h"
#include "register/win32/platform/win32_profile_store.h"
#include "register/win32/platform/win32_prompter.h"
#include "register/win32/platform/win32_workstation.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    // The word processor and spreadsheet are driven from this thread.
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_BAR_CLASSES |
                                                       ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Win32FileSystem fileSystem;
    Win32ProfileStore profileStore;
    Win32Prompter prompter;
    Win32PickListEditorFactory pickListEditors;
    Win32EntryDialogFactory entryDialogs(nullptr, pickListEditors);
    Win32SearchDialogFactory searchDialogs;
    Win32SettingsDialogFactory settingsDialogs;
    Win32FilePicker filePicker;
    DpapiSecretBox secrets;
    Win32Workstation workstation;
    Win32JournalDialogs journalDialogs;
    TmainForm mainForm(quorva::MainWindowEnvironment{fileSystem, profileStore, prompter, RoamingAppDataFolder(),
                                                     quorva::DefaultDatabaseFolderCandidates(), LocalToday,
                                                     &entryDialogs, &searchDialogs, &settingsDialogs, &filePicker,
                                                     LocalDateTimeText, &secrets, &workstation, &journalDialogs});
    if (!mainForm.hwnd()) return 1;
    prompter.SetOwner(mainForm.hwnd());
    entryDialogs.SetOwner(mainForm.hwnd());
    searchDialogs.SetOwner(mainForm.hwnd());
    settingsDialogs.SetOwner(mainForm.hwnd());
    filePicker.SetOwner(mainForm.hwnd());
    journalDialogs.SetOwner(mainForm.hwnd());
    // The dialogs (entry/edit, search, pick lists, settings) are created
    // afresh by the commands that show them.
    ShowWindow(mainForm.hwnd(), showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Enter and Esc move within whichever window of the program has
        // the input: the main window or the statistics beside it.
        const HWND window = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : mainForm.hwnd();
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "register/core/shell/scaled_layout.h"
#include "register/core/shell/main_window_presenter.h"
#include "register/win32/platform/gdi_handle.h"
#include "register/win32/service/scanner_service_link.h"
#include "register/win32/shell/scan_listener.h"
#include "register/win32/statistics/statistics_form.h"

// The main window "Marivel". It shows what the presenter decides and hands
// every event to it; each command runs under the top-level error handler.
class TmainForm final : public quorva::MainView {
public:
    // Creates the window, hidden; showing it loads the list.
    // `ownerlessPrompter` shows the boxes that belong to no window; a box of
    // the form's own when null.
    explicit TmainForm(quorva::MainWindowEnvironment environment, bool quitOnDestroy = true,
                       quorva::Prompter* ownerlessPrompter = nullptr);
    ~TmainForm() override;
    TmainForm(const TmainForm&) = delete;
    TmainForm& operator=(const TmainForm&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
    quorva::MainWindowPresenter& presenter() { return *presenter_; }
    ScannerServiceLink& scannerLink() { return *scannerLink_; }
    // The statistics window, while it is open.
    TStatisticsForm* statistics() const { return statistics_ && statistics_->hwnd() ? statistics_.get() : nullptr; }

    void ShowFilterChecks(const quorva::FilterState& filters) override;
    void SetDaysText(const std::string& text) override;
    void SetFiltersEnabled(bool enabled) override;
    void SetStatusText(const std::string& text) override;
    void ShowRows(const quorva::RecordList& rows) override;
    void SelectRow(int index) override;
    int SelectedRow() const override;
    void RefreshRow(int index) override;
    void ShowQueryMode(bool ticked) override;
    int TopRow() const override;
    void ScrollToRow(int row) override;
    void SetOverdueText(const std::string& text) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    static LRESULT CALLBACK DaysEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void FormCreate();
    void CreateBanner();
    void CreateFilterRow();
    void AttachButtonPicture(HWND button);
    void CreateRecordList();
    void CreateCommandPanel();
    HWND AddControl(const wchar_t* className, const std::string& text, DWORD style, int id, DWORD exStyle = 0);
    void UpdateFonts();
    void Layout();
    quorva::ButtonRowLayout LayOutFilterRow(int width) const;
    int CheckBoxWidth(const std::wstring& caption) const;
    void PlaceFilterRow(const quorva::ButtonRowLayout& row, int top);
    void PlaceDaysBox(int checkBoxLeft, int top);
    quorva::ButtonRowLayout LayOutCommandPanel(int width) const;
    int Scale(int pixels) const;
    int TextWidth(const std::wstring& text, HFONT font) const;

    void OnCommand(int id, int code);
    LRESULT OnNotify(const NMHDR& header);
    void OnListDisplayInfo(NMLVDISPINFOW& info);
    LRESULT OnListCustomDraw(NMLVCUSTOMDRAW& draw);
    void PlaceStatusPanels(int width);
    void OnFirstShow();
    void OnClose();
    void ShowListMenu(LPARAM position);
    void ShowSystemMenu();
    void ShowDeleteMenu();
    void ShowAbout();
    void OpenStatistics();
    void Guarded(void (TmainForm::*handler)());
    template <typename Command>
    void Guarded(Command&& command);

    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    HWND tooltip_ = nullptr;
    std::unique_ptr<quorva::MainWindowPresenter> presenter_;
    Win32ScanSignals scanSignals_;
    std::unique_ptr<quorva::UnstoredScans> unstoredScans_;
    std::unique_ptr<quorva::ScanIntake> scanIntake_;
    std::unique_ptr<ScanListener> scans_;
    quorva::Prompter& prompter_;
    std::unique_ptr<ScannerServiceLink> scannerLink_;
    const quorva::RecordList* rows_ = nullptr;
    GdiHandle<HFONT> font_;
    GdiHandle<HFONT> titleFont_;
    ImageListHandle buttonPictures_;
    std::string cellText_;  // the cell being drawn, before it is widened
    bool shown_ = false;
    bool quitOnDestroy_;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    // Last, so it goes before the presenter it works with.
    std::unique_ptr<TStatisticsForm> statistics_;
};

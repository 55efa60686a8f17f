// The scanner-service link under Wine, against the stand-in service that
// each test registers (or removes) as it needs.
#include <gtest/gtest.h>

#include <filesystem>

#include "register/win32/service/scanner_service_link.h"
#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form_test;

const char kConnected[] = "现在您可以使用二维条码扫描枪录入公文记录了！";
const char kErrorPrefix[] = "功能需要硬件支持，出错信息:";
constexpr DISPID kBarcodeEvent = 3;
constexpr DISPID kCommandResponseEvent = 5;
constexpr DWORD kServiceWaitMs = 20000;
constexpr DWORD kArrivalWaitMs = 10000;

fs::path BinFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

fs::path SimulatedPlugIn()
{
    return BinFolder() / "PellionSimulated.dll";
}

// Runs the stand-in with a registration switch and waits for it.
void StandIn(const std::wstring& arguments)
{
    std::wstring command = L"\"" + (BinFolder() / "TalvexStandIn.exe").wstring() + L"\" " + arguments;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    WaitForSingleObject(process.hProcess, kServiceWaitMs);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(exitCode, 0u) << "TalvexStandIn " << Narrow(arguments);
}

class ScannerServiceTest : public MainFormTest {
protected:
    // Other programs' tests share the machine: the service goes again
    // after the test that registered it.
    void TearDown() override
    {
        form.reset();
        if (registered_) StandIn(L"/UnregServer");
    }
    void RegisterStandIn(const fs::path& plugIn)
    {
        registered_ = true;
        StandIn(L"/RegServer /PlugIn \"" + plugIn.wstring() + L"\"");
    }
    TmainForm& StartWithService()
    {
        form = std::make_unique<TmainForm>(
            quorva::MainWindowEnvironment{fileSystem, profileStore, prompter, AppData(),
                                          {folder.File("D") + "\\Quorva", DefaultFolder(), folder.File("E") + "\\Quorva"},
                                          [] { return kToday; }, &entryDialogs},
            /*quitOnDestroy=*/false, &ownerless);
        ShowWindow(form->hwnd(), SW_SHOW);
        return *form;
    }
    std::string RowText(int row)
    {
        std::string text;
        for (int column = 0; column < quorva::kRecordRowItemCount; ++column) text += Cell(row, column) + "|";
        return text;
    }

    ScriptedPrompter ownerless;
    bool registered_ = false;
};

TEST_F(ScannerServiceTest, WithoutTheServiceStartIsSilentAndTheButtonShowsTheError)
{
    StandIn(L"/UnregServer");
    StartWithService();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(ownerless.shown.empty());
    EXPECT_FALSE(form->scannerLink().Component().Connected());

    Click(kConnectScanner);

    ASSERT_EQ(ownerless.shown.size(), 1u);
    EXPECT_TRUE(prompter.shown.empty());
    const std::string text = ownerless.shown[0].text;
    EXPECT_EQ(text.rfind(kErrorPrefix, 0), 0u) << text;
    EXPECT_GT(text.size(), std::string(kErrorPrefix).size());
    EXPECT_EQ(ownerless.shown[0].caption, "系统错误");
    EXPECT_EQ(ownerless.shown[0].icon, quorva::PromptIcon::None);
}

// The sinks the stand-in has advised on its last service object.
DWORD StandInEventConnections()
{
    DWORD count = 0, size = sizeof count;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\TalvexStandIn", L"EventConnections", RRF_RT_REG_DWORD, nullptr, &count,
                 &size);
    return count;
}

// The stand-in answers a second OpenService with a non-zero status: the
// button's success comes from RunCommand's. Closing unadvises the sink.
TEST_F(ScannerServiceTest, StartConnectsOnceAndTheButtonSucceedsTwiceOverThatConnection)
{
    if (!fs::exists(SimulatedPlugIn())) GTEST_SKIP() << "no plug-in built for this target";
    RegisterStandIn(SimulatedPlugIn());
    StartWithService();
    ASSERT_TRUE(form->scannerLink().Component().Connected());
    EXPECT_TRUE(prompter.shown.empty());
    talvex_tlb::ITalvex* connection = &form->scannerLink().Component().DefaultInterface();

    Click(kConnectScanner);
    Click(kConnectScanner);

    ASSERT_EQ(prompter.shown.size(), 2u);
    for (const auto& box : prompter.shown) {
        EXPECT_EQ(box.text, kConnected);
        EXPECT_EQ(box.caption, "连接成功");
        EXPECT_EQ(box.icon, quorva::PromptIcon::None);
    }
    EXPECT_TRUE(ownerless.shown.empty());
    EXPECT_EQ(&form->scannerLink().Component().DefaultInterface(), connection);
    EXPECT_EQ(StandInEventConnections(), 1u);
    form.reset();
    EXPECT_EQ(StandInEventConnections(), 0u);
}

// The stand-in refuses to open when it cannot load its plug-in, and then
// refuses the command.
TEST_F(ScannerServiceTest, ANonZeroStatusAsksToTryAgain)
{
    RegisterStandIn(folder.path() / "missing" / "Pellion.dll");
    StartWithService();

    Click(kConnectScanner);

    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "连接失败，请重试！");
    EXPECT_EQ(prompter.shown[0].caption, "连接失败");
    EXPECT_TRUE(ownerless.shown.empty());
}

TEST_F(ScannerServiceTest, ABarcodeEventChangesNoListDatabaseOrDialog)
{
    StandIn(L"/UnregServer");
    AddRecord("20261201", "0", "关于印发通知");
    StartWithService();
    Pump(100);
    ASSERT_EQ(RowCount(), 1);
    const std::string rowBefore = RowText(0);
    const auto before = fs::last_write_time(DatabasePath());

    BSTR scan = SysAllocString(L"来文单位\t通知\t〔2026〕1号");
    VARIANT arguments[2];
    arguments[0].vt = VT_BSTR | VT_BYREF;
    arguments[0].pbstrVal = &scan;
    arguments[1].vt = VT_I2;
    arguments[1].iVal = 1;
    DISPPARAMS params{arguments, nullptr, 2, 0};
    EXPECT_EQ(form->scannerLink().Component().EventSink()->Invoke(kBarcodeEvent, IID_NULL, 0, DISPATCH_METHOD, &params,
                                                                  nullptr, nullptr, nullptr),
              S_OK);
    SysFreeString(scan);
    Pump(100);

    EXPECT_EQ(RowCount(), 1);
    EXPECT_EQ(RowText(0), rowBefore);
    EXPECT_EQ(fs::last_write_time(DatabasePath()), before);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(ownerless.shown.empty());
    EXPECT_EQ(GetWindow(form->hwnd(), GW_ENABLEDPOPUP), nullptr);
}

// COM delivers positional arguments last-first; the handler sees them in
// declaration order, and what it changes goes back by reference.
TEST(TalvexEventSinkTest, MapsArgumentsInDeclarationOrderAndCopiesByReferenceValuesBack)
{
    TCTalvex link;
    short status = 0;
    std::wstring response;
    link.events.OnCommandResponseEvent = [&](talvex_tlb::TalvexEventArgs& args) {
        status = args.Short(0);
        response = args.Text(1);
        args.SetText(1, L"<handled/>");
    };
    BSTR data = SysAllocString(L"<rsp/>");
    VARIANT arguments[2];
    arguments[0].vt = VT_BSTR | VT_BYREF;
    arguments[0].pbstrVal = &data;
    arguments[1].vt = VT_I2;
    arguments[1].iVal = 7;
    DISPPARAMS params{arguments, nullptr, 2, 0};

    link.EventSink()->Invoke(kCommandResponseEvent, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    EXPECT_EQ(link.EventSink()->Invoke(99, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);

    EXPECT_EQ(status, 7);
    EXPECT_EQ(response, L"<rsp/>");
    EXPECT_STREQ(data, L"<handled/>");
    SysFreeString(data);
}

TEST(TalvexEventSinkTest, ACallWhoseCountsDoNotFitItsArraysIsRefusedUnread)
{
    TCTalvex link;
    link.events.OnCommandResponseEvent = [](talvex_tlb::TalvexEventArgs&) {};
    VARIANT arguments[2] = {};
    DISPID named[3] = {0, 1, 2};
    // A named argument among none, more named ones than all, named ones
    // without their IDs, arguments without their values.
    DISPPARAMS calls[] = {
        {arguments, named, 0, 1}, {arguments, named, 2, 3}, {arguments, nullptr, 2, 1}, {nullptr, nullptr, 2, 0}};
    for (DISPPARAMS& call : calls) {
        EXPECT_EQ(link.EventSink()->Invoke(kCommandResponseEvent, IID_NULL, 0, DISPATCH_METHOD, &call, nullptr, nullptr,
                                           nullptr),
                  DISP_E_BADPARAMCOUNT);
    }
}

// A scanner that the plug-in announces after the service opened reaches the
// link's PNP slot.
TEST_F(ScannerServiceTest, AScannerArrivalAtThePlugInReachesTheLinkAsAnEvent)
{
    if (!fs::exists(SimulatedPlugIn())) GTEST_SKIP() << "no plug-in built for this target";
    RegisterStandIn(SimulatedPlugIn());
    ScannerServiceLink link(prompter, &ownerless);
    std::wstring arrival;
    link.Component().events.OnPNPEvent = [&](talvex_tlb::TalvexEventArgs& args) { arrival = args.Text(1); };

    link.ConnectClick();
    ASSERT_EQ(prompter.shown.size(), 1u);
    ASSERT_EQ(prompter.shown[0].text, kConnected);
    const DWORD until = GetTickCount() + kArrivalWaitMs;
    while (arrival.empty() && GetTickCount() < until) Pump(20);

    EXPECT_NE(arrival.find(L"<event>attached</event>"), std::wstring::npos) << Narrow(arrival);
    EXPECT_NE(arrival.find(L"STANDINGUID0123456789ABCDEF0"), std::wstring::npos) << Narrow(arrival);
}

}  // namespace

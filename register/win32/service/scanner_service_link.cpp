#include "register/win32/service/scanner_service_link.h"

#include "register/core/text/text_encoding.h"

namespace {

constexpr LONG kReserved = 0;
constexpr short kHidKeyboardScannerType = 1;
constexpr short kScannerTypeCount = 1;
constexpr LONG kRegisterForEvents = 1001;
const wchar_t kRegisterForEventsInput[] =
    L"<inArgs><cmdArgs><arg-int>1</arg-int><arg-int>1</arg-int></cmdArgs></inArgs>";
constexpr LONG kStatusOk = 0;

const char kConnectedText[] = "现在您可以使用二维条码扫描枪录入公文记录了！";
const char kConnectedCaption[] = "连接成功";
const char kRefusedText[] = "连接失败，请重试！";
const char kRefusedCaption[] = "连接失败";
const char kErrorPrefix[] = "功能需要硬件支持，出错信息:";
const char kErrorCaption[] = "系统错误";

class SafeArrayHolder {
public:
    explicit SafeArrayHolder(SAFEARRAY* array) : array_(array) {}
    ~SafeArrayHolder() { if (array_) SafeArrayDestroy(array_); }
    SafeArrayHolder(const SafeArrayHolder&) = delete;
    SafeArrayHolder& operator=(const SafeArrayHolder&) = delete;
    SAFEARRAY** Address() { return &array_; }
    SAFEARRAY* Get() const { return array_; }

private:
    SAFEARRAY* array_;
};

class BstrHolder {
public:
    explicit BstrHolder(const wchar_t* text = nullptr) : text_(text ? SysAllocString(text) : nullptr) {}
    ~BstrHolder() { SysFreeString(text_); }
    BstrHolder(const BstrHolder&) = delete;
    BstrHolder& operator=(const BstrHolder&) = delete;
    BSTR* Address() { return &text_; }

private:
    BSTR text_;
};

// The scan text, in the program's narrow text, goes nowhere: documents are
// registered from keyboard input.
void OnBarcodeEvent(talvex_tlb::TalvexEventArgs& args) noexcept
{
    try {
        const std::string scanData = Narrow(args.Text(1));
        (void)scanData;
    } catch (...) {
    }
}

}  // namespace

ScannerServiceLink::ScannerServiceLink(quorva::Prompter& owned, quorva::Prompter* ownerless)
    : owned_(owned), ownerless_(ownerless ? *ownerless : noOwner_)
{
    component_.events.OnBarcodeEvent = OnBarcodeEvent;
}

long ScannerServiceLink::OpenAndSubscribe()
{
    SafeArrayHolder scannerTypes(SafeArrayCreateVector(VT_I2, 0, kScannerTypeCount));
    if (!scannerTypes.Get()) OleCheck(E_OUTOFMEMORY);
    LONG first = 0;
    short scannerType = kHidKeyboardScannerType;
    OleCheck(SafeArrayPutElement(scannerTypes.Get(), &first, &scannerType));

    LONG status = 0;
    talvex_tlb::ITalvex& service = Component().DefaultInterface();
    OleCheck(service.OpenService(kReserved, scannerTypes.Address(), kScannerTypeCount, &status));
    BstrHolder input(kRegisterForEventsInput);
    BstrHolder output;
    OleCheck(service.RunCommand(kRegisterForEvents, input.Address(), output.Address(), &status));
    return status;
}

void ScannerServiceLink::FormCreate() noexcept
{
    try {
        OpenAndSubscribe();
    } catch (...) {
    }
}

void ScannerServiceLink::ConnectClick()
{
    long status = 0;
    try {
        status = OpenAndSubscribe();
    } catch (const std::exception& error) {
        ownerless_.Show(std::string(kErrorPrefix) + error.what(), kErrorCaption, quorva::PromptIcon::None,
                        quorva::PromptButtons::Ok);
        return;
    }
    if (status == kStatusOk)
        owned_.Show(kConnectedText, kConnectedCaption, quorva::PromptIcon::None, quorva::PromptButtons::Ok);
    else
        owned_.Show(kRefusedText, kRefusedCaption, quorva::PromptIcon::None, quorva::PromptButtons::Ok);
}

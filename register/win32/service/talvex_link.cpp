#include "register/win32/service/talvex_link.h"

#include <cstdio>

#include "register/core/text/text_encoding.h"

using Microsoft::WRL::ComPtr;
using talvex_tlb::ITalvex;

namespace {

const char kNotConnected[] =
    "DefaultInterface is NULL. Component is not connected to Server. You must call \"Connect\" or \"ConnectTo\" "
    "before this operation (Talvex_TLB, line 326)";

// The system's text for a result code without its trailing blanks and full
// stop, or the code itself when the system has none.
std::string SystemMessage(HRESULT code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    if (!text.empty()) return Narrow(text);
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "OLE error %08lX", static_cast<unsigned long>(code));
    return fallback;
}

}  // namespace

EOleSysError::EOleSysError(HRESULT code) : std::runtime_error(SystemMessage(code)), code_(code) {}

void OleCheck(HRESULT code)
{
    if (FAILED(code)) throw EOleSysError(code);
}

TCTalvex::TCTalvex() : sink_(new talvex_tlb::TalvexEventSink(events))
{
    // The sink arrives with one reference; the holder took another.
    sink_->Release();
    uninitialize_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

TCTalvex::~TCTalvex()
{
    Disconnect();
    sink_->Detach();
    sink_.Reset();
    if (uninitialize_) CoUninitialize();
}

ITalvex& TCTalvex::DefaultInterface()
{
    if (!server_) Connect();
    if (!server_) throw std::runtime_error(kNotConnected);
    return *server_.Get();
}

// Attach to the running service, else start one.
void TCTalvex::Connect()
{
    if (server_) return;
    ComPtr<IUnknown> instance;
    if (FAILED(GetActiveObject(talvex_tlb::CLSID_Talvex, nullptr, &instance))) {
        OleCheck(CoCreateInstance(talvex_tlb::CLSID_Talvex, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  IID_IUnknown, reinterpret_cast<void**>(instance.GetAddressOf())));
    }
    ConnectEvents(*instance.Get());
    ComPtr<ITalvex> server;
    const HRESULT found = instance->QueryInterface(talvex_tlb::IID_ITalvex, reinterpret_cast<void**>(server.GetAddressOf()));
    if (FAILED(found)) {
        Disconnect();
        OleCheck(found);
    }
    server_ = server;
}

// A service without the event connection point is still usable: the sink
// simply hears nothing.
void TCTalvex::ConnectEvents(IUnknown& instance)
{
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    if (FAILED(instance.QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(container.GetAddressOf()))) ||
        FAILED(container->FindConnectionPoint(talvex_tlb::DIID_ITalvexEvents, &point)) ||
        FAILED(point->Advise(sink_.Get(), &cookie))) {
        return;
    }
    eventPoint_ = point;
    eventCookie_ = cookie;
}

void TCTalvex::Disconnect()
{
    if (eventPoint_) eventPoint_->Unadvise(eventCookie_);
    eventPoint_.Reset();
    eventCookie_ = 0;
    server_.Reset();
}

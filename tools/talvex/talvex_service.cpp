#include "tools/talvex/talvex_service.h"

#include <olectl.h>

#include <cwctype>
#include <string>
#include <vector>

#include "tools/talvex/registration.h"

namespace talvex {

using Microsoft::WRL::ComPtr;

namespace {

constexpr DISPID kPnpEvent = 4;
constexpr short kPnpAttached = 0;
constexpr short kPnpDetached = 1;
constexpr int kCommandIntegerArguments = 2;

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

ComPtr<ITypeInfo> LoadOwnTypeInfo()
{
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library)))
        library->GetTypeInfoOfGuid(__uuidof(ITalvex), &info);
    return info;
}

// The integer arguments of a command's input, as "<arg-int>n</arg-int>".
bool ReadIntegerArguments(const std::wstring& xml, std::vector<long>& values)
{
    const std::wstring open = L"<arg-int>", close = L"</arg-int>";
    for (std::size_t at = xml.find(open); at != std::wstring::npos; at = xml.find(open, at)) {
        at += open.size();
        const std::size_t end = xml.find(close, at);
        if (end == std::wstring::npos || end == at) return false;
        const std::wstring digits = xml.substr(at, end - at);
        wchar_t* stop = nullptr;
        values.push_back(std::wcstol(digits.c_str(), &stop, 10));
        if (*stop != L'\0') return false;
    }
    return true;
}

std::wstring PnpXml(const ScannerNotice& notice)
{
    return L"<pnp><event>" + std::wstring(notice.attached ? L"attached" : L"detached") + L"</event><device>" +
           std::to_wstring(notice.device) + L"</device><guid>" + std::wstring(notice.guid.begin(), notice.guid.end()) +
           L"</guid></pnp>";
}

}  // namespace

Server::Server(std::wstring plugInPath)
    : plugInPath_(std::move(plugInPath)),
      host_([this](const ScannerNotice& notice) { Announce(notice); }),
      typeInfo_(LoadOwnTypeInfo())
{
}

void Server::Remove(TalvexService* service)
{
    services_.erase(service);
    if (services_.empty()) PostQuitMessage(0);
}

void Server::Announce(const ScannerNotice& notice)
{
    const std::set<TalvexService*> services = services_;
    for (TalvexService* service : services) service->AnnounceScanner(notice);
}

TalvexService::TalvexService(Server& server) : server_(server)
{
    server_.Add(this);
}

TalvexService::~TalvexService()
{
    server_.Remove(this);
}

// A subscribed client hears of each arrival and removal as a PNP event.
void TalvexService::AnnounceScanner(const ScannerNotice& notice)
{
    if (!subscribed_) return;
    const std::map<DWORD, ComPtr<IDispatch>> sinks = sinks_;
    for (const auto& [cookie, sink] : sinks) {
        BSTR data = SysAllocString(PnpXml(notice).c_str());
        VARIANT arguments[2];
        VariantInit(&arguments[0]);
        VariantInit(&arguments[1]);
        arguments[0].vt = VT_BSTR | VT_BYREF;  // COM passes the last parameter first
        arguments[0].pbstrVal = &data;
        arguments[1].vt = VT_I2;
        arguments[1].iVal = notice.attached ? kPnpAttached : kPnpDetached;
        DISPPARAMS params{arguments, nullptr, 2, 0};
        sink->Invoke(kPnpEvent, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        SysFreeString(data);
    }
}

HRESULT TalvexService::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(ITalvex))
        *object = static_cast<ITalvex*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IConnectionPoint)
        *object = static_cast<IConnectionPoint*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TalvexService::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG TalvexService::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT TalvexService::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = server_.TypeInfo() ? 1 : 0;
    return S_OK;
}

HRESULT TalvexService::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0 || !server_.TypeInfo()) return DISP_E_BADINDEX;
    server_.TypeInfo()->AddRef();
    *info = server_.TypeInfo();
    return S_OK;
}

HRESULT TalvexService::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!server_.TypeInfo()) return E_NOTIMPL;
    return DispGetIDsOfNames(server_.TypeInfo(), names, count, ids);
}

HRESULT TalvexService::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* exception, UINT* argumentError)
{
    if (!server_.TypeInfo()) return E_NOTIMPL;
    return DispInvoke(static_cast<ITalvex*>(this), server_.TypeInfo(), member, flags, params, result, exception,
                      argumentError);
}

bool TalvexService::AcceptsScannerTypes(SAFEARRAY* types, short count) const
{
    if (!types || count < 1 || SafeArrayGetDim(types) != 1) return false;
    VARTYPE type = VT_EMPTY;
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetVartype(types, &type)) || type != VT_I2 || FAILED(SafeArrayGetLBound(types, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(types, 1, &upper)) || upper - lower + 1 < count) {
        return false;
    }
    for (LONG index = lower; index < lower + count; ++index) {
        short scannerType = 0;
        if (FAILED(SafeArrayGetElement(types, &index, &scannerType)) || scannerType != kHidKeyboardScannerType)
            return false;
    }
    return true;
}

HRESULT TalvexService::OpenService(LONG, SAFEARRAY** scannerTypes, short numberOfScannerTypes, LONG* status)
{
    if (!status) return E_POINTER;
    if (!scannerTypes || !AcceptsScannerTypes(*scannerTypes, numberOfScannerTypes)) {
        *status = kStatusUnsupportedScannerType;
        return S_OK;
    }
    // Opening again says so and stays open: a client must take its outcome
    // from the command that follows.
    if (open_) {
        *status = kStatusAlreadyOpen;
        return S_OK;
    }
    open_ = server_.OpenPlugIn();
    *status = open_ ? kStatusOk : kStatusPlugInUnavailable;
    return S_OK;
}

HRESULT TalvexService::CloseService(LONG, LONG* status)
{
    if (!status) return E_POINTER;
    open_ = false;
    subscribed_ = false;
    *status = kStatusOk;
    return S_OK;
}

HRESULT TalvexService::GetScanners(short*, BSTR*, LONG*)
{
    return E_NOTIMPL;
}

HRESULT TalvexService::RunCommand(LONG opcode, BSTR* inXml, BSTR* outXml, LONG* status)
{
    if (!status || !outXml) return E_POINTER;
    std::vector<long> arguments;
    if (opcode != kRegisterForEvents)
        *status = kStatusUnknownOpcode;
    else if (!inXml || !*inXml || !ReadIntegerArguments(*inXml, arguments) ||
             arguments.size() != kCommandIntegerArguments)
        *status = kStatusBadArguments;
    else if (!open_)
        *status = kStatusNotOpen;
    else {
        subscribed_ = true;
        *status = kStatusOk;
    }
    SysFreeString(*outXml);
    *outXml = SysAllocString(L"<outArgs></outArgs>");
    return S_OK;
}

HRESULT TalvexService::RunCommandAsync(LONG, BSTR*, LONG*)
{
    return E_NOTIMPL;
}

HRESULT TalvexService::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

HRESULT TalvexService::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != DIID__ITalvexEvents) return CONNECT_E_NOCONNECTION;
    *point = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

HRESULT TalvexService::GetConnectionInterface(IID* iid)
{
    if (!iid) return E_POINTER;
    *iid = DIID__ITalvexEvents;
    return S_OK;
}

HRESULT TalvexService::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container) return E_POINTER;
    *container = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
}

HRESULT TalvexService::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!sink || !cookie) return E_POINTER;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(events.GetAddressOf()))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_[*cookie] = events;
    PublishEventConnections(sinks_.size());
    return S_OK;
}

HRESULT TalvexService::Unadvise(DWORD cookie)
{
    if (!sinks_.erase(cookie)) return CONNECT_E_NOCONNECTION;
    PublishEventConnections(sinks_.size());
    return S_OK;
}

HRESULT TalvexService::EnumConnections(IEnumConnections** connections)
{
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

}  // namespace talvex

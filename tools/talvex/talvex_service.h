#pragma once

#include <windows.h>
#include <ocidl.h>

#include <map>
#include <set>
#include <string>

#include <wrl/client.h>

#include "talvex.h"
#include "tools/talvex/plugin_host.h"

namespace talvex {

class TalvexService;

// What one server process shares between its objects: the hosted plug-in,
// loaded once per process, and the objects its notices go to. The process
// ends when its last object is released.
class Server {
public:
    explicit Server(std::wstring plugInPath);

    bool OpenPlugIn() { return host_.Start(plugInPath_); }
    void Add(TalvexService* service) { services_.insert(service); }
    void Remove(TalvexService* service);
    ITypeInfo* TypeInfo() const { return typeInfo_.Get(); }

private:
    void Announce(const ScannerNotice& notice);

    std::wstring plugInPath_;
    PluginHost host_;
    std::set<TalvexService*> services_;
    Microsoft::WRL::ComPtr<ITypeInfo> typeInfo_;
};

// The service object: ITalvex, and the one connection point of its events.
class TalvexService final : public ITalvex, public IConnectionPointContainer, public IConnectionPoint {
public:
    explicit TalvexService(Server& server);
    ~TalvexService();

    void AnnounceScanner(const ScannerNotice& notice);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch, through the type library
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;
    // ITalvex
    HRESULT STDMETHODCALLTYPE OpenService(LONG reserved, SAFEARRAY** scannerTypes, short numberOfScannerTypes,
                                          LONG* status) override;
    HRESULT STDMETHODCALLTYPE CloseService(LONG reserved, LONG* status) override;
    HRESULT STDMETHODCALLTYPE GetScanners(short* numberOfScanners, BSTR* outXml, LONG* status) override;
    HRESULT STDMETHODCALLTYPE RunCommand(LONG opcode, BSTR* inXml, BSTR* outXml, LONG* status) override;
    HRESULT STDMETHODCALLTYPE RunCommandAsync(LONG opcode, BSTR* inXml, LONG* status) override;
    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    bool AcceptsScannerTypes(SAFEARRAY* types, short count) const;

    LONG references_ = 1;
    Server& server_;
    bool open_ = false;
    bool subscribed_ = false;
    DWORD nextCookie_ = 1;
    std::map<DWORD, Microsoft::WRL::ComPtr<IDispatch>> sinks_;
};

// The outcome codes of OpenService and RunCommand.
enum Status : LONG {
    kStatusOk = 0,
    kStatusUnsupportedScannerType = 1,
    kStatusPlugInUnavailable = 2,
    kStatusNotOpen = 3,
    kStatusUnknownOpcode = 4,
    kStatusBadArguments = 5,
    kStatusAlreadyOpen = 6,
};

// The one command: asks for events, with two integer arguments.
constexpr LONG kRegisterForEvents = 1001;
constexpr short kHidKeyboardScannerType = 1;

}  // namespace talvex

#pragma once

// The scanner service's identity and default interface, as the register
// imports them from the service's type library.
#include <windows.h>
#include <oaidl.h>

namespace talvex_tlb {

inline constexpr CLSID CLSID_Talvex = {0x9F8D4F16, 0x0F61, 0x4A38, {0x98, 0xB3, 0x1F, 0x6F, 0x80, 0xF1, 0x1C, 0x87}};
inline constexpr IID IID_ITalvex = {0x2105896C, 0x2B38, 0x4031, {0xBD, 0x0B, 0x7A, 0x9C, 0x4A, 0x39, 0xFB, 0x93}};
inline constexpr IID DIID_ITalvexEvents = {0x981E3D8B, 0xC756, 0x4195, {0xA7, 0x02, 0xF1, 0x98, 0x96, 0x50, 0x31, 0xC6}};

// Dual: called early-bound through its function table. The register calls
// only OpenService and RunCommand.
struct ITalvex : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE OpenService(LONG reserved, SAFEARRAY** scannerTypes, short numberOfScannerTypes,
                                                  LONG* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseService(LONG reserved, LONG* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetScanners(short* numberOfScanners, BSTR* outXml, LONG* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE RunCommand(LONG opcode, BSTR* inXml, BSTR* outXml, LONG* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE RunCommandAsync(LONG opcode, BSTR* inXml, LONG* status) = 0;
};

}  // namespace talvex_tlb

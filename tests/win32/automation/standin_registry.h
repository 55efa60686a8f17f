#pragma once

// Registers the stand-ins under the register's ProgIDs in this prefix for
// one test, and removes them again. Wine's COM reads the machine's classes.
#include <windows.h>

#include <string>
#include <vector>

#include "register/win32/automation/dispatch.h"
#include "tests/win32/automation/standins/standin_ids.h"

class StandInRegistry {
public:
    enum class Server { InProcess, Local };

    explicit StandInRegistry(Server server = Server::InProcess) : server_(server)
    {
        for (const standins::StandInClass& type : standins::kClasses) Remove(type);
    }
    ~StandInRegistry()
    {
        for (const standins::StandInClass* type : registered_) Remove(*type);
    }
    StandInRegistry(const StandInRegistry&) = delete;
    StandInRegistry& operator=(const StandInRegistry&) = delete;

    void Register(const wchar_t* progId)
    {
        const standins::StandInClass* type = standins::ClassOf(progId);
        const std::wstring clsid = ClsidText(*type);
        SetValue(std::wstring(kClasses) + type->progId + L"\\CLSID", nullptr, clsid);
        const std::wstring classKey = std::wstring(kClasses) + L"CLSID\\" + clsid;
        if (server_ == Server::InProcess) {
            SetValue(classKey + L"\\InprocServer32", nullptr, Beside(L"office_standins.dll"));
            SetValue(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        } else {
            SetValue(classKey + L"\\LocalServer32", nullptr, L"\"" + Beside(L"office_standin_server.exe") + L"\"");
        }
        registered_.push_back(type);
    }

    // The inspector of the stand-ins' desk, served like the stand-ins.
    Dispatch Inspector()
    {
        const standins::StandInClass& type = standins::kClasses[std::size(standins::kClasses) - 1];
        Register(type.progId);
        ComPtr<IDispatch> inspector;
        const DWORD context = server_ == Server::InProcess ? CLSCTX_INPROC_SERVER : CLSCTX_LOCAL_SERVER;
        CoCreateInstance(type.clsid, nullptr, context, IID_IDispatch, reinterpret_cast<void**>(inspector.Receive()));
        return Dispatch(std::move(inspector));
    }

private:
    static constexpr const wchar_t* kClasses = L"Software\\Classes\\";

    static std::wstring ClsidText(const standins::StandInClass& type)
    {
        wchar_t text[40] = {};
        StringFromGUID2(type.clsid, text, 40);
        return text;
    }
    static std::wstring Beside(const wchar_t* name)
    {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder(path);
        return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
    }
    static void SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value)
    {
        HKEY handle = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS) {
            return;
        }
        RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    }
    static void Remove(const standins::StandInClass& type)
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kClasses) + type.progId).c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kClasses) + L"CLSID\\" + ClsidText(type)).c_str());
    }

    Server server_;
    std::vector<const standins::StandInClass*> registered_;
};

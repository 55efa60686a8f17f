#pragma once

#include <windows.h>

// The stand-ins' classes: one per ProgID the register looks for, and the
// inspector through which tests read what the stand-ins were told.
namespace standins {

enum class Kind { WordProcessor, Spreadsheet, Inspector };

struct StandInClass {
    const wchar_t* progId;
    CLSID clsid;
    Kind kind;
};

inline const StandInClass kClasses[] = {
    {L"word.Application", {0x6d1b1f10, 0x5a9e, 0x4c8b, {0x9e, 0x21, 0x3a, 0x0f, 0x5c, 0x7d, 0x8e, 0x01}}, Kind::WordProcessor},
    {L"kwps.Application", {0x6d1b1f10, 0x5a9e, 0x4c8b, {0x9e, 0x21, 0x3a, 0x0f, 0x5c, 0x7d, 0x8e, 0x02}}, Kind::WordProcessor},
    {L"Excel.Application", {0x6d1b1f10, 0x5a9e, 0x4c8b, {0x9e, 0x21, 0x3a, 0x0f, 0x5c, 0x7d, 0x8e, 0x03}}, Kind::Spreadsheet},
    {L"Ket.Application", {0x6d1b1f10, 0x5a9e, 0x4c8b, {0x9e, 0x21, 0x3a, 0x0f, 0x5c, 0x7d, 0x8e, 0x04}}, Kind::Spreadsheet},
    {L"QuorvaTest.StandInInspector", {0x6d1b1f10, 0x5a9e, 0x4c8b, {0x9e, 0x21, 0x3a, 0x0f, 0x5c, 0x7d, 0x8e, 0x05}}, Kind::Inspector},
};

inline const StandInClass* ClassOf(const wchar_t* progId)
{
    for (const StandInClass& c : kClasses) {
        if (lstrcmpiW(c.progId, progId) == 0) return &c;
    }
    return nullptr;
}

}  // namespace standins

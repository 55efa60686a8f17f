#pragma once

#include <array>
#include <string>

// Which office application a command drives, and in which order it looks
// for one: the template's extension decides whether the WPS application or
// the Microsoft one is tried first.
namespace quorva {

enum class Acquire { Attach, Start };

struct AutomationAttempt {
    const char* progId;
    Acquire how;
};

using AutomationOrder = std::array<AutomationAttempt, 4>;

inline constexpr const char* kWordProgId = "word.Application";
inline constexpr const char* kWpsWriterProgId = "kwps.Application";
inline constexpr const char* kExcelProgId = "Excel.Application";
inline constexpr const char* kWpsSheetProgId = "Ket.Application";

// The extension of a path, with its dot, as a file name has it: empty when
// the last name has no dot.
std::string FileExtension(const std::string& path);
// ".WPS" in any letter case.
bool IsWpsTemplate(const std::string& templatePath);

AutomationOrder WordProcessorOrder(const std::string& templatePath);
AutomationOrder SpreadsheetOrder(const std::string& templatePath);

}  // namespace quorva

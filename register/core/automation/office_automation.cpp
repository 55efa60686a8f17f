#include "register/core/automation/office_automation.h"

#include <algorithm>
#include <cctype>

namespace quorva {

namespace {

const char* const kWpsExtension = ".WPS";

AutomationOrder Order(bool wpsFirst, const char* microsoft, const char* wps)
{
    const char* first = wpsFirst ? wps : microsoft;
    const char* second = wpsFirst ? microsoft : wps;
    return {AutomationAttempt{first, Acquire::Attach}, AutomationAttempt{first, Acquire::Start},
            AutomationAttempt{second, Acquire::Attach}, AutomationAttempt{second, Acquire::Start}};
}

}  // namespace

std::string FileExtension(const std::string& path)
{
    const std::size_t dot = path.find_last_of(".\\/:");
    if (dot == std::string::npos || path[dot] != '.') return std::string();
    return path.substr(dot);
}

bool IsWpsTemplate(const std::string& templatePath)
{
    std::string extension = FileExtension(templatePath);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension == kWpsExtension;
}

AutomationOrder WordProcessorOrder(const std::string& templatePath)
{
    return Order(IsWpsTemplate(templatePath), kWordProgId, kWpsWriterProgId);
}

AutomationOrder SpreadsheetOrder(const std::string& templatePath)
{
    return Order(IsWpsTemplate(templatePath), kExcelProgId, kWpsSheetProgId);
}

}  // namespace quorva

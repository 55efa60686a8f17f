#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "register/core/automation/approval_form.h"
#include "register/core/text/civil_date.h"

// The approval form without a word processor: the register fills a .docx or
// .rtf template itself and keeps the filled copy in a folder of its own.
namespace quorva {

inline const std::string kUnfillableTemplateMessage =
    std::string(kNoWordProcessorMessage) +
    "没有Word或WPS时，本系统只能直接填写.docx或.rtf格式的呈批表模板，请在系统设置选定这两种格式之一的模板";
inline constexpr const char* kFilledFormsFolderName = "呈批表";

// A template the register cannot fill itself, such as a binary .doc or .wps;
// its message names the formats it can.
class UnfillableTemplateError : public std::runtime_error {
public:
    UnfillableTemplateError() : std::runtime_error(kUnfillableTemplateMessage) {}
};

struct FilledForm {
    std::string contents;
    // ".docx" or ".rtf", as the contents are, whatever the template is
    // called: the installer's RTF sample is named ".doc".
    std::string extension;
};

// Raises UnfillableTemplateError for a template that is neither.
FilledForm FillFormTemplate(const std::string& templateContents, const std::vector<PlaceholderFill>& fills);

// The folder 呈批表 beside `file`: the database, or the settings file where
// the records are on a server.
std::string FilledFormsFolder(const std::string& file);

// "<收文号>_<yyyymmdd><extension>", "_2", "_3" … before the extension for
// the second and later attempts at a free name. Characters that a file name
// cannot hold become "_".
std::string FilledFormName(const std::string& receiptNumber, const CivilDate& received,
                           const std::string& extension, int attempt);

}  // namespace quorva

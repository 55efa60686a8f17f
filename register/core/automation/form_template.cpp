#include "register/core/automation/form_template.h"

#include <cstring>
#include <stdexcept>
#include <string_view>

#include "register/core/automation/docx_form.h"
#include "register/core/automation/rtf_form.h"

namespace quorva {

namespace {

constexpr std::string_view kZipSignature("PK\x03\x04", 4);
constexpr std::string_view kRtfSignature = "{\\rtf";
const char* const kDocxExtension = ".docx";
const char* const kRtfExtension = ".rtf";
const char* const kNotInFileNames = "<>:\"/\\|?*";
// The name of a form whose 收文号 is empty.
const char* const kUnnumberedName = "呈批表";

bool StartsWith(const std::string& text, std::string_view start)
{
    return text.compare(0, start.size(), start) == 0;
}

std::string FileNamePart(const std::string& text)
{
    std::string name;
    for (const char c : text) {
        const bool refused = static_cast<unsigned char>(c) < 0x20 || std::strchr(kNotInFileNames, c) != nullptr;
        name += refused ? '_' : c;
    }
    // Windows drops trailing dots and blanks from a name.
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name.empty() ? kUnnumberedName : name;
}

}  // namespace

FilledForm FillFormTemplate(const std::string& templateContents, const std::vector<PlaceholderFill>& fills)
{
    if (StartsWith(templateContents, kZipSignature)) return {FillDocx(templateContents, fills), kDocxExtension};
    if (StartsWith(templateContents, kRtfSignature)) return {FillRtf(templateContents, fills), kRtfExtension};
    throw UnfillableTemplateError();
}

std::string FilledFormsFolder(const std::string& file)
{
    const std::size_t separator = file.find_last_of("\\/");
    const std::string folder = separator == std::string::npos ? std::string() : file.substr(0, separator + 1);
    return folder + kFilledFormsFolderName;
}

std::string FilledFormName(const std::string& receiptNumber, const CivilDate& received,
                           const std::string& extension, int attempt)
{
    std::string name = FileNamePart(receiptNumber) + "_" + received.ToCompact();
    if (attempt > 1) name += "_" + std::to_string(attempt);
    return name + extension;
}

}  // namespace quorva

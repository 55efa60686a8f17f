#include "register/win32/automation/approval_form_printer.h"

#include "register/core/automation/approval_form.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/automation/approval_form_file.h"
#include "register/win32/automation/office_application.h"
#include "register/win32/automation/ole_exception.h"

namespace {

constexpr int kMostReplacements = 1000;

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void PrepareFind(const Dispatch& find, const std::string& placeholder)
{
    find.Call(L"ClearFormatting");
    find.Put(L"Text", placeholder);
    find.Property(L"Replacement").Put(L"Text", L"");
    find.Put(L"Forward", true);
    find.Put(L"Wrap", quorva::kFindWrapContinue);
    find.Put(L"Format", false);
    find.Put(L"MatchCase", false);
    find.Put(L"MatchWholeWord", false);
    find.Put(L"MatchByte", true);
    find.Put(L"MatchWildcards", false);
    find.Put(L"MatchSoundsLike", false);
    find.Put(L"MatchAllWordForms", false);
}

// A value that holds its own placeholder would be found again once typed,
// and the find wraps round: such a fill watches where it types and ends when
// the find comes back to that text. A word processor that reports positions
// otherwise, or not at all, still lets it end: after kMostReplacements the
// next placeholder is filled.
void TypeOverOccurrences(const Dispatch& selection, const Dispatch& find, const quorva::PlaceholderFill& fill)
{
    const bool holdsPlaceholder = fill.value.find(fill.placeholder) != std::string::npos;
    quorva::TypedStretches typed;
    for (int replaced = 0; replaced < kMostReplacements && find.Call(L"Execute").AsBool(); ++replaced) {
        if (!holdsPlaceholder) {
            selection.Call(L"TypeText", {fill.value});
            continue;
        }
        const long start = selection.Value(L"Start").AsLong();
        const long end = selection.Value(L"End").AsLong();
        if (typed.Overlaps(start, end)) return;
        selection.Call(L"TypeText", {fill.value});
        typed.Typed(start, end, selection.Value(L"End").AsLong());
    }
}

void FillPlaceholder(const Dispatch& application, const quorva::PlaceholderFill& fill)
{
    application.Property(L"Options").Put(L"ReplaceSelection", true);
    const Dispatch selection = application.Property(L"Selection");
    const Dispatch find = selection.Property(L"Find");
    PrepareFind(find, fill.placeholder);
    TypeOverOccurrences(selection, find, fill);
}

}  // namespace

bool PrintApprovalForm(const quorva::EntryDialog& dialog, const std::string& templatePath,
                       const std::string& formsFolder, quorva::Prompter& prompter, const quorva::DeadlineDays& days)
{
    if (!FileExists(templatePath)) {
        prompter.Show(quorva::kTemplateMissingMessage, quorva::kApplicationTitle, quorva::PromptIcon::Information,
                      quorva::PromptButtons::Ok);
        return false;
    }
    const Dispatch application = AcquireApplication(quorva::WordProcessorOrder(templatePath));
    if (!application) return FillApprovalFormFile(dialog, templatePath, formsFolder, prompter, days);
    application.Property(L"Application").Put(L"Visible", true);
    application.Property(L"Documents").Call(L"Add", {templatePath});
    for (const quorva::PlaceholderFill& fill : quorva::ApprovalFormFills(dialog, days)) {
        try {
            FillPlaceholder(application, fill);
        } catch (const EOleException&) {
            // A placeholder that fails is skipped without a word; the rest are filled.
        }
    }
    application.Property(L"Selection").CallNamed(L"homekey", L"unit", quorva::kHomeKeyUnitStory);
    return true;
}

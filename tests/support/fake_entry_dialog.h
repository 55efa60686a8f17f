#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "register/core/entry/entry_dialog.h"

// An entry dialog without a window: what the commands put in it is kept, and
// `clerk` plays the person (and the scanner) while it is shown.
class FakeEntryDialog : public quorva::EntryDialog {
public:
    void SetCaption(const std::string& text) override { caption = text; }
    void SetText(quorva::EntryField field, const std::string& text) override { texts[field] = text; }
    std::string Text(quorva::EntryField field) const override
    {
        const auto found = texts.find(field);
        return found == texts.end() ? std::string() : found->second;
    }
    void SetDate(quorva::EntryField field, const quorva::CivilDate& date) override
    {
        dates[field] = date;
        cleared.erase(field);
    }
    void ClearDate(quorva::EntryField field) override { cleared.insert(field); }
    bool HasDate(quorva::EntryField field) const override { return !cleared.count(field); }
    quorva::CivilDate Date(quorva::EntryField field) const override
    {
        const auto found = dates.find(field);
        return found == dates.end() ? kInitialDate : found->second;
    }
    bool ShowModal() override
    {
        ++shown;
        return clerk ? clerk(*this) : false;
    }

    static constexpr quorva::CivilDate kInitialDate{2014, 5, 24};
    std::string caption = quorva::kNewRecordCaption;
    std::map<quorva::EntryField, std::string> texts;
    std::map<quorva::EntryField, quorva::CivilDate> dates;
    std::set<quorva::EntryField> cleared;
    std::function<bool(FakeEntryDialog&)> clerk;
    int shown = 0;
};

// Hands out fake dialogs and keeps what each one was given.
class FakeEntryDialogFactory : public quorva::EntryDialogFactory {
public:
    std::unique_ptr<quorva::EntryDialog> CreateEntryDialog(const quorva::EntryDialogContext&) override
    {
        auto dialog = std::make_unique<FakeEntryDialog>();
        dialog->clerk = [this](FakeEntryDialog& shownDialog) {
            last = shownDialog;
            return clerk ? clerk(shownDialog) : false;
        };
        return dialog;
    }

    std::function<bool(FakeEntryDialog&)> clerk;
    FakeEntryDialog last;
};

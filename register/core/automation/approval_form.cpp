#include "register/core/automation/approval_form.h"

#include "register/core/deadlines/entry_deadline.h"

namespace quorva {

namespace {

struct Placeholder {
    const char* text;
    EntryField field;
};

// 密级 takes emmdj1 and emmdj2 together; the two dates are formatted.
const Placeholder kPlaceholders[] = {
    {"$收文日期$", EntryField::eswrq}, {"$收文号$", EntryField::eswzh},   {"$办文号$", EntryField::ebwh},
    {"$来文字号$", EntryField::ewh},   {"$文种$", EntryField::ewz},       {"$来文单位$", EntryField::elwdw},
    {"$密级$", EntryField::emmdj1},    {"$紧急$", EntryField::ejjcd},     {"$文件标题$", EntryField::ewjbt},
    {"$拟办意见$", EntryField::eybyj}, {"$请办意见$", EntryField::eqzpx}, {"$批办意见$", EntryField::ezgpx},
    {"$发文日期$", EntryField::efwrq}, {"$主送单位$", EntryField::ezsdw}, {"$条码编号$", EntryField::etmbh},
    {"$条码单位$", EntryField::etmzzdw}, {"$制作日期$", EntryField::ezzrq}, {"$发布层次$", EntryField::efbcq},
    {"$录入人$", EntryField::elrr},    {"$已呈批$", EntryField::eycp},    {"$经办人$", EntryField::ecpr},
    {"$已办结$", EntryField::eybj},    {"$存档号$", EntryField::ecdh},    {"$办理结果$", EntryField::ebljg},
    {"$备注$", EntryField::ebz},       {"$办理时限$", EntryField::eblsx},
};

std::string ValueOf(const EntryDialog& dialog, EntryField field, const DeadlineDays& days)
{
    switch (field) {
    case EntryField::eblsx: {
        const std::optional<CivilDate> deadline = DialogDeadline(dialog, days);
        return deadline ? ApprovalDate(*deadline) : std::string();
    }
    case EntryField::eswrq:
    case EntryField::efwrq:
        return dialog.HasDate(field) ? ApprovalDate(dialog.Date(field)) : "";
    case EntryField::emmdj1:
        return dialog.Text(EntryField::emmdj1) + dialog.Text(EntryField::emmdj2);
    default:
        return dialog.Text(field);
    }
}

}  // namespace

std::string ApprovalDate(const CivilDate& date)
{
    return std::to_string(date.year) + "." + std::to_string(date.month) + "." + std::to_string(date.day);
}

std::vector<PlaceholderFill> ApprovalFormFills(const EntryDialog& dialog, const DeadlineDays& days)
{
    std::vector<PlaceholderFill> fills;
    for (const Placeholder& placeholder : kPlaceholders) {
        std::string value = ValueOf(dialog, placeholder.field, days);
        if (value.empty()) value = kEmptyValueText;
        fills.push_back(PlaceholderFill{placeholder.text, std::move(value)});
    }
    return fills;
}

bool TypedStretches::Overlaps(long start, long end) const
{
    for (const auto& [from, to] : stretches_) {
        if (start < to && from < end) return true;
    }
    return false;
}

void TypedStretches::Typed(long matchStart, long matchEnd, long typedEnd)
{
    // What lies after the replaced text moves by the difference in length.
    const long shift = typedEnd - matchEnd;
    for (auto& [from, to] : stretches_) {
        if (from >= matchEnd) {
            from += shift;
            to += shift;
        }
    }
    stretches_.emplace_back(matchStart, typedEnd);
}

}  // namespace quorva

#include "register/core/search/search_form.h"

#include <algorithm>
#include <iterator>

#include "register/core/deadlines/deadline_rule.h"

namespace quorva {

namespace {

using K = SearchValueKind;
using P = SearchPreset;

}  // namespace

const std::array<SearchRow, kSearchRowCount> kSearchRows = {{
    {"收文日期：", Column::swrq, K::Digits, P::None},
    {"收文编号：", Column::swzh, K::Edit, P::None},
    {"来文单位：", Column::lwdw, K::Edit, P::None},
    {"文种：", Column::wz, K::DropDown, P::DocumentTypes},
    {"来文文号：", Column::wh, K::Edit, P::None},
    {"秘密等级：", Column::mmdj, K::DropDown, P::Classifications},
    {"紧急程度：", Column::jjcd, K::DropDown, P::Urgencies},
    {"文件标题：", Column::wjbt, K::Edit, P::None},
    {"拟办意见：", Column::ybyj, K::OneLineMemo, P::None},
    {"请办意见：", Column::fgldpx, K::OneLineMemo, P::None},
    {"批办意见：", Column::zyldpx, K::OneLineMemo, P::None},
    {"发文日期：", Column::fwrq, K::Digits, P::None},
    {"主送单位：", Column::zsdw, K::Edit, P::None},
    {"条码编号：", Column::tmbh, K::Edit, P::None},
    {"制作单位：", Column::tmzzdw, K::Edit, P::None},
    {"制作日期：", Column::zzrq, K::Digits, P::None},
    {"发布层次：", Column::fbcq, K::Edit, P::None},
    {"已办结：", Column::ybj, K::DropDown, P::YesNo},
    {"存档号：", Column::cdh, K::Edit, P::None},
    {"录入人：", Column::lrr, K::DropDown, P::PersonnelNames},
    {"办理结果：", Column::bljg, K::OneLineMemo, P::None},
    {"备注：", Column::bz, K::OneLineMemo, P::None},
    {"已呈批：", Column::ycp, K::DropDown, P::YesNo},
    {"呈批人：", Column::cpr, K::DropDown, P::PersonnelNames},
    {"办文编号：", Column::bwh, K::Edit, P::None},
    {"办理时限：", std::nullopt, K::Digits, P::None},
}};

namespace {

bool IsSearched(const SearchInput& input)
{
    return input.mode == static_cast<int>(SearchMode::Exact) || input.mode == static_cast<int>(SearchMode::Fuzzy);
}

}  // namespace

std::vector<SearchTerm> BuildSearchTerms(const SearchInputs& inputs)
{
    std::vector<SearchTerm> terms;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (!kSearchRows[i].column || !IsSearched(inputs[i])) continue;
        terms.push_back({*kSearchRows[i].column, static_cast<SearchMode>(inputs[i].mode), inputs[i].value});
    }
    return terms;
}

std::optional<DeadlineTerm> BuildDeadlineTerm(const SearchInputs& inputs)
{
    const SearchInput& input = inputs[kDeadlineSearchRow];
    if (!IsSearched(input)) return std::nullopt;
    return DeadlineTerm{static_cast<SearchMode>(input.mode), input.value};
}

// The value control takes digits only, so no wildcard needs reading.
bool Matches(const DeadlineTerm& term, const std::optional<CivilDate>& deadline)
{
    const std::string text = DeadlineText(deadline);
    if (term.mode == SearchMode::Exact) return text == term.value;
    return text.find(term.value) != std::string::npos;
}

const std::vector<std::string>& SearchPresetItems(SearchPreset preset)
{
    static const std::vector<std::string> none;
    static const std::vector<std::string> documentTypes = {"通知", "通报", "通告", "请示", "报告", "批复", "意见",
                                                           "纪要", "函",   "令",   "命令", "决定", "决议", "议案",
                                                           "指示", "公告", "公报", "规定", "条例"};
    static const std::vector<std::string> classifications = {"秘密", "机密", "绝密"};
    static const std::vector<std::string> urgencies = {"平急", "加急", "特急", "特提"};
    static const std::vector<std::string> yesNo = {kYes, kNo};
    switch (preset) {
    case SearchPreset::DocumentTypes: return documentTypes;
    case SearchPreset::Classifications: return classifications;
    case SearchPreset::Urgencies: return urgencies;
    case SearchPreset::YesNo: return yesNo;
    case SearchPreset::None:
    case SearchPreset::PersonnelNames: break;
    }
    return none;
}

std::string DigitsOf(const std::string& text)
{
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c >= '0' && c <= '9'; });
    return digits;
}

}  // namespace quorva

#include "register/core/entry/entry_form_presenter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "register/core/records/document_statements.h"
#include "register/core/entry/pick_list.h"
#include "register/store/sqlite_database.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"

namespace quorva {
namespace {

class FakeEntryForm : public EntryFormView {
public:
    std::string Caption() const override { return caption; }
    void ShowNote(const std::string& text) override { note = text; }
    void SetText(EntryField field, const std::string& text) override { texts[field] = text; }
    std::string Text(EntryField field) const override
    {
        const auto found = texts.find(field);
        return found == texts.end() ? std::string() : found->second;
    }
    void SetHighlighted(EntryField field, bool on) override
    {
        if (on) {
            red.insert(field);
        } else {
            red.erase(field);
        }
    }
    void Focus(EntryField field) override { focused = field; }
    void SetItems(EntryField field, const std::vector<std::string>& list) override { items[field] = list; }

    std::string caption = kNewRecordCaption;
    std::string note;
    std::map<EntryField, std::string> texts;
    std::set<EntryField> red;
    std::optional<EntryField> focused;
    std::map<EntryField, std::vector<std::string>> items;
};

class ScriptedEditor : public PickListEditor {
public:
    ScriptedEditor(std::optional<std::string> answer, std::string* seen) : answer_(std::move(answer)), seen_(seen) {}
    bool Edit(std::string& text) override
    {
        *seen_ = text;
        if (!answer_) return false;
        text = *answer_;
        return true;
    }

private:
    std::optional<std::string> answer_;
    std::string* seen_;
};

class ScriptedEditors : public PickListEditorFactory {
public:
    std::unique_ptr<PickListEditor> CreateEditor(PickList list) override
    {
        opened.push_back(list);
        return std::make_unique<ScriptedEditor>(answer, &seen);
    }
    std::optional<std::string> answer;
    std::string seen;
    std::vector<PickList> opened;
};

class EntryFormPresenterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WritePickList(settingsPath + ".xm", {"张三", "李四"});
        WritePickList(settingsPath + ".jg", {"京政发"});
        form.texts = {{EntryField::elwdw, "市政府"}, {EntryField::ewh, "京[2026]1号"}, {EntryField::ewjbt, "通知"}};
    }

    void Store(const std::string& wh, const std::string& swzh, const std::string& bwh)
    {
        TSQLiteDatabase db(dbPath);
        EnsureDocumentTable(db);
        RecordFields fields{};
        fields[static_cast<int>(Column::wh)] = wh;
        fields[static_cast<int>(Column::swzh)] = swzh;
        fields[static_cast<int>(Column::bwh)] = bwh;
        db.Execute(InsertRecordStatement(fields));
    }

    TempFolder folder;
    std::string dbPath = folder.File("Quorva.db");
    std::string settingsPath = folder.File("quorva.ini");
    ScriptedPrompter prompter;
    FakeEntryForm form;
    ScriptedEditors editors;
    EntryFormPresenter presenter{form, EntryDialogContext{dbPath, settingsPath, prompter}, editors};
};

TEST_F(EntryFormPresenterTest, RequiredFieldsAreCheckedOneAtATimeInOrder)
{
    form.texts[EntryField::elwdw] = "";
    form.texts[EntryField::ewjbt] = "";
    EXPECT_FALSE(presenter.Button4Click());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "注意：来文单位不能为空！");
    EXPECT_EQ(prompter.shown[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(form.red, std::set<EntryField>{EntryField::elwdw});
    EXPECT_EQ(form.focused, EntryField::elwdw);

    form.texts[EntryField::elwdw] = " ";
    EXPECT_FALSE(presenter.Button4Click());
    EXPECT_EQ(prompter.shown.back().text, "注意：来文标题不能为空！");
    EXPECT_EQ(form.red, std::set<EntryField>{EntryField::ewjbt}) << "the earlier red is undone";

    form.texts[EntryField::ewjbt] = "标题";
    form.texts[EntryField::ewh] = "";
    EXPECT_FALSE(presenter.Button4Click());
    EXPECT_EQ(prompter.shown.back().text, "注意：来文字号不能为空！");
}

TEST_F(EntryFormPresenterTest, WithoutATableThereIsNothingToCheck)
{
    EXPECT_TRUE(presenter.Button4Click());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(EntryFormPresenterTest, AnExistingReferenceAsksOnceWhenTheNumbersAreEmpty)
{
    Store("京[2026]1号", "", "");
    EXPECT_TRUE(presenter.Button4Click());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "来文字号已存在于数据库！您确认要创建新的数据记录吗？");
    EXPECT_EQ(prompter.shown[0].caption, "数据重复警告");
    EXPECT_EQ(prompter.shown[0].icon, PromptIcon::Warning);
    EXPECT_EQ(prompter.shown[0].buttons, PromptButtons::YesNo);
}

TEST_F(EntryFormPresenterTest, AYesThenANoKeepsTheDialogOpenWithBothFieldsRed)
{
    Store("other", "S-1", "B-1");
    form.texts[EntryField::eswzh] = "S-1";
    form.texts[EntryField::ebwh] = "B-1";
    prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
    EXPECT_FALSE(presenter.Button4Click());
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "收文编号已存在于数据库！您确认要创建新的数据记录吗？");
    EXPECT_EQ(prompter.shown[1].text, "办文编号已存在于数据库！您确认要创建新的数据记录吗？");
    EXPECT_EQ(form.red, (std::set<EntryField>{EntryField::eswzh, EntryField::ebwh}));
    EXPECT_EQ(form.focused, EntryField::ebwh);
}

TEST_F(EntryFormPresenterTest, TheReferenceIsComparedInItsNormalForm)
{
    Store("京〔2026〕1号", "", "");
    form.texts[EntryField::ewh] = " 京［２０２６］1号　";
    presenter.Button4Click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "来文字号已存在于数据库！您确认要创建新的数据记录吗？");
}

TEST_F(EntryFormPresenterTest, AnEditAsksToOverwriteAndNeverAboutDuplicates)
{
    Store("京[2026]1号", "S-1", "B-1");
    form.caption = kEditRecordCaption;
    form.texts[EntryField::eswzh] = "S-1";
    prompter.answers = {PromptAnswer::No};
    EXPECT_FALSE(presenter.Button4Click());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "修改将覆盖原有记录，您确认要修改选定的记录吗？");
    EXPECT_EQ(prompter.shown[0].caption, "确认修改");
    EXPECT_TRUE(presenter.Button4Click());
}

TEST_F(EntryFormPresenterTest, PickListsLoadNamesIntoBothDropDownsAndCodesIntoTheHiddenOne)
{
    presenter.LoadPickLists();
    EXPECT_EQ(form.items[EntryField::elrr], (std::vector<std::string>{"张三", "李四"}));
    EXPECT_EQ(form.items[EntryField::ecpr], (std::vector<std::string>{"张三", "李四"}));
    EXPECT_EQ(form.items[EntryField::eswzh1], std::vector<std::string>{"京政发"});
}

TEST_F(EntryFormPresenterTest, AMissingNamesFileLoadsNothing)
{
    std::filesystem::remove(std::filesystem::u8path(settingsPath + ".xm"));
    EXPECT_THROW(presenter.LoadPickLists(), std::runtime_error);
    EXPECT_TRUE(form.items.empty());
}

TEST_F(EntryFormPresenterTest, EditingTheNamesWritesTheFileAndRefreshesBothDropDowns)
{
    editors.answer = "王五\r\n\r\n𠀋䶮";
    presenter.Button10Click();
    EXPECT_EQ(editors.seen, "张三\r\n李四");
    EXPECT_EQ(editors.opened, std::vector<PickList>{PickList::Names});
    const std::vector<std::string> expected{"王五", "", "𠀋䶮"};
    EXPECT_EQ(ReadPickList(settingsPath + ".xm"), expected);
    EXPECT_EQ(form.items[EntryField::elrr], expected);
    EXPECT_EQ(form.items[EntryField::ecpr], expected);
    std::ifstream file(std::filesystem::u8path(settingsPath + ".xm"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, 6), "\xCD\xF5\xCE\xE5\r\n") << "code page 936 with CR LF";
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_F(EntryFormPresenterTest, CancellingTheEditorChangesNothing)
{
    editors.answer.reset();
    presenter.Button10Click();
    EXPECT_EQ(ReadPickList(settingsPath + ".xm"), (std::vector<std::string>{"张三", "李四"}));
    EXPECT_TRUE(form.items.empty());
}

TEST_F(EntryFormPresenterTest, TheAgencyCodesHaveTheirOwnEditor)
{
    editors.answer = "京政发\r\n国办发\r\n";
    presenter.Button6Click();
    EXPECT_EQ(editors.opened, std::vector<PickList>{PickList::AgencyCodes});
    EXPECT_EQ(ReadPickList(settingsPath + ".jg"), (std::vector<std::string>{"京政发", "国办发"}));
    EXPECT_EQ(form.items[EntryField::eswzh1], (std::vector<std::string>{"京政发", "国办发"}));
}

TEST(PickListFile, LinesAreTakenExactly)
{
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines("a\r\n"), std::vector<std::string>{"a"});
    EXPECT_EQ(SplitLines("a\r\n\r\n b \r\nc"), (std::vector<std::string>{"a", "", " b ", "c"}));
    EXPECT_EQ(SplitLines("\r\n"), std::vector<std::string>{""});
    EXPECT_EQ(SplitLines("a\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb");
}

}  // namespace
}  // namespace quorva

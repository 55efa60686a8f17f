#include "register/core/deadlines/deadline_table.h"
#include "register/core/statistics/statistics_presenter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "bench/counting_view.h"
#include "register/core/records/document_statements.h"
#include "register/core/statistics/bar_chart_layout.h"
#include "register/core/storage/store.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_store.h"

namespace quorva {
namespace {

const char* const kIni = "A:\\ovd\\quorva.ini";
const CivilDate kToday{2026, 12, 8};

struct Seed {
    const char* swrq;
    const char* wz;
    const char* lwdw;
    const char* mmdj;
    const char* jjcd;
    const char* ybj;
    const char* lrr;
};

// Five records in 2026 (one with the dashed date of older registers), and
// three outside it.
const Seed kRegister[] = {
    {"20260105", "通知", "市财政局", "秘密5年", "特急", "是", "张三"},
    {"20260220", "通知", "市财政局", "秘密", "平急", "否", "张三"},
    {"20260220", "请示", "区教育局", "机密10年", "平急", "", "李四"},
    {"2026-03-15", "函", "", "", "", "是", ""},
    {"20261231", "", "区教育局", "内部", "加急", "否", "张三"},
    {"20251231", "通知", "市财政局", "绝密", "特提", "是", "王五"},
    {"20270101", "通知", "市财政局", "绝密", "特提", "是", "王五"},
    {"", "通知", "市财政局", "绝密", "特提", "是", "王五"},
};

class TableView : public StatisticsView {
public:
    void ShowTable(const StatisticsTable& table, const std::vector<StatisticsRow>&, const std::string&) override
    {
        shown.clear();
        for (const StatisticsGroup& group : table.groups) {
            shown += (shown.empty() ? "" : " ") + group.label + "=" + std::to_string(group.count);
        }
        notice.clear();
    }
    void ShowNotice(const std::string& text) override
    {
        notice = text;
        shown.clear();
    }
    std::string shown;
    std::string notice;
};

class StatisticsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        profiles.Write(kIni, kSettingsSection, keys::kDatabaseFolder, folder.File("db"));
        std::filesystem::create_directories(folder.path() / "db");
        ChooseTestStore(profiles, kIni, secrets);
        main.FormCreate();
        main.FormShow();
    }

    void Add(const Seed& seed)
    {
        RecordFields fields{};
        const auto set = [&](Column column, const char* value) { fields[static_cast<int>(column)] = value; };
        set(Column::swrq, seed.swrq);
        set(Column::wz, seed.wz);
        set(Column::lwdw, seed.lwdw);
        set(Column::mmdj, seed.mmdj);
        set(Column::jjcd, seed.jjcd);
        set(Column::ybj, seed.ybj);
        set(Column::lrr, seed.lrr);
        main.store().Open()->Execute(InsertRecordStatement(fields));
    }

    TempFolder folder;
    FakeFileSystem fs;
    MemoryProfileStore profiles;
    ScriptedPrompter prompter;
    MarkingSecretBox secrets;
    bench::CountingView mainView;
    MainWindowPresenter main{mainView, MainWindowEnvironment{fs, profiles, prompter, "A:", {"X:\\Quorva"},
                                                             [] { return kToday; }, nullptr, nullptr, nullptr,
                                                             nullptr, {}, &secrets}};
    TableView view;
    StatisticsPresenter statistics{view, main};
};

TEST_F(StatisticsTest, EachGroupingCountsThePeriodsRecordsByItsRules)
{
    for (const Seed& seed : kRegister) Add(seed);
    const StatisticsPeriod year{PeriodKind::Year, kToday, kToday};
    const StatisticsPeriod backwards{PeriodKind::Range, {2026, 3, 31}, {2026, 2, 1}};
    const struct {
        StatisticsPeriod period;
        Grouping grouping;
        const char* groups;
    } cases[] = {
        {year, Grouping::Month,
         "2026年1月=1 2026年2月=2 2026年3月=1 2026年4月=0 2026年5月=0 2026年6月=0 2026年7月=0 2026年8月=0 "
         "2026年9月=0 2026年10月=0 2026年11月=0 2026年12月=1"},
        {backwards, Grouping::Month, "2026年2月=2 2026年3月=1"},
        {year, Grouping::DocumentType, "通知=2 （未填）=1 函=1 请示=1"},
        {year, Grouping::Sender, "区教育局=2 市财政局=2 （未填）=1"},
        {year, Grouping::Classification, "秘密=2 机密=1 绝密=0 （未填）=1 内部=1"},
        {year, Grouping::Urgency, "平急=2 加急=1 特急=1 特提=0 （未填）=1"},
        {year, Grouping::HandlingState, "已办结=2 未办结=3 超期未办结=0"},
        {year, Grouping::EnteredBy, "张三=3 （未填）=1 李四=1"},
    };
    for (const auto& c : cases) {
        statistics.ChooseGrouping(c.grouping);
        statistics.ChoosePeriod(c.period);
        EXPECT_EQ(view.shown, c.groups) << ChoiceOf(c.grouping).item;
    }
}

TEST_F(StatisticsTest, SendersAfterTheTwentiethAreOneGroupOtherWhoseClickListsThem)
{
    Add({"20260301", "", "单位01", "", "", "", ""});
    for (int n = 1; n <= 22; ++n) {
        const std::string sender = (n < 10 ? "单位0" : "单位") + std::to_string(n);
        Add({"20260301", "", sender.c_str(), "", "", "", ""});
    }
    statistics.ChooseGrouping(Grouping::Sender);
    EXPECT_EQ(view.shown.substr(0, view.shown.find(" 单位03")), "单位01=2 单位02=1");
    EXPECT_EQ(view.shown.substr(view.shown.rfind("单位20")), "单位20=1 其他=2");

    statistics.RowClick(kTopSenders);
    EXPECT_TRUE(main.queryMode());
    ASSERT_EQ(main.rows().size(), 2u);
    EXPECT_EQ(main.rows()[0].at(Column::lwdw), "单位21");
    EXPECT_EQ(main.rows()[1].at(Column::lwdw), "单位22");
    statistics.RowClick(kTopSenders + 1);
    EXPECT_EQ(main.rows().size(), 23u) << "合计 lists the whole period";
}

TEST_F(StatisticsTest, AClickedLevelListsEveryTermOfItAndAnEmptyPeriodShowsTheNotice)
{
    for (const Seed& seed : kRegister) Add(seed);
    statistics.ChooseGrouping(Grouping::Classification);
    statistics.RowClick(0);
    ASSERT_EQ(main.rows().size(), 2u);
    EXPECT_EQ(main.rows()[0].at(Column::mmdj), "秘密5年");
    EXPECT_EQ(main.rows()[1].at(Column::mmdj), "秘密");

    statistics.ChoosePeriod({PeriodKind::Month, {2026, 4, 1}, {2026, 4, 1}});
    EXPECT_EQ(view.notice, kEmptyPeriodNotice);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StatisticsTest, AnUnfinishedRecordPastItsOwnOrItsUrgencysDeadlineIsCountedOverdue)
{
    for (const Seed& seed : kRegister) Add(seed);
    Add({"20261201", "通知", "市财政局", "秘密", "特急", "否", "张三"});  // due 12-04 by its urgency
    {
        auto connection = main.store().Open();
        SaveOwnDeadline(*connection, 5, CivilDate{2026, 12, 7});   // 加急, but its own deadline has passed
        SaveOwnDeadline(*connection, 2, CivilDate{2026, 12, 31});  // not yet due
    }
    statistics.ChoosePeriod({PeriodKind::Year, kToday, kToday});
    statistics.ChooseGrouping(Grouping::HandlingState);
    EXPECT_EQ(view.shown, "已办结=2 未办结=2 超期未办结=2");
}

TEST(RoundAxisTest, ReachesTheLargestValueInRoundSteps)
{
    const struct {
        std::int64_t largest;
        int mostTicks;
        std::int64_t step;
        std::int64_t top;
    } cases[] = {{0, 5, 1, 1}, {7, 5, 2, 8}, {10, 5, 2, 10}, {23, 5, 5, 25}, {96, 5, 20, 100},
                 {1000001, 10, 200000, 1200000}};
    for (const auto& c : cases) {
        const AxisScale scale = RoundAxis(c.largest, c.mostTicks);
        EXPECT_EQ(scale.step, c.step) << c.largest;
        EXPECT_EQ(scale.top, c.top) << c.largest;
    }
}

}  // namespace
}  // namespace quorva

#include "exam/exam_settings.h"
#include "fixture_bank.h"
#include "store/exam_statements.h"

#include <gtest/gtest.h>

using exam::SettingsVerdict;
using testing_support::FixtureBank;

namespace {

struct SettingsCase {
    const char* name;
    exam::SettingsEdits edits;
    SettingsVerdict verdict;
};

class ExamSettingsChecks : public testing::TestWithParam<SettingsCase> {};

TEST_P(ExamSettingsChecks, FirstFailingCheckDecides) {
    EXPECT_EQ(exam::checkSettings(GetParam().edits), GetParam().verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExamSettingsChecks,
    testing::Values(
        SettingsCase{"AboveFifty", {"51", "0", "10", "5"}, SettingsVerdict::OverLimit},
        SettingsCase{"AboveFiftyBeforeEmpty", {"", "0", "0", "99"}, SettingsVerdict::OverLimit},
        SettingsCase{"TooManyDigits",
                     {"99999999999999999999999", "0", "1", "1"},
                     SettingsVerdict::OverLimit},
        SettingsCase{"OnlyMatching", {"0", "0", "0", "5"}, SettingsVerdict::AllZero},
        SettingsCase{"AnEmptyEdit", {"20", "0", "", "0"}, SettingsVerdict::Empty},
        SettingsCase{"DoubleZeroIsNotZero", {"00", "0", "0", "5"}, SettingsVerdict::Valid},
        SettingsCase{"FiftyIsAllowed", {"50", "0", "3", "50"}, SettingsVerdict::Valid},
        SettingsCase{"Typical", {"20", "0", "3", "0"}, SettingsVerdict::Valid}),
    [](const testing::TestParamInfo<SettingsCase>& info) { return info.param.name; });

class ExamSettingsStore : public testing::Test {
protected:
    void SetUp() override {
        fixture.rows().addExamParameter({"0", "30"});
        fixture.rows().addExamParameter({"7", "x"});
        fixture.rows().addExamParameter({"1", "y"});
        fixture.rows().addExamParameter({"2", "z"});
        fixture.finish();
        bank = std::make_unique<store::Bank>(fixture.bankPath());
    }

    FixtureBank fixture;
    std::unique_ptr<store::Bank> bank;
};

TEST_F(ExamSettingsStore, EditsShowTheUsersSingleCountAndTheOtherDrawingCounts) {
    EXPECT_EQ(exam::loadSettings(*bank), (exam::SettingsEdits{"30", "7", "1", "2"}));
}

TEST_F(ExamSettingsStore, StoringWritesAllFourRows) {
    exam::storeSettings(*bank, {"20", "0", "3", "0"});
    const std::vector<store::ExamParameter> rows = store::examParameters(*bank);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].txs, "20");
    EXPECT_EQ(rows[0].fg, "20");
    EXPECT_EQ(rows[1].txs, "0");
    EXPECT_EQ(rows[1].fg, "x");
    EXPECT_EQ(rows[2].txs, "3");
    EXPECT_EQ(rows[3].txs, "0");
}

TEST_F(ExamSettingsStore, TheLevelDecidesTheSingleChoiceDrawingCount) {
    exam::applyLevelToSingleChoiceCount(*bank, 0);
    EXPECT_EQ(store::examParameters(*bank)[0].txs, "0");
    exam::applyLevelToSingleChoiceCount(*bank, exam::associateSeniorLevel);
    EXPECT_EQ(store::examParameters(*bank)[0].txs, "30");
    EXPECT_EQ(store::examParameters(*bank)[0].fg, "30");
}

TEST(ExamSettingsShortTable, AMissingRowIsAnErrorAndNothingIsStored) {
    FixtureBank fixture;
    fixture.rows().addExamParameter({"1", "1"});
    fixture.finish();
    store::Bank bank(fixture.bankPath());
    EXPECT_THROW(exam::storeSettings(bank, {"20", "0", "3", "0"}), store::StoreError);
    EXPECT_EQ(store::examParameters(bank)[0].txs, "1");
}

} // namespace

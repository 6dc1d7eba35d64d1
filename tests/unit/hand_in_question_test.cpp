#include "exam/hand_in_question.h"
#include "fixture_bank.h"
#include "store/exam_statements.h"

#include <gtest/gtest.h>

namespace {

// A paper of three items: "1" single choice and "2" a matching group, both
// unanswered, and "3" multiple choice answered AC.
TEST(HandInQuestion, CountsStoredAnswersAndWhatThePageOnScreenShows) {
    testing_support::FixtureBank fixture;
    fixture.finish();
    store::Bank bank(fixture.bankPath());
    store::insertPaperItem(bank, {"1", "a1", {}, "单选", "1", "A", {}, {}, {}});
    store::insertPaperItem(bank, {"2", "a4", "配伍", {}, "2", {}, {}, "5", {}});
    store::insertPaperItem(bank, {"3", "a2", {}, "多选", "3", "AC", {}, {}, "AC"});

    const web::ControlState unticked{false, "A"}, ticked{true, "B"}, placeholder{false, "daan"},
        chosen{false, "B"};
    const struct {
        const char* onScreen;
        web::ControlSnapshot controls;
        int unanswered;
    } cases[] = {
        {"1", {}, 2},
        {"1", {{"11", unticked}, {"12", unticked}}, 2},
        {"1", {{"11", unticked}, {"12", ticked}}, 1},
        {"2", {{"21", placeholder}, {"22", placeholder}}, 2},
        {"2", {{"21", placeholder}, {"22", chosen}}, 1},
        {"3", {{"31", unticked}}, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exam::unansweredItems(bank, c.onScreen, c.controls), c.unanswered)
            << c.onScreen << " " << c.controls.size();

    EXPECT_EQ(exam::handInQuestion(2), "还有 2 道题未作答，确定交卷吗？");
    EXPECT_EQ(exam::handInQuestion(0), "确定交卷吗？");
}

} // namespace

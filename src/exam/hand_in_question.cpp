#include "exam/hand_in_question.h"

#include "store/exam_statements.h"

namespace exam {

namespace {

// A matching group's page holds drop-downs whose unchosen value is the
// placeholder; every other page holds options that count when ticked.
bool pageShowsChoice(const QString& lx, const web::ControlSnapshot& controls) {
    const bool dropDowns = lx == QLatin1String("a4");
    for (const web::ControlState& control : controls)
        if (dropDowns ? !control.value.isEmpty() && control.value != QLatin1String("daan")
                      : control.checked)
            return true;
    return false;
}

} // namespace

int unansweredItems(store::Bank& bank, const QString& tidOnScreen,
                    const web::ControlSnapshot& controls) {
    int unanswered = 0;
    for (const store::PaperItem& item : store::paperItems(bank)) {
        const bool answered =
            !item.tjda.isEmpty() || (item.tid == tidOnScreen && pageShowsChoice(item.lx, controls));
        if (!answered)
            ++unanswered;
    }
    return unanswered;
}

QString handInQuestion(int unanswered) {
    return unanswered > 0 ? QStringLiteral("还有 %1 道题未作答，确定交卷吗？").arg(unanswered)
                          : QStringLiteral("确定交卷吗？");
}

} // namespace exam

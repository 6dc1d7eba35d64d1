#include "exam/exam_session.h"

#include "exam/answer_sheet.h"
#include "exam/paper_drawer.h"
#include "practice/answer_match.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"

namespace exam {

namespace {

const QString matchingGroup = QStringLiteral("a4");
const QString placeholder = QStringLiteral("daan");
const char* const typeCodes[] = {"a1", "a2", "a3", "a4"};
const char* const typeNames[] = {"单项选择题", "多项选择题", "案例分析题", "配伍选择题"};

QString tableRow(const QString& name, int total, int right) {
    const QString n = QString::number(total), r = QString::number(right);
    return QStringLiteral("<tr align=\"center\"><td>") + name + QStringLiteral("</td> <td>") + n +
           QStringLiteral("</td> <td>") + r + QStringLiteral("</td><td>") + n +
           QStringLiteral("</td><td>") + r + QStringLiteral("</td><td>") +
           QString::number(ratePercent(right, total)) + QStringLiteral("%") +
           QStringLiteral("</td> </tr> ");
}

} // namespace

bool answerIsRight(const QString& lx, const QString& correct, const QString& given) {
    if (given.isEmpty())
        return false;
    const bool letterSet = lx == QLatin1String("a2") || lx == QLatin1String("a3");
    return practice::isRightAnswer(
        given, correct, letterSet ? practice::AnswerKind::LetterSet : practice::AnswerKind::Exact);
}

int ratePercent(int right, int total) {
    return total == 0 ? 0 : (200 * right + total) / (2 * total);
}

QString resultTable(const TypeTally tallies[4]) {
    QString table = QStringLiteral("<br><br>  <table border=\"0\" align=\"center\"><tr> "
                                   "<th>批 阅 试 卷 结 果</th> </tr> </table>") +
                    QStringLiteral("<br><br>  <table border=\"1\" align=\"center\"><tr> <th>题  "
                                   "型</th> <th>试 题 数</th>  <th> 答  对 </th>  <th> 总  分 "
                                   "</th>  <th> 得  分 </th>  <th>正 确 率</th> </tr> ");
    int total = 0, right = 0;
    for (int t = 0; t < 4; ++t) {
        const int n = tallies[t].right + tallies[t].wrong;
        total += n;
        right += tallies[t].right;
        if (n != 0)
            table += tableRow(QString::fromUtf8(typeNames[t]), n, tallies[t].right);
    }
    return table + tableRow(QStringLiteral("合  计"), total, right) + QStringLiteral("</table>");
}

ExamSession::ExamSession(store::Bank& bank, std::vector<store::PaperItem> items)
    : bank_(bank)
    , items_(std::move(items)) {
    if (!items_.empty())
        currentTid_ = items_.front().tid;
}

QString ExamSession::startNotice() {
    if (items_.empty() || promptedTypes_.contains(items_.front().lx))
        return {};
    promptedTypes_ << items_.front().lx;
    return sectionStartNotice(items_.front().lx);
}

QString ExamSession::typeOf(const QString& tid) {
    const std::optional<store::PaperItem> item = store::paperItemByTid(bank_, tid);
    return item ? item->lx : QString();
}

int ExamSession::answeredCount() {
    return int(store::answeredPaperItems(bank_).size());
}

QString ExamSession::answerOf(const store::PaperItem& item) const {
    return pending_ && pending_->tid == item.tid && pending_->answer ? *pending_->answer
                                                                     : item.tjda;
}

bool ExamSession::typeOpen(const QString& lx) {
    for (const store::PaperItem& item : store::paperItemsOfType(bank_, lx))
        if (answerOf(item).isEmpty())
            return true;
    return false;
}

bool ExamSession::typeStarted(const QString& lx) {
    for (const store::PaperItem& item : store::paperItemsOfType(bank_, lx))
        if (!answerOf(item).isEmpty())
            return true;
    return false;
}

CellPaint ExamSession::holdCurrentAnswer(const web::ControlSnapshot& controls) {
    const std::optional<store::PaperItem> item = store::paperItemByTid(bank_, currentTid_);
    if (!item)
        return {currentTid_, CellColour::LeftBlank};
    PendingAnswer pending{currentTid_, std::nullopt, {}};
    QString answer;
    if (item->lx == matchingGroup) {
        const std::vector<store::Question> subQuestions =
            store::questionsOfGroup(bank_, itemTargetId(*item));
        // A page that is not (yet) the item's page must not wipe its answers.
        for (const store::Question& sub : subQuestions)
            if (!controls.contains(QString::number(sub.id)))
                return {currentTid_,
                        item->tjda.isEmpty() ? CellColour::LeftBlank : CellColour::Answered};
        for (const store::Question& sub : subQuestions) {
            QString value = controls.value(QString::number(sub.id)).value;
            if (value == placeholder)
                value.clear();
            answer = value + answer;
            pending.subQuestionChoices.emplace_back(sub.id, value);
        }
        pending.answer = answer;
    } else {
        for (const store::Option& option : store::optionsOfQuestion(bank_, itemTargetId(*item)))
            if (controls.value(QString::number(option.id)).checked)
                answer += option.code;
        if (!answer.isEmpty())
            pending.answer = answer;
    }
    pending_ = std::move(pending);
    return {currentTid_, answer.isEmpty() ? CellColour::LeftBlank : CellColour::Answered};
}

void ExamSession::savePendingAnswer() {
    if (!pending_)
        return;
    const PendingAnswer pending = std::move(*pending_);
    pending_.reset();
    bank_.inTransaction([&] {
        for (const auto& [id, choice] : pending.subQuestionChoices)
            store::setQuestionLx(bank_, id, store::storedText(choice));
        if (pending.answer)
            store::setPaperAnswer(bank_, pending.tid, *pending.answer);
    });
}

SessionStep ExamSession::move(Move move, const web::ControlSnapshot& controls,
                              const QString& jumpTid) {
    SessionStep step = prepareMove(move, controls, jumpTid);
    savePendingAnswer();
    return step;
}

SessionStep ExamSession::prepareMove(Move move, const web::ControlSnapshot& controls,
                                     const QString& jumpTid) {
    savePendingAnswer();
    SessionStep step;
    if (handedIn_) {
        if (move == Move::Previous)
            step.messages << QStringLiteral("您已经交卷，不能进行\"上一题\"的操作！");
        else if (move == Move::Next)
            step.messages << QStringLiteral("您已经交卷，不能进行\"下一题\"的操作！");
        else if (store::paperItemByTid(bank_, jumpTid)) {
            currentTid_ = jumpTid;
            step.pageTid = jumpTid;
            step.variant = ExamPageVariant::Review;
        }
        return step;
    }
    const int answered = answeredCount();
    step.progress = answered + 1;
    step.answeredCount = move == Move::Jump ? std::min(answered + 1, paperSize()) : answered + 1;
    step.paints.push_back(holdCurrentAnswer(controls));

    const QString currentType = typeOf(currentTid_);
    const QString previousTid = currentTid_;
    const bool currentOpen = typeOpen(currentType);
    QString target = currentTid_;
    if (move == Move::Jump) {
        target = jumpTid;
    } else {
        for (size_t i = 0; i < items_.size(); ++i) {
            if (items_[i].tid != currentTid_)
                continue;
            if (move == Move::Next)
                target = items_[std::min(i + 1, items_.size() - 1)].tid;
            else
                target = items_[i == 0 ? 0 : i - 1].tid;
            break;
        }
    }
    const QString targetType = typeOf(target);
    if (targetType.isEmpty()) {
        step.messages << QStringLiteral("已经到最后了，没题了~！");
        step.paints.push_back({previousTid, CellColour::Current});
        return step;
    }
    if (targetType != currentType && currentOpen) {
        step.messages << QStringLiteral("请答完您所答的题型，才允许做您选择的题型");
        step.paints.push_back({previousTid, CellColour::Current});
        return step;
    }
    if (!typeStarted(targetType) && !promptedTypes_.contains(targetType)) {
        promptedTypes_ << targetType;
        step.messages << sectionPrompt(targetType);
    }
    currentTid_ = target;
    step.paints.push_back({currentTid_, CellColour::Current});
    step.pageTid = currentTid_;
    step.variant = move == Move::Jump ? ExamPageVariant::Jump : ExamPageVariant::Navigation;
    return step;
}

SessionStep ExamSession::handIn(const web::ControlSnapshot& controls) {
    savePendingAnswer();
    SessionStep step;
    if (handedIn_) {
        step.messages << QStringLiteral("您已经交卷，不能重复交卷！");
        return step;
    }
    const int answered = answeredCount();
    step.progress = answered + 1;
    step.answeredCount = std::min(answered + 1, paperSize());
    step.paints.push_back(holdCurrentAnswer(controls));
    savePendingAnswer();
    handedIn_ = true;
    TypeTally tallies[4];
    for (const store::PaperItem& item : store::paperItems(bank_)) {
        int type = 0;
        while (type < 4 && item.lx != QLatin1String(typeCodes[type]))
            ++type;
        if (type == 4)
            continue;
        if (item.lx == matchingGroup) {
            bool allRight = true;
            for (const store::Question& sub : store::questionsOfGroup(bank_, itemTargetId(item))) {
                const bool right = answerIsRight(item.lx, sub.answer, sub.lx);
                ++(right ? tallies[type].right : tallies[type].wrong);
                allRight = allRight && right;
            }
            step.paints.push_back({item.tid, allRight ? CellColour::Right : CellColour::Wrong});
            continue;
        }
        const bool right = answerIsRight(item.lx, item.da, item.tjda);
        ++(right ? tallies[type].right : tallies[type].wrong);
        step.paints.push_back({item.tid, right ? CellColour::Right : CellColour::Wrong});
    }
    step.resultTable = resultTable(tallies);
    return step;
}

} // namespace exam

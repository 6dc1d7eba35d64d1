#include "exam/exam_session.h"

#include "exam/answer_sheet.h"
#include "exam/paper_drawer.h"
#include "practice/answer_match.h"
#include "record/sitting.h"
#include "store/exam_statements.h"
#include "store/question_set_statements.h"
#include "store/question_statements.h"

#include <QHash>

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

// Fills in each question's chapter and type code from the bank.
void placeInBank(store::Bank& bank, record::Sitting& sitting) {
    std::vector<qint64> ids;
    for (const record::AnsweredQuestion& question : sitting.questions)
        ids.push_back(question.questionId);
    QHash<qint64, store::QuestionPlace> places;
    for (const store::QuestionPlace& place : store::placesOfQuestions(bank, ids))
        places.insert(place.questionId, place);
    for (record::AnsweredQuestion& question : sitting.questions)
        if (const auto place = places.constFind(question.questionId); place != places.cend()) {
            question.chapterId = place->chapterId;
            question.typeCode = place->typeCode;
        }
}

// Records the graded paper in a transaction of its own: the hand-in has
// written nothing else. Returns what to tell the user when it is not kept.
QString recordHandIn(store::Bank& bank, record::Sitting& sitting) {
    try {
        placeInBank(bank, sitting);
        return record::recordSittingOrExplain(bank, sitting);
    } catch (const store::StoreError& error) {
        return QStringLiteral("本次考试没有记入学习记录：%1").arg(error.message());
    }
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

ExamSession::ExamSession(store::Bank& bank, std::vector<store::PaperItem> items,
                         QDateTime startedAt)
    : bank_(bank)
    , items_(std::move(items))
    , startedAt_(std::move(startedAt)) {
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
    int count = 0;
    bool heldItemStored = false;
    for (const store::PaperItem& item : store::answeredPaperItems(bank_)) {
        heldItemStored = heldItemStored || (held_ && item.tid == held_->tid);
        count += answerOf(item).isEmpty() ? 0 : 1;
    }
    if (held_ && !heldItemStored && !held_->answer.isEmpty())
        ++count;
    return count;
}

QString ExamSession::answerOf(const store::PaperItem& item) const {
    return held_ && held_->tid == item.tid ? held_->answer : item.tjda;
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
    // A page that is not (yet) the item's page must not change its answer.
    const CellPaint asStored{currentTid_,
                             item->tjda.isEmpty() ? CellColour::LeftBlank : CellColour::Answered};
    HeldAnswer held{currentTid_, {}, 0, {}};
    QString answer;
    if (item->lx == matchingGroup) {
        held.group = itemTargetId(*item);
        const std::vector<store::Question> subQuestions =
            store::questionsOfGroup(bank_, held.group);
        for (const store::Question& sub : subQuestions)
            if (!controls.contains(QString::number(sub.id)))
                return asStored;
        for (const store::Question& sub : subQuestions) {
            QString value = controls.value(QString::number(sub.id)).value;
            if (value == placeholder)
                value.clear();
            answer = value + answer;
            held.subQuestionChoices.emplace_back(sub.id, value);
        }
    } else {
        const std::vector<store::Option> options =
            store::optionsOfQuestion(bank_, itemTargetId(*item));
        for (const store::Option& option : options)
            if (!controls.contains(QString::number(option.id)))
                return asStored;
        // Every box cleared withdraws the answer.
        for (const store::Option& option : options)
            if (controls.value(QString::number(option.id)).checked)
                answer += option.code;
    }
    held.answer = answer;
    held_ = std::move(held);
    return {currentTid_, answer.isEmpty() ? CellColour::LeftBlank : CellColour::Answered};
}

bool ExamSession::heldAnswerShowsOn(const QString& tid) {
    if (!held_)
        return false;
    if (held_->tid == tid)
        return true;
    if (held_->subQuestionChoices.empty())
        return false;
    // Another item of the same matching group shows the same choices.
    const std::optional<store::PaperItem> item = store::paperItemByTid(bank_, tid);
    return item && item->lx == matchingGroup && itemTargetId(*item) == held_->group;
}

void ExamSession::writeHeldAnswer(SessionStep& step) {
    if (!held_)
        return;
    const HeldAnswer held = std::move(*held_);
    held_.reset();
    try {
        bank_.inTransaction([&] {
            for (const auto& [id, choice] : held.subQuestionChoices)
                store::setQuestionLx(bank_, id, store::storedText(choice));
            store::setPaperAnswer(bank_, held.tid, held.answer);
        });
    } catch (const store::StoreError& error) {
        step.errors
            << QStringLiteral("第 %1 题的答案未能保存，请回到该题重新作答。\n").arg(held.tid) +
                   error.message();
        showStored(step, held.tid);
    }
}

void ExamSession::showStored(SessionStep& step, const QString& tid) {
    bool stored = false;
    std::optional<int> answered;
    try {
        const std::optional<store::PaperItem> item = store::paperItemByTid(bank_, tid);
        stored = item && !item->tjda.isEmpty();
        answered = answeredCount();
    } catch (const store::StoreError&) {
        // Unreadable as well: the cell shows no answer and the counter stays.
    }
    const CellColour colour = stored ? CellColour::Answered : CellColour::LeftBlank;
    bool painted = false;
    for (CellPaint& paint : step.paints)
        if (paint.tid == tid && paint.colour != CellColour::Current) {
            paint.colour = colour;
            painted = true;
        }
    if (!painted && tid != currentTid_)
        step.paints.push_back({tid, colour});
    step.progress = step.answeredCount = answered;
}

SessionStep ExamSession::saveHeldAnswer() {
    SessionStep step;
    writeHeldAnswer(step);
    return step;
}

SessionStep ExamSession::move(Move move, const web::ControlSnapshot& controls,
                              const QString& jumpTid) {
    SessionStep step = prepareMove(move, controls, jumpTid);
    writeHeldAnswer(step);
    return step;
}

SessionStep ExamSession::prepareMove(Move move, const web::ControlSnapshot& controls,
                                     const QString& jumpTid) {
    SessionStep step;
    writeHeldAnswer(step);
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
    step.paints.push_back(holdCurrentAnswer(controls));
    step.progress = step.answeredCount = answeredCount();

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
        writeHeldAnswer(step);
        return step;
    }
    if (targetType != currentType && currentOpen) {
        step.messages << QStringLiteral("请答完您所答的题型，才允许做您选择的题型");
        step.paints.push_back({previousTid, CellColour::Current});
        writeHeldAnswer(step);
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
    // The page of the same item is built from what the answer writes.
    if (heldAnswerShowsOn(currentTid_))
        writeHeldAnswer(step);
    return step;
}

SessionStep ExamSession::handIn(const web::ControlSnapshot& controls) {
    SessionStep step;
    writeHeldAnswer(step);
    if (handedIn_) {
        step.messages << QStringLiteral("您已经交卷，不能重复交卷！");
        return step;
    }
    step.paints.push_back(holdCurrentAnswer(controls));
    writeHeldAnswer(step);
    if (!step.errors.isEmpty()) {
        // Nothing is graded without an answer the candidate gave: the paper
        // stays open for it to be given again.
        step.paints.push_back({currentTid_, CellColour::Current});
        return step;
    }
    step.progress = step.answeredCount = answeredCount();
    handedIn_ = true;
    TypeTally tallies[4];
    record::Sitting sitting;
    sitting.kind = record::SittingKind::Exam;
    sitting.title = examSittingTitle;
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
                // A sub-question not answered still carries the drawing's tag.
                const QString given = sub.lx == matchingGroup ? QString() : sub.lx;
                sitting.questions.push_back({sub.id, {}, {}, given, sub.answer, right, item.tid});
                allRight = allRight && right;
            }
            step.paints.push_back({item.tid, allRight ? CellColour::Right : CellColour::Wrong});
            continue;
        }
        const bool right = answerIsRight(item.lx, item.da, item.tjda);
        ++(right ? tallies[type].right : tallies[type].wrong);
        bool numeric = false;
        if (const qint64 id = item.tgid.trimmed().toLongLong(&numeric); numeric)
            sitting.questions.push_back({id, {}, {}, item.tjda, item.da, right, item.tid});
        step.paints.push_back({item.tid, right ? CellColour::Right : CellColour::Wrong});
    }
    step.resultTable = resultTable(tallies);
    sitting.finishedAt = QDateTime::currentDateTime();
    sitting.durationMs = startedAt_.msecsTo(sitting.finishedAt);
    if (const QString notice = recordHandIn(bank_, sitting); !notice.isEmpty())
        step.messages << notice;
    return step;
}

} // namespace exam

#include "synthetic_history.h"

#include "record/sitting.h"
#include "store/bank.h"

#include <QHash>
#include <optional>
#include <random>

namespace banktool {

namespace {

struct Place {
    qint64 chapter = 0;
    QString typeCode;
};

class History {
public:
    History(const BankContent& content, const HistoryShape& shape)
        : shape_(shape)
        , engine_(shape.seed) {
        QHash<qint64, QString> codes;
        for (const store::QuestionType& type : content.types)
            codes.insert(type.id, type.code);
        QHash<qint64, Place> groups;
        for (const store::QuestionGroup& group : content.groups)
            groups.insert(group.id, {group.treeid, codes.value(group.qtypeid)});
        QHash<qint64, int> chapterIndex;
        for (const store::Question& question : content.questions) {
            const Place place = groups.value(question.readtextid);
            auto found = chapterIndex.constFind(place.chapter);
            if (found == chapterIndex.cend()) {
                found = chapterIndex.insert(place.chapter, int(chapters_.size()));
                chapters_.push_back({place.chapter, {}});
            }
            chapters_[size_t(*found)].questions.push_back(&question);
            places_.insert(question.id, place);
        }
        all_ = &content.questions;
        practiceLeft_ = std::max(0LL, shape.answers - 1LL * shape.exams * shape.questionsPerExam);
        examsLeft_ = chapters_.empty() ? 0 : shape.exams;
        if (chapters_.empty())
            practiceLeft_ = 0;
        // The sittings are spread evenly over the year before `until`.
        const qint64 estimate =
            std::max<qint64>(1, examsLeft_ + practiceLeft_ * qint64(chapters_.size()) /
                                                 std::max<qint64>(1, qint64(all_->size())));
        step_ = 365LL * 24 * 3600 / estimate;
        next_ = shape.until.addSecs(-365LL * 24 * 3600);
    }

    // The next sitting, oldest first; none after the last.
    std::optional<record::Sitting> next() {
        if (practiceLeft_ <= 0 && examsLeft_ <= 0)
            return std::nullopt;
        const bool exam = examsLeft_ > 0 &&
                          (practiceLeft_ <= 0 ||
                           below(int(practiceLeft_ / examsLeft_) + 1) < shape_.questionsPerExam);
        record::Sitting sitting;
        if (exam) {
            sitting = examSitting();
            --examsLeft_;
        } else {
            sitting = chapterSitting(practiceLeft_);
            practiceLeft_ -= qint64(sitting.questions.size());
        }
        next_ = std::min(shape_.until, next_.addSecs(step_));
        sitting.finishedAt = next_;
        return sitting;
    }

private:
    struct Chapter {
        qint64 id;
        std::vector<const store::Question*> questions;
    };

    int below(int bound) { return int(engine_() % std::uint32_t(std::max(1, bound))); }

    record::AnsweredQuestion answer(const store::Question& question, const QString& tid) {
        const Place place = places_.value(question.id);
        const QString right = question.answer.trimmed();
        record::AnsweredQuestion answered{
            question.id, place.chapter, place.typeCode, {}, right, false, tid};
        const int roll = below(80);
        if (roll < 10)
            return answered; // blank
        answered.correct = roll < 10 + 49;
        answered.given = answered.correct ? right
                                          : (right == QLatin1String("A") ? QStringLiteral("B")
                                                                         : QStringLiteral("A"));
        return answered;
    }

    record::Sitting chapterSitting(long long left) {
        const Chapter& chapter = chapters_[size_t(below(int(chapters_.size())))];
        record::Sitting sitting;
        sitting.kind = record::SittingKind::Chapter;
        sitting.chapterId = chapter.id;
        sitting.title = QStringLiteral("章节 %1").arg(chapter.id);
        const size_t count = std::min<size_t>(chapter.questions.size(), size_t(left));
        for (size_t i = 0; i < count; ++i)
            sitting.questions.push_back(answer(*chapter.questions[i], {}));
        sitting.durationMs = qint64(count) * (20000 + below(40000));
        return sitting;
    }

    record::Sitting examSitting() {
        record::Sitting sitting;
        sitting.kind = record::SittingKind::Exam;
        sitting.title = QStringLiteral("模拟考试");
        const int stride = std::max(1, int(all_->size()) / shape_.questionsPerExam);
        int at = below(stride);
        for (int tid = 1; tid <= shape_.questionsPerExam && at < int(all_->size()); ++tid) {
            sitting.questions.push_back(answer((*all_)[size_t(at)], QString::number(tid)));
            at += 1 + below(2 * stride - 1);
        }
        sitting.durationMs = 60LL * 60 * 1000 + below(60 * 60 * 1000);
        return sitting;
    }

    HistoryShape shape_;
    std::mt19937 engine_;
    std::vector<Chapter> chapters_;
    QHash<qint64, Place> places_;
    const std::vector<store::Question>* all_ = nullptr;
    long long practiceLeft_ = 0;
    int examsLeft_ = 0;
    qint64 step_ = 0;
    QDateTime next_;
};

} // namespace

void writeSyntheticHistory(const BankContent& content, const HistoryShape& shape,
                           const QString& bankPath) {
    if (shape.answers <= 0 && shape.exams <= 0)
        return;
    store::Bank bank(bankPath);
    History history(content, shape);
    bank.inTransaction([&] {
        while (const std::optional<record::Sitting> sitting = history.next())
            record::recordSitting(bank, *sitting);
    });
}

} // namespace banktool

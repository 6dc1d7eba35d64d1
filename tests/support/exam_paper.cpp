#include "exam_paper.h"

#include "store/exam_statements.h"
#include "store/question_statements.h"

namespace testing_support {

namespace {

void addQuestion(store::BankBuilder& rows, int id, int group, const QString& content,
                 const QString& answer, const QString& itemnum, const QString& lx,
                 int options = 0) {
    store::Question question;
    question.id = id;
    question.readtextid = group;
    question.content = content;
    question.answer = answer;
    question.itemnum = itemnum;
    question.lx = lx;
    rows.addQuestion(question);
    for (int i = 0; i < options; ++i)
        rows.addOption({id * 10 + 1 + i, id, QString(QChar(u'A' + i)),
                        QStringLiteral("选项%1").arg(QChar(u'A' + i))});
}

} // namespace

void addExamBankContent(store::BankBuilder& rows) {
    rows.addType({3, "1", "单选"});
    rows.addType({6, "4", "多选"});
    rows.addType({10, "8", "案例"});
    rows.addType({11, "9", "配伍"});
    rows.addGroup({1, 101, 3, {}, {}});
    rows.addGroup({2, 101, 6, {}, {}});
    rows.addGroup({3, 101, 10, "病例摘要", {}});
    rows.addGroup({4, 101, 11, "共用备选", "5"});
    addQuestion(rows, 11, 1, "单选题干", "B", {}, "a1", 5);
    addQuestion(rows, 21, 2, "多选题干", "ACD", {}, "a2", 5);
    addQuestion(rows, 31, 3, "案例提问", "A", "1", "a3", 4);
    addQuestion(rows, 41, 4, "配伍一", "B", "1", "B");
    addQuestion(rows, 42, 4, "配伍二", "A", "2", "D");
}

void writeSamplePaper(store::Bank& bank) {
    store::insertPaperItem(bank, {"1", "a1", {}, "单选题干", "11", "B", "pic/a.png", {}, "C"});
    store::insertPaperItem(bank, {"2", "a2", {}, "多选题干", "21", "ACD", {}, {}, "ACD"});
    store::insertPaperItem(bank, {"3.1", "a3", "病例摘要", "案例提问", "31", "A", {}, {}, {}});
    store::insertPaperItem(bank, {"4", "a4", "共用备选", {}, "4", {}, {}, "5", "DB"});
    store::setQuestionLx(bank, 41, "B");
    store::setQuestionLx(bank, 42, "D");
}

} // namespace testing_support

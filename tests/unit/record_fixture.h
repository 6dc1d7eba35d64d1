#pragma once

#include "fixture_bank.h"
#include "practice/grader.h"
#include "store/bank.h"
#include "store/record_statements.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace testing_support {

// Two chapters: 第一章 (101) holds singles 1–2 (answers A, B), a multiple 3
// (AC), a case group 3 of questions 4–5 (A, B) and a matching group 4 of
// questions 6–7 (A, B); 第二章 (102) holds single 8 (C) and a case group 6 of
// questions 9–10 (D, D). Options of question q are q·10 … q·10+3 (A–D); the
// matching questions have drop-downs a6, a7.
class RecordBank : public testing::Test {
protected:
    static constexpr qint64 firstChapter = 101, secondChapter = 102;

    RecordBank() {
        auto& rows = fixture.rows();
        rows.addType({3, "1", "单选"});
        rows.addType({6, "4", "多选"});
        rows.addType({10, "8", practice::caseHeading});
        rows.addType({11, "9", practice::matchingHeading});
        rows.addNode({firstChapter, "第一章", 0, 1, {}, {}});
        rows.addNode({secondChapter, "第二章", 0, 2, {}, {}});
        rows.addGroup({1, firstChapter, 3, {}, {}});
        rows.addGroup({2, firstChapter, 6, {}, {}});
        rows.addGroup({3, firstChapter, 10, "案例一", {}});
        rows.addGroup({4, firstChapter, 11, "配伍", "4"});
        rows.addGroup({5, secondChapter, 3, {}, {}});
        rows.addGroup({6, secondChapter, 10, "案例二", {}});
        question(1, 1, "A");
        question(2, 1, "B");
        question(3, 2, "AC");
        question(4, 3, "A");
        question(5, 3, "B");
        question(6, 4, "A", false);
        question(7, 4, "B", false);
        question(8, 5, "C");
        question(9, 6, "D");
        question(10, 6, "D");
        fixture.finish();
    }

    void question(qint64 id, qint64 group, const QString& answer, bool withOptions = true) {
        store::Question q;
        q.id = id;
        q.readtextid = group;
        q.answer = answer;
        q.content = QStringLiteral("题%1").arg(id);
        fixture.rows().addQuestion(q);
        if (withOptions)
            for (int i = 0; i < 4; ++i)
                fixture.rows().addOption({id * 10 + i, id, QString(QChar('A' + i)), "选项"});
    }

    // Ticks `letters` of question `id` (every option of it present).
    void tick(qint64 id, const QString& letters) {
        for (int i = 0; i < 4; ++i) {
            const QString letter(QChar('A' + i));
            controls.insert(QString::number(id * 10 + i), {letters.contains(letter), letter});
        }
    }
    void choose(qint64 id, const QString& value) {
        controls.insert(QStringLiteral("a%1").arg(id), {false, value});
    }

    void alter(const QStringList& statements) {
        testing_support::alterAsAnotherProgram(fixture.bankPath(), statements);
    }

    FixtureBank fixture;
    store::Bank bank{fixture.bankPath()};
    web::ControlSnapshot controls;
};

// An answer row as one comparable text: question, chapter, type, given, right, correct, tid.
inline std::string describe(const store::AnswerRow& a) {
    return QStringLiteral("q%1 ch%2 t%3 [%4] [%5] %6 %7")
        .arg(a.questionId)
        .arg(a.chapterId.value_or(0))
        .arg(a.typeCode, a.given, a.rightAnswer, a.correct ? "对" : "错", a.tid)
        .trimmed()
        .toStdString();
}

inline std::vector<std::string> describeAll(const std::vector<store::AnswerRow>& rows) {
    std::vector<std::string> texts;
    for (const store::AnswerRow& row : rows)
        texts.push_back(describe(row));
    return texts;
}

} // namespace testing_support

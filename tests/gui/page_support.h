#pragma once

#include "event_wait.h"
#include "store/bank_builder.h"
#include "web/html_view.h"

#include <gtest/gtest.h>

namespace testing_support {

// Chapter 101: a single-answer question 10007 (answer A), a case group with
// question 10008 (AB) and a matching question 10009 (B). Options of q are
// q·10+1 (A) and q·10+2 (B). The ids lie above 10000 on purpose: nothing on
// the page may assume small question keys.
inline void chapterContent(store::BankBuilder& rows) {
    rows.addType({3, "1", "单选题"});
    rows.addType({10, "8", "阅读案例多个问题8"});
    rows.addType({11, "9", "五个公用备选多个题每题一个选项9"});
    rows.addGroup({1, 101, 3, {}, {}});
    rows.addGroup({2, 101, 10, "病例", {}});
    rows.addGroup({3, 101, 11, "A．甲 B．乙", "5"});
    const std::tuple<int, int, const char*> questions[] = {
        {10007, 1, "A"}, {10008, 2, "AB"}, {10009, 3, "B"}};
    for (const auto& [id, group, answer] : questions) {
        store::Question q;
        q.id = id;
        q.readtextid = group;
        q.content = QStringLiteral("题%1").arg(id);
        q.answer = answer;
        q.explain = "解析";
        rows.addQuestion(q);
        if (group != 3) {
            rows.addOption({id * 10 + 1, id, "A", "甲"});
            rows.addOption({id * 10 + 2, id, "B", "乙"});
        }
    }
}

// A chapter large enough to be appended in two steps and in many containers:
// 600 single-answer questions 20001 … (answer A) in chapter 101.
inline void largeChapter(store::BankBuilder& rows) {
    rows.addType({3, "1", "单选题"});
    rows.addGroup({1, 101, 3, {}, {}});
    for (int id = 20001; id <= 20600; ++id) {
        store::Question q;
        q.id = id;
        q.readtextid = 1;
        q.content = QStringLiteral("题%1").arg(id);
        q.answer = "A";
        rows.addQuestion(q);
        rows.addOption({id * 10 + 1, id, "A", "甲"});
        rows.addOption({id * 10 + 2, id, "B", "乙"});
    }
}

// A large chapter of every kind of group, 60 times over: single-answer
// questions with a picture, case groups of two questions and matching groups
// of two, in chapter 101. Ids from 30000 on.
inline void largeMixedChapter(store::BankBuilder& rows) {
    rows.addType({3, "1", "单选题"});
    rows.addType({10, "8", "阅读案例多个问题8"});
    rows.addType({11, "9", "五个公用备选多个题每题一个选项9"});
    int id = 30000;
    for (int round = 0; round < 60; ++round) {
        const int group = 3 * round + 1;
        rows.addGroup({group, 101, 3, {}, {}});
        rows.addGroup({group + 1, 101, 10, QStringLiteral("<p>病例%1</p>").arg(round), {}});
        rows.addGroup({group + 2, 101, 11, "A．甲 B．乙", "5"});
        for (int g = group; g < group + 3; ++g)
            for (int n = 0; n < 2; ++n) {
                store::Question q;
                q.id = ++id;
                q.readtextid = g;
                q.content = QStringLiteral("题<i>%1</i>").arg(id);
                q.answer = "A";
                q.explain = QStringLiteral("<b>解析</b>");
                q.picurl = g == group ? QStringLiteral("pic/%1.png").arg(id) : QString();
                q.itemnum = QString::number(n + 1);
                rows.addQuestion(q);
                if (g != group + 2) {
                    rows.addOption({id * 10 + 1, id, "A", "甲"});
                    rows.addOption({id * 10 + 2, id, "B", "乙"});
                }
            }
    }
}

// Runs a script in the page and waits for its result.
inline QVariant evaluate(web::HtmlView* view, const QString& script) {
    const std::optional<QVariant> result = scriptResult(view, script);
    EXPECT_TRUE(result.has_value()) << script.toStdString();
    return result.value_or(QVariant());
}

} // namespace testing_support

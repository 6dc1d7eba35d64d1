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

// Runs a script in the page and waits for its result.
inline QVariant evaluate(web::HtmlView* view, const QString& script) {
    const std::optional<QVariant> result = scriptResult(view, script);
    EXPECT_TRUE(result.has_value()) << script.toStdString();
    return result.value_or(QVariant());
}

} // namespace testing_support

#pragma once

#include <QString>

// One struct per table of the bank. Identifiers are integers; every other column
// is text exactly as stored. Flags are "1" when set and empty when clear.
namespace store {

struct TreeNode {
    int id = 0;
    QString nodename;
    int parentid = 0;
    int code = 0;
    QString scbt;
    QString ct;
};

struct QuestionGroup { // readtext
    int id = 0;
    int treeid = 0;
    int qtypeid = 0;
    QString content;
    QString opnum;
};

struct QuestionType { // qtype
    int id = 0;
    QString code;
    QString title;
};

struct Question {
    int id = 0;
    int readtextid = 0;
    QString content;
    QString answer;
    QString explain;
    QString picurl;
    QString itemnum;
    QString scbt;
    QString ct;
    QString ct1;
    QString lx;
};

struct Option { // opinion
    int id = 0;
    int questionid = 0;
    QString code;
    QString content;
};

struct Subject { // kemu
    QString ID;
    QString mz;
};

struct Tally { // fenshu
    QString tx;
    QString sts;
    QString dd;
};

struct ExamParameter { // ts
    QString txs;
    QString fg;
};

struct PaperItem { // sj
    QString tid;
    QString lx;
    QString alt;
    QString tg;
    QString tgid;
    QString da;
    QString tp;
    QString xx;
    QString tjda;
};

// A picture name of blanks only names no picture.
inline bool hasPicture(const Question& question) {
    return !question.picurl.trimmed().isEmpty();
}

inline const QString flagSet = QStringLiteral("1");
// Empty but not null: a null QString would be stored as NULL.
inline const QString flagClear = QString("");

// Text as it must be written: never NULL, always text.
inline QString storedText(const QString& text) {
    return text.isNull() ? flagClear : text;
}

} // namespace store

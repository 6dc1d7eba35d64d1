#pragma once

#include <QString>
#include <QtGlobal>

// One struct per table of the bank. Identifiers are 64-bit integers, as SQLite
// stores them; every other column is text exactly as stored. Flags are "1" when set and empty when
// clear.
namespace store {

struct TreeNode {
    qint64 id = 0;
    QString nodename;
    qint64 parentid = 0;
    qint64 code = 0;
    QString scbt;
    QString ct;
};

struct QuestionGroup { // readtext
    qint64 id = 0;
    qint64 treeid = 0;
    qint64 qtypeid = 0;
    QString content;
    QString opnum;
};

struct QuestionType { // qtype
    qint64 id = 0;
    QString code;
    QString title;
};

struct Question {
    qint64 id = 0;
    qint64 readtextid = 0;
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
    qint64 id = 0;
    qint64 questionid = 0;
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

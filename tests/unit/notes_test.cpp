#include "fixture_bank.h"
#include "other_program.h"
#include "practice/page_builder.h"
#include "practice/question_notes.h"
#include "services/bank_backup.h"
#include "store/bank.h"
#include "store/note_statements.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using practice::questionNote;
using practice::questionNoteHtml;
using practice::saveQuestionNote;
using store::Bank;
using testing_support::FixtureBank;

namespace {

constexpr int chapter = 101;

class Notes : public testing::Test {
protected:
    void SetUp() override {
        auto& rows = fixture.rows();
        fixture.addDefaultHeader();
        rows.addType({3, "1", "A1型题"});
        rows.addNode({1, "总论", 0, 1, {}, {}});
        rows.addNode({10, "节", 1, 0, {}, {}});
        rows.addNode({chapter, "章", 10, 0, {}, {}});
        rows.addGroup({1, chapter, 3, {}, {}});
        for (int id : {7, 8}) {
            store::Question question;
            question.id = id;
            question.readtextid = 1;
            question.content = QStringLiteral("题%1").arg(id);
            rows.addQuestion(question);
        }
        fixture.finish();
    }

    QString pageText() {
        QStringList fragments;
        practice::buildChapterPage(bank, chapter, collections::ViewMode::WholeBank, fragments);
        return fragments.join(QString());
    }

    FixtureBank fixture;
    Bank bank{fixture.bankPath()};
};

TEST_F(Notes, ANoteRoundTripsAndShowsUnderItsQuestionAsEscapedText) {
    const QString note = QStringLiteral("<script>alert(1)</script> & \"记\"\n第二行");
    EXPECT_EQ(questionNote(bank, 7), QString()); // a bank without our tables has no notes
    EXPECT_EQ(pageText().count("class=\"mqnote\""), 2);

    saveQuestionNote(bank, 7, note);
    EXPECT_EQ(questionNote(bank, 7), note);
    const QString escaped =
        QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;记&quot;<br>第二行");
    EXPECT_EQ(questionNoteHtml(bank, 7), escaped);
    const QString page = pageText();
    EXPECT_TRUE(
        page.contains(QStringLiteral("<div class=\"mqnote\" id=\"note7\"><b>我的笔记：</b>") +
                      escaped + "</div>"))
        << page.toStdString();
    EXPECT_TRUE(page.contains("<div class=\"mqnote\" id=\"note8\" style=\"display:none\"></div>"));
    EXPECT_FALSE(page.contains("<script>"));
    EXPECT_TRUE(page.contains("window.location.href='http://note7'"));

    saveQuestionNote(bank, 7, QStringLiteral("改过的笔记"));
    EXPECT_EQ(questionNote(bank, 7), "改过的笔记");
    saveQuestionNote(bank, 7, QStringLiteral("  \n "));
    EXPECT_EQ(questionNote(bank, 7), QString());
    EXPECT_EQ(questionNoteHtml(bank, 7), QString());
}

TEST_F(Notes, ALongNoteIsCutToTheLimit) {
    saveQuestionNote(bank, 8, QString(practice::maxNoteLength + 50, QChar(u'记')));
    EXPECT_EQ(questionNote(bank, 8).size(), practice::maxNoteLength);
}

TEST_F(Notes, NotesAreCarriedByABackupAndComeBackWithItsRestore) {
    saveQuestionNote(bank, 7, QStringLiteral("备份前的笔记"));
    bank.close();
    QTemporaryDir elsewhere;
    const QString backupPath = elsewhere.filePath("backup.db");
    services::backupBank(fixture.bankPath(), backupPath);

    saveQuestionNote(bank, 7, QStringLiteral("备份后改的笔记"));
    saveQuestionNote(bank, 8, QStringLiteral("备份后新的笔记"));
    services::restoreBank(fixture.programFolder(), backupPath);
    EXPECT_EQ(questionNote(bank, 7), "备份前的笔记");
    EXPECT_EQ(questionNote(bank, 8), QString());
}

TEST_F(Notes, DamagedNotesTablesAreLeftAloneAndPagesStillShow) {
    saveQuestionNote(bank, 7, QStringLiteral("笔记"));
    bank.close();
    {
        testing_support::OtherProgram other(fixture.bankPath());
        other.run("ALTER TABLE mq_note DROP COLUMN written_at");
    }
    EXPECT_THROW(saveQuestionNote(bank, 8, QStringLiteral("新笔记")), store::OwnTablesUnusable);
    EXPECT_EQ(questionNote(bank, 7), QString());
    EXPECT_EQ(pageText().count("class=\"mqnote\""), 2);
}

} // namespace

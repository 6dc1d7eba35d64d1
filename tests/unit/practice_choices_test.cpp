#include "practice/kept_answers.h"
#include "services/practice_choices.h"
#include "services/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using services::PracticeChoices;

namespace {

class PracticeChoicesFile : public testing::Test {
protected:
    void write(const QByteArray& content) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray content() {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString path() const { return dataFolder() + services::settingsFileName; }
    QString dataFolder() const { return folder_.path() + "/"; }

private:
    QTemporaryDir folder_;
};

TEST_F(PracticeChoicesFile, MissingFileGivesNoChosenSizeAndJudgingOff) {
    const PracticeChoices choices = services::readPracticeChoices(dataFolder());
    EXPECT_EQ(choices.textSize, 0);
    EXPECT_EQ(choices.fontLevel, 2);
    EXPECT_FALSE(choices.instantJudging);
}

TEST_F(PracticeChoicesFile, WritingKeepsTheMaintainersLinesAndReadsBack) {
    const QByteArray maintained =
        "; 反馈服务器\n[Feedback]\nServer=db.test.invalid\n\n"
        "[Practice]\n; 练习\nFontLevel=3\n\n[StatusBar]\nServiceLine=您好\n";
    write(maintained);
    ASSERT_TRUE(services::writePracticeChoices(dataFolder(), {5, 19, true}));
    EXPECT_EQ(content(), QByteArray("; 反馈服务器\n[Feedback]\nServer=db.test.invalid\n\n"
                                    "[Practice]\n; 练习\nFontLevel=5\nTextSize=19\n"
                                    "InstantJudging=true\n\n[StatusBar]\nServiceLine=您好\n"));
    const PracticeChoices read = services::readPracticeChoices(dataFolder());
    EXPECT_EQ(read.fontLevel, 5);
    EXPECT_EQ(read.textSize, 19);
    EXPECT_TRUE(read.instantJudging);
    EXPECT_EQ(services::readSettings(dataFolder()).serviceLine, QString("您好"));

    // Written again: the same file, nothing doubled.
    ASSERT_TRUE(services::writePracticeChoices(dataFolder(), {5, 19, true}));
    EXPECT_EQ(content().count("TextSize"), 1);
}

TEST_F(PracticeChoicesFile, UnusableValuesKeepTheDefaults) {
    write("[Practice]\nFontLevel=-4\nTextSize=400\nInstantJudging=yes please\n");
    const PracticeChoices choices = services::readPracticeChoices(dataFolder());
    EXPECT_EQ(choices.fontLevel, 2);
    EXPECT_EQ(choices.textSize, 0);
    EXPECT_FALSE(choices.instantJudging);
}

TEST(KeptAnswers, KeepsOnlyAnswersAndAPageLeftEarlyAddsToWhatItHad) {
    practice::KeptAnswers kept;
    const QString page = practice::KeptAnswers::pageOf(collections::ViewMode::WholeBank, 101);
    kept.keep(page,
              {{"100071", {true, "A"}},
               {"100072", {false, "B"}},
               {"a10009", {false, "daan"}},
               {"xs10007", {false, "显示答案"}}},
              true);
    EXPECT_EQ(kept.answersOf(page).keys(), QStringList({"100071"}));
    // Left before its kept answers were put back: they stay, with the new one.
    kept.keep(page, {{"a10009", {false, "B"}}}, false);
    EXPECT_EQ(kept.answersOf(page).size(), 2);
    // Left complete with nothing answered: nothing is kept.
    kept.keep(page, {{"100071", {false, "A"}}}, true);
    EXPECT_TRUE(kept.answersOf(page).isEmpty());
    EXPECT_NE(page, practice::KeptAnswers::pageOf(collections::ViewMode::Favourites, 101));
}

} // namespace

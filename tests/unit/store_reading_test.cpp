#include "fixture_bank.h"
#include "other_program.h"
#include "store/bank.h"
#include "store/question_statements.h"
#include "store/tree_statements.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace store;
using testing_support::FixtureBank;
using testing_support::OtherProgram;

namespace {

QString messageOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const StoreError& error) {
        return error.message();
    }
    return {};
}

// Overwrites one page of the file with bytes no page starts with.
void damagePage(const QString& path, qint64 pageNumber, qint64 pageSize) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek((pageNumber - 1) * pageSize));
    ASSERT_EQ(file.write(QByteArray(pageSize, '\xee')), pageSize);
}

TEST(StoreReading, DamagedPageInTheMiddleOfATableStopsTheReadNamingTheFile) {
    FixtureBank fixture;
    constexpr int nodes = 2000;
    for (int id = 1; id <= nodes; ++id)
        fixture.rows().addNode({id, QStringLiteral("第%1章 ").arg(id).repeated(8), 0, 1, {}, {}});
    fixture.finish();
    QVariantList leaves;
    qint64 pageSize = 0;
    {
        OtherProgram inspector(fixture.bankPath());
        pageSize = inspector.run("PRAGMA page_size").value(0).toLongLong();
        leaves =
            inspector.run("SELECT pageno FROM dbstat WHERE name = 'tree' AND pagetype = 'leaf' "
                          "ORDER BY pageno");
    }
    ASSERT_GT(leaves.size(), 10);
    damagePage(fixture.bankPath(), leaves[leaves.size() / 2].toLongLong(), pageSize);

    Bank bank(fixture.bankPath());
    const QString message = messageOf([&] { topLevelNodes(bank); });
    EXPECT_TRUE(message.contains(fixture.bankPath())) << message.toStdString();
    EXPECT_TRUE(message.contains("读取题库时出错")) << message.toStdString();
}

constexpr qint64 beyond31Bits = (qint64(1) << 31) + 1;
constexpr qint64 beyond32Bits = (qint64(1) << 32) + 14001;

// Ids that do not fit 32 bits beside one they would wrap onto.
class StoreIds : public testing::Test {
protected:
    void SetUp() override {
        auto& rows = fixture.rows();
        rows.addType({3, "1", "单选"});
        rows.addNode({1, "总论", 0, 1, {}, {}});
        rows.addNode({beyond31Bits, "第一节", 1, 0, {}, {}});
        rows.addNode({beyond32Bits, "大编号章", beyond31Bits, 0, {}, {}});
        rows.addNode({14001, "小编号章", beyond31Bits, 0, {}, {}});
        rows.addGroup({beyond32Bits, beyond32Bits, 3, {}, {}});
        for (const qint64 id : {qint64(14001), beyond31Bits, beyond32Bits}) {
            Question q;
            q.id = id;
            q.readtextid = beyond32Bits;
            q.content = QStringLiteral("题%1").arg(id);
            rows.addQuestion(q);
            rows.addOption({id * 10 + 1, id, "A", "甲"});
        }
        fixture.finish();
    }

    FixtureBank fixture;
    Bank bank{fixture.bankPath()};
};

TEST_F(StoreIds, IdsBeyond32BitsAreReadExactly) {
    const auto chapters = childNodes(bank, beyond31Bits);
    ASSERT_EQ(chapters.size(), 2u);
    EXPECT_EQ(chapters[0].id, beyond32Bits);
    EXPECT_EQ(chapters[0].parentid, beyond31Bits);
    EXPECT_EQ(chapters[1].id, 14001);
    const auto questions = questionsOfChapter(bank, beyond32Bits);
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[1].id, beyond31Bits);
    EXPECT_EQ(questions[2].id, beyond32Bits);
    EXPECT_EQ(questions[2].readtextid, beyond32Bits);
    EXPECT_EQ(optionsOfQuestion(bank, beyond32Bits).at(0).id, beyond32Bits * 10 + 1);
    EXPECT_EQ(questionById(bank, beyond32Bits)->content, QStringLiteral("题%1").arg(beyond32Bits));
    EXPECT_TRUE(questionsOfChapter(bank, 14001).empty());

    setQuestionFlag(bank, beyond32Bits, QuestionFlag::Wrong, true);
    EXPECT_EQ(questionById(bank, 14001)->ct, QString(""));
    EXPECT_EQ(questionById(bank, beyond32Bits)->ct, QString("1"));
}

TEST_F(StoreIds, IdThatIsNoIntegerIsRefused) {
    {
        OtherProgram writer(fixture.bankPath());
        writer.run("UPDATE question SET id = 1.5e19 WHERE id = 14001");
    }
    const QString message = messageOf([&] { questionsOfChapter(bank, beyond32Bits); });
    EXPECT_TRUE(message.contains("题库中的编号")) << message.toStdString();
}

} // namespace

#include "fixture_bank.h"
#include "store/bank.h"
#include "store/own_tables.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

using store::Bank;
using store::OwnTableSet;
using store::OwnTablesState;
using store::OwnTablesUnusable;
using testing_support::FixtureBank;

namespace {

const OwnTableSet notebook{
    QStringLiteral("notebook"),
    QStringLiteral("笔记本"),
    {{QStringLiteral("CREATE TABLE mq_notebook (id INTEGER PRIMARY KEY, text TEXT NOT NULL)")},
     {QStringLiteral("ALTER TABLE mq_notebook ADD COLUMN written TEXT"),
      QStringLiteral("CREATE INDEX mq_notebook_written ON mq_notebook (written)")}}};

const OwnTableSet firstLayout{notebook.name, notebook.title, {notebook.steps.front()}};

struct OwnTablesTest : testing::Test {
    OwnTablesTest() {
        fixture.addDefaultHeader();
        fixture.finish();
    }

    void alter(const QStringList& statements) {
        testing_support::alterAsAnotherProgram(fixture.bankPath(), statements);
    }

    QStringList ourTables() {
        QStringList names;
        store::StatementResult rows = bank.execute(
            QStringLiteral("SELECT name FROM sqlite_master WHERE name LIKE 'mq\\_%' ESCAPE '\\' "
                           "ORDER BY name"));
        while (rows.next())
            names << rows.row().value(0).toString();
        return names;
    }

    FixtureBank fixture;
    Bank bank{fixture.bankPath()};
};

TEST_F(OwnTablesTest, ABankWithoutOurTablesIsValidAndGetsThemOnFirstUse) {
    bank.open();
    EXPECT_EQ(store::ownTablesStatus(bank, notebook).state, OwnTablesState::Absent);
    EXPECT_TRUE(ourTables().isEmpty());

    store::ensureOwnTables(bank, notebook);
    EXPECT_EQ(store::ownTablesStatus(bank, notebook).state, OwnTablesState::Current);
    EXPECT_EQ(ourTables(), QStringList({"mq_meta", "mq_notebook", "mq_notebook_written"}));
    store::ensureOwnTables(bank, notebook); // a second call finds them ready
    bank.execute(QStringLiteral("INSERT INTO mq_notebook (text, written) VALUES ('x', 'y')"));
}

TEST_F(OwnTablesTest, TablesMadeForAFirstWriteVanishWithItWhenItFails) {
    EXPECT_THROW(bank.inTransaction([&] {
        store::ensureOwnTables(bank, notebook);
        bank.execute(QStringLiteral("INSERT INTO mq_notebook (text) VALUES ('x')"));
        throw store::StoreError(QStringLiteral("磁盘已满"));
    }),
                 store::StoreError);
    EXPECT_TRUE(ourTables().isEmpty());
    EXPECT_EQ(store::ownTablesStatus(bank, notebook).state, OwnTablesState::Absent);
}

TEST_F(OwnTablesTest, AnOlderLayoutIsBroughtUpToDateKeepingItsRows) {
    store::ensureOwnTables(bank, firstLayout);
    bank.execute(QStringLiteral("INSERT INTO mq_notebook (text) VALUES ('旧笔记')"));
    EXPECT_EQ(store::ownTablesStatus(bank, notebook).state, OwnTablesState::Older);

    store::ensureOwnTables(bank, notebook);
    EXPECT_EQ(store::ownTablesStatus(bank, notebook).state, OwnTablesState::Current);
    store::StatementResult rows =
        bank.execute(QStringLiteral("SELECT text, written FROM mq_notebook"));
    ASSERT_TRUE(rows.next());
    EXPECT_EQ(rows.row().value(0).toString(), "旧笔记");
}

// Tables another program damaged or a later version wrote are left as they are.
struct Unusable {
    const char* name;
    QStringList damage;
    OwnTablesState state;
    const char* said;
    friend void PrintTo(const Unusable& c, std::ostream* out) { *out << c.name; }
};

class UnusableOwnTables : public OwnTablesTest, public testing::WithParamInterface<Unusable> {};

TEST_P(UnusableOwnTables, AreLeftAloneWithAMessageNamingTheCause) {
    store::ensureOwnTables(bank, notebook);
    bank.close();
    alter(GetParam().damage);
    bank.open();
    const QStringList before = ourTables();

    const store::OwnTablesStatus status = store::ownTablesStatus(bank, notebook);
    EXPECT_EQ(status.state, GetParam().state);
    try {
        store::ensureOwnTables(bank, notebook);
        FAIL() << "unusable tables were accepted";
    } catch (const OwnTablesUnusable& error) {
        EXPECT_EQ(error.message(), status.message);
        EXPECT_TRUE(error.message().contains(GetParam().said)) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains("笔记本")) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(fixture.bankPath()));
    }
    EXPECT_EQ(ourTables(), before);
}

INSTANTIATE_TEST_SUITE_P(
    OwnTables, UnusableOwnTables,
    testing::Values(Unusable{"TableDropped",
                             {"DROP TABLE mq_notebook"},
                             OwnTablesState::Damaged,
                             "缺少数据表 mq_notebook"},
                    Unusable{"ColumnMissing",
                             {"DROP TABLE mq_notebook",
                              "CREATE TABLE mq_notebook (id INTEGER PRIMARY KEY)"},
                             OwnTablesState::Damaged,
                             "缺少列 text"},
                    Unusable{"VersionNotANumber",
                             {"UPDATE mq_meta SET version = 'abc' WHERE name = 'notebook'"},
                             OwnTablesState::Damaged,
                             "版本“abc”无效"},
                    Unusable{"MetaTableReplaced",
                             {"DROP TABLE mq_meta", "CREATE TABLE mq_meta (name TEXT)"},
                             OwnTablesState::Damaged,
                             "缺少列 version"},
                    Unusable{"WrittenByALaterProgram",
                             {"UPDATE mq_meta SET version = 3 WHERE name = 'notebook'"},
                             OwnTablesState::Newer,
                             "较新版本"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OwnTablesTest, SetsAreVersionedApart) {
    const OwnTableSet other{QStringLiteral("other"),
                            QStringLiteral("其他"),
                            {{QStringLiteral("CREATE TABLE mq_other (id INTEGER PRIMARY KEY)")}}};
    store::ensureOwnTables(bank, other);
    EXPECT_EQ(store::ownTablesStatus(bank, notebook).state, OwnTablesState::Absent);
    store::ensureOwnTables(bank, notebook);
    bank.execute(QStringLiteral("DROP TABLE mq_other"));
    EXPECT_EQ(store::ownTablesStatus(bank, other).state, OwnTablesState::Damaged);
    EXPECT_EQ(store::ownTablesStatus(bank, notebook).state, OwnTablesState::Current);
}

} // namespace

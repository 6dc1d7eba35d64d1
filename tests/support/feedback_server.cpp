#include "feedback_server.h"

#include "services/feedback_sender.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QUuid>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace testing_support {

namespace {

const QString password = QStringLiteral("pw;with {braces} = and 'quotes'");
const QStringList columns = {"kemu",      "tihao",   "tigan",    "tupian",    "kaoshidg",
                             "xueke",     "chenjiu", "cuobiezi", "silutigan", "silutp",
                             "siluddaan", "silucbz", "shiticf",  "shuoming"};

// The newest installed server's programs.
QString findBinFolder() {
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    const QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        const QString bin = versions.filePath(*name) + QStringLiteral("/bin/");
        if (QFile::exists(bin + QStringLiteral("initdb")) &&
            QFile::exists(bin + QStringLiteral("postgres")))
            return bin;
    }
    return {};
}

quint16 freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// Runs `work` on a connection of its own to `database`; false (and a test failure) on an error.
template <class Work>
bool withConnection(services::FeedbackConnection settings, const QString& database, Work work) {
    const QString name = QUuid::createUuid().toString();
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        settings.database = database;
        db.setDatabaseName(services::odbcConnectionString(settings));
        if (db.open())
            done = work(db);
        else
            ADD_FAILURE() << "the test server refused a connection: "
                          << db.lastError().text().toStdString();
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

bool execute(QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
    return false;
}

void failChild(const char* text) {
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, text, strlen(text));
    _exit(127);
}

} // namespace

FeedbackServer::FeedbackServer()
    : binFolder_(findBinFolder())
    , serverUid_(geteuid())
    , serverGid_(getegid()) {
    if (binFolder_.isEmpty()) {
        unavailable_ = QStringLiteral("no PostgreSQL server programs under /usr/lib/postgresql");
        return;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC"))) {
        unavailable_ = QStringLiteral("Qt's ODBC driver is not installed");
        return;
    }
    // The server refuses to run as root: it runs as `postgres` in a folder of its own.
    if (serverUid_ == 0) {
        const passwd* account = getpwnam("postgres");
        if (!account) {
            unavailable_ = QStringLiteral("running as root and there is no postgres account");
            return;
        }
        serverUid_ = account->pw_uid;
        serverGid_ = account->pw_gid;
        if (chown(QFile::encodeName(folder_.path()).constData(), serverUid_, serverGid_) != 0) {
            ADD_FAILURE() << "cannot hand the server folder to postgres";
            return;
        }
    }
    port_ = freePort();
    if (initialise()) {
        start();
        if (isRunning() && !createTable())
            stop();
    }
}

FeedbackServer::~FeedbackServer() {
    if (server_ && server_->state() != QProcess::NotRunning) {
        ::kill(static_cast<pid_t>(server_->processId()), SIGQUIT);
        server_->waitForFinished(30000);
    }
    // The driver's system entry turns on a communication log, which it writes to /tmp
    // whatever the connection asks, named psqlodbc_[program_]<user><pid>.log; this
    // process's log goes with the server.
    if (const passwd* account = getpwuid(geteuid())) {
        const QString ending = QString::fromLocal8Bit(account->pw_name) +
                               QString::number(getpid()) + QStringLiteral(".log");
        QDir logs(QStringLiteral("/tmp"));
        for (const QString& name : logs.entryList({QStringLiteral("psqlodbc_*") + ending})) {
            if (name == QStringLiteral("psqlodbc_") + ending ||
                name.endsWith(QLatin1Char('_') + ending))
                logs.remove(name);
        }
    }
}

std::unique_ptr<QProcess> FeedbackServer::serverProgram(const QString& name,
                                                        const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(folder_.path());
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setProgram(binFolder_ + name);
    process->setArguments(arguments);
    const uid_t uid = serverUid_;
    const gid_t gid = serverGid_;
    const pid_t test = getpid();
    // After the fork: become the server's user, and die with the test.
    process->setChildProcessModifier([uid, gid, test] {
        if (geteuid() != uid && (setgroups(1, &gid) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
            failChild("cannot become the postgres user\n");
        if (prctl(PR_SET_PDEATHSIG, SIGQUIT) != 0 || getppid() != test)
            failChild("cannot follow the test's life\n");
    });
    return process;
}

bool FeedbackServer::initialise() {
    QFile passwordFile(folder_.filePath(QStringLiteral("password")));
    if (!passwordFile.open(QIODevice::WriteOnly) || passwordFile.write(password.toUtf8()) < 0) {
        ADD_FAILURE() << "cannot write the server's password file";
        return false;
    }
    passwordFile.close();
    passwordFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther);

    const auto initdb = serverProgram(
        QStringLiteral("initdb"),
        {QStringLiteral("--pgdata=") + folder_.filePath(QStringLiteral("data")),
         QStringLiteral("--username=sa"), QStringLiteral("--pwfile=") + passwordFile.fileName(),
         QStringLiteral("--auth-host=scram-sha-256"), QStringLiteral("--auth-local=trust"),
         QStringLiteral("--no-locale"), QStringLiteral("--encoding=UTF8"),
         QStringLiteral("--no-sync")});
    initdb->start();
    const bool finished = initdb->waitForFinished(120000);
    if (finished && initdb->exitStatus() == QProcess::NormalExit && initdb->exitCode() == 0)
        return true;
    ADD_FAILURE() << "initdb failed: " << initdb->readAll().toStdString();
    return false;
}

void FeedbackServer::start() {
    log_.clear();
    ready_ = false;
    server_ = serverProgram(QStringLiteral("postgres"),
                            {QStringLiteral("-D"), folder_.filePath(QStringLiteral("data")),
                             QStringLiteral("-c"), QStringLiteral("listen_addresses=127.0.0.1"),
                             QStringLiteral("-p"), QString::number(port_), QStringLiteral("-k"),
                             folder_.path(), QStringLiteral("-c"), QStringLiteral("fsync=off")});
    // Read what it logs as it comes, so that its pipe never fills.
    QObject::connect(server_.get(), &QProcess::readyRead, server_.get(), [this] {
        log_ += server_->readAll();
        if (log_.contains("ready to accept connections"))
            ready_ = true;
    });
    server_->start();
    const QDeadlineTimer deadline(60000);
    while (!ready_ && server_->waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
    }
    if (!ready_)
        ADD_FAILURE() << "the test server did not start: " << log_.toStdString();
}

void FeedbackServer::stop() {
    if (!server_ || server_->state() == QProcess::NotRunning)
        return;
    ::kill(static_cast<pid_t>(server_->processId()), SIGINT);
    if (!server_->waitForFinished(30000))
        ADD_FAILURE() << "the test server did not stop: " << log_.toStdString();
}

bool FeedbackServer::isRunning() const {
    return ready_ && server_ && server_->state() == QProcess::Running;
}

services::FeedbackConnection FeedbackServer::connectionTo(quint16 port) {
    services::FeedbackConnection connection;
    connection.driver = QStringLiteral("PostgreSQL Unicode");
    connection.server = QStringLiteral("127.0.0.1");
    connection.port = QString::number(port);
    connection.database = QStringLiteral("yiyaofk");
    connection.user = QStringLiteral("sa");
    connection.password = password;
    connection.driverOptions = QStringLiteral("CommLog=0;Debug=0;");
    connection.timeoutSeconds = 5;
    return connection;
}

bool FeedbackServer::createTable() {
    const services::FeedbackConnection settings = connection();
    const bool created = withConnection(settings, QStringLiteral("postgres"), [](QSqlDatabase& db) {
        return execute(db, QStringLiteral("CREATE DATABASE yiyaofk ENCODING 'UTF8'"));
    });
    return created && withConnection(settings, settings.database, [](QSqlDatabase& db) {
               return execute(db, QStringLiteral("CREATE TABLE yiyao (id serial PRIMARY KEY, ") +
                                      columns.join(QStringLiteral(" text, ")) +
                                      QStringLiteral(" text)"));
           });
}

std::vector<QStringList> FeedbackServer::rows() const {
    std::vector<QStringList> rows;
    const services::FeedbackConnection settings = connection();
    withConnection(settings, settings.database, [&rows](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                        QStringLiteral(" FROM yiyao ORDER BY id"))) {
            ADD_FAILURE() << query.lastError().text().toStdString();
            return false;
        }
        while (query.next()) {
            QStringList row;
            for (int column = 0; column < columns.size(); ++column)
                row << query.value(column).toString();
            rows.push_back(row);
        }
        return true;
    });
    return rows;
}

int FeedbackServer::statementsWaitingForALock() const {
    int waiting = -1;
    const services::FeedbackConnection settings = connection();
    withConnection(settings, settings.database, [&waiting](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral(
                "SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock'")) ||
            !query.next()) {
            ADD_FAILURE() << query.lastError().text().toStdString();
            return false;
        }
        waiting = query.value(0).toInt();
        return true;
    });
    return waiting;
}

TableLock::TableLock(const services::FeedbackConnection& connection)
    : connectionName_(QUuid::createUuid().toString()) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
    db.setDatabaseName(services::odbcConnectionString(connection));
    if (!db.open() || !db.transaction()) {
        ADD_FAILURE() << "cannot lock the feedback table: " << db.lastError().text().toStdString();
        return;
    }
    held_ = execute(db, QStringLiteral("LOCK TABLE yiyao IN ACCESS EXCLUSIVE MODE"));
}

TableLock::~TableLock() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen())
            db.rollback();
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

} // namespace testing_support

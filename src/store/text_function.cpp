#include "store/text_function.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace store {

namespace {

void callTextFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const void* text = sqlite3_value_text16(arguments[0]);
    const int bytes = sqlite3_value_bytes16(arguments[0]);
    const auto& function = *static_cast<const TextFunction*>(sqlite3_user_data(context));
    const QString result =
        function(QString::fromRawData(static_cast<const QChar*>(text), bytes / 2));
    sqlite3_result_text16(context, result.utf16(), int(result.size() * 2), SQLITE_TRANSIENT);
}

sqlite3* connectionOf(Bank& bank) {
    // The connection's handle, through a statement on it (which opens it when closed).
    StatementResult statement = bank.execute(QStringLiteral("SELECT 1"));
    const QVariant handle = statement.row().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw StoreError(
            QStringLiteral("无法使用题库文件“%1”：数据库驱动不是 SQLite。").arg(bank.filePath()));
    return *static_cast<sqlite3* const*>(handle.constData());
}

int define(Bank& bank, sqlite3* connection, const char* name, const TextFunction* function) {
    const int result = sqlite3_create_function_v2(
        connection, name, 1, SQLITE_UTF16 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY,
        const_cast<TextFunction*>(function), function ? callTextFunction : nullptr, nullptr,
        nullptr, nullptr);
    if (result != SQLITE_OK && function)
        throw StoreError(QStringLiteral("无法使用题库文件“%1”：%2")
                             .arg(bank.filePath(), QString::fromUtf8(sqlite3_errstr(result))));
    return result;
}

} // namespace

void withTextFunction(Bank& bank, const char* name, const TextFunction& function,
                      const std::function<void()>& work) {
    sqlite3* connection = connectionOf(bank);
    define(bank, connection, name, &function);
    try {
        work();
    } catch (...) {
        define(bank, connection, name, nullptr);
        throw;
    }
    // Gone before `function` is: a statement of `work` left running would
    // keep it, and is an error of the caller.
    if (define(bank, connection, name, nullptr) != SQLITE_OK)
        throw StoreError(QStringLiteral("无法使用题库文件“%1”：函数 %2 仍被语句使用。")
                             .arg(bank.filePath(), QString::fromLatin1(name)));
}

} // namespace store

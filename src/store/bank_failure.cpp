#include "store/bank_failure.h"

namespace store {

bool isBankInUse(const QSqlError& error) {
    bool numeric = false;
    // Extended result codes keep the primary code in their low byte.
    const int primaryCode = error.nativeErrorCode().toInt(&numeric) & 0xff;
    constexpr int sqliteBusy = 5, sqliteLocked = 6;
    return numeric && (primaryCode == sqliteBusy || primaryCode == sqliteLocked);
}

StoreError bankFailure(const QString& filePath, const QString& whatFailed, const QSqlError& error) {
    if (isBankInUse(error))
        return StoreError(
            QStringLiteral("题库文件“%1”正被其他程序使用，现在无法读写。请关闭使用它的程序后再试。")
                .arg(filePath));
    return StoreError(
        QStringLiteral("%1（题库文件“%2”）：%3").arg(whatFailed, filePath, error.text()));
}

} // namespace store

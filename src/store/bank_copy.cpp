#include "store/bank_copy.h"

namespace store {

void writeSnapshot(Bank& bank, const QString& targetPath) {
    bank.execute(QStringLiteral("VACUUM INTO ?"), {targetPath});
}

void checkIntegrity(Bank& bank) {
    StatementResult result = bank.execute(QStringLiteral("PRAGMA quick_check"));
    QStringList problems;
    while (result.next()) {
        const QString line = result.row().value(0).toString();
        if (line != QStringLiteral("ok"))
            problems << line;
    }
    if (!problems.isEmpty())
        throw StoreError(QStringLiteral("题库文件“%1”已损坏：%2")
                             .arg(bank.filePath(), problems.mid(0, 3).join(QStringLiteral("；"))));
}

} // namespace store

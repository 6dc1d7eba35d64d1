#include "store/import_record.h"

#include "store/row_reading.h"
#include "store/rows.h"

namespace store {

const OwnTableSet& importTables() {
    static const OwnTableSet set{
        QStringLiteral("import"),
        QStringLiteral("导入记录"),
        {{
            QStringLiteral("CREATE TABLE mq_import ("
                           " id INTEGER PRIMARY KEY,"
                           " file_name TEXT NOT NULL,"
                           " fingerprint TEXT NOT NULL,"
                           " imported_at TEXT NOT NULL,"
                           " top_node INTEGER NOT NULL,"
                           " question_count INTEGER NOT NULL)"),
            QStringLiteral("CREATE INDEX mq_import_fingerprint ON mq_import (fingerprint)"),
        }}};
    return set;
}

std::vector<ImportRecord> importsOf(Bank& bank, const QString& fingerprint) {
    if (ownTablesStatus(bank, importTables()).state != OwnTablesState::Current)
        return {};
    return detail::allRows<ImportRecord>(
        bank.execute(QStringLiteral("SELECT file_name, fingerprint, imported_at, top_node, "
                                    "question_count FROM mq_import WHERE fingerprint = ? "
                                    "ORDER BY id"),
                     {fingerprint}),
        [](const QSqlQuery& row) {
            return ImportRecord{detail::textAt(row, 0), detail::textAt(row, 1),
                                detail::textAt(row, 2), detail::integerAt(row, 3),
                                detail::integerAt(row, 4)};
        });
}

void recordImport(Bank& bank, const ImportRecord& record) {
    ensureOwnTables(bank, importTables());
    bank.execute(QStringLiteral("INSERT INTO mq_import (file_name, fingerprint, imported_at, "
                                "top_node, question_count) VALUES (?, ?, ?, ?, ?)"),
                 {storedText(record.fileName), storedText(record.fingerprint), record.importedAt,
                  record.topNode, record.questionCount});
}

} // namespace store

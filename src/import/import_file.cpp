#include "import/import_file.h"

#include "import/bank_import.h"
#include "import/docx_reader.h"
#include "import/sheet_reader.h"
#include "import/text_decoding.h"
#include "import/text_layout_reader.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace importer {

namespace {

// Larger text files are no question bank; reading them whole would only fill memory.
constexpr qint64 maxFileBytes = 256 * 1024 * 1024;

ImportedDocument readPlainText(const QByteArray& bytes) {
    bool failed = false;
    const QString text = decodeText(bytes, &failed);
    if (failed)
        throw ImportError(
            QStringLiteral("无法识别文件的编码：请以 UTF-8 或 GB18030（ANSI）保存。"));
    std::vector<SourceLine> lines;
    int number = 0;
    for (const QString& line : splitLines(text))
        lines.push_back({++number, line, {}, {}, {}});
    return readTextLayout(lines, PlaceKind::Line);
}

} // namespace

QString importFileFilter() {
    return QStringLiteral("题库文件 (*.docx *.txt *.xlsx *.csv)");
}

ImportedDocument readImportBytes(const QByteArray& bytes, const QString& suffix,
                                 const QString& shownName, const QString& folder) {
    if (suffix == QStringLiteral("txt"))
        return readPlainText(bytes);
    if (suffix == QStringLiteral("docx"))
        return readDocx(bytes, shownName);
    if (suffix == QStringLiteral("xlsx"))
        return readSheetRows(xlsxRows(bytes, shownName), folder);
    if (suffix == QStringLiteral("csv"))
        return readSheetRows(csvRows(bytes), folder);
    throw ImportError(
        QStringLiteral(
            "不能导入“.%1”文件：请选择 Word 文档（.docx）、文本文件（.txt）或表格（.xlsx、.csv）。")
            .arg(suffix));
}

ImportedDocument readImportFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ImportError(QStringLiteral("无法打开“%1”：%2").arg(path, file.errorString()));
    if (file.size() > maxFileBytes)
        throw ImportError(QStringLiteral("文件“%1”太大（%2 MB），不是题库文件。")
                              .arg(path)
                              .arg(file.size() / (1024 * 1024)));
    const QByteArray bytes = file.readAll();
    ImportedDocument document =
        readImportBytes(bytes, QFileInfo(path).suffix().toLower(), QFileInfo(path).fileName(),
                        QFileInfo(path).absolutePath());
    document.fingerprint =
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    return document;
}

} // namespace importer

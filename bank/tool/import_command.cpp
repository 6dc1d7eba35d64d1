#include "import_command.h"

#include "bank_content.h"
#include "bank_writer.h"
#include "import/bank_import.h"
#include "import/import_file.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <filesystem>

namespace banktool {

namespace {

// Pictures of a bank `X/Data/med.db` live in `X/pic/…`, as in a program
// folder; any other bank keeps them in its own folder.
QString pictureRootOf(const QString& bankPath) {
    const QDir folder = QFileInfo(bankPath).absoluteDir();
    QString root = folder.absolutePath();
    if (folder.dirName() == QStringLiteral("Data"))
        root = QFileInfo(root).absolutePath();
    return QDir::cleanPath(root) + QLatin1Char('/');
}

// An empty bank with the standard question types, subject named after the file.
void writeEmptyBank(const QString& path, const QString& subject) {
    BankContent content;
    content.subject = {subject, QStringLiteral("import")};
    content.types = importer::standardQuestionTypes();
    writeBank(content, path);
}

} // namespace

int runImport(const QStringList& arguments) {
    QString source, output, into, name;
    bool skipFaulty = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QStringLiteral("-o") && hasValue)
            output = arguments[++i];
        else if (argument == QStringLiteral("--into") && hasValue)
            into = arguments[++i];
        else if (argument == QStringLiteral("--name") && hasValue)
            name = arguments[++i];
        else if (argument == QStringLiteral("--skip-faulty"))
            skipFaulty = true;
        else if (!argument.startsWith('-') && source.isEmpty())
            source = argument;
        else
            throw ToolError(QStringLiteral("无法理解参数“%1”。").arg(argument));
    }
    if (source.isEmpty() || output.isEmpty() == into.isEmpty())
        throw ToolError(QStringLiteral("用法：morrowquill-bank import FILE (-o NEW.db | --into "
                                       "BANK.db) [--name NAME] [--skip-faulty]"));
    try {
        const importer::ImportedDocument document = importer::readImportFile(source);
        for (const importer::ImportProblem& problem : document.problems)
            std::fprintf(stderr, "%s: %s\n", qPrintable(source),
                         qPrintable(importer::problemText(document.placeKind, problem)));
        if (!document.problems.empty() && !skipFaulty)
            throw ToolError(
                QStringLiteral("%1 处问题，未导入（加 --skip-faulty 略去有问题的试题）。")
                    .arg(document.problems.size()));
        importer::ImportRequest request;
        request.fileName = QFileInfo(source).fileName();
        request.fingerprint = document.fingerprint;
        request.destination.topName = name.isEmpty() ? QFileInfo(source).completeBaseName() : name;
        request.leaveOutFaulty = skipFaulty;
        importer::ImportResult result;
        if (!into.isEmpty()) {
            if (!QFileInfo(into).isFile())
                throw ToolError(QStringLiteral("题库“%1”不存在。").arg(into));
            request.pictureRoot = pictureRootOf(into);
            store::Bank bank(into);
            result = importer::importDocument(bank, document, request);
        } else {
            // The new bank appears only when complete.
            const QString partial = output + QStringLiteral(".importing");
            QFile::remove(partial);
            writeEmptyBank(partial, request.destination.topName);
            request.pictureRoot = pictureRootOf(output);
            try {
                store::Bank bank(partial);
                result = importer::importDocument(bank, document, request);
            } catch (...) {
                QFile::remove(partial);
                throw;
            }
            std::error_code failure;
            std::filesystem::rename(partial.toStdString(), output.toStdString(), failure);
            if (failure) {
                QFile::remove(partial);
                throw ToolError(QStringLiteral("无法写入“%1”：%2")
                                    .arg(output, QString::fromStdString(failure.message())));
            }
        }
        std::printf("%s: 导入 %d 道试题", qPrintable(into.isEmpty() ? output : into),
                    result.questions);
        if (result.leftOut > 0)
            std::printf("，略去有问题的试题 %d 道", result.leftOut);
        std::printf("\n");
    } catch (const importer::ImportError& error) {
        throw ToolError(error.message());
    } catch (const store::StoreError& error) {
        throw ToolError(error.message());
    }
    return 0;
}

} // namespace banktool

#include "import/bank_import.h"

#include "store/content_statements.h"
#include "store/import_record.h"
#include "store/question_statements.h"
#include "store/store_error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <set>

namespace importer {

namespace {

// A folder of its own for each import's pictures, so names never collide.
QString newPictureFolder(const QString& root) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int attempt = 0;; ++attempt) {
        const QString name = QStringLiteral("pic/imported/") + stamp +
                             (attempt ? QStringLiteral("-%1").arg(attempt) : QString());
        if (!QFileInfo::exists(root + name))
            return name;
    }
}

void writePictures(const ImportedDocument& document, const ImportPlan& plan, const QString& root) {
    for (const PlannedPicture& planned : plan.pictures) {
        const QString path = root + planned.path;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(document.pictures[size_t(planned.picture)].data) < 0 || !file.commit())
            throw ImportError(QStringLiteral("无法写入图片“%1”：%2").arg(path, file.errorString()));
    }
}

void addMissingTypes(store::Bank& bank, store::BankContent& content) {
    std::set<qint64> known;
    for (const store::QuestionType& type : store::allTypes(bank))
        known.insert(type.id);
    for (const store::QuestionType& type : standardQuestionTypes())
        if (!known.count(type.id))
            content.types.push_back(type);
}

} // namespace

QString problemsSummary(const ImportedDocument& document, int shown) {
    QStringList lines;
    for (const ImportProblem& problem : document.problems) {
        if (lines.size() == shown) {
            lines << QStringLiteral("……（共 %1 处问题）").arg(document.problems.size());
            break;
        }
        lines << problemText(document.placeKind, problem);
    }
    return lines.join(QLatin1Char('\n'));
}

ImportResult importDocument(store::Bank& bank, const ImportedDocument& document,
                            const ImportRequest& request) {
    if (!document.problems.empty() && !request.leaveOutFaulty)
        throw ImportError(
            QStringLiteral("文件中有 %1 处问题，未导入任何试题：\n").arg(document.problems.size()) +
            problemsSummary(document));
    ImportResult result;
    result.leftOut = document.faultyCount();
    result.questions = document.questionCount() - result.leftOut;
    if (result.questions == 0)
        throw ImportError(QStringLiteral("文件中没有可导入的试题。"));

    const auto stopIfCancelled = [&] {
        if (request.cancelled && request.cancelled())
            throw ImportCancelled();
    };
    const QString pictureFolder = newPictureFolder(request.pictureRoot);
    const auto removePictures = [&] {
        QDir(request.pictureRoot + pictureFolder).removeRecursively();
    };
    try {
        bank.inTransaction([&] {
            ImportPlan plan =
                planImport(document, request.destination, store::largestIds(bank), pictureFolder);
            addMissingTypes(bank, plan.content);
            writePictures(document, plan, request.pictureRoot);
            store::appendContent(bank, plan.content, [&](int written) {
                stopIfCancelled();
                if (request.progress)
                    request.progress(written);
            });
            store::setQuestionCount(bank, store::countQuestions(bank));
            result.firstChapterId = plan.firstChapterId;
            result.topNode = request.destination.sectionId != 0 ? request.destination.sectionId
                                                                : plan.content.nodes.front().id;
            // A record that cannot be kept (tables of a later program, damaged
            // ones) costs only the question before a second import.
            const store::OwnTablesState records =
                store::ownTablesStatus(bank, store::importTables()).state;
            if (records != store::OwnTablesState::Newer &&
                records != store::OwnTablesState::Damaged)
                store::recordImport(bank, {request.fileName, request.fingerprint,
                                           QDateTime::currentDateTime().toString(Qt::ISODate),
                                           result.topNode, result.questions});
            stopIfCancelled();
        });
    } catch (...) {
        removePictures();
        throw;
    }
    return result;
}

} // namespace importer

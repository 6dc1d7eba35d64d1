// Importing 10 000 questions from a Word document and from a workbook that
// the benchmark writes: reading for the preview, then the import into a bank.

#include "import/bank_import.h"
#include "import/import_file.h"
#include "office_files.h"
#include "store/bank.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace testing_support;

namespace {

constexpr int questionCount = 10000;
constexpr int runs = 3;

QString stem(int i) {
    return QStringLiteral("某工人在粉尘作业岗位工作%1年，下列关于生产性粉尘危害的说法中，正确的是")
        .arg(i);
}

QByteArray wordDocument() {
    QString body = wordParagraph(QStringLiteral("一、A1型题"));
    for (int i = 1; i <= questionCount; ++i) {
        body += wordListParagraph(1, 0, stem(i));
        for (const char16_t* option : {u"粉尘的化学成分决定其致病性质", u"粉尘浓度越低危害越大",
                                       u"分散度低的粉尘更易进入肺泡", u"有机粉尘不会引起肺部疾病",
                                       u"粉尘的荷电性与危害无关"})
            body += wordListParagraph(1, 1, QString::fromUtf16(option));
        body += wordParagraph(QStringLiteral("答案：A"));
        body += wordParagraph(QStringLiteral("解析：粉尘的化学成分决定其对人体危害的性质。"));
    }
    return docxOf(body, questionListNumbering());
}

QByteArray workbook() {
    std::vector<QStringList> rows{
        {QStringLiteral("题型"), QStringLiteral("题干"), QStringLiteral("选项A"),
         QStringLiteral("选项B"), QStringLiteral("选项C"), QStringLiteral("选项D"),
         QStringLiteral("选项E"), QStringLiteral("答案"), QStringLiteral("解析")}};
    for (int i = 1; i <= questionCount; ++i)
        rows.push_back(
            {QStringLiteral("A1型题"), stem(i), QStringLiteral("粉尘的化学成分决定其致病性质"),
             QStringLiteral("粉尘浓度越低危害越大"), QStringLiteral("分散度低的粉尘更易进入肺泡"),
             QStringLiteral("有机粉尘不会引起肺部疾病"), QStringLiteral("粉尘的荷电性与危害无关"),
             QStringLiteral("A"), QStringLiteral("粉尘的化学成分决定其对人体危害的性质。")});
    return xlsxOf(rows);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void measure(const QString& name, const QByteArray& bytes, const QString& folder,
             const QString& sampleBank) {
    const QString path = folder + QStringLiteral("/bank.") + name;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();
    std::vector<double> reads, imports, readsCpu, importsCpu;
    // Processor time as well: on a busy machine it is what stays comparable.
    const auto cpuSeconds = [] {
        return double(std::clock()) / CLOCKS_PER_SEC;
    };
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        double cpu = cpuSeconds();
        const importer::ImportedDocument document = importer::readImportFile(path);
        reads.push_back(clock.nsecsElapsed() / 1e9);
        readsCpu.push_back(cpuSeconds() - cpu);
        if (document.questionCount() != questionCount || !document.problems.empty()) {
            std::fprintf(stderr, "%s: %d questions, %zu problems\n", qPrintable(name),
                         document.questionCount(), document.problems.size());
            std::exit(1);
        }
        const QString target = folder + QStringLiteral("/run%1/Data/med.db").arg(run);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        QFile::copy(sampleBank, target);
        store::Bank bank(target);
        importer::ImportRequest request;
        request.destination.topName = QStringLiteral("导入");
        request.pictureRoot = QFileInfo(target).absolutePath() + QStringLiteral("/../");
        clock.restart();
        cpu = cpuSeconds();
        importer::importDocument(bank, document, request);
        imports.push_back(clock.nsecsElapsed() / 1e9);
        importsCpu.push_back(cpuSeconds() - cpu);
    }
    std::printf("%-5s %d questions (%.1f MB): read for the preview %.2f s, CPU %.2f s (limit 3 s), "
                "import %.2f s, CPU %.2f s (limit 2 s), median of %d\n",
                qPrintable(name), questionCount, bytes.size() / 1e6, median(reads),
                median(readsCpu), median(imports), median(importsCpu), runs);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: import_bench PROGRAM_FOLDER\n");
        return 2;
    }
    const QString sampleBank = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/Data/med.db");
    QTemporaryDir folder;
    measure(QStringLiteral("docx"), wordDocument(), folder.path(), sampleBank);
    measure(QStringLiteral("xlsx"), workbook(), folder.path(), sampleBank);
    return 0;
}

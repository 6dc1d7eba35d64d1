// morrowquill-bank: builds question banks from their text sources, or synthetic
// banks of any size for tests and benchmarks.

#include "bank_source.h"
#include "bank_writer.h"
#include "import_command.h"
#include "synthetic_bank.h"
#include "synthetic_history.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

namespace {

const char usage[] =
    "用法：\n"
    "  morrowquill-bank build SOURCE... -o FILE\n"
    "      由题库源文件（或含源文件的文件夹）生成题库文件\n"
    "  morrowquill-bank synth --questions N [--seed S] [--chapter-questions K]\n"
    "                        [--history-answers A] [--history-exams E] -o FILE\n"
    "      生成 N 道试题的合成题库，同一种子得到同一题库；\n"
    "      给出 A 或 E 时另写入一年的学习记录：共 A 道作答，其中 E 场模拟考试\n"
    "  morrowquill-bank import FILE (-o NEW.db | --into BANK.db) [--name NAME] [--skip-faulty]\n"
    "      导入 Word 文档（.docx）、文本（.txt）或表格（.xlsx、.csv）中的试题：\n"
    "      -o 写成新题库，--into 加入已有题库；试题放在以 NAME（默认为文件名）命名的新节点下；\n"
    "      文件有问题时不导入，--skip-faulty 则略去有问题的试题\n";

int fail(const QString& message) {
    std::fprintf(stderr, "morrowquill-bank: %s\n", qPrintable(message));
    return 1;
}

int positiveNumber(const QString& text, const QString& option) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value <= 0)
        throw banktool::ToolError(
            QStringLiteral("%1 需要一个正整数，而不是“%2”。").arg(option, text));
    return value;
}

int run(const QStringList& arguments) {
    if (arguments.size() < 2 || arguments[1] == QStringLiteral("--help")) {
        std::fputs(usage, arguments.size() < 2 ? stderr : stdout);
        return arguments.size() < 2 ? 2 : 0;
    }
    const QString command = arguments[1];
    if (command == QStringLiteral("import"))
        return banktool::runImport(arguments.mid(2));
    QString output;
    QStringList sources;
    banktool::SyntheticShape shape;
    banktool::HistoryShape history;
    for (int i = 2; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QStringLiteral("-o") && hasValue)
            output = arguments[++i];
        else if (command == QStringLiteral("synth") && argument == QStringLiteral("--questions") &&
                 hasValue)
            shape.questions = positiveNumber(arguments[++i], argument);
        else if (command == QStringLiteral("synth") && argument == QStringLiteral("--seed") &&
                 hasValue)
            shape.seed = positiveNumber(arguments[++i], argument);
        else if (command == QStringLiteral("synth") &&
                 argument == QStringLiteral("--chapter-questions") && hasValue)
            shape.chapterQuestions = positiveNumber(arguments[++i], argument);
        else if (command == QStringLiteral("synth") &&
                 argument == QStringLiteral("--history-answers") && hasValue)
            history.answers = positiveNumber(arguments[++i], argument);
        else if (command == QStringLiteral("synth") &&
                 argument == QStringLiteral("--history-exams") && hasValue)
            history.exams = positiveNumber(arguments[++i], argument);
        else if (command == QStringLiteral("build") && !argument.startsWith('-'))
            sources << argument;
        else
            return fail(QStringLiteral("无法理解参数“%1”。\n").arg(argument) +
                        QString::fromUtf8(usage));
    }
    if (output.isEmpty())
        return fail(QStringLiteral("缺少输出文件（-o FILE）。"));

    QElapsedTimer clock;
    clock.start();
    banktool::BankContent content;
    if (command == QStringLiteral("build")) {
        if (sources.isEmpty())
            return fail(QStringLiteral("缺少源文件。"));
        QStringList warnings;
        content = banktool::readBankSources(sources, warnings);
        for (const QString& warning : warnings)
            std::fprintf(stderr, "morrowquill-bank: %s\n", qPrintable(warning));
    } else if (command == QStringLiteral("synth")) {
        content = banktool::syntheticBank(shape);
    } else {
        return fail(QStringLiteral("未知的命令“%1”。\n").arg(command) + QString::fromUtf8(usage));
    }
    banktool::writeBank(content, output);
    history.seed = shape.seed;
    banktool::writeSyntheticHistory(content, history, output);
    std::printf("%s: %zu 道试题，%zu 个章节节点，用时 %.1f 秒\n", qPrintable(output),
                content.questions.size(), content.nodes.size(), clock.elapsed() / 1000.0);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    try {
        return run(QCoreApplication::arguments());
    } catch (const banktool::ToolError& error) {
        return fail(error.message());
    } catch (const std::runtime_error& error) {
        return fail(QString::fromStdString(error.what()));
    }
}

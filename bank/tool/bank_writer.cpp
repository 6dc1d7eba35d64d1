#include "bank_writer.h"

#include "store/bank_builder.h"
#include "store/store_error.h"

#include <QFile>
#include <filesystem>

namespace banktool {

namespace {

// Rows of `ts`: single-choice items (with the user's own count kept in fg),
// multiple-choice items, case groups and matching groups.
const store::ExamParameter defaultExamParameters[] = {
    {QStringLiteral("20"), QStringLiteral("20")},
    {QStringLiteral("0"), QStringLiteral("0")},
    {QStringLiteral("3"), QStringLiteral("0")},
    {QStringLiteral("3"), QStringLiteral("0")},
};

} // namespace

void writeBank(const BankContent& content, const QString& path) {
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        store::BankBuilder builder(partial);
        builder.setSubject(content.subject);
        builder.setQuestionCount(QString::number(content.questions.size()));
        for (const store::ExamParameter& parameter : defaultExamParameters)
            builder.addExamParameter(parameter);
        for (const store::QuestionType& type : content.types)
            builder.addType(type);
        for (const store::TreeNode& node : content.nodes)
            builder.addNode(node);
        for (const store::QuestionGroup& group : content.groups)
            builder.addGroup(group);
        for (const store::Question& question : content.questions)
            builder.addQuestion(question);
        for (const store::Option& option : content.options)
            builder.addOption(option);
        builder.finish();
    } catch (const store::StoreError& error) {
        throw ToolError(error.message());
    }
    std::error_code failure;
    std::filesystem::rename(partial.toStdString(), path.toStdString(), failure);
    if (failure) {
        QFile::remove(partial);
        throw ToolError(QStringLiteral("无法写入“%1”：%2")
                            .arg(path, QString::fromStdString(failure.message())));
    }
}

} // namespace banktool

#pragma once

#include "store/rows.h"

#include <QStringList>
#include <stdexcept>
#include <vector>

namespace banktool {

// Everything a bank file holds about its questions, in the order it is stored.
struct BankContent {
    store::Subject subject;
    std::vector<store::QuestionType> types;
    std::vector<store::TreeNode> nodes;
    std::vector<store::QuestionGroup> groups;
    std::vector<store::Question> questions;
    std::vector<store::Option> options;
};

// A refusal of the tool, worded for the person who wrote the source.
class ToolError : public std::runtime_error {
public:
    explicit ToolError(const QString& message)
        : std::runtime_error(message.toStdString())
        , message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace banktool

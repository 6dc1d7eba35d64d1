#pragma once

#include "store/bank_content.h"

#include <QStringList>
#include <stdexcept>
#include <vector>

namespace banktool {

using store::BankContent;

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

#pragma once

#include <QString>
#include <stdexcept>

namespace store {

// Raised by every store operation that fails; carries the text to show the user,
// including the database's own message where it gave one.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message)
        : std::runtime_error(message.toStdString())
        , message_(message) {}

    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace store

#pragma once

#include "store/bank.h"

#include <QString>
#include <functional>

namespace store {

// A text function of this program that statements call as `name(text)`;
// NULL stays NULL.
using TextFunction = std::function<QString(const QString&)>;

// Runs `work` with `function` defined on the bank's connection as `name`.
// Throws StoreError.
void withTextFunction(Bank& bank, const char* name, const TextFunction& function,
                      const std::function<void()>& work);

} // namespace store

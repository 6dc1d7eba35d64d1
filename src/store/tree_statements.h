#pragma once

#include "store/bank.h"
#include "store/collection_flag.h"
#include "store/rows.h"

#include <optional>
#include <vector>

// The chapter tree (`tree`), in stored order.
namespace store {

std::vector<TreeNode> topLevelNodes(Bank& bank);
std::vector<TreeNode> childNodes(Bank& bank, qint64 parentId);
std::vector<TreeNode> flaggedChildNodes(Bank& bank, qint64 parentId, CollectionFlag flag);
std::optional<TreeNode> nodeById(Bank& bank, qint64 id);
void clearNodeFlags(Bank& bank, CollectionFlag flag);
// Flags every chapter that directly holds a question carrying `flag`.
void flagNodesHoldingFlaggedQuestions(Bank& bank, CollectionFlag flag);

} // namespace store

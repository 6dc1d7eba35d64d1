#include "app/chapter_tree.h"

#include "store/tree_statements.h"

namespace app {

void buildChapterTree(store::Bank& bank, collections::ViewMode mode,
                      const std::function<void(const TreeRow&)>& add) {
    using namespace store;
    const auto filter = collections::filterOf(mode);
    for (const TreeNode& top : topLevelNodes(bank)) {
        add({0, top.nodename, 0});
        for (const TreeNode& section : childNodes(bank, top.id)) {
            add({1, section.nodename, 0});
            const auto chapters = filter ? flaggedChildNodes(bank, section.id, *filter)
                                         : childNodes(bank, section.id);
            for (const TreeNode& chapter : chapters)
                add({2, chapter.nodename, chapter.id});
        }
    }
}

} // namespace app

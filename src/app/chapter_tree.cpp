#include "app/chapter_tree.h"

#include "store/tree_statements.h"

namespace app {

ViewMode viewModeOfKey(const QString& key) {
    if (key == favouritesViewKey)
        return ViewMode::Favourites;
    if (key == wrongQuestionsViewKey)
        return ViewMode::WrongQuestions;
    return ViewMode::WholeBank;
}

void buildChapterTree(store::Bank& bank, ViewMode mode,
                      const std::function<void(const TreeRow&)>& add) {
    using namespace store;
    const auto chaptersOf = [&](int sectionId) {
        switch (mode) {
        case ViewMode::Favourites:
            return flaggedChildNodes(bank, sectionId, CollectionFlag::Favourite);
        case ViewMode::WrongQuestions:
            return flaggedChildNodes(bank, sectionId, CollectionFlag::Wrong);
        case ViewMode::WholeBank:
            break;
        }
        return childNodes(bank, sectionId);
    };
    for (const TreeNode& top : topLevelNodes(bank)) {
        add({0, top.nodename, 0});
        for (const TreeNode& section : childNodes(bank, top.id)) {
            add({1, section.nodename, 0});
            for (const TreeNode& chapter : chaptersOf(section.id))
                add({2, chapter.nodename, chapter.id});
        }
    }
}

} // namespace app

#pragma once

#include "store/bank.h"

#include <QString>
#include <functional>

// The chapter tree of the main window: three levels (top, section, chapter) in
// stored order, filtered by the view mode, which is keyed by the caption of the
// tree's header.
namespace app {

inline const QString startViewKey = QStringLiteral("高 级 试 题");
inline const QString exerciseViewKey = QStringLiteral("习 题 集");
inline const QString favouritesViewKey = QStringLiteral("收 藏 试 题");
inline const QString wrongQuestionsViewKey = QStringLiteral("错 题 题 库");

enum class ViewMode { WholeBank, Favourites, WrongQuestions };

// Any key but the two collection keys shows the whole bank.
ViewMode viewModeOfKey(const QString& key);

struct TreeRow {
    int level = 0; // 0 top, 1 section, 2 chapter
    QString caption;
    int chapterId = 0; // tree.id for chapters, 0 above chapter level
};

// Hands the rows to `add` in tree-position order (depth first). Sections are
// always complete; the mode only decides which chapters are listed. A store
// failure propagates after the rows added so far.
void buildChapterTree(store::Bank& bank, ViewMode mode,
                      const std::function<void(const TreeRow&)>& add);

} // namespace app

#pragma once

#include "collections/view_mode.h"
#include "store/bank.h"

#include <QString>
#include <functional>

// The chapter tree of the main window: three levels (top, section, chapter) in
// stored order; the view mode decides which chapters are listed.
namespace app {

struct TreeRow {
    int level = 0; // 0 top, 1 section, 2 chapter
    QString caption;
    qint64 chapterId = 0; // tree.id for chapters, 0 above chapter level
};

// Hands the rows to `add` in tree-position order (depth first). Sections are
// always complete. A store failure propagates after the rows added so far.
void buildChapterTree(store::Bank& bank, collections::ViewMode mode,
                      const std::function<void(const TreeRow&)>& add);

} // namespace app

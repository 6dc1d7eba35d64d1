#pragma once

#include <QRect>

// The error-report dialog's ten fault categories, in check-box order, and where
// each one's caption lies in the dialog's background picture. The picture is
// drawn from these places and the dialog's boxes cover them, so that a click on
// a caption ticks its box.
namespace services {

inline constexpr const char* faultCategories[10] = {
    "试题图片不显示",   "试题不在考试大纲范围内", "试题不属于本学科",   "试题过于陈旧",
    "试题有错别字",     "解题思路与题干不符",     "解题思路图片不显示", "解题思路与答案相互矛盾",
    "解题思路有错别字", "试题与其他试题重复",
};

// The row of category `index` (0–9) in dialog pixels: the box's indicator at
// its left end, the caption from `faultCaptionIndent` on.
inline QRect faultCategoryArea(int index) {
    return index < 5 ? QRect(21, 322 + 24 * index, 230, 22)
                     : QRect(259, 322 + 24 * (index - 5), 222, 22);
}

inline constexpr int faultCaptionIndent = 20;

} // namespace services

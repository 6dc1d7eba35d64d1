#pragma once

#include "store/collection_flag.h"

#include <QString>
#include <optional>

// The view mode of the chapter tree and its pages, keyed by the caption of the
// tree's header: the whole bank, the favourites or the wrong-question bank.
namespace collections {

inline const QString startViewKey = QStringLiteral("高 级 试 题");
inline const QString exerciseViewKey = QStringLiteral("习 题 集");
inline const QString favouritesViewKey = QStringLiteral("收 藏 试 题");
inline const QString wrongQuestionsViewKey = QStringLiteral("错 题 题 库");

enum class ViewMode { WholeBank, Favourites, WrongQuestions };

// Any key but the two collection keys shows the whole bank.
inline ViewMode viewModeOfKey(const QString& key) {
    if (key == favouritesViewKey)
        return ViewMode::Favourites;
    if (key == wrongQuestionsViewKey)
        return ViewMode::WrongQuestions;
    return ViewMode::WholeBank;
}

// The flag a mode filters by; none for the whole bank.
inline std::optional<store::CollectionFlag> filterOf(ViewMode mode) {
    switch (mode) {
    case ViewMode::Favourites:
        return store::CollectionFlag::Favourite;
    case ViewMode::WrongQuestions:
        return store::CollectionFlag::Wrong;
    case ViewMode::WholeBank:
        break;
    }
    return std::nullopt;
}

} // namespace collections

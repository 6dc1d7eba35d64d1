#include "app/chapter_tree.h"
#include "fixture_bank.h"
#include "store/bank.h"

#include <gtest/gtest.h>

using app::TreeRow;
using collections::ViewMode;
using testing_support::FixtureBank;

namespace {

struct Node {
    qint64 id;
    qint64 parent; // 0 for top-level nodes
    bool favourite = false;
};

struct TreeCase {
    const char* name;
    std::vector<Node> nodes;
    ViewMode mode;
    std::vector<qint64> nodeIds;
    std::vector<int> levels;
    friend void PrintTo(const TreeCase& c, std::ostream* out) { *out << c.name; }
};

class ChapterTreePositions : public testing::TestWithParam<TreeCase> {};

TEST_P(ChapterTreePositions, FollowDepthFirstStoredOrder) {
    FixtureBank fixture;
    for (const Node& node : GetParam().nodes) {
        fixture.rows().addNode({node.id, QStringLiteral("节点%1").arg(node.id), node.parent,
                                node.parent == 0 ? 1 : 0, node.favourite ? "1" : "", ""});
    }
    fixture.finish();
    store::Bank bank(fixture.bankPath());
    std::vector<qint64> nodeIds;
    std::vector<int> levels;
    app::buildChapterTree(bank, GetParam().mode, [&](const TreeRow& row) {
        nodeIds.push_back(row.chapterId);
        levels.push_back(row.level);
    });
    EXPECT_EQ(nodeIds, GetParam().nodeIds);
    EXPECT_EQ(levels, GetParam().levels);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChapterTreePositions,
    testing::Values(
        TreeCase{"OneTopTwoChapters",
                 {{1, 0}, {10, 1}, {102, 10}, {101, 10}},
                 ViewMode::WholeBank,
                 {0, 0, 102, 101},
                 {0, 1, 2, 2}},
        TreeCase{"TwoTopsContinueCounting",
                 {{1, 0}, {2, 0}, {10, 1}, {20, 2}, {101, 10}, {201, 20}},
                 ViewMode::WholeBank,
                 {0, 0, 101, 0, 0, 201},
                 {0, 1, 2, 0, 1, 2}},
        TreeCase{"SectionWithoutChapters",
                 {{1, 0}, {10, 1}, {11, 1}, {111, 11}},
                 ViewMode::WholeBank,
                 {0, 0, 0, 111},
                 {0, 1, 1, 2}},
        TreeCase{"FewerThanThreeNodes", {{1, 0}, {10, 1}}, ViewMode::WholeBank, {0, 0}, {0, 1}},
        TreeCase{"IdsBeyond32BitsStayApart",
                 {{1, 0},
                  {(1LL << 32) + 10, 1},
                  {(1LL << 32) + 101, (1LL << 32) + 10},
                  {101, 10},
                  {10, 1},
                  {(1LL << 31) + 1, 10}},
                 ViewMode::WholeBank,
                 {0, 0, (1LL << 32) + 101, 0, 101, (1LL << 31) + 1},
                 {0, 1, 2, 1, 2, 2}},
        TreeCase{"FavouritesKeepEmptySections",
                 {{1, 0}, {10, 1}, {11, 1}, {101, 10}, {102, 10, true}, {111, 11}},
                 ViewMode::Favourites,
                 {0, 0, 102, 0},
                 {0, 1, 2, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewKeys, OnlyTheCollectionKeysFilterTheTree) {
    const std::pair<QString, ViewMode> cases[] = {
        {collections::startViewKey, ViewMode::WholeBank},
        {collections::exerciseViewKey, ViewMode::WholeBank},
        {QStringLiteral("收 藏 试 题"), ViewMode::Favourites},
        {QStringLiteral("错 题 题 库"), ViewMode::WrongQuestions},
        {QStringLiteral("收藏试题"), ViewMode::WholeBank},
        {QString(), ViewMode::WholeBank},
    };
    for (const auto& [key, mode] : cases)
        EXPECT_EQ(collections::viewModeOfKey(key), mode) << key.toStdString();
}

} // namespace

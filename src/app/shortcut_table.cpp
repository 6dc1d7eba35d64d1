#include "app/shortcut_table.h"

#include <QStringList>

namespace app {

namespace {

// One line per action; the tool bar's buttons first, left to right.
constexpr Shortcut table[] = {
    {"gjst", "试题库", "Ctrl+1"},
    {"NewImage1", "我的收藏", "Ctrl+2"},
    {"NewImage20", "错题题库", "Ctrl+3"},
    {"NewImage6", "模拟考场", "Ctrl+4"},
    {"rjdh", "考试设置", "Ctrl+5"},
    {"NewImage4", "数据备份", "Ctrl+B"},
    {"NewImage2", "数据还原", "Ctrl+Shift+B"},
    {"rjsj", "软件升级", "Ctrl+U"},
    {"zxkf", "在线客服", "Ctrl+K"},
    {"zxsc", "在线商城", "Ctrl+Shift+K"},
    {"sybz", "使用帮助", "F1"},
    {"xxtj", "学习统计", "Ctrl+6"},
    {"drtk", "导入题库", "Ctrl+I"},
    {"NewImage10", "显示答案", "Ctrl+D"},
    {"NewImage16", "隐藏答案", "Ctrl+D"},
    {"NewImage11", "重新答题", "Ctrl+R"},
    {"NewImage12", "提交试卷", "Ctrl+G"},
    {"RandomPractice", "随机练习", "Ctrl+Shift+R"},
    {"InstantJudgingOff", "即时判题（开启）", "Ctrl+Shift+J"},
    {"InstantJudgingOn", "即时判题（关闭）", "Ctrl+Shift+J"},
    {"NewImage14", "放大字体", "Ctrl+=; Ctrl++"},
    {"NewImage15", "缩小字体", "Ctrl+-"},
    {"NewImage17", "全屏显示", "F11"},
    {"NewImage18", "窗口显示", "F11"},
    {"NewImage9", "最小化", "Ctrl+M"},
    {"NewImage8", "最大化", "Ctrl+F10"},
    {"NewImage19", "还原", "Ctrl+F10"},
    {"NewImage7", "退出", "Ctrl+Q"},
    {"focusedAnswer", "显示或隐藏本题答案", "Ctrl+J"},
    {"chapterTree", "转到章节目录", "Ctrl+T"},
    {"page", "转到试题页面", "Ctrl+P"},
    {"nightMode", "夜间模式", "Ctrl+Shift+N"},
    {"", "搜索试题（回车搜索，Esc 离开搜索框）", "Ctrl+F"},
    {"", "在章节目录中打开所选章节", "Return"},
    {"", "在按钮、选项之间移动", "Tab; Shift+Tab"},
    {"", "按下按钮、勾选选项", "Space; Return"},
    {"", "翻页（试题页面中）", "PgDown; PgUp; Home; End"},
    {"", "关闭对话框", "Esc"},
};

} // namespace

std::span<const Shortcut> shortcutTable() {
    return table;
}

QString shortcutToolTip(const Shortcut& shortcut) {
    const QString keys =
        QString::fromLatin1(shortcut.keys).replace(QStringLiteral("; "), QStringLiteral(" 或 "));
    return QString::fromUtf8(shortcut.name) + QStringLiteral("（") + keys + QStringLiteral("）");
}

QString shortcutGuideRows() {
    QString rows;
    for (const Shortcut& shortcut : table) {
        QStringList keys;
        for (const QString& key : QString::fromLatin1(shortcut.keys).split(QStringLiteral("; ")))
            keys << QStringLiteral("<kbd>") + key.toHtmlEscaped() + QStringLiteral("</kbd>");
        rows += QStringLiteral("<tr><td>") + QString::fromUtf8(shortcut.name).toHtmlEscaped() +
                QStringLiteral("</td><td>") + keys.join(QStringLiteral(" 或 ")) +
                QStringLiteral("</td></tr>\n");
    }
    return rows;
}

} // namespace app

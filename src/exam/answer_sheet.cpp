#include "exam/answer_sheet.h"

namespace exam {

namespace {

struct SectionTexts {
    const char* lx;
    const char* heading;
    const char* startNotice;
    const char* prompt;
};

const SectionTexts sectionTexts[] = {
    {"a1", "单项选择题:", "单选题：每个题有一个正确答案，请选择一个正确答案",
     "单项选择题,请选择一个正确的答案"},
    {"a2", "多项选择题:", "多选题：每个题有多个正确答案，请选择正确答案",
     "多项选择题，里边有多个正确答案"},
    {"a3", "阅读案例分析题:", "案例分析题：请选择正确答案", "阅读案例分析题，请选择正确答案"},
    {"a4", "配伍选择题:", "配伍选择题：请选择正确答案", "配伍选择题，请选择正确答案"},
};

const SectionTexts* textsOf(const QString& lx) {
    for (const SectionTexts& texts : sectionTexts)
        if (lx == QLatin1String(texts.lx))
            return &texts;
    return nullptr;
}

} // namespace

QString sectionHeading(const QString& lx) {
    const SectionTexts* texts = textsOf(lx);
    return texts ? QString::fromUtf8(texts->heading) : QString();
}

QString sectionStartNotice(const QString& lx) {
    const SectionTexts* texts = textsOf(lx);
    return texts ? QString::fromUtf8(texts->startNotice) : QString();
}

QString sectionPrompt(const QString& lx) {
    const SectionTexts* texts = textsOf(lx);
    return texts ? QString::fromUtf8(texts->prompt) : QString();
}

QString cellName(const QString& tid) {
    QString name = QStringLiteral("a") + tid;
    name.replace(QLatin1Char('.'), QLatin1Char('f'));
    return name;
}

SheetLayout layOutAnswerSheet(const std::vector<store::PaperItem>& items) {
    SheetLayout layout;
    int line = 1, extra = 0, sectionOffset = 40, column = 0;
    QString section;
    for (const store::PaperItem& item : items) {
        if (item.lx != section || layout.headings.empty()) {
            section = item.lx;
            column = 0;
            layout.headings.push_back(
                {sectionHeading(section), QRect(30, line * 25 + sectionOffset + extra, 200, 23)});
            sectionOffset += 50;
        }
        const int width = section == QLatin1String("a3") ? 30 : 28;
        layout.cells.push_back(
            {item.tid, cellName(item.tid),
             QRect(35 * column + 10, line * 25 + extra + sectionOffset - 30, width, 23)});
        if (column == 5) {
            column = 0;
            extra += 5;
            ++line;
        } else {
            ++column;
        }
    }
    return layout;
}

} // namespace exam

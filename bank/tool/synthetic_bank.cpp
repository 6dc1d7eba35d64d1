#include "synthetic_bank.h"

#include "store/exam_type.h"

#include <QStringList>
#include <random>

namespace banktool {

namespace {

const QStringList words = {
    QStringLiteral("粉尘"),     QStringLiteral("矽肺"),     QStringLiteral("铅"),
    QStringLiteral("汞"),       QStringLiteral("苯"),       QStringLiteral("噪声"),
    QStringLiteral("高温"),     QStringLiteral("振动"),     QStringLiteral("一氧化碳"),
    QStringLiteral("硫化氢"),   QStringLiteral("职业接触"), QStringLiteral("健康监护"),
    QStringLiteral("诊断"),     QStringLiteral("治疗"),     QStringLiteral("预防"),
    QStringLiteral("接触限值"), QStringLiteral("生物监测"), QStringLiteral("肺功能"),
};

// Group types in the order a chapter holds them, with their share of groups.
const int groupTypeCycle[] = {3, 3, 3, 4, 5, 6, 7, 8, 9, 10, 11};

struct TypeInfo {
    int id;
    const char* code;
    const char* title;
};

const TypeInfo typeInfos[] = {
    {3, "1", "A1型题：单句型最佳选择题"},
    {4, "2", "A2型题：病例摘要型最佳选择题"},
    {5, "3", "B型题配伍选择题"},
    {6, "4", "X型题：多项选择题"},
    {7, "5", "多项选择题：病例分析型"},
    {8, "6", "不定项选择题"},
    {9, "7",
     "A3/A4型题：每个案例至少有3个提问，每个提问有4-12个备选答案，其中正确答案有一个或多个。"},
    {10, "8", "阅读案例多个问题8"},
    {11, "9", "五个公用备选多个题每题一个选项9"},
};

class Generator {
public:
    explicit Generator(std::uint32_t seed)
        : engine_(seed) {}

    // Uniform enough for content, and identical on every platform, unlike the
    // standard distributions.
    int below(int bound) { return int(engine_() % std::uint32_t(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }

    QString sentence(int length) {
        QString text;
        for (int i = 0; i < length; ++i)
            text += words[below(int(words.size()))];
        return text;
    }

private:
    std::mt19937 engine_;
};

QString letter(int position) {
    return QString(QChar('A' + position));
}

// Correct letters in option order: one for single-answer types, two or more otherwise.
QString answerFor(Generator& random, int optionCount, bool single) {
    if (single)
        return letter(random.below(optionCount));
    QString answer;
    const int first = random.below(optionCount - 1);
    for (int i = 0; i < optionCount; ++i) {
        if (i == first || i == first + 1 || (i > first + 1 && random.below(3) == 0))
            answer += letter(i);
    }
    return answer;
}

} // namespace

BankContent syntheticBank(const SyntheticShape& shape) {
    Generator random(shape.seed);
    BankContent bank;
    bank.subject = {QStringLiteral("职业病学（中级）合成题库"), QStringLiteral("zyb")};
    for (const TypeInfo& type : typeInfos)
        bank.types.push_back(
            {type.id, QString::fromLatin1(type.code), QString::fromUtf8(type.title)});

    const int chapterCount = std::max(1, (shape.questions + shape.chapterQuestions - 1) /
                                             std::max(1, shape.chapterQuestions));
    const int sectionsPerTop = 4;
    const int chaptersPerSection =
        std::max(1, (chapterCount + 4 * sectionsPerTop - 1) / (4 * sectionsPerTop));

    int nodeId = 0, groupId = 0, questionId = 0, optionId = 0;
    int written = 0;
    int chapter = 0;
    int topId = 0, sectionId = 0;
    // The type cycle runs on across chapters, so small chapters still add up
    // to every group type.
    int cycle = 0;
    while (written < shape.questions) {
        if (chapter % (chaptersPerSection * sectionsPerTop) == 0) {
            topId = ++nodeId;
            bank.nodes.push_back({topId,
                                  QStringLiteral("第%1篇 %2").arg(topId).arg(random.sentence(2)),
                                  0,
                                  1,
                                  {},
                                  {}});
        }
        if (chapter % chaptersPerSection == 0) {
            sectionId = ++nodeId;
            bank.nodes.push_back(
                {sectionId,
                 QStringLiteral("第%1部分 %2").arg(sectionId).arg(random.sentence(2)),
                 topId,
                 2,
                 {},
                 {}});
        }
        const int chapterId = ++nodeId;
        bank.nodes.push_back({chapterId,
                              QStringLiteral("第%1章 %2").arg(++chapter).arg(random.sentence(2)),
                              sectionId,
                              3,
                              {},
                              {}});

        const int chapterEnd = std::min(shape.questions, written + shape.chapterQuestions);
        for (; written < chapterEnd; cycle = (cycle + 1) % int(std::size(groupTypeCycle))) {
            const int type = groupTypeCycle[cycle];
            const bool grouped = type >= 10;
            const int size = std::min(chapterEnd - written,
                                      grouped ? random.between(3, 5) : random.between(3, 12));
            store::QuestionGroup group{++groupId, chapterId, type, {}, {}};
            if (type == 10)
                group.content = QStringLiteral("患者，男，%1岁，从事%2作业%3年，")
                                    .arg(random.between(25, 60))
                                    .arg(random.sentence(2))
                                    .arg(random.between(2, 30)) +
                                random.sentence(6) + QStringLiteral("。");
            if (type == 11) {
                group.opnum = QStringLiteral("5");
                for (int i = 0; i < 5; ++i)
                    group.content += letter(i) + QStringLiteral("．") + random.sentence(2) +
                                     QStringLiteral("　");
            }
            bank.groups.push_back(group);
            for (int item = 1; item <= size; ++item, ++written) {
                store::Question question;
                question.id = ++questionId;
                question.readtextid = group.id;
                question.content = random.sentence(random.between(3, 8)) + QStringLiteral("的是");
                question.explain = random.sentence(random.between(4, 10)) + QStringLiteral("。");
                question.lx = store::examTypeCode(*store::examTypeOfGroupType(type));
                if (type == 10)
                    question.itemnum = QString::number(item);
                if (type == 11) {
                    question.answer = letter(random.below(5));
                } else {
                    const int optionCount = type <= 5 ? 5 : random.between(4, 6);
                    for (int i = 0; i < optionCount; ++i)
                        bank.options.push_back({++optionId, question.id, letter(i),
                                                random.sentence(random.between(1, 3))});
                    question.answer = answerFor(random, optionCount, type <= 5);
                }
                bank.questions.push_back(question);
            }
        }
    }
    return bank;
}

} // namespace banktool

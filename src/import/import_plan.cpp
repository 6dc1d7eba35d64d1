#include "import/import_plan.h"

#include "store/exam_type.h"

#include <QRegularExpression>
#include <map>

namespace importer {

namespace {

QString defaultSectionName(int groupType) {
    switch (groupType) {
    case group_type::singleCase:
        return QStringLiteral("A2型题");
    case group_type::multiple:
        return QStringLiteral("多项选择题");
    case group_type::undetermined:
        return QStringLiteral("不定项选择题");
    case group_type::caseGroup:
        return QStringLiteral("案例分析题");
    case group_type::matchingGroup:
        return QStringLiteral("配伍选择题");
    default:
        return QStringLiteral("单项选择题");
    }
}

class Planner {
public:
    Planner(const ImportedDocument& document, const ImportDestination& destination,
            const store::LargestIds& largest, QString pictureFolder)
        : document_(document)
        , destination_(destination)
        , next_(largest)
        , pictureFolder_(std::move(pictureFolder)) {}

    ImportPlan plan();

private:
    struct Section {
        QString name;
        std::vector<const ImportedGroup*> groups;
    };

    void addChapters(const Section& section, qint64 parent, const QString& prefix);
    void addGroup(const ImportedGroup& group, const std::vector<const ImportedQuestion*>& kept,
                  qint64 chapter);
    QString withPictures(const QString& html);
    QString picturePath(int picture);

    const ImportedDocument& document_;
    const ImportDestination& destination_;
    store::LargestIds next_;
    QString pictureFolder_;
    ImportPlan plan_;
    std::map<int, QString> picturePaths_;
    // The plain group last written, which further plain questions of its type join.
    store::QuestionGroup* openPlainGroup_ = nullptr;
    size_t openPlainGroupIndex_ = 0;
};

std::vector<const ImportedQuestion*> keptQuestions(const ImportedGroup& group) {
    std::vector<const ImportedQuestion*> kept;
    for (const ImportedQuestion& question : group.questions)
        if (!question.faulty)
            kept.push_back(&question);
    return kept;
}

ImportPlan Planner::plan() {
    std::vector<Section> sections;
    for (const ImportedGroup& group : document_.groups) {
        if (keptQuestions(group).empty())
            continue;
        const QString name =
            group.section.isEmpty() ? defaultSectionName(group.groupType) : group.section;
        auto it = std::find_if(sections.begin(), sections.end(),
                               [&](const Section& s) { return s.name == name; });
        if (it == sections.end())
            it = sections.insert(sections.end(), Section{name, {}});
        it->groups.push_back(&group);
    }
    if (destination_.sectionId != 0) {
        Section all;
        for (const Section& section : sections)
            all.groups.insert(all.groups.end(), section.groups.begin(), section.groups.end());
        addChapters(all, destination_.sectionId, destination_.topName + QLatin1Char(' '));
        return std::move(plan_);
    }
    const qint64 top = ++next_.node;
    plan_.content.nodes.push_back({top, destination_.topName, 0, 1, QString(""), QString("")});
    for (const Section& section : sections) {
        const qint64 id = ++next_.node;
        plan_.content.nodes.push_back({id, section.name, top, 2, QString(""), QString("")});
        addChapters(section, id, {});
    }
    return std::move(plan_);
}

void Planner::addChapters(const Section& section, qint64 parent, const QString& prefix) {
    int first = 1;
    size_t index = 0;
    while (index < section.groups.size()) {
        // As many whole groups as fit in one chapter, and at least one.
        std::vector<std::pair<const ImportedGroup*, std::vector<const ImportedQuestion*>>> chosen;
        int count = 0;
        while (index < section.groups.size()) {
            auto kept = keptQuestions(*section.groups[index]);
            if (!chosen.empty() && count + int(kept.size()) > chapterQuestions)
                break;
            count += int(kept.size());
            chosen.emplace_back(section.groups[index++], std::move(kept));
        }
        const qint64 chapter = ++next_.node;
        const QString range =
            count == 1 ? QStringLiteral("第 %1 题").arg(first)
                       : QStringLiteral("第 %1～%2 题").arg(first).arg(first + count - 1);
        plan_.content.nodes.push_back(
            {chapter, prefix + range, parent, 3, QString(""), QString("")});
        if (plan_.firstChapterId == 0)
            plan_.firstChapterId = chapter;
        openPlainGroup_ = nullptr;
        for (const auto& [group, kept] : chosen)
            addGroup(*group, kept, chapter);
        first += count;
    }
}

void Planner::addGroup(const ImportedGroup& group, const std::vector<const ImportedQuestion*>& kept,
                       qint64 chapter) {
    const bool shared =
        group.groupType == group_type::caseGroup || group.groupType == group_type::matchingGroup;
    store::BankContent& content = plan_.content;
    qint64 groupId = 0;
    if (!shared && openPlainGroup_ && openPlainGroup_->qtypeid == group.groupType) {
        groupId = openPlainGroup_->id;
    } else {
        groupId = ++next_.group;
        content.groups.push_back({groupId, chapter, group.groupType, withPictures(group.sharedText),
                                  group.groupType == group_type::matchingGroup
                                      ? QString::number(group.sharedLetters)
                                      : QString("")});
        openPlainGroup_ = shared ? nullptr : &content.groups.back();
        openPlainGroupIndex_ = content.groups.size() - 1;
    }
    const QString typeCode = store::examTypeCode(*store::examTypeOfGroupType(group.groupType));
    int item = 0;
    for (const ImportedQuestion* source : kept) {
        store::Question question;
        question.id = ++next_.question;
        question.readtextid = groupId;
        question.content = withPictures(source->stem);
        question.answer = source->answer;
        question.explain = withPictures(source->explanation);
        question.picurl = source->picture >= 0 ? picturePath(source->picture) : QString("");
        question.itemnum =
            group.groupType == group_type::caseGroup ? QString::number(++item) : QString("");
        question.lx = typeCode;
        content.questions.push_back(question);
        for (size_t i = 0; i < source->options.size(); ++i)
            content.options.push_back({++next_.option, question.id,
                                       QString(QChar(char16_t(u'A' + i))),
                                       withPictures(source->options[i])});
    }
    // A pointer into the vector would not survive its growth.
    if (openPlainGroup_)
        openPlainGroup_ = &content.groups[openPlainGroupIndex_];
}

QString Planner::picturePath(int picture) {
    if (const auto known = picturePaths_.find(picture); known != picturePaths_.end())
        return known->second;
    const QString path = QStringLiteral("%1/%2.%3")
                             .arg(pictureFolder_)
                             .arg(picture + 1)
                             .arg(document_.pictures[size_t(picture)].suffix);
    picturePaths_[picture] = path;
    plan_.pictures.push_back({picture, path});
    return path;
}

QString Planner::withPictures(const QString& html) {
    if (!html.contains(QChar(1)))
        return html;
    static const QRegularExpression mark(QStringLiteral("\x01(\\d+)\x01"));
    QString result;
    qsizetype from = 0;
    for (auto it = mark.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += html.mid(from, match.capturedStart(0) - from);
        const int picture = match.captured(1).toInt();
        if (picture >= 0 && picture < int(document_.pictures.size()))
            result += picturePath(picture).toHtmlEscaped();
        from = match.capturedEnd(0);
    }
    return result + html.mid(from);
}

} // namespace

const std::vector<store::QuestionType>& standardQuestionTypes() {
    static const std::vector<store::QuestionType> types = {
        {3, QStringLiteral("1"),
         QStringLiteral("A1型题：单句型最佳选择题，每题有五个备选答案，请选出一个最佳答案")},
        {4, QStringLiteral("2"),
         QStringLiteral("A2型题：病例摘要型最佳选择题，每题有五个备选答案，请选出一个最佳答案")},
        {5, QStringLiteral("3"), QStringLiteral("B型题配伍选择题")},
        {6, QStringLiteral("4"), QStringLiteral("X型题：多项选择题，每题有两个或两个以上正确答案")},
        {7, QStringLiteral("5"),
         QStringLiteral("多项选择题：病例分析型，每题有两个或两个以上正确答案")},
        {8, QStringLiteral("6"), QStringLiteral("不定项选择题：每题有一个或多个正确答案")},
        {9, QStringLiteral("7"),
         QStringLiteral("A3/A4型题：每个案例至少有3个提问，每个提问有4-12个备选答案，其中正确答案"
                        "有一个或多个。")},
        {10, QStringLiteral("8"), QStringLiteral("阅读案例多个问题8")},
        {11, QStringLiteral("9"), QStringLiteral("五个公用备选多个题每题一个选项9")},
    };
    return types;
}

ImportPlan planImport(const ImportedDocument& document, const ImportDestination& destination,
                      const store::LargestIds& largest, const QString& pictureFolder) {
    return Planner(document, destination, largest, pictureFolder).plan();
}

} // namespace importer

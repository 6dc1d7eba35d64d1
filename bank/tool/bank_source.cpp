#include "bank_source.h"

#include "practice/html_sanitiser.h"
#include "store/exam_type.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <limits>
#include <map>
#include <optional>

namespace banktool {

namespace {

constexpr int caseGroupType = 10;
constexpr int matchingGroupType = 11;
constexpr int maxMatchingLetters = 15;

struct Place {
    QString file;
    int line = 0;
    QString text() const { return QStringLiteral("%1:%2").arg(file).arg(line); }
};

[[noreturn]] void refuse(const Place& place, const QString& message) {
    throw ToolError(place.text() + QStringLiteral(": ") + message);
}

// A message quotes the beginning of a long value: it names the place, and a
// whole faulty line may be megabytes.
QString excerpt(const QString& text) {
    constexpr qsizetype shown = 60;
    if (text.size() <= shown)
        return text;
    return text.left(shown) + QStringLiteral("……（共 %1 个字符）").arg(text.size());
}

// What is checked once every file has been read, because it depends on the
// header (types, picture folder) that may come in any file.
struct PendingQuestion {
    size_t question = 0;
    size_t group = 0;
    QStringList optionLetters;
    bool hasAnswer = false;
    Place place;
    Place answerPlace;
    Place picturePlace;
};

struct PendingGroup {
    size_t group = 0;
    int questionCount = 0;
    Place place;
};

class SourceReader {
public:
    explicit SourceReader(QStringList& warnings)
        : warnings_(warnings) {}
    void readFile(const QString& path, const QString& shownName);
    BankContent finish();

private:
    QString decodedLine(QByteArray bytes) const;
    // Every field has a length limit; pages would show a longer text cut.
    void checkLength(const QString& text) const;
    // A text the page shows: the author hears of markup that will not show
    // as written.
    const QString& pageText(const QString& text);
    void readLine(const QString& line);
    void readNode(const QString& key, const QString& value, int level);
    void readGroup(const QRegularExpressionMatch& match);
    void readQuestion(const QRegularExpressionMatch& match);
    void readField(const QString& key, const QString& value);
    store::Question& currentQuestion(const QString& key);
    store::QuestionGroup& currentGroup(const QString& key);
    void closeQuestion();
    void closeGroup();
    void checkQuestion(const PendingQuestion& pending, const std::map<int, int>& typeCodes);
    void checkPicture(const QString& picture, const Place& place) const;
    int parseId(const QString& text);
    void claimId(std::map<int, Place>& used, int id, const QString& what);

    QStringList& warnings_;
    BankContent content_;
    Place place_;
    std::optional<QString> pictureRoot_;
    bool hasSubject_ = false;

    // Per file: the tree position that groups and questions attach to.
    int top_ = 0, section_ = 0, chapter_ = 0;
    bool inGroup_ = false, inQuestion_ = false;

    std::map<int, Place> nodeIds_, groupIds_, questionIds_, optionIds_, typeIds_;
    std::map<int, size_t> nodeIndex_;
    std::vector<PendingQuestion> pendingQuestions_;
    std::vector<PendingGroup> pendingGroups_;
};

void SourceReader::readFile(const QString& path, const QString& shownName) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ToolError(QStringLiteral("无法读取源文件“%1”：%2").arg(path, file.errorString()));
    place_ = {shownName, 0};
    top_ = section_ = chapter_ = 0;
    inGroup_ = inQuestion_ = false;
    for (const QByteArray& bytes : file.readAll().split('\n')) {
        ++place_.line;
        readLine(decodedLine(bytes).trimmed());
    }
    closeGroup();
    const bool headerInThisFile = hasSubject_ && !pictureRoot_;
    if (headerInThisFile)
        pictureRoot_ = QFileInfo(path).absolutePath();
}

QString SourceReader::decodedLine(QByteArray bytes) const {
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    if (bytes.contains('\r'))
        refuse(place_, QStringLiteral("行中有单独的回车符（CR）：文件可能以 CR 换行，请改用 LF 或 "
                                      "CRLF 换行后再试。"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString line = decoder.decode(bytes);
    if (decoder.hasError())
        refuse(place_, QStringLiteral("不是有效的 UTF-8 文本，请以 UTF-8 编码保存文件。"));
    return line;
}

void SourceReader::checkLength(const QString& text) const {
    if (practice::exceedsBankTextLimit(text))
        refuse(place_, QStringLiteral("文本过长（%1 字节），每项最多 %2 字节。")
                           .arg(text.toUtf8().size())
                           .arg(practice::maxBankTextBytes));
}

const QString& SourceReader::pageText(const QString& text) {
    checkLength(text);
    const practice::SanitisedHtml sanitised = practice::sanitiseBankHtml(text);
    if (!sanitised.dropped.isEmpty())
        warnings_ << place_.text() + QStringLiteral(": 警告：页面显示时将去掉 ") +
                         sanitised.dropped.join(QStringLiteral("、"));
    if (!sanitised.closed.isEmpty())
        warnings_ << place_.text() + QStringLiteral(": 警告：标记未闭合，页面显示时将补上 ") +
                         sanitised.closed.join(QStringLiteral("、")) +
                         QStringLiteral(" 的结束标记");
    return text;
}

void SourceReader::readLine(const QString& line) {
    if (line.isEmpty() || line.startsWith('#'))
        return;
    static const QRegularExpression group(
        QStringLiteral(R"(^group\s+(\S+)\s+type\s+(\S+)(?:\s+letters\s+(\S+))?$)"));
    static const QRegularExpression question(
        QStringLiteral(R"(^question\s+(\d+)(?:\s+item\s+(\S+))?\s*:\s*(.*)$)"));
    static const QRegularExpression type(
        QStringLiteral(R"(^type\s+(\S+)\s+code\s+(\S+)\s*:\s*(.*)$)"));
    static const QRegularExpression field(QStringLiteral(R"(^([A-Za-z]+)\s*:\s*(.*)$)"));

    if (auto match = group.match(line); match.hasMatch())
        return readGroup(match);
    if (line.startsWith(QStringLiteral("group")))
        refuse(place_,
               QStringLiteral("题组行应写作“group 编号 type 题型”，配伍题再加“letters 字母数”。"));
    if (auto match = question.match(line); match.hasMatch())
        return readQuestion(match);
    if (line.startsWith(QStringLiteral("question")))
        refuse(place_, QStringLiteral("试题行应写作“question 编号: 题干”，案例题写作“question 编号 "
                                      "item 小题号: 题干”。"));
    if (auto match = type.match(line); match.hasMatch()) {
        const int id = parseId(match.captured(1));
        claimId(typeIds_, id, QStringLiteral("题型"));
        content_.types.push_back({id, match.captured(2), pageText(match.captured(3).trimmed())});
        return;
    }
    if (auto match = field.match(line); match.hasMatch())
        return readField(match.captured(1), match.captured(2).trimmed());
    refuse(place_, QStringLiteral("无法识别的行：%1").arg(excerpt(line)));
}

int SourceReader::parseId(const QString& text) {
    bool ok = false;
    const int id = text.toInt(&ok);
    if (!ok || id <= 0)
        refuse(place_, QStringLiteral("编号“%1”不是正整数。").arg(excerpt(text)));
    return id;
}

void SourceReader::claimId(std::map<int, Place>& used, int id, const QString& what) {
    const auto [it, inserted] = used.emplace(id, place_);
    if (!inserted)
        refuse(place_, QStringLiteral("%1编号 %2 重复，已在 %3 使用。")
                           .arg(what)
                           .arg(id)
                           .arg(it->second.text()));
}

void SourceReader::readNode(const QString& key, const QString& value, int level) {
    static const QRegularExpression idAndName(QStringLiteral(R"(^(\S+)\s+(.+)$)"));
    const auto match = idAndName.match(value);
    if (!match.hasMatch())
        refuse(place_, QStringLiteral("“%1”后应写编号和名称。").arg(key));
    closeGroup();
    const int id = parseId(match.captured(1));
    const QString name = match.captured(2).trimmed();
    const int parent = level == 1 ? 0 : level == 2 ? top_ : section_;
    if (level > 1 && parent == 0)
        refuse(place_,
               QStringLiteral("“%1”之前缺少上一级的 %2 行。")
                   .arg(key, level == 2 ? QStringLiteral("top") : QStringLiteral("section")));
    if (const auto known = nodeIndex_.find(id); known != nodeIndex_.end()) {
        const store::TreeNode& node = content_.nodes[known->second];
        if (node.nodename != name || node.parentid != parent || node.code != level)
            refuse(place_, QStringLiteral("节点编号 %1 与 %2 的定义不一致。")
                               .arg(id)
                               .arg(nodeIds_[id].text()));
    } else {
        claimId(nodeIds_, id, QStringLiteral("节点"));
        nodeIndex_[id] = content_.nodes.size();
        content_.nodes.push_back({id, name, parent, level, {}, {}});
    }
    top_ = level == 1 ? id : top_;
    section_ = level == 2 ? id : level == 1 ? 0 : section_;
    chapter_ = level == 3 ? id : 0;
}

void SourceReader::readGroup(const QRegularExpressionMatch& match) {
    if (chapter_ == 0)
        refuse(place_, QStringLiteral("题组之前缺少 chapter 行。"));
    closeGroup();
    const int id = parseId(match.captured(1));
    claimId(groupIds_, id, QStringLiteral("题组"));
    bool ok = false;
    const int type = match.captured(2).toInt(&ok);
    if (!ok || !store::examTypeOfGroupType(type))
        refuse(
            place_,
            QStringLiteral("未知的题型“%1”（题型应为 3 到 11）。").arg(excerpt(match.captured(2))));
    QString letters;
    if (type == matchingGroupType) {
        const int count = match.captured(3).toInt(&ok);
        if (!ok || count < 1 || count > maxMatchingLetters)
            refuse(place_, QStringLiteral("配伍题组须写“letters N”，N 为 1 到 15。"));
        letters = QString::number(count);
    } else if (match.hasCaptured(3)) {
        refuse(place_, QStringLiteral("只有配伍题组（题型 11）可以写 letters。"));
    }
    content_.groups.push_back({id, chapter_, type, QString(""), letters});
    pendingGroups_.push_back({content_.groups.size() - 1, 0, place_});
    inGroup_ = true;
}

void SourceReader::readQuestion(const QRegularExpressionMatch& match) {
    if (!inGroup_)
        refuse(place_, QStringLiteral("试题之前缺少 group 行。"));
    closeQuestion();
    const store::QuestionGroup& group = content_.groups[pendingGroups_.back().group];
    const int id = parseId(match.captured(1));
    claimId(questionIds_, id, QStringLiteral("试题"));
    QString item;
    if (group.qtypeid == caseGroupType) {
        if (!match.hasCaptured(2))
            refuse(place_, QStringLiteral("案例题须写小题序号（question 编号 item 序号: 题干）。"));
        bool ok = false;
        if (match.captured(2).toInt(&ok) <= 0 || !ok)
            refuse(place_,
                   QStringLiteral("小题序号“%1”不是正整数。").arg(excerpt(match.captured(2))));
        item = match.captured(2);
    } else if (match.hasCaptured(2)) {
        refuse(place_, QStringLiteral("只有案例题组（题型 10）的试题可以写 item。"));
    }
    store::Question question;
    question.id = id;
    question.readtextid = group.id;
    question.content = pageText(match.captured(3).trimmed());
    question.itemnum = item;
    question.lx = store::examTypeCode(*store::examTypeOfGroupType(group.qtypeid));
    content_.questions.push_back(question);
    ++pendingGroups_.back().questionCount;
    pendingQuestions_.push_back(
        {content_.questions.size() - 1, pendingGroups_.back().group, {}, false, place_, {}, {}});
    inQuestion_ = true;
}

store::Question& SourceReader::currentQuestion(const QString& key) {
    if (!inQuestion_)
        refuse(place_, QStringLiteral("“%1”之前缺少 question 行。").arg(key));
    return content_.questions[pendingQuestions_.back().question];
}

store::QuestionGroup& SourceReader::currentGroup(const QString& key) {
    if (!inGroup_ || inQuestion_)
        refuse(place_, QStringLiteral("“%1”应紧跟在 group 行之后、第一道试题之前。").arg(key));
    return content_.groups[pendingGroups_.back().group];
}

void SourceReader::readField(const QString& key, const QString& value) {
    checkLength(value);
    if (key == QStringLiteral("subject")) {
        if (hasSubject_)
            refuse(place_, QStringLiteral("题库标题（subject）只能写一次。"));
        hasSubject_ = true;
        content_.subject.ID = value;
    } else if (key == QStringLiteral("folder")) {
        content_.subject.mz = value;
    } else if (key == QStringLiteral("top")) {
        readNode(key, value, 1);
    } else if (key == QStringLiteral("section")) {
        readNode(key, value, 2);
    } else if (key == QStringLiteral("chapter")) {
        readNode(key, value, 3);
    } else if (key == QStringLiteral("case")) {
        store::QuestionGroup& group = currentGroup(key);
        if (group.qtypeid != caseGroupType)
            refuse(place_, QStringLiteral("只有案例题组（题型 10）可以写 case。"));
        group.content = pageText(value);
    } else if (key == QStringLiteral("lead")) {
        store::QuestionGroup& group = currentGroup(key);
        if (group.qtypeid != matchingGroupType)
            refuse(place_, QStringLiteral("只有配伍题组（题型 11）可以写 lead。"));
        group.content = pageText(value);
    } else if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z') {
        store::Question& question = currentQuestion(key);
        PendingQuestion& pending = pendingQuestions_.back();
        if (content_.groups[pending.group].qtypeid == matchingGroupType)
            refuse(place_, QStringLiteral("配伍题不写选项，选项写在题组的 lead 行。"));
        if (pending.hasAnswer)
            refuse(place_, QStringLiteral("选项应写在 answer 行之前。"));
        const QChar expected = QChar(char16_t(u'A' + pending.optionLetters.size()));
        if (key[0] != expected)
            refuse(place_, QStringLiteral("选项应按字母顺序排列，此处应为“%1”。").arg(expected));
        const qint64 optionId = qint64(question.id) * 100 + pending.optionLetters.size() + 1;
        if (optionId > std::numeric_limits<int>::max())
            refuse(place_, QStringLiteral("试题编号 %1 太大，选项编号超出范围。").arg(question.id));
        claimId(optionIds_, int(optionId), QStringLiteral("选项"));
        pending.optionLetters << key;
        content_.options.push_back({int(optionId), question.id, key, pageText(value)});
    } else if (key == QStringLiteral("answer")) {
        store::Question& question = currentQuestion(key);
        if (pendingQuestions_.back().hasAnswer)
            refuse(place_, QStringLiteral("一道试题只能有一个 answer 行。"));
        question.answer = value;
        pendingQuestions_.back().hasAnswer = true;
        pendingQuestions_.back().answerPlace = place_;
    } else if (key == QStringLiteral("explain")) {
        currentQuestion(key).explain = pageText(value);
    } else if (key == QStringLiteral("picture")) {
        currentQuestion(key).picurl = value;
        pendingQuestions_.back().picturePlace = place_;
    } else {
        refuse(place_, QStringLiteral("未知的字段“%1”。").arg(excerpt(key)));
    }
}

void SourceReader::closeQuestion() {
    if (inQuestion_ && !pendingQuestions_.back().hasAnswer)
        refuse(pendingQuestions_.back().place, QStringLiteral("试题缺少 answer 行。"));
    inQuestion_ = false;
}

void SourceReader::closeGroup() {
    closeQuestion();
    if (inGroup_ && pendingGroups_.back().questionCount == 0)
        refuse(pendingGroups_.back().place, QStringLiteral("题组中没有试题。"));
    inGroup_ = false;
}

void SourceReader::checkQuestion(const PendingQuestion& pending,
                                 const std::map<int, int>& typeCodes) {
    const store::Question& question = content_.questions[pending.question];
    const store::QuestionGroup& group = content_.groups[pending.group];
    const QString& answer = question.answer;
    const Place& at = pending.answerPlace;
    if (answer.isEmpty())
        refuse(at, QStringLiteral("答案为空。"));
    if (group.qtypeid == matchingGroupType) {
        const int letters = group.opnum.toInt();
        if (answer.size() != 1 || answer[0] < 'A' || answer[0] >= QChar('A' + letters))
            refuse(at, QStringLiteral("配伍题的答案应是 A 到 %1 中的一个字母，而不是“%2”。")
                           .arg(QChar('A' + letters - 1))
                           .arg(excerpt(answer)));
    } else {
        if (pending.optionLetters.isEmpty())
            refuse(pending.place, QStringLiteral("试题没有选项。"));
        int previous = -1;
        for (const QChar letter : answer) {
            const int position = pending.optionLetters.indexOf(QString(letter));
            if (position < 0)
                refuse(at, QStringLiteral("答案字母“%1”不在本题的选项中。").arg(letter));
            if (position <= previous)
                refuse(at, QStringLiteral("答案字母应按选项顺序排列且不重复，而不是“%1”。")
                               .arg(excerpt(answer)));
            previous = position;
        }
        const int code = typeCodes.at(group.qtypeid);
        if (code >= 1 && code <= 3 && answer.size() != 1)
            refuse(at,
                   QStringLiteral("单选题只能有一个答案字母，而不是“%1”。").arg(excerpt(answer)));
    }
    if (!question.picurl.trimmed().isEmpty())
        checkPicture(question.picurl.trimmed(), pending.picturePlace);
}

// The page shows a picture relative to the program folder, where the build
// copies the bank folder's pictures: a path must stay inside that folder.
void SourceReader::checkPicture(const QString& picture, const Place& place) const {
    const QString root = QDir::cleanPath(*pictureRoot_);
    const QString path = QDir::cleanPath(QDir(root).filePath(picture));
    const auto outside = [&] {
        refuse(place,
               QStringLiteral("图片路径“%1”指向题库文件夹之外：图片须放在题库头文件所在的文件"
                              "夹或其子文件夹中。")
                   .arg(excerpt(picture)));
    };
    if (QDir::isAbsolutePath(picture) || !path.startsWith(root + QLatin1Char('/')))
        outside();
    if (!QFileInfo(path).isFile())
        refuse(place, QStringLiteral("图片文件“%1”不存在。").arg(excerpt(picture)));
    // A link inside the folder may still lead out of it.
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    if (!QFileInfo(path).canonicalFilePath().startsWith(realRoot + QLatin1Char('/')))
        outside();
}

BankContent SourceReader::finish() {
    if (!hasSubject_)
        throw ToolError(QStringLiteral("缺少题库标题：题库头文件须有 subject 行。"));
    std::map<int, int> typeCodes;
    for (const store::QuestionType& type : content_.types)
        typeCodes[type.id] = type.code.toInt();
    for (const PendingGroup& pending : pendingGroups_) {
        const store::QuestionGroup& group = content_.groups[pending.group];
        if (!typeCodes.count(group.qtypeid))
            refuse(pending.place,
                   QStringLiteral("题型 %1 没有在题库头文件中定义。").arg(group.qtypeid));
        if (group.qtypeid == caseGroupType && group.content.isEmpty())
            refuse(pending.place, QStringLiteral("案例题组缺少 case 行。"));
        if (group.qtypeid == matchingGroupType && group.content.isEmpty())
            refuse(pending.place, QStringLiteral("配伍题组缺少 lead 行。"));
    }
    for (const PendingQuestion& pending : pendingQuestions_)
        checkQuestion(pending, typeCodes);
    return std::move(content_);
}

QStringList sourceFiles(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw ToolError(QStringLiteral("源文件“%1”不存在。").arg(path));
    if (!info.isDir())
        return {path};
    QStringList files;
    QDirIterator it(path, {QStringLiteral("*.txt")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

BankContent readBankSources(const QStringList& paths, QStringList& warnings) {
    SourceReader reader(warnings);
    for (const QString& path : paths) {
        const QDir base = QFileInfo(path).isDir() ? QDir(path) : QFileInfo(path).dir();
        for (const QString& file : sourceFiles(path))
            reader.readFile(file, QFileInfo(path).isDir() ? base.relativeFilePath(file) : file);
    }
    return reader.finish();
}

} // namespace banktool

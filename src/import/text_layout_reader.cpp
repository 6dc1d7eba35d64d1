#include "import/text_layout_reader.h"

#include "practice/html_sanitiser.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <set>

namespace importer {

namespace {

// Digits of a heading's number: 一、 二、 …
const QString chineseNumerals = QStringLiteral("一二三四五六七八九十");

struct HeadingName {
    const char16_t* name;
    int groupType;
};

// Longer names first, so that "A3/A4型题" is not read as "A3型题".
const HeadingName headingNames[] = {
    {u"A3/A4型题", group_type::caseGroup},
    {u"A3/A4型", group_type::caseGroup},
    {u"A1/A2型题", group_type::single},
    {u"A1型题", group_type::single},
    {u"A2型题", group_type::singleCase},
    {u"A3型题", group_type::caseGroup},
    {u"A4型题", group_type::caseGroup},
    {u"B1型题", group_type::matchingGroup},
    {u"B型题", group_type::matchingGroup},
    {u"X型题", group_type::multiple},
    {u"单项选择题", group_type::single},
    {u"单选题", group_type::single},
    {u"最佳选择题", group_type::single},
    {u"不定项选择题", group_type::undetermined},
    {u"多项选择题", group_type::multiple},
    {u"多选题", group_type::multiple},
    {u"案例分析题", group_type::caseGroup},
    {u"共用题干题", group_type::caseGroup},
    {u"病例分析题", group_type::caseGroup},
    {u"配伍选择题", group_type::matchingGroup},
    {u"共用备选答案题", group_type::matchingGroup},
    {u"配伍题", group_type::matchingGroup},
};

// The heading name a text starts with, and its group type.
std::optional<std::pair<QString, int>> headingAt(const QString& folded, qsizetype from) {
    for (const HeadingName& heading : headingNames) {
        const QString name = QString::fromUtf16(heading.name);
        if (folded.mid(from, name.size()).compare(name, Qt::CaseInsensitive) == 0)
            return std::make_pair(name, heading.groupType);
    }
    return std::nullopt;
}

bool isSingleType(int groupType) {
    return groupType == group_type::single || groupType == group_type::singleCase;
}

QString letter(int index) {
    return QString(QChar(char16_t(u'A' + index)));
}

// Blanks of every kind at both ends go, control characters anywhere (they
// also keep the picture marks apart from what a document says).
QString cleanLine(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text)
        if (c == QChar(0x3000) || c == QChar(0xa0) || c == '\t')
            clean += ' ';
        else if (c.unicode() >= 0x20 && c.category() != QChar::Other_Control &&
                 c.category() != QChar::Other_Format)
            clean += c;
    return clean.trimmed();
}

QString html(const QString& text) {
    return text.toHtmlEscaped();
}

struct Option {
    int letter = 0;
    QString text;
};

// Options written at the start of a line, one or several: "A．…", "B、…",
// "(C)…", "A．甲 B．乙 C．丙". Empty when the line does not start with one.
std::vector<Option> optionsOf(const QString& text, const QString& folded) {
    static const QRegularExpression first(
        QStringLiteral(R"(^(?:\(\s*([A-O])\s*\)|([A-O])\s*[.、:)])\s*)"));
    static const QRegularExpression next(
        QStringLiteral(R"((?<![A-Za-z0-9])(?:\(\s*([A-O])\s*\)|([A-O])\s*[.、:)]))"));
    const auto letterOf = [](const QRegularExpressionMatch& match) {
        const QString captured =
            match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
        return captured[0].unicode() - u'A';
    };
    const QRegularExpressionMatch start = first.match(folded);
    if (!start.hasMatch())
        return {};
    std::vector<Option> options{{letterOf(start), {}}};
    qsizetype textStart = start.capturedEnd(0);
    qsizetype from = textStart;
    while (true) {
        QRegularExpressionMatch match = next.match(folded, from);
        // Only the letter that comes next starts another option.
        while (match.hasMatch() && letterOf(match) != options.back().letter + 1)
            match = next.match(folded, match.capturedStart(0) + 1);
        if (!match.hasMatch())
            break;
        options.back().text = text.mid(textStart, match.capturedStart(0) - textStart).trimmed();
        options.push_back({letterOf(match), {}});
        textStart = from = match.capturedEnd(0);
    }
    options.back().text = text.mid(textStart).trimmed();
    return options;
}

// Where a question stands in the document.
struct QuestionPlace {
    size_t group = 0;
    size_t question = 0;
};

// What the reader knows of a question beyond its content.
struct QuestionNotes {
    QuestionPlace at;
    int section = -1;
    int headingType = 0; // the type its heading set; 0 when none
    int answerPlace = 0;
    bool answered = false;
    QString writtenAnswer; // the answer as written, when it is no letters
};

enum class Field { None, Stem, Option, Explanation, SharedText };

class LayoutReader {
public:
    LayoutReader(PlaceKind kind, std::vector<ImportedPicture> pictures) {
        doc_.placeKind = kind;
        doc_.pictures = std::move(pictures);
    }

    void read(const SourceLine& line);
    ImportedDocument finish();

private:
    bool readHeading(const QString& folded);
    bool readGroupMarker(const QString& text, const QString& folded);
    bool readQuestion(const QString& text, const QString& folded);
    bool readOptions(const QString& text, const QString& folded);
    bool readAnswer(const QString& text, const QString& folded);
    bool readExplanation(const QString& text, const QString& folded);
    bool readKeyStart(const QString& text, const QString& folded);
    void readKeyLine(const QString& text, const QString& folded);
    void giveKeyAnswer(int number, const QString& letters);
    void continueField(const QString& htmlText);
    void attachPictures(const std::vector<int>& pictures);
    void closeGroup();
    void startSharedGroup(int groupType, int first, int last, const QString& text);
    void problem(int place, const QString& message);
    void problemOf(QuestionNotes& notes, int place, const QString& message);

    ImportedGroup& group(const QuestionPlace& at) { return doc_.groups[at.group]; }
    ImportedQuestion& question(const QuestionPlace& at) {
        return doc_.groups[at.group].questions[at.question];
    }
    QuestionNotes* current() { return notes_.empty() || !open_ ? nullptr : &notes_.back(); }
    QString questionName(const QuestionNotes& notes) {
        const int number = question(notes.at).number;
        return number > 0 ? QStringLiteral("第 %1 题").arg(number) : QStringLiteral("试题");
    }

    ImportedDocument doc_;
    std::vector<QuestionNotes> notes_;
    int place_ = 0;
    bool open_ = false; // the last question still takes lines
    Field field_ = Field::None;

    // Type headings: the group type they set and the sections they open.
    int headingType_ = 0;
    std::vector<QString> sections_;
    std::vector<std::map<int, size_t>> numbers_; // per section: number → note index

    // The shared group open: a case or matching group, and its numbers.
    int sharedGroup_ = -1;
    int sharedFirst_ = 0, sharedLast_ = 0;

    // The answer key at the end.
    bool inKey_ = false;
    int keySection_ = -1;
    int lastKeyNote_ = -1;
    std::vector<int> keyNumbersWaiting_;
};

void LayoutReader::problem(int place, const QString& message) {
    doc_.problems.push_back({place, message});
}

void LayoutReader::problemOf(QuestionNotes& notes, int place, const QString& message) {
    question(notes.at).faulty = true;
    problem(place, message);
}

void LayoutReader::read(const SourceLine& line) {
    place_ = line.place;
    if (!line.tableHtml.isEmpty()) {
        // A table in the answer key is read row by row.
        if (inKey_) {
            for (const QString& row : line.tableRows) {
                const QString text = cleanLine(row);
                readKeyLine(text, foldWidth(text));
            }
            return;
        }
        continueField(line.tableHtml);
        attachPictures(line.pictures);
        return;
    }
    const QString text = cleanLine(line.text);
    const QString folded = foldWidth(text);
    if (!text.isEmpty()) {
        if (inKey_)
            readKeyLine(text, folded);
        else if (!readHeading(folded) && !readKeyStart(text, folded) &&
                 !readGroupMarker(text, folded) && !readQuestion(text, folded) &&
                 !readOptions(text, folded) && !readAnswer(text, folded) &&
                 !readExplanation(text, folded))
            continueField(html(text));
    }
    attachPictures(line.pictures);
}

bool LayoutReader::readHeading(const QString& folded) {
    static const QRegularExpression numbering(
        QStringLiteral(
            R"(^(?:[%1]+\s*[、.,]|第[%1\d]+(?:部分|章|节)?\s*[、.,:]?|\d{1,2}\s*[、.])?\s*)")
            .arg(chineseNumerals));
    const QRegularExpressionMatch prefix = numbering.match(folded);
    const auto heading = headingAt(folded, prefix.capturedEnd(0));
    if (!heading)
        return false;
    // What follows a heading is a remark on it: "（每题 1 分）", "：每题……".
    const QString rest = folded.mid(prefix.capturedEnd(0) + heading->first.size()).trimmed();
    if (!rest.isEmpty() && !QStringLiteral("(:[【,.。").contains(rest[0]))
        return false;
    if (inKey_)
        return true;
    closeGroup();
    open_ = false;
    field_ = Field::None;
    headingType_ = heading->second;
    sections_.push_back(heading->first);
    numbers_.emplace_back();
    return true;
}

bool LayoutReader::readKeyStart(const QString& text, const QString& folded) {
    static const QRegularExpression keyStart(QStringLiteral(
        R"(^[【\[]?\s*(?:参考答案及解析|参考答案与解析|参考答案|标准答案|答案速查|答案汇总|答案与解析)\s*[】\]]?\s*:?\s*)"));
    const QRegularExpressionMatch match = keyStart.match(folded);
    if (!match.hasMatch())
        return false;
    const QString rest = folded.mid(match.capturedEnd(0));
    // "参考答案：B" under a question answers that question.
    if (current() && !rest.isEmpty() && !rest[0].isDigit())
        return false;
    closeGroup();
    open_ = false;
    field_ = Field::None;
    inKey_ = true;
    if (!rest.isEmpty())
        readKeyLine(text.mid(match.capturedEnd(0)), rest);
    return true;
}

bool LayoutReader::readGroupMarker(const QString& text, const QString& folded) {
    static const QRegularExpression marker(QStringLiteral(
        R"(^[(\[【]?\s*(?:(\d{1,5})\s*[~\-–—〜至到]\s*(\d{1,5})\s*题?\s*)?共用(题干|备选答案)\s*[)\]】]?\s*:?\s*)"));
    const QRegularExpressionMatch match = marker.match(folded);
    if (!match.hasMatch())
        return false;
    const int first = match.captured(1).toInt();
    const int last = match.captured(2).toInt();
    const bool matching = match.captured(3) == QStringLiteral("备选答案");
    startSharedGroup(matching ? group_type::matchingGroup : group_type::caseGroup, first, last,
                     html(text.mid(match.capturedEnd(0)).trimmed()));
    if (first > last)
        problem(place_, QStringLiteral("共用题组的题号范围 %1～%2 颠倒。").arg(first).arg(last));
    return true;
}

void LayoutReader::startSharedGroup(int groupType, int first, int last, const QString& text) {
    closeGroup();
    open_ = false;
    ImportedGroup shared;
    shared.place = place_;
    shared.groupType = groupType;
    shared.sharedText = text;
    shared.section = sections_.empty() ? QString() : sections_.back();
    doc_.groups.push_back(shared);
    sharedGroup_ = int(doc_.groups.size()) - 1;
    sharedFirst_ = first;
    sharedLast_ = last;
    field_ = Field::SharedText;
}

void LayoutReader::closeGroup() {
    if (sharedGroup_ < 0)
        return;
    const ImportedGroup& shared = doc_.groups[sharedGroup_];
    if (shared.questions.empty())
        problem(shared.place, QStringLiteral("共用题组中没有试题。"));
    else if (shared.groupType == group_type::matchingGroup && shared.sharedLetters == 0) {
        problem(shared.place, QStringLiteral("配伍题组没有共用备选答案（A．… B．…）。"));
        for (ImportedQuestion& q : doc_.groups[sharedGroup_].questions)
            q.faulty = true;
    } else if (shared.groupType == group_type::caseGroup && shared.sharedText.isEmpty()) {
        problem(shared.place, QStringLiteral("案例题组没有共用题干。"));
        for (ImportedQuestion& q : doc_.groups[sharedGroup_].questions)
            q.faulty = true;
    }
    sharedGroup_ = -1;
}

bool LayoutReader::readQuestion(const QString& text, const QString& folded) {
    static const QRegularExpression numbered(
        QStringLiteral(R"(^(?:\(\s*(\d{1,5})\s*\)|(\d{1,5})\s*[.、,:)](?!\d))\s*)"));
    const QRegularExpressionMatch match = numbered.match(folded);
    if (!match.hasMatch())
        return false;
    const int number =
        (match.captured(1).isEmpty() ? match.captured(2) : match.captured(1)).toInt();
    if (sharedGroup_ >= 0 && sharedLast_ > 0 && (number < sharedFirst_ || number > sharedLast_))
        closeGroup();
    if (sharedGroup_ < 0) {
        ImportedGroup plain;
        plain.place = place_;
        plain.groupType = headingType_;
        plain.section = sections_.empty() ? QString() : sections_.back();
        doc_.groups.push_back(plain);
    }
    const size_t groupIndex = sharedGroup_ >= 0 ? size_t(sharedGroup_) : doc_.groups.size() - 1;
    ImportedQuestion q;
    q.place = place_;
    q.number = number;
    q.stem = html(text.mid(match.capturedEnd(0)).trimmed());
    doc_.groups[groupIndex].questions.push_back(q);

    QuestionNotes notes;
    notes.at = {groupIndex, doc_.groups[groupIndex].questions.size() - 1};
    notes.headingType = headingType_;
    if (sections_.empty()) {
        sections_.emplace_back();
        numbers_.emplace_back();
    }
    notes.section = int(sections_.size()) - 1;
    notes_.push_back(notes);
    const auto [known, added] = numbers_.back().emplace(number, notes_.size() - 1);
    if (!added)
        problemOf(notes_.back(), place_,
                  QStringLiteral("题号 %1 重复（%2已有第 %1 题）。")
                      .arg(number)
                      .arg(placeText(doc_.placeKind, question(notes_[known->second].at).place)));
    open_ = true;
    field_ = Field::Stem;
    return true;
}

bool LayoutReader::readOptions(const QString& text, const QString& folded) {
    std::vector<Option> options = optionsOf(text, folded);
    if (options.empty())
        return false;
    ImportedGroup* shared = sharedGroup_ >= 0 ? &doc_.groups[sharedGroup_] : nullptr;
    const bool matchingLead = shared && shared->groupType == group_type::matchingGroup;
    // Shared answer letters come before the group's questions; under a
    // matching heading, letters after answered questions start a new group.
    bool followsMatching = false;
    if (matchingLead && !shared->questions.empty() &&
        (sharedLast_ == 0 || options.front().letter == 0)) {
        closeGroup();
        shared = nullptr;
        followsMatching = true;
    }
    if (!shared && (headingType_ == group_type::matchingGroup || followsMatching) &&
        (!current() || current()->answered)) {
        startSharedGroup(group_type::matchingGroup, 0, 0, {});
        shared = &doc_.groups[sharedGroup_];
    }
    if (shared && shared->groupType == group_type::matchingGroup) {
        if (!shared->questions.empty()) {
            problem(place_, QStringLiteral("配伍题的备选答案应写在题组的试题之前。"));
            return true;
        }
        for (const Option& option : options) {
            if (option.letter != shared->sharedLetters) {
                problem(place_, QStringLiteral("备选答案应按字母顺序排列，此处应为“%1”。")
                                    .arg(letter(shared->sharedLetters)));
                return true;
            }
            if (!shared->sharedText.isEmpty())
                shared->sharedText += QStringLiteral("<br>");
            shared->sharedText += letter(option.letter) + QStringLiteral("．") + html(option.text);
            ++shared->sharedLetters;
        }
        field_ = Field::SharedText;
        return true;
    }
    QuestionNotes* notes = current();
    if (!notes) {
        problem(place_, QStringLiteral("选项“%1”不属于任何试题。").arg(letter(options[0].letter)));
        return true;
    }
    ImportedQuestion& q = question(notes->at);
    if (notes->answered)
        problemOf(*notes, place_,
                  QStringLiteral("%1的选项写在了答案之后。").arg(questionName(*notes)));
    for (const Option& option : options) {
        if (option.letter != int(q.options.size())) {
            problemOf(*notes, place_,
                      QStringLiteral("%1的选项应按字母顺序排列，此处应为“%2”，却是“%3”。")
                          .arg(questionName(*notes), letter(int(q.options.size())),
                               letter(option.letter)));
            return true;
        }
        q.options.push_back(html(option.text));
    }
    field_ = Field::Option;
    return true;
}

bool LayoutReader::readAnswer(const QString& text, const QString& folded) {
    static const QRegularExpression answerLine(
        QStringLiteral(R"(^[【\[]?\s*(?:正确答案|参考答案|标准答案|答案)\s*(?:[】\]]\s*:?|:)\s*)"));
    static const QRegularExpression letters(
        QStringLiteral(R"(^([A-Oa-o](?:[\s,、;/]*[A-Oa-o])*)(?![A-Za-z])[\s。.;,]*)"));
    const QRegularExpressionMatch match = answerLine.match(folded);
    if (!match.hasMatch())
        return false;
    QuestionNotes* notes = current();
    if (!notes) {
        problem(place_, QStringLiteral("答案不属于任何试题。"));
        return true;
    }
    if (notes->answered)
        problemOf(*notes, place_, QStringLiteral("%1有两个答案。").arg(questionName(*notes)));
    const QString rest = folded.mid(match.capturedEnd(0));
    const QRegularExpressionMatch given = letters.match(rest);
    ImportedQuestion& q = question(notes->at);
    q.answer = given.hasMatch() ? answerLetters(given.captured(1)) : QString();
    notes->writtenAnswer = given.hasMatch() ? QString() : rest.trimmed();
    notes->answered = true;
    notes->answerPlace = place_;
    field_ = Field::None;
    // "答案：B　解析：……" on one line.
    const qsizetype after = match.capturedEnd(0) + (given.hasMatch() ? given.capturedEnd(0) : 0);
    const QString remark = text.mid(after).trimmed();
    if (given.hasMatch() && !remark.isEmpty() && !readExplanation(remark, foldWidth(remark)))
        continueField(html(remark));
    return true;
}

bool LayoutReader::readExplanation(const QString& text, const QString& folded) {
    static const QRegularExpression explanation(QStringLiteral(
        R"(^[【\[]\s*(?:答案解析|试题解析|解析|解释|分析|详解|点评)\s*[】\]]\s*:?\s*|^(?:答案解析|试题解析|解析|解释|分析|详解|点评)\s*:\s*)"));
    const QRegularExpressionMatch match = explanation.match(folded);
    if (!match.hasMatch())
        return false;
    QuestionNotes* notes = current();
    if (!notes) {
        problem(place_, QStringLiteral("解析不属于任何试题。"));
        return true;
    }
    ImportedQuestion& q = question(notes->at);
    if (!q.explanation.isEmpty())
        q.explanation += QStringLiteral("<br>");
    q.explanation += html(text.mid(match.capturedEnd(0)).trimmed());
    field_ = Field::Explanation;
    return true;
}

void LayoutReader::readKeyLine(const QString& text, const QString& folded) {
    if (readHeading(folded)) {
        // A heading in the key names the section its numbers belong to.
        for (int s = keySection_ + 1; s < int(sections_.size()); ++s)
            if (!sections_[s].isEmpty() && folded.contains(sections_[s], Qt::CaseInsensitive)) {
                keySection_ = s;
                return;
            }
        return;
    }
    static const QRegularExpression explanation(
        QStringLiteral(R"(^[【\[]?\s*(?:答案解析|解析|解释|分析|详解)\s*[】\]:]\s*)"));
    if (const QRegularExpressionMatch match = explanation.match(folded); match.hasMatch()) {
        if (lastKeyNote_ < 0)
            return;
        ImportedQuestion& q = question(notes_[lastKeyNote_].at);
        if (!q.explanation.isEmpty())
            q.explanation += QStringLiteral("<br>");
        q.explanation += html(text.mid(match.capturedEnd(0)).trimmed());
        return;
    }
    static const QRegularExpression onlyNumbers(QStringLiteral(R"(^(?:题号)?[\s\d]+$)"));
    static const QRegularExpression onlyLetters(QStringLiteral(R"(^(?:答案)?[\sA-O]+$)"));
    if (onlyNumbers.match(folded).hasMatch()) {
        keyNumbersWaiting_.clear();
        for (const QString& number : folded.split(' ', Qt::SkipEmptyParts))
            if (number.toInt() > 0)
                keyNumbersWaiting_.push_back(number.toInt());
        return;
    }
    if (!keyNumbersWaiting_.empty() && onlyLetters.match(folded).hasMatch()) {
        QString lettersOnly = folded;
        lettersOnly.remove(QStringLiteral("答案"));
        const QStringList answers = lettersOnly.split(' ', Qt::SkipEmptyParts);
        if (answers.size() != qsizetype(keyNumbersWaiting_.size()))
            problem(place_, QStringLiteral("参考答案表中题号 %1 个，答案 %2 个，数目不符。")
                                .arg(keyNumbersWaiting_.size())
                                .arg(answers.size()));
        for (qsizetype i = 0; i < answers.size() && i < qsizetype(keyNumbersWaiting_.size()); ++i)
            giveKeyAnswer(keyNumbersWaiting_[i], answers[i]);
        keyNumbersWaiting_.clear();
        return;
    }
    static const QRegularExpression entry(QStringLiteral(
        R"((?<!\d)(\d{1,5})(?:\s*[~\-–—〜至到]\s*(\d{1,5}))?\s*[.、:)]?\s*([A-O]+)(?![A-Za-z]))"));
    for (auto it = entry.globalMatch(folded); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const int first = match.captured(1).toInt();
        const QString letters = match.captured(3);
        if (match.captured(2).isEmpty()) {
            giveKeyAnswer(first, letters);
            continue;
        }
        const int last = match.captured(2).toInt();
        if (last - first + 1 != letters.size()) {
            problem(place_, QStringLiteral("参考答案“%1”中题号 %2～%3 与 %4 个答案字母数目不符。")
                                .arg(match.captured(0))
                                .arg(first)
                                .arg(last)
                                .arg(letters.size()));
            continue;
        }
        for (int n = first; n <= last; ++n)
            giveKeyAnswer(n, letters.mid(n - first, 1));
    }
}

void LayoutReader::giveKeyAnswer(int number, const QString& letters) {
    std::vector<size_t> found;
    if (keySection_ >= 0) {
        if (const auto it = numbers_[keySection_].find(number); it != numbers_[keySection_].end())
            found.push_back(it->second);
    } else {
        for (const std::map<int, size_t>& section : numbers_)
            if (const auto it = section.find(number); it != section.end())
                found.push_back(it->second);
    }
    if (found.empty()) {
        problem(place_, QStringLiteral("参考答案中的第 %1 题在文中找不到。").arg(number));
        return;
    }
    if (found.size() > 1) {
        problem(place_, QStringLiteral("参考答案中的第 %1 题在文中有 %2 道（各部分题号重复），"
                                       "请在参考答案中写上各部分的题型标题。")
                            .arg(number)
                            .arg(found.size()));
        return;
    }
    QuestionNotes& notes = notes_[found.front()];
    ImportedQuestion& q = question(notes.at);
    const QString answer = answerLetters(letters);
    if (notes.answered && q.answer != answer) {
        problemOf(notes, place_,
                  QStringLiteral("第 %1 题在参考答案中是“%2”，题后的答案却是“%3”。")
                      .arg(number)
                      .arg(answer, q.answer));
        return;
    }
    q.answer = answer;
    notes.answered = true;
    notes.answerPlace = place_;
    lastKeyNote_ = int(found.front());
}

void LayoutReader::continueField(const QString& htmlText) {
    const auto append = [&](QString& field) {
        if (!field.isEmpty())
            field += QStringLiteral("<br>");
        field += htmlText;
    };
    QuestionNotes* notes = current();
    switch (field_) {
    case Field::Stem:
        append(question(notes->at).stem);
        break;
    case Field::Option:
        append(question(notes->at).options.back());
        break;
    case Field::Explanation:
        append(question(notes->at).explanation);
        break;
    case Field::SharedText:
        append(doc_.groups[sharedGroup_].sharedText);
        break;
    case Field::None:
        // Titles, remarks under a heading and the like belong to no question.
        break;
    }
}

void LayoutReader::attachPictures(const std::vector<int>& pictures) {
    for (const int picture : pictures) {
        QuestionNotes* notes = current();
        if (field_ == Field::Stem && question(notes->at).picture < 0) {
            question(notes->at).picture = picture;
            continue;
        }
        if (field_ == Field::None) {
            problem(place_, QStringLiteral("图片不属于任何试题，不会导入。"));
            continue;
        }
        continueField(QStringLiteral("<img src=\"%1\">").arg(pictureMark(picture)));
    }
}

ImportedDocument LayoutReader::finish() {
    closeGroup();
    for (QuestionNotes& notes : notes_) {
        settlePlainType(group(notes.at));
        checkQuestion(doc_, group(notes.at), question(notes.at),
                      {notes.answered, notes.answerPlace, notes.writtenAnswer});
    }
    std::stable_sort(
        doc_.problems.begin(), doc_.problems.end(),
        [](const ImportProblem& a, const ImportProblem& b) { return a.place < b.place; });
    return std::move(doc_);
}

} // namespace

void checkQuestion(ImportedDocument& document, ImportedGroup& g, ImportedQuestion& q,
                   const WrittenAnswer& written) {
    const auto problemOf = [&](const WrittenAnswer&, int place, const QString& message) {
        q.faulty = true;
        document.problems.push_back({place, message});
    };
    const WrittenAnswer& notes = written;
    const QString name =
        q.number > 0 ? QStringLiteral("第 %1 题").arg(q.number) : QStringLiteral("试题");
    const int answerPlace = notes.given ? notes.place : q.place;
    if (q.stem.isEmpty())
        problemOf(notes, q.place, QStringLiteral("%1没有题干。").arg(name));
    // Pages show a longer text cut; the bank tool refuses it too.
    bool tooLong =
        practice::exceedsBankTextLimit(q.stem) || practice::exceedsBankTextLimit(q.explanation);
    for (const QString& option : q.options)
        tooLong = tooLong || practice::exceedsBankTextLimit(option);
    if (tooLong)
        problemOf(notes, q.place,
                  QStringLiteral("%1的文字过长：题干、选项和解析每项最多 %2 字节。")
                      .arg(name)
                      .arg(practice::maxBankTextBytes));
    if (!notes.given || (q.answer.isEmpty() && notes.unreadable.isEmpty())) {
        problemOf(notes, answerPlace, QStringLiteral("%1没有答案。").arg(name));
        return;
    }
    if (q.answer.isEmpty()) {
        problemOf(notes, answerPlace,
                  QStringLiteral("%1的答案“%2”不是选项字母。").arg(name, notes.unreadable));
        return;
    }
    if (g.groupType == group_type::matchingGroup) {
        if (!q.options.empty())
            problemOf(notes, q.place, QStringLiteral("%1是配伍题，选项应写在题组开头。").arg(name));
        if (g.sharedLetters == 0 && g.questions.size() == 1)
            problemOf(notes, q.place, QStringLiteral("%1是配伍题，却没有共用备选答案。").arg(name));
        else if (q.answer.size() != 1)
            problemOf(
                notes, answerPlace,
                QStringLiteral("%1是配伍题，只能有一个答案字母，而不是“%2”。").arg(name, q.answer));
        else if (g.sharedLetters > 0 && q.answer[0].unicode() - u'A' >= g.sharedLetters)
            problemOf(notes, answerPlace,
                      QStringLiteral("%1的答案“%2”没有对应的备选答案（备选答案只到 %3）。")
                          .arg(name, q.answer, letter(g.sharedLetters - 1)));
        return;
    }
    if (q.options.empty()) {
        problemOf(notes, q.place, QStringLiteral("%1没有选项。").arg(name));
        return;
    }
    for (const QChar given : q.answer)
        if (given.unicode() - u'A' >= int(q.options.size())) {
            problemOf(notes, answerPlace,
                      QStringLiteral("%1的答案“%2”没有对应的选项（选项只到 %3）。")
                          .arg(name, QString(given), letter(int(q.options.size()) - 1)));
            return;
        }
    if (isSingleType(g.groupType) && q.answer.size() > 1)
        problemOf(notes, answerPlace,
                  QStringLiteral("%1是单项选择题，却有多个答案“%2”。").arg(name, q.answer));
}

void settlePlainType(ImportedGroup& g) {
    // A question outside a shared group takes the type of its heading; with
    // no heading, under a case heading, or with options of its own under a
    // matching heading, its answer tells.
    if (g.questions.size() != 1 || !g.sharedText.isEmpty())
        return;
    const ImportedQuestion& q = g.questions.front();
    if (g.groupType == 0 || g.groupType == group_type::caseGroup ||
        (g.groupType == group_type::matchingGroup && !q.options.empty()))
        g.groupType = q.answer.size() > 1 ? group_type::multiple : group_type::single;
}

QString foldWidth(const QString& text) {
    QString folded = text;
    for (QChar& c : folded) {
        const char16_t code = c.unicode();
        if (code >= 0xff01 && code <= 0xff5e)
            c = QChar(char16_t(code - 0xff01 + 0x21));
        else if (code == 0x3000)
            c = ' ';
        else if (code == 0x3002)
            c = QChar(0x3002); // 。 stays a full stop of its own
    }
    return folded;
}

QString answerLetters(const QString& text) {
    std::set<char16_t> letters;
    for (const QChar c : foldWidth(text)) {
        const QChar upper = c.toUpper();
        if (upper >= 'A' && upper < QChar(char16_t(u'A' + maxOptionLetters)))
            letters.insert(upper.unicode());
        else if (!c.isSpace() && !QStringLiteral(",、;/，；").contains(c))
            return {};
    }
    QString answer;
    for (const char16_t c : letters)
        answer += QChar(c);
    return answer;
}

int groupTypeOfHeading(const QString& text) {
    const QString folded = foldWidth(text.trimmed());
    for (const HeadingName& heading : headingNames) {
        const QString name = QString::fromUtf16(heading.name);
        // "A2型题" names the type as well as "A2型" or "A2".
        QString shortName = name;
        shortName.remove(QStringLiteral("题"));
        const QString shortest = QString(shortName).remove(QStringLiteral("型"));
        if (folded.compare(name, Qt::CaseInsensitive) == 0 ||
            folded.compare(shortName, Qt::CaseInsensitive) == 0 ||
            (shortest.size() >= 2 && folded.compare(shortest, Qt::CaseInsensitive) == 0))
            return heading.groupType;
    }
    return 0;
}

ImportedDocument readTextLayout(const std::vector<SourceLine>& lines, PlaceKind placeKind,
                                std::vector<ImportedPicture> pictures) {
    LayoutReader reader(placeKind, std::move(pictures));
    for (const SourceLine& line : lines)
        reader.read(line);
    return reader.finish();
}

} // namespace importer

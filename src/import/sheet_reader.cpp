#include "import/sheet_reader.h"

#include "import/bank_import.h"
#include "import/text_decoding.h"
#include "import/text_layout_reader.h"
#include "import/zip_archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <map>

namespace importer {

namespace {

constexpr qint64 maxPictureBytes = 32 * 1024 * 1024;

const QStringList pictureSuffixes = {
    QStringLiteral("png"), QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("gif"),
    QStringLiteral("bmp"), QStringLiteral("webp"), QStringLiteral("svg")};

struct Columns {
    int type = -1, stem = -1, answer = -1, explanation = -1, chapter = -1, shared = -1, group = -1,
        picture = -1;
    std::vector<int> options; // A, B, … as far as the sheet has them
};

Columns columnsOf(const QStringList& header) {
    Columns columns;
    columns.options.assign(maxOptionLetters, -1);
    for (int i = 0; i < header.size(); ++i) {
        QString name = foldWidth(header[i]).trimmed().toUpper();
        name.remove(QLatin1Char(' '));
        const auto is = [&](std::initializer_list<const char16_t*> names) {
            for (const char16_t* n : names)
                if (name == QString::fromUtf16(n))
                    return true;
            return false;
        };
        if (is({u"题型", u"类型", u"试题类型"}))
            columns.type = i;
        else if (is({u"题干", u"题目", u"试题", u"问题"}))
            columns.stem = i;
        else if (is({u"答案", u"正确答案", u"参考答案"}))
            columns.answer = i;
        else if (is({u"解析", u"答案解析", u"试题解析"}))
            columns.explanation = i;
        else if (is({u"章节", u"章", u"分类"}))
            columns.chapter = i;
        else if (is({u"共用题干", u"案例"}))
            columns.shared = i;
        else if (is({u"组号", u"题组"}))
            columns.group = i;
        else if (is({u"图片"}))
            columns.picture = i;
        else {
            QString letter = name;
            letter.remove(QStringLiteral("选项"));
            if (letter.size() == 1 && letter[0] >= 'A' &&
                letter[0] < QChar(u'A' + maxOptionLetters))
                columns.options[letter[0].unicode() - u'A'] = i;
        }
    }
    while (!columns.options.empty() && columns.options.back() < 0)
        columns.options.pop_back();
    return columns;
}

QString cell(const SheetRow& row, int column) {
    return column >= 0 && column < row.cells.size() ? row.cells[column].trimmed() : QString();
}

QString html(const QString& text) {
    return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

class SheetReader {
public:
    SheetReader(const QString& folder)
        : folder_(folder) {
        document_.placeKind = PlaceKind::Row;
    }
    ImportedDocument read(const std::vector<SheetRow>& rows);

private:
    void readRow(const SheetRow& row);
    int picture(const QString& name, int place);

    QString folder_;
    Columns columns_;
    ImportedDocument document_;
    std::vector<WrittenAnswer> answers_; // per question, in reading order
    QString openGroupKey_;
    int openGroup_ = -1;
};

ImportedDocument SheetReader::read(const std::vector<SheetRow>& rows) {
    auto row = rows.begin();
    while (row != rows.end() && row->cells.join(QString()).trimmed().isEmpty())
        ++row;
    if (row == rows.end())
        throw ImportError(
            QStringLiteral("表格是空的：第一行应是列名（题型、题干、选项A……答案）。"));
    columns_ = columnsOf(row->cells);
    if (columns_.stem < 0 || columns_.answer < 0)
        throw ImportError(QStringLiteral("第 %1 行应是列名，却找不到“题干”和“答案”两列；"
                                         "请按导入窗口提供的模板填写。")
                              .arg(row->number));
    for (++row; row != rows.end(); ++row)
        if (!row->cells.join(QString()).trimmed().isEmpty())
            readRow(*row);
    size_t answer = 0;
    for (ImportedGroup& group : document_.groups) {
        settlePlainType(group);
        for (ImportedQuestion& question : group.questions)
            checkQuestion(document_, group, question, answers_[answer++]);
    }
    std::stable_sort(
        document_.problems.begin(), document_.problems.end(),
        [](const ImportProblem& a, const ImportProblem& b) { return a.place < b.place; });
    return std::move(document_);
}

void SheetReader::readRow(const SheetRow& row) {
    const QString typeText = cell(row, columns_.type);
    int type = typeText.isEmpty() ? 0 : groupTypeOfHeading(typeText);
    if (!typeText.isEmpty() && type == 0)
        document_.problems.push_back(
            {row.number,
             QStringLiteral("题型“%1”无法识别，按答案判断为单选或多选。").arg(typeText)});
    const QString groupKey = cell(row, columns_.group);
    const QString sharedText = cell(row, columns_.shared);
    const QString key = !groupKey.isEmpty() ? groupKey : sharedText;
    const bool shared = !key.isEmpty();
    const QString section =
        !cell(row, columns_.chapter).isEmpty() ? cell(row, columns_.chapter) : typeText;
    ImportedQuestion question;
    question.place = row.number;
    question.stem = html(cell(row, columns_.stem));
    std::vector<QString> options;
    int lastFilled = -1;
    for (size_t i = 0; i < columns_.options.size(); ++i)
        if (!cell(row, columns_.options[i]).isEmpty())
            lastFilled = int(i);
    for (int i = 0; i <= lastFilled; ++i) {
        const QString text = cell(row, columns_.options[size_t(i)]);
        if (text.isEmpty()) {
            document_.problems.push_back(
                {row.number, QStringLiteral("选项%1是空的，后面的选项却有内容。")
                                 .arg(QChar(char16_t(u'A' + i)))});
            question.faulty = true;
        }
        options.push_back(html(text));
    }
    const QString answerText = cell(row, columns_.answer);
    question.answer = answerLetters(answerText);
    question.explanation = html(cell(row, columns_.explanation));
    const QString pictureName = cell(row, columns_.picture);
    if (!pictureName.isEmpty())
        question.picture = picture(pictureName, row.number);

    if (shared && type != group_type::matchingGroup)
        type = group_type::caseGroup;
    const bool joins = shared && openGroup_ >= 0 && key == openGroupKey_ &&
                       document_.groups[size_t(openGroup_)].section == section;
    if (!joins) {
        ImportedGroup group;
        group.place = row.number;
        group.groupType = type;
        group.section = section;
        if (type == group_type::matchingGroup && !options.empty()) {
            // The shared answer letters are the options of the group's first row.
            QStringList lead;
            for (size_t i = 0; i < options.size(); ++i)
                lead << QString(QChar(char16_t(u'A' + i))) + QStringLiteral("．") + options[i];
            group.sharedText = lead.join(QStringLiteral("<br>"));
            group.sharedLetters = int(options.size());
        } else if (type == group_type::caseGroup) {
            group.sharedText = html(sharedText);
        }
        document_.groups.push_back(group);
        openGroup_ = shared ? int(document_.groups.size()) - 1 : -1;
        openGroupKey_ = key;
        if (shared && type == group_type::caseGroup && sharedText.isEmpty()) {
            document_.problems.push_back(
                {row.number, QStringLiteral("题组“%1”的第一行缺少共用题干。").arg(key)});
            question.faulty = true;
        }
    }
    ImportedGroup& group = document_.groups.back();
    if (group.groupType != group_type::matchingGroup)
        question.options = options;
    group.questions.push_back(question);
    answers_.push_back(
        {!answerText.isEmpty(), row.number, question.answer.isEmpty() ? answerText : QString()});
}

int SheetReader::picture(const QString& name, int place) {
    const QString root = QDir::cleanPath(folder_);
    const QString path = QDir::cleanPath(QDir(root).filePath(name));
    const QString suffix = QFileInfo(path).suffix().toLower();
    const auto problem = [&](const QString& message) {
        document_.problems.push_back({place, message});
        return -1;
    };
    if (folder_.isEmpty() || QDir::isAbsolutePath(name) ||
        !path.startsWith(root + QLatin1Char('/')))
        return problem(QStringLiteral("图片“%1”须放在表格所在的文件夹或其子文件夹中。").arg(name));
    if (!pictureSuffixes.contains(suffix))
        return problem(
            QStringLiteral("图片“%1”不是页面能显示的格式（PNG、JPEG、GIF、BMP、WebP、SVG）。")
                .arg(name));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return problem(QStringLiteral("找不到图片“%1”。").arg(name));
    if (file.size() > maxPictureBytes)
        return problem(QStringLiteral("图片“%1”太大。").arg(name));
    document_.pictures.push_back(
        {file.readAll(), suffix == QStringLiteral("jpeg") ? QStringLiteral("jpg") : suffix});
    return int(document_.pictures.size()) - 1;
}

// "AB12" → column 27 (0-based), row 12.
int columnOf(const QString& reference) {
    int column = 0;
    for (const QChar c : reference) {
        if (c < 'A' || c > 'Z')
            break;
        column = column * 26 + (c.unicode() - u'A' + 1);
        if (column > 16384)
            return -1;
    }
    return column - 1;
}

QStringList sharedStrings(const QByteArray& xml) {
    QStringList strings;
    QXmlStreamReader reader(xml);
    QString current;
    bool inPhonetic = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (reader.name() == QStringLiteral("si"))
                current.clear();
            else if (reader.name() == QStringLiteral("rPh"))
                inPhonetic = true;
            else if (reader.name() == QStringLiteral("t") && !inPhonetic)
                current += reader.readElementText();
        } else if (reader.isEndElement()) {
            if (reader.name() == QStringLiteral("si"))
                strings << current;
            else if (reader.name() == QStringLiteral("rPh"))
                inPhonetic = false;
        }
    }
    return strings;
}

} // namespace

QStringList sheetHeaders() {
    return {QStringLiteral("题型"),     QStringLiteral("章节"),  QStringLiteral("组号"),
            QStringLiteral("共用题干"), QStringLiteral("题干"),  QStringLiteral("选项A"),
            QStringLiteral("选项B"),    QStringLiteral("选项C"), QStringLiteral("选项D"),
            QStringLiteral("选项E"),    QStringLiteral("答案"),  QStringLiteral("解析"),
            QStringLiteral("图片")};
}

ImportedDocument readSheetRows(const std::vector<SheetRow>& rows, const QString& folder) {
    return SheetReader(folder).read(rows);
}

std::vector<SheetRow> csvRows(const QByteArray& bytes) {
    bool failed = false;
    const QString text = decodeText(bytes, &failed);
    if (failed)
        throw ImportError(
            QStringLiteral("无法识别表格的编码：请以 UTF-8 或 GB18030（ANSI）保存。"));
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    const QString firstLine = text.left(firstLineEnd < 0 ? text.size() : firstLineEnd);
    const QChar separator =
        firstLine.count(QLatin1Char('\t')) > firstLine.count(QLatin1Char(',')) ? '\t' : ',';
    std::vector<SheetRow> rows;
    SheetRow row{1, {}};
    QString field;
    bool quoted = false;
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n')
                    ++line;
                if (c != '\r')
                    field += c;
            }
        } else if (c == '"' && field.isEmpty()) {
            quoted = true;
        } else if (c == separator) {
            row.cells << field;
            field.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            row.cells << field;
            field.clear();
            rows.push_back(row);
            row = SheetRow{++line, {}};
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.cells.isEmpty()) {
        row.cells << field;
        rows.push_back(row);
    }
    return rows;
}

std::vector<SheetRow> xlsxRows(const QByteArray& bytes, const QString& shownName) {
    ZipArchive zip(bytes, shownName);
    if (!zip.contains(QStringLiteral("xl/workbook.xml")))
        throw ImportError(
            QStringLiteral("“%1”不是 Excel 工作簿（缺少 xl/workbook.xml）。").arg(shownName));
    // The first sheet, through the workbook's relationships.
    QString sheetPath = QStringLiteral("xl/worksheets/sheet1.xml");
    {
        QXmlStreamReader workbook(zip.read(QStringLiteral("xl/workbook.xml")));
        QString firstId;
        while (!workbook.atEnd() && firstId.isEmpty())
            if (workbook.readNext() == QXmlStreamReader::StartElement &&
                workbook.name() == QStringLiteral("sheet"))
                for (const QXmlStreamAttribute& a : workbook.attributes())
                    if (a.name() == QStringLiteral("id"))
                        firstId = a.value().toString();
        if (!firstId.isEmpty() && zip.contains(QStringLiteral("xl/_rels/workbook.xml.rels"))) {
            QXmlStreamReader rels(zip.read(QStringLiteral("xl/_rels/workbook.xml.rels")));
            while (!rels.atEnd())
                if (rels.readNext() == QXmlStreamReader::StartElement &&
                    rels.attributes().value(QStringLiteral("Id")) == firstId) {
                    const QString target =
                        rels.attributes().value(QStringLiteral("Target")).toString();
                    sheetPath =
                        target.startsWith('/') ? target.mid(1) : QStringLiteral("xl/") + target;
                }
        }
    }
    const QStringList strings =
        zip.contains(QStringLiteral("xl/sharedStrings.xml"))
            ? sharedStrings(zip.read(QStringLiteral("xl/sharedStrings.xml")))
            : QStringList();
    QXmlStreamReader sheet(zip.read(sheetPath));
    std::vector<SheetRow> rows;
    QString cellType;
    int column = -1;
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (!sheet.isStartElement())
            continue;
        const QStringView name = sheet.name();
        if (name == QStringLiteral("row")) {
            const int number = sheet.attributes().value(QStringLiteral("r")).toInt();
            rows.push_back({number > 0 ? number : int(rows.size()) + 1, {}});
        } else if (name == QStringLiteral("c") && !rows.empty()) {
            cellType = sheet.attributes().value(QStringLiteral("t")).toString();
            const QString reference = sheet.attributes().value(QStringLiteral("r")).toString();
            column = reference.isEmpty() ? int(rows.back().cells.size()) : columnOf(reference);
        } else if ((name == QStringLiteral("v") || name == QStringLiteral("t")) && !rows.empty() &&
                   column >= 0) {
            QString value = sheet.readElementText(QXmlStreamReader::IncludeChildElements);
            if (cellType == QStringLiteral("s")) {
                const int index = value.toInt();
                value = index >= 0 && index < strings.size() ? strings[index] : QString();
            }
            QStringList& cells = rows.back().cells;
            while (cells.size() <= column)
                cells << QString();
            cells[column] += value;
        }
    }
    if (sheet.hasError())
        throw ImportError(QStringLiteral("“%1”的工作表已损坏（%2），未读取。")
                              .arg(shownName, sheet.errorString()));
    return rows;
}

} // namespace importer

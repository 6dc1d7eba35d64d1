#include "import/docx_reader.h"

#include "import/bank_import.h"
#include "import/text_layout_reader.h"
#include "import/zip_archive.h"

#include <QXmlStreamReader>
#include <map>

namespace importer {

namespace {

// Picture formats a page shows; others are named as problems.
const QStringList shownPictureSuffixes = {
    QStringLiteral("png"), QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("gif"),
    QStringLiteral("bmp"), QStringLiteral("webp"), QStringLiteral("svg")};

// Targets of a part's relationships, by id, as paths inside the package.
std::map<QString, QString> relationships(const QByteArray& xml, const QString& base) {
    std::map<QString, QString> targets;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != QStringLiteral("Relationship") ||
            reader.attributes().value(QStringLiteral("TargetMode")) == QStringLiteral("External"))
            continue;
        const QString target = reader.attributes().value(QStringLiteral("Target")).toString();
        targets[reader.attributes().value(QStringLiteral("Id")).toString()] =
            target.startsWith('/') ? target.mid(1) : base + target;
    }
    return targets;
}

QString attribute(const QXmlStreamReader& reader, const char16_t* localName) {
    for (const QXmlStreamAttribute& a : reader.attributes())
        if (a.name() == QStringView(localName))
            return a.value().toString();
    return {};
}

// Word's automatic numbering: the formats of each list's levels and where
// each level stands.
class Numbering {
public:
    explicit Numbering(const QByteArray& xml);
    // The number text of the next paragraph of list `numId` at `level`.
    QString next(const QString& numId, int level);

private:
    struct Level {
        int start = 1;
        QString format = QStringLiteral("decimal");
        QString text = QStringLiteral("%1.");
    };
    std::map<QString, std::map<int, Level>> abstract_;
    std::map<QString, QString> abstractOf_;
    std::map<QString, std::map<int, int>> startOverrides_;
    std::map<QString, std::map<int, int>> counters_; // per abstract list
    std::map<QString, int> lastLevel_;
};

Numbering::Numbering(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    QString abstractId, numId;
    int level = -1, overrideLevel = -1;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        const QStringView name = reader.name();
        const QString value = attribute(reader, u"val");
        if (name == QStringLiteral("abstractNum")) {
            abstractId = attribute(reader, u"abstractNumId");
            numId.clear();
        } else if (name == QStringLiteral("num")) {
            numId = attribute(reader, u"numId");
            abstractId.clear();
        } else if (name == QStringLiteral("lvl") && !abstractId.isEmpty()) {
            level = attribute(reader, u"ilvl").toInt();
            abstract_[abstractId][level];
        } else if (name == QStringLiteral("start") && !abstractId.isEmpty() && level >= 0) {
            abstract_[abstractId][level].start = value.toInt();
        } else if (name == QStringLiteral("numFmt") && !abstractId.isEmpty() && level >= 0) {
            abstract_[abstractId][level].format = value;
        } else if (name == QStringLiteral("lvlText") && !abstractId.isEmpty() && level >= 0) {
            abstract_[abstractId][level].text = value;
        } else if (name == QStringLiteral("abstractNumId") && !numId.isEmpty()) {
            abstractOf_[numId] = value;
        } else if (name == QStringLiteral("lvlOverride") && !numId.isEmpty()) {
            overrideLevel = attribute(reader, u"ilvl").toInt();
        } else if (name == QStringLiteral("startOverride") && !numId.isEmpty()) {
            startOverrides_[numId][overrideLevel] = value.toInt();
        }
    }
}

QString formatted(int number, const QString& format) {
    const auto letters = [&](char16_t first) {
        QString text;
        for (int n = std::max(number, 1); n > 0; n = (n - 1) / 26)
            text.prepend(QChar(char16_t(first + (n - 1) % 26)));
        return text;
    };
    if (format == QStringLiteral("upperLetter"))
        return letters(u'A');
    if (format == QStringLiteral("lowerLetter"))
        return letters(u'a');
    if (format.startsWith(QStringLiteral("chinese")) ||
        format.startsWith(QStringLiteral("ideograph"))) {
        static const QString digits = QStringLiteral("零一二三四五六七八九");
        if (number <= 0 || number >= 100)
            return QString::number(number);
        if (number < 10)
            return digits[number];
        return (number / 10 > 1 ? QString(digits[number / 10]) : QString()) + QStringLiteral("十") +
               (number % 10 ? QString(digits[number % 10]) : QString());
    }
    if (format == QStringLiteral("bullet") || format == QStringLiteral("none"))
        return {};
    return QString::number(number);
}

QString Numbering::next(const QString& numId, int level) {
    const auto abstractId = abstractOf_.find(numId);
    if (abstractId == abstractOf_.end())
        return {};
    std::map<int, Level>& levels = abstract_[abstractId->second];
    std::map<int, int>& counters = counters_[abstractId->second];
    // A paragraph at a level restarts every level below it.
    for (auto it = counters.upper_bound(level); it != counters.end();)
        it = counters.erase(it);
    const auto start = [&](int l) {
        const auto overridden = startOverrides_[numId].find(l);
        return overridden != startOverrides_[numId].end() ? overridden->second : levels[l].start;
    };
    if (!counters.count(level))
        counters[level] = start(level);
    else
        ++counters[level];
    const Level& format = levels[level];
    if (format.format == QStringLiteral("bullet") || format.format == QStringLiteral("none"))
        return {};
    QString text = format.text;
    for (int l = 0; l <= level && l < 9; ++l) {
        if (!counters.count(l))
            counters[l] = start(l);
        text.replace(QStringLiteral("%%1").arg(l + 1), formatted(counters[l], levels[l].format));
    }
    return text;
}

class DocumentReader {
public:
    DocumentReader(ZipArchive& zip, const QString& shownName)
        : zip_(zip)
        , shownName_(shownName)
        , numbering_(zip.contains(QStringLiteral("word/numbering.xml"))
                         ? zip.read(QStringLiteral("word/numbering.xml"))
                         : QByteArray()) {
        if (zip.contains(QStringLiteral("word/_rels/document.xml.rels")))
            targets_ = relationships(zip.read(QStringLiteral("word/_rels/document.xml.rels")),
                                     QStringLiteral("word/"));
    }

    ImportedDocument read();

private:
    void readParagraph(QXmlStreamReader& reader, bool inTable);
    void readTable(QXmlStreamReader& reader);
    int picture(const QString& relationship);
    void endLine();

    ZipArchive& zip_;
    QString shownName_;
    Numbering numbering_;
    std::map<QString, QString> targets_;
    std::map<QString, int> pictureOf_;
    std::vector<ImportedPicture> pictures_;
    std::vector<ImportProblem> pictureProblems_;
    std::vector<SourceLine> lines_;
    int paragraph_ = 0;
    SourceLine line_;
    QString cellText_; // the text of a table cell being read
};

int DocumentReader::picture(const QString& relationship) {
    const auto target = targets_.find(relationship);
    if (target == targets_.end())
        return -1;
    if (const auto known = pictureOf_.find(target->second); known != pictureOf_.end())
        return known->second;
    const QString suffix = target->second.section('.', -1).toLower();
    if (!shownPictureSuffixes.contains(suffix)) {
        pictureProblems_.push_back(
            {paragraph_, QStringLiteral("图片格式“%1”不能在页面上显示，未导入该图片；请在 Word "
                                        "中另存为 PNG 或 JPEG 图片后再插入。")
                             .arg(suffix)});
        return pictureOf_[target->second] = -1;
    }
    pictures_.push_back({zip_.read(target->second),
                         suffix == QStringLiteral("jpeg") ? QStringLiteral("jpg") : suffix});
    return pictureOf_[target->second] = int(pictures_.size()) - 1;
}

void DocumentReader::endLine() {
    lines_.push_back(line_);
    line_ = SourceLine{paragraph_, {}, {}, {}, {}};
}

void DocumentReader::readParagraph(QXmlStreamReader& reader, bool inTable) {
    ++paragraph_;
    if (!inTable)
        line_ = SourceLine{paragraph_, {}, {}, {}, {}};
    QString numId;
    int level = 0;
    QString text;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == QStringLiteral("p"))
            break;
        if (reader.isEndElement() && reader.name() == QStringLiteral("pPr") && !numId.isEmpty() &&
            numId != QStringLiteral("0") && level >= 0 && level < 9) {
            // The list's own number, as the page shows it before the text.
            if (const QString number = numbering_.next(numId, level); !number.isEmpty())
                text = number + QLatin1Char(' ');
        }
        if (!reader.isStartElement())
            continue;
        const QStringView name = reader.name();
        if (name == QStringLiteral("t")) {
            text += reader.readElementText();
        } else if (name == QStringLiteral("tab")) {
            text += QLatin1Char(' ');
        } else if (name == QStringLiteral("br") || name == QStringLiteral("cr")) {
            // A line break separates lines as a paragraph does.
            if (inTable) {
                text += QLatin1Char('\n');
            } else {
                line_.text = text;
                endLine();
                text.clear();
            }
        } else if (name == QStringLiteral("numId")) {
            numId = attribute(reader, u"val");
        } else if (name == QStringLiteral("ilvl")) {
            level = attribute(reader, u"val").toInt();
        } else if (name == QStringLiteral("blip") || name == QStringLiteral("imagedata")) {
            const QString id = name == QStringLiteral("blip") ? attribute(reader, u"embed")
                                                              : attribute(reader, u"id");
            if (const int index = picture(id); index >= 0)
                line_.pictures.push_back(index);
        } else if (name == QStringLiteral("delText") || name == QStringLiteral("instrText")) {
            reader.skipCurrentElement();
        }
    }
    if (inTable) {
        if (!cellText_.isEmpty())
            cellText_ += QLatin1Char('\n');
        cellText_ += text;
        return;
    }
    line_.text = text;
    endLine();
}

void DocumentReader::readTable(QXmlStreamReader& reader) {
    ++paragraph_;
    line_ = SourceLine{paragraph_, {}, {}, {}, {}};
    const int tableParagraph = paragraph_;
    QString html = QStringLiteral("<table border=\"1\">");
    QStringList cells;
    int depth = 1;
    while (!reader.atEnd() && depth > 0) {
        reader.readNext();
        const QStringView name = reader.name();
        if (reader.isEndElement()) {
            if (name == QStringLiteral("tbl"))
                --depth;
            else if (depth == 1 && name == QStringLiteral("tc")) {
                cells << cellText_;
                html +=
                    QStringLiteral("<td>") +
                    cellText_.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
                    QStringLiteral("</td>");
            } else if (depth == 1 && name == QStringLiteral("tr")) {
                html += QStringLiteral("</tr>");
                line_.tableRows.push_back(cells.join(QLatin1Char(' ')));
            }
            continue;
        }
        if (!reader.isStartElement())
            continue;
        if (name == QStringLiteral("tbl")) {
            ++depth;
        } else if (depth == 1 && name == QStringLiteral("tr")) {
            html += QStringLiteral("<tr>");
            cells.clear();
        } else if (depth == 1 && name == QStringLiteral("tc")) {
            cellText_.clear();
        } else if (name == QStringLiteral("p")) {
            readParagraph(reader, true);
        }
    }
    line_.place = tableParagraph;
    line_.tableHtml = html + QStringLiteral("</table>");
    endLine();
}

ImportedDocument DocumentReader::read() {
    QXmlStreamReader reader(zip_.read(QStringLiteral("word/document.xml")));
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == QStringLiteral("p"))
            readParagraph(reader, false);
        else if (reader.name() == QStringLiteral("tbl"))
            readTable(reader);
    }
    if (reader.hasError())
        throw ImportError(QStringLiteral("“%1”的正文已损坏（%2），未读取。")
                              .arg(shownName_, reader.errorString()));
    ImportedDocument document = readTextLayout(lines_, PlaceKind::Paragraph, std::move(pictures_));
    document.problems.insert(document.problems.end(), pictureProblems_.begin(),
                             pictureProblems_.end());
    std::stable_sort(
        document.problems.begin(), document.problems.end(),
        [](const ImportProblem& a, const ImportProblem& b) { return a.place < b.place; });
    return document;
}

} // namespace

ImportedDocument readDocx(const QByteArray& bytes, const QString& shownName) {
    ZipArchive zip(bytes, shownName);
    if (!zip.contains(QStringLiteral("word/document.xml")))
        throw ImportError(
            QStringLiteral("“%1”不是 Word 文档（缺少 word/document.xml）。").arg(shownName));
    return DocumentReader(zip, shownName).read();
}

} // namespace importer

#include "office_files.h"

#include <QBuffer>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

namespace testing_support {

namespace {

const char wordNamespaces[] =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
    "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"";

QString run(const QString& text) {
    return QStringLiteral("<w:r><w:t xml:space=\"preserve\">%1</w:t></w:r>")
        .arg(text.toHtmlEscaped());
}

} // namespace

QByteArray zipOf(const ZipEntries& entries) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto& [name, content] : entries) {
        QuaZipFile file(&zip);
        file.open(QIODevice::WriteOnly, QuaZipNewInfo(name));
        file.write(content);
        file.close();
    }
    zip.close();
    return bytes;
}

QString wordParagraph(const QString& text) {
    return QStringLiteral("<w:p>") + run(text) + QStringLiteral("</w:p>");
}

QString wordListParagraph(int numId, int level, const QString& text) {
    return QStringLiteral("<w:p><w:pPr><w:numPr><w:ilvl w:val=\"%1\"/><w:numId w:val=\"%2\"/>"
                          "</w:numPr></w:pPr>")
               .arg(level)
               .arg(numId) +
           run(text) + QStringLiteral("</w:p>");
}

QString wordPictureParagraph(const QString& relationId) {
    return QStringLiteral("<w:p><w:r><w:drawing><wp:inline><a:graphic><a:graphicData><pic:pic>"
                          "<pic:blipFill><a:blip r:embed=\"%1\"/></pic:blipFill></pic:pic>"
                          "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>")
        .arg(relationId);
}

QString wordTable(const std::vector<QStringList>& rows) {
    QString xml = QStringLiteral("<w:tbl>");
    for (const QStringList& row : rows) {
        xml += QStringLiteral("<w:tr>");
        for (const QString& cell : row)
            xml += QStringLiteral("<w:tc>") + wordParagraph(cell) + QStringLiteral("</w:tc>");
        xml += QStringLiteral("</w:tr>");
    }
    return xml + QStringLiteral("</w:tbl>");
}

QByteArray docxOf(const QString& body, const QByteArray& numbering, const ZipEntries& pictures) {
    QString relations =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">");
    ZipEntries entries{
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default "
         "Extension=\"xml\" ContentType=\"application/xml\"/><Default Extension=\"png\" "
         "ContentType=\"image/png\"/></Types>"},
        {QStringLiteral("word/document.xml"),
         (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document %1><w:body>")
              .arg(QString::fromLatin1(wordNamespaces)) +
          body + QStringLiteral("</w:body></w:document>"))
             .toUtf8()}};
    for (size_t i = 0; i < pictures.size(); ++i) {
        relations += QStringLiteral("<Relationship Id=\"rIdPic%1\" Type=\"http://schemas."
                                    "openxmlformats.org/officeDocument/2006/relationships/image\" "
                                    "Target=\"media/%2\"/>")
                         .arg(i + 1)
                         .arg(pictures[i].first);
        entries.push_back({QStringLiteral("word/media/") + pictures[i].first, pictures[i].second});
    }
    entries.push_back({QStringLiteral("word/_rels/document.xml.rels"),
                       (relations + QStringLiteral("</Relationships>")).toUtf8()});
    if (!numbering.isEmpty())
        entries.push_back({QStringLiteral("word/numbering.xml"), numbering});
    return zipOf(entries);
}

QByteArray questionListNumbering() {
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:numbering ") + wordNamespaces +
           "><w:abstractNum w:abstractNumId=\"7\">"
           "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/>"
           "<w:lvlText w:val=\"%1．\"/></w:lvl>"
           "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"upperLetter\"/>"
           "<w:lvlText w:val=\"%2．\"/></w:lvl></w:abstractNum>"
           "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"7\"/></w:num></w:numbering>";
}

QByteArray xlsxOf(const std::vector<QStringList>& rows) {
    QStringList strings;
    QString sheet = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>");
    for (size_t r = 0; r < rows.size(); ++r) {
        sheet += QStringLiteral("<row r=\"%1\">").arg(r + 1);
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            if (rows[r][c].isEmpty())
                continue;
            sheet += QStringLiteral("<c r=\"%1%2\" t=\"s\"><v>%3</v></c>")
                         .arg(QChar(char16_t(u'A' + c)))
                         .arg(r + 1)
                         .arg(strings.size());
            strings << rows[r][c];
        }
        sheet += QStringLiteral("</row>");
    }
    sheet += QStringLiteral("</sheetData></worksheet>");
    QString shared =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst "
                       "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">");
    for (const QString& text : strings)
        shared +=
            QStringLiteral("<si><t xml:space=\"preserve\">%1</t></si>").arg(text.toHtmlEscaped());
    shared += QStringLiteral("</sst>");
    return zipOf({{QStringLiteral("xl/workbook.xml"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
                   "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                   "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                   "relationships\"><sheets><sheet name=\"题目\" sheetId=\"1\" "
                   "r:id=\"rId1\"/></sheets></workbook>"},
                  {QStringLiteral("xl/_rels/workbook.xml.rels"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                   "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                   "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                   "officeDocument/2006/relationships/worksheet\" "
                   "Target=\"worksheets/questions.xml\"/></Relationships>"},
                  {QStringLiteral("xl/worksheets/questions.xml"), sheet.toUtf8()},
                  {QStringLiteral("xl/sharedStrings.xml"), shared.toUtf8()}});
}

} // namespace testing_support

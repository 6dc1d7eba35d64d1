#include "import/import_template.h"

#include "import/sheet_reader.h"

#include <QFile>
#include <QStringList>
#include <xlsxwriter.h>

namespace importer {

namespace {

// One example of each kind of row: single and multiple choice, a case group
// of two questions and a matching group of two.
const char16_t* const exampleRows[][13] = {
    {u"A1型题", u"第一章 总论", u"", u"", u"生产性粉尘按其性质可分为",
     u"无机粉尘、有机粉尘和混合性粉尘", u"呼吸性粉尘和非呼吸性粉尘", u"总粉尘和呼吸性粉尘",
     u"矿物性粉尘和金属性粉尘", u"天然粉尘和人工粉尘", u"A",
     u"按性质分为无机、有机和混合性粉尘三类。", u""},
    {u"X型题", u"第一章 总论", u"", u"", u"属于法定职业病的有", u"矽肺", u"苯中毒", u"感冒", u"",
     u"", u"AB", u"", u""},
    {u"案例分析题", u"第二章 尘肺病", u"1", u"男，52岁，石英粉厂破碎工25年，活动后气短2年。",
     u"最可能的诊断是", u"矽肺", u"石棉肺", u"煤工尘肺", u"", u"", u"A", u"", u""},
    {u"案例分析题", u"第二章 尘肺病", u"1", u"", u"首选的检查是", u"高千伏胸片", u"血常规",
     u"肝功能", u"", u"", u"A", u"", u""},
    {u"B1型题", u"第二章 尘肺病", u"2", u"", u"可见胸膜斑的是", u"矽肺", u"石棉肺", u"煤工尘肺",
     u"", u"", u"B", u"同一组号的配伍题共用第一行的选项。", u""},
    {u"B1型题", u"第二章 尘肺病", u"2", u"", u"发病最多的是", u"", u"", u"", u"", u"", u"A", u"",
     u""},
};

} // namespace

QString writeImportTemplate(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* workbook = workbook_new(file.constData());
    if (!workbook)
        return QStringLiteral("无法创建“%1”。").arg(path);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "题目");
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    const QStringList headers = sheetHeaders();
    for (int column = 0; column < headers.size(); ++column) {
        worksheet_write_string(sheet, 0, lxw_col_t(column), headers[column].toUtf8().constData(),
                               bold);
        worksheet_set_column(sheet, lxw_col_t(column), lxw_col_t(column), column == 4 ? 40 : 14,
                             nullptr);
    }
    int row = 1;
    for (const auto& example : exampleRows) {
        for (int column = 0; column < headers.size(); ++column)
            if (example[column][0] != 0)
                worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column),
                                       QString::fromUtf16(example[column]).toUtf8().constData(),
                                       nullptr);
        ++row;
    }
    const lxw_error result = workbook_close(workbook);
    if (result != LXW_NO_ERROR)
        return QStringLiteral("无法写入“%1”：%2")
            .arg(path, QString::fromUtf8(lxw_strerror(result)));
    return {};
}

} // namespace importer

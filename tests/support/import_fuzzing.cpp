#include "import_fuzzing.h"

#include "import/bank_import.h"
#include "import/import_file.h"
#include "office_files.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

namespace testing_support {

namespace {

// Seeds: each layout rule at least once.
const char* const textSeeds[] = {
    "一、A1型题\n1．题干（  ）\nA．甲　B．乙\nC．丙\n答案：B\n解析：因为\n",
    "（1～3题共用题干）\n男，52岁。\n1. a\nA. x\nB. y\n【答案】A\n2. b\n(A) x (B) "
    "y\n正确答案：AB\n",
    "B1型题\n（4～6题共用备选答案）\nA．矽肺\nB．石棉肺\n4．胸膜斑\n答案：B\n5．x\n答案：A\n",
    "1. a\nA. x\nB. y\n2. b\nA. x\nB. y\n参考答案\n1.B 2、A 1-2 BA\n3 4\nA B\n解析：z\n",
    "题型,题干,选项A,选项B,答案,组号,共用题干,图片\nB1型题,a,x,y,A,1,,\n案例,\"b\n\"\"c\",x,y,B,2,"
    "病例,p.png\n",
};

const char* const tokens[] = {
    "1．",
    "A．",
    "B、",
    "(C)",
    "答案：",
    "【解析】",
    "参考答案",
    "（1～3题共用题干）",
    "（2-9题共用备选答案）",
    "一、",
    "A3/A4型题",
    "B1型题",
    "\n",
    "\r",
    "\"",
    ",",
    "\t",
    "<b>",
    "\x01",
    "9999999999",
    "Ｚ",
    "～",
    "题号",
    " ",
};

QByteArray mutated(QByteArray bytes, QRandomGenerator& random) {
    const int edits = 1 + int(random.bounded(8));
    for (int e = 0; e < edits; ++e) {
        const qsizetype at = bytes.isEmpty() ? 0 : qsizetype(random.bounded(int(bytes.size())));
        switch (random.bounded(4)) {
        case 0:
            if (!bytes.isEmpty())
                bytes[at] = char(random.bounded(256));
            break;
        case 1:
            bytes.insert(at, tokens[random.bounded(int(std::size(tokens)))]);
            break;
        case 2:
            bytes.remove(at, qsizetype(random.bounded(16)));
            break;
        default:
            bytes.insert(at, bytes.mid(qsizetype(random.bounded(int(bytes.size()) + 1)), 64));
            break;
        }
    }
    return bytes;
}

void readQuietly(const QByteArray& bytes, const QString& suffix) {
    try {
        importer::readImportBytes(bytes, suffix, QStringLiteral("fuzz"),
                                  QStringLiteral("/nonexistent"));
    } catch (const importer::ImportError&) {
    }
}

} // namespace

qint64 fuzzImporters(quint32 seed, double seconds) {
    QRandomGenerator random(seed);
    QElapsedTimer clock;
    clock.start();
    qint64 documents = 0;
    while (clock.elapsed() < seconds * 1000) {
        const QByteArray seedText = textSeeds[random.bounded(int(std::size(textSeeds)))];
        const QByteArray text = mutated(seedText, random);
        switch (random.bounded(4)) {
        case 0:
            readQuietly(text, QStringLiteral("txt"));
            break;
        case 1:
            readQuietly(text, QStringLiteral("csv"));
            break;
        case 2: {
            QString body;
            for (const QString& line : QString::fromUtf8(text).split(QLatin1Char('\n')))
                body += random.bounded(5) == 0 ? wordListParagraph(1, int(random.bounded(3)), line)
                                               : wordParagraph(line);
            QByteArray xml = body.toUtf8();
            if (random.bounded(3) == 0)
                xml = mutated(xml, random);
            readQuietly(docxOf(QString::fromUtf8(xml), mutated(questionListNumbering(), random)),
                        QStringLiteral("docx"));
            break;
        }
        default: {
            std::vector<QStringList> rows;
            for (const QString& line : QString::fromUtf8(text).split(QLatin1Char('\n')))
                rows.push_back(line.split(QLatin1Char(',')));
            QByteArray zip = xlsxOf(rows);
            if (random.bounded(4) == 0)
                zip = mutated(zip, random);
            readQuietly(zip, QStringLiteral("xlsx"));
            break;
        }
        }
        ++documents;
    }
    return documents;
}

} // namespace testing_support

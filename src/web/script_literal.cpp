#include "web/script_literal.h"

namespace web {

namespace {

void appendEscaped(QString& out, QStringView text) {
    static const char hex[] = "0123456789abcdef";
    out += QLatin1Char('"');
    const QChar* run = text.data();
    const QChar* const end = text.data() + text.size();
    // Runs of plain characters are copied whole.
    for (const QChar* c = run; c != end; ++c) {
        const char16_t u = c->unicode();
        if (u >= 0x20 && u != '"' && u != '\\' && u != 0x2028 && u != 0x2029)
            continue;
        out.append(run, c - run);
        run = c + 1;
        if (u == '"' || u == '\\') {
            out += QLatin1Char('\\');
            out += *c;
            continue;
        }
        out += QLatin1String("\\u");
        for (int shift = 12; shift >= 0; shift -= 4)
            out += QLatin1Char(hex[(u >> shift) & 0xf]);
    }
    out.append(run, end - run);
    out += QLatin1Char('"');
}

} // namespace

QString scriptString(QStringView text) {
    QString out;
    out.reserve(text.size() + 2);
    appendEscaped(out, text);
    return out;
}

QString scriptStringArray(const QStringList& texts) {
    QString out;
    appendScriptStringArray(out, texts);
    return out;
}

void appendScriptStringArray(QString& out, const QStringList& texts) {
    qsizetype size = 2;
    for (const QString& text : texts)
        size += text.size() + 3;
    // Room for some escapes, so that the text is rarely moved.
    out.reserve(out.size() + size + size / 16);
    out += QLatin1Char('[');
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i != 0)
            out += QLatin1Char(',');
        appendEscaped(out, texts[i]);
    }
    out += QLatin1Char(']');
}

} // namespace web

#include "import/text_decoding.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace importer {

QString decodeText(const QByteArray& bytes, bool* failed) {
    if (failed)
        *failed = false;
    const auto decoded = [&](QStringDecoder decoder,
                             QByteArrayView view) -> std::optional<QString> {
        QString text = decoder.decode(view);
        if (decoder.hasError())
            return std::nullopt;
        return text;
    };
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")) {
        const auto encoding =
            bytes.startsWith("\xff\xfe") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE;
        if (auto text = decoded(QStringDecoder(encoding), QByteArrayView(bytes).sliced(2)))
            return *text;
    } else {
        const QByteArrayView view = bytes.startsWith("\xef\xbb\xbf")
                                        ? QByteArrayView(bytes).sliced(3)
                                        : QByteArrayView(bytes);
        if (auto text = decoded(QStringDecoder(QStringDecoder::Utf8), view))
            return *text;
        if (auto text = decoded(QStringDecoder("GB18030"), view))
            return *text;
    }
    if (failed)
        *failed = true;
    return {};
}

QStringList splitLines(const QString& text) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    return lines;
}

} // namespace importer

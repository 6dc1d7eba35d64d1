#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace importer {

// The text of a file saved in UTF-8 (with or without a byte-order mark),
// UTF-16 with its mark, or GB18030 (what Chinese Windows writes as "ANSI").
// Empty, with `failed` set, when it is none of them.
QString decodeText(const QByteArray& bytes, bool* failed = nullptr);

// Lines ended by LF, CRLF or a lone CR.
QStringList splitLines(const QString& text);

} // namespace importer

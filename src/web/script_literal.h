#pragma once

#include <QStringList>
#include <QStringView>

namespace web {

// Texts as literals of a script, for texts of any size: a page's fragments
// run to megabytes, which a JSON document would copy and convert several
// times over. Every character that may not stand in a string literal as it is
// is escaped, the line separators U+2028 and U+2029 among them.
QString scriptString(QStringView text);
QString scriptStringArray(const QStringList& texts);
// Appends the array literal to `script`, which grows once.
void appendScriptStringArray(QString& script, const QStringList& texts);

} // namespace web

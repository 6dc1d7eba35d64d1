#pragma once

#include "store/bank.h"

#include <QString>

// What the main window shows about its bank when it is created.
namespace app {

inline const QString titleResourceText = QStringLiteral("Morrowquill 中级职称");
inline const QString countResourceText = QStringLiteral("试题量：XXX");
// Scheme and host of the maintainers' update server.
inline const QString updateHost = QStringLiteral("http://update.morrowquill.cn");

struct StartupTexts {
    QString title = titleResourceText;
    QString questionCount = countResourceText;
    QString subjectFolder;
    QString updateInfoUrl;
};

// Reads the subject and the question count. Throws StoreError; a text the bank
// could not supply keeps its resource text.
StartupTexts readStartupTexts(store::Bank& bank);

} // namespace app

#pragma once

#include "services/settings.h"
#include "store/bank.h"

#include <QString>

// What the main window shows about its bank when it is created.
namespace app {

inline const QString titleResourceText = QStringLiteral("Morrowquill 中级职称");
inline const QString countResourceText = QStringLiteral("试题量：XXX");
// The subject's name, which the feedback reports carry.
inline const QString subjectNameText = QStringLiteral("职业病");

struct StartupTexts {
    QString title = titleResourceText;
    QString questionCount = countResourceText;
    QString subjectFolder;
    QString updateInfoUrl;
};

// Reads the subject and the question count; the update address is on the
// settings' host. Throws StoreError; a text the bank could not supply keeps its
// resource text.
StartupTexts readStartupTexts(store::Bank& bank, const services::Settings& settings);

} // namespace app

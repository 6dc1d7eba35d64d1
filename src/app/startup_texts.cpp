#include "app/startup_texts.h"

#include "store/subject_statements.h"

namespace app {

StartupTexts readStartupTexts(store::Bank& bank) {
    StartupTexts texts;
    if (const auto subject = store::subject(bank)) {
        texts.title = titleResourceText + QStringLiteral("  ") + subject->ID;
        texts.subjectFolder = subject->mz;
        texts.updateInfoUrl =
            updateHost + QStringLiteral("/yiyaozj/") + subject->mz + QStringLiteral("/Predate.ini");
    }
    if (const auto count = store::questionCount(bank))
        texts.questionCount = QStringLiteral("试题量：") + *count;
    return texts;
}

} // namespace app

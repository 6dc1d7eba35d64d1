#include "app/startup_texts.h"

#include "store/subject_statements.h"

namespace app {

StartupTexts readStartupTexts(store::Bank& bank, const services::Settings& settings) {
    StartupTexts texts;
    if (const auto subject = store::subject(bank)) {
        texts.title = titleResourceText + QStringLiteral("  ") + subject->ID;
        texts.subjectFolder = subject->mz;
        texts.updateInfoUrl = services::updateInfoUrl(settings, subject->mz);
    }
    if (const auto count = store::questionCount(bank))
        texts.questionCount = QStringLiteral("试题量：") + *count;
    return texts;
}

} // namespace app

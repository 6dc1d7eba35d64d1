#include "services/practice_choices.h"

#include "services/settings.h"

#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <utility>
#include <vector>

namespace services {

namespace {

const QString section = QStringLiteral("Practice");

// The page bar's steps never go far outside these; a text size outside its
// range would make a page unreadable.
constexpr int lowestLevel = 0, highestLevel = 40;
constexpr int smallestText = 12, largestText = 60;
// No sound value is longer.
constexpr qsizetype valueLimit = 16;

void readNumber(const QSettings& file, const QString& key, int lowest, int highest, int& target) {
    const QVariant stored = file.value(key);
    if (!stored.isValid())
        return;
    const QString value = stored.toString().trimmed();
    bool ok = false;
    const int number = value.toInt(&ok);
    if (ok && value.size() <= valueLimit && number >= lowest && number <= highest)
        target = number;
    else
        reportUnusableSetting(key, value);
}

QString keyOf(const QString& line) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : line.left(equals).trimmed();
}

bool isSectionHeader(const QString& line) {
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'));
}

} // namespace

PracticeChoices readPracticeChoices(const QString& dataFolder) {
    PracticeChoices choices;
    const QSettings file(dataFolder + settingsFileName, QSettings::IniFormat);
    readNumber(file, section + QStringLiteral("/FontLevel"), lowestLevel, highestLevel,
               choices.fontLevel);
    readNumber(file, section + QStringLiteral("/TextSize"), smallestText, largestText,
               choices.textSize);
    const QVariant instant = file.value(section + QStringLiteral("/InstantJudging"));
    if (instant.isValid()) {
        const QString value = instant.toString().trimmed();
        if (value == QStringLiteral("true") || value == QStringLiteral("false"))
            choices.instantJudging = value == QStringLiteral("true");
        else
            reportUnusableSetting(section + QStringLiteral("/InstantJudging"), value);
    }
    return choices;
}

bool writePracticeChoices(const QString& dataFolder, const PracticeChoices& choices) {
    const QString path = dataFolder + settingsFileName;
    QStringList lines;
    QFile existing(path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        lines = QString::fromUtf8(existing.readAll()).split(QLatin1Char('\n'));
        existing.close();
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
    }
    std::vector<std::pair<QString, QString>> values = {
        {QStringLiteral("FontLevel"), QString::number(choices.fontLevel)},
        {QStringLiteral("TextSize"), QString::number(choices.textSize)},
        {QStringLiteral("InstantJudging"),
         choices.instantJudging ? QStringLiteral("true") : QStringLiteral("false")}};

    // Our keys are dropped wherever they stand in our section and written
    // again at its end; a file without the section gets it at its end.
    QStringList written;
    qsizetype sectionEnd = -1;
    bool inSection = false;
    for (const QString& line : std::as_const(lines)) {
        if (isSectionHeader(line)) {
            if (inSection)
                sectionEnd = written.size();
            inSection = line.trimmed() == QLatin1Char('[') + section + QLatin1Char(']');
        } else if (inSection) {
            const QString key = keyOf(line);
            if (std::any_of(values.cbegin(), values.cend(),
                            [&](const auto& value) { return value.first == key; }))
                continue;
        }
        written << line;
    }
    if (inSection)
        sectionEnd = written.size();
    QStringList ours;
    for (const auto& [key, value] : values)
        ours << key + QLatin1Char('=') + value;
    if (sectionEnd < 0) {
        if (!written.isEmpty() && !written.last().trimmed().isEmpty())
            written << QString();
        written << QLatin1Char('[') + section + QLatin1Char(']') << ours;
    } else {
        // Before the blank lines that end the section.
        while (sectionEnd > 0 && written[sectionEnd - 1].trimmed().isEmpty())
            --sectionEnd;
        for (qsizetype i = 0; i < ours.size(); ++i)
            written.insert(sectionEnd + i, ours[i]);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((written.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return file.commit();
}

} // namespace services

#pragma once

#include "services/download.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

// Whether a newer release has been published: the release date in the last
// downloaded `tmp.ini` against the installed one in `predate.ini`, both in the
// data folder.
namespace services {

inline const QString publishedDateFile = QStringLiteral("tmp.ini");
inline const QString installedDateFile = QStringLiteral("predate.ini");

// The Date entry of section File1 of a release file, as its bytes. Nothing
// when the file is missing, lacks the entry, or is not an INI file at all: a
// page served in place of the file (a network's login page) carries no date,
// whatever it says. Section and key are matched without regard to case, as INI
// readers do.
std::optional<QByteArray> releaseDate(const QString& iniPath);

enum class ReleaseComparison {
    newer,
    upToDate,
    // No date to compare: the check cannot tell either way.
    publishedUnknown,
    installedUnknown,
};

// The two dates compared byte by byte, no date parsed: the published one is
// newer when it sorts after the installed one.
ReleaseComparison compareReleases(const QString& dataFolder);

// The check after start-up: downloads the published file into `tmp.ini` in
// the background, then compares. `done` runs once, with true only when a
// newer release is known to be published; a failed download leaves `tmp.ini`
// as it was and reports false.
class UpdateCheck : public QObject {
    Q_OBJECT

public:
    explicit UpdateCheck(QString dataFolder, QObject* parent = nullptr);

    void checkAfterDownload(const QUrl& address, std::function<void(bool)> done,
                            int timeoutMs = 15000);

private:
    QString dataFolder_;
    Downloader downloader_;
};

} // namespace services

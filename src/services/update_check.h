#pragma once

#include "services/download.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

// Whether a newer release has been published: the release date in the last
// downloaded `tmp.ini` against the installed one in `predate.ini`, both in the
// data folder.
namespace services {

inline const QString publishedDateFile = QStringLiteral("tmp.ini");
inline const QString installedDateFile = QStringLiteral("predate.ini");

// The Date entry of section File1 of an INI file, as its bytes; today as
// yyyy-MM-dd when the file, the section or the entry is missing. Section and
// key are matched without regard to case, as INI readers do.
QByteArray releaseDate(const QString& iniPath, const QDate& today);

// The two dates compared byte by byte, no date parsed: the published one is
// newer when it sorts after the installed one.
bool updateAvailable(const QString& dataFolder, const QDate& today);

// The check after start-up: downloads the published file into `tmp.ini` in
// the background, then compares. `done` runs once, with true when a newer
// release is published; a failed download leaves `tmp.ini` as it was and
// reports false.
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

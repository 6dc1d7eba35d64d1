#pragma once

#include <QString>

// What a maintainer may change without a new build: one INI file in the data
// folder. Every value has a compiled-in default, so a missing file, a missing
// key or a value that cannot be used leaves the program working as shipped.
namespace services {

inline const QString settingsFileName = QStringLiteral("morrowquill.ini");

// Tells the maintainer on stderr that `key` holds a value the program cannot
// use and that the default stands; a long value is shown by its start only.
void reportUnusableSetting(const QString& key, const QString& value);

// The remote feedback table's database, reached through an ODBC driver.
struct FeedbackConnection {
    // The ODBC driver's registered name.
    QString driver = QStringLiteral("FreeTDS");
    QString server = QStringLiteral("feedback.morrowquill.invalid");
    // Empty: the driver's own default port.
    QString port;
    QString database = QStringLiteral("yiyaofk");
    QString user = QStringLiteral("sa");
    QString password = QStringLiteral("qbrmvdlspxtnf724");
    // Further `key=value;` attributes for the driver, appended as written.
    QString driverOptions;
    int timeoutSeconds = 10;
};

struct Settings {
    FeedbackConnection feedback;
    // Host (and optional port) of the server that publishes the release date.
    QString updateHost = QStringLiteral("update.morrowquill.invalid");
    // The maintainers' home page and the web host of their shop page.
    QString homeAddress = QStringLiteral("http://www.example.com/");
    QString shopHost = QStringLiteral("http://www.example.com");
    // The middle panel of the main window's status bar.
    QString serviceLine = QStringLiteral("Morrowquill 考试培训 · 祝您考试顺利");
};

// Reads `morrowquill.ini` in `dataFolder` (which ends in '/'). A value that is
// not usable (longer than its limit, a timeout that is no positive number, an
// address that is not http(s), a host with a path) keeps its default and is
// reported on stderr.
Settings readSettings(const QString& dataFolder);

// Where the release date of a subject is published.
QString updateInfoUrl(const Settings& settings, const QString& subjectFolder);
// The shop page: the shop host followed by its fixed path.
QString shopAddress(const Settings& settings);

} // namespace services

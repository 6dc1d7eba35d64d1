#include "services/settings.h"

#include <QRegularExpression>
#include <QSettings>
#include <QUrl>
#include <cstdio>
#include <optional>

namespace services {

void reportUnusableSetting(const QString& key, const QString& value) {
    constexpr qsizetype shownLength = 64;
    std::fprintf(stderr, "morrowquill: %s: %s=\"%s\" 不可用，沿用默认值。\n",
                 qUtf8Printable(settingsFileName), qUtf8Printable(key),
                 qUtf8Printable(value.left(shownLength)));
}

namespace {

// No sound value is longer: a longer one would only stretch the window or a
// connection string.
constexpr qsizetype nameLimit = 256;
constexpr qsizetype optionsLimit = 1024;
constexpr qsizetype addressLimit = 2048;
constexpr qsizetype lineLimit = 200;

// An unquoted value with a comma reads as a list; the maintainer meant one text.
QString textValue(const QSettings& file, const QString& key, const QString& fallback) {
    const QVariant value = file.value(key);
    if (!value.isValid())
        return fallback;
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

// The value of `key` (or `fallback`), or nothing when it is longer than
// `limit`; such a value is named by its length only.
std::optional<QString> limitedValue(const QSettings& file, const QString& key,
                                    const QString& fallback, qsizetype limit) {
    QString value = textValue(file, key, fallback);
    if (value.size() <= limit)
        return value;
    std::fprintf(stderr, "morrowquill: %s: %s 长 %lld 个字符，超过上限 %lld，沿用默认值。\n",
                 qUtf8Printable(settingsFileName), qUtf8Printable(key),
                 static_cast<long long>(value.size()), static_cast<long long>(limit));
    return std::nullopt;
}

bool isHostAndPort(const QString& value) {
    const QUrl url(QStringLiteral("http://") + value, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty() && url.userInfo().isEmpty() &&
           url.path().isEmpty() && !url.hasQuery() && !url.hasFragment();
}

bool isWebAddress(const QString& value) {
    const QUrl url(value, QUrl::StrictMode);
    return url.isValid() &&
           (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https")) &&
           !url.host().isEmpty();
}

bool isPort(const QString& value) {
    bool ok = false;
    const int port = value.toInt(&ok);
    return value.isEmpty() || (ok && port > 0 && port < 65536);
}

// Reads `key` into `target` when the file has it and `usable` accepts it.
template <class Check>
void readChecked(const QSettings& file, const QString& key, qsizetype limit, QString& target,
                 Check usable) {
    const std::optional<QString> read = limitedValue(file, key, target, limit);
    if (!read)
        return;
    const QString value = read->trimmed();
    if (usable(value))
        target = value;
    else
        reportUnusableSetting(key, value);
}

void readTimeout(const QSettings& file, const QString& key, int& target) {
    const std::optional<QString> read = limitedValue(file, key, QString::number(target), nameLimit);
    if (!read)
        return;
    const QString value = read->trimmed();
    bool ok = false;
    const int seconds = value.toInt(&ok);
    if (ok && seconds > 0 && seconds <= 600)
        target = seconds;
    else
        reportUnusableSetting(key, value);
}

} // namespace

Settings readSettings(const QString& dataFolder) {
    Settings settings;
    const QSettings file(dataFolder + settingsFileName, QSettings::IniFormat);
    if (file.status() != QSettings::NoError)
        std::fprintf(stderr, "morrowquill: %s 无法读取，沿用默认设置。\n",
                     qUtf8Printable(file.fileName()));
    const auto any = [](const QString&) {
        return true;
    };
    const auto nonEmpty = [](const QString& value) {
        return !value.isEmpty();
    };

    FeedbackConnection& feedback = settings.feedback;
    readChecked(file, QStringLiteral("Feedback/Driver"), nameLimit, feedback.driver, nonEmpty);
    readChecked(file, QStringLiteral("Feedback/Server"), nameLimit, feedback.server, nonEmpty);
    readChecked(file, QStringLiteral("Feedback/Port"), nameLimit, feedback.port, isPort);
    readChecked(file, QStringLiteral("Feedback/Database"), nameLimit, feedback.database, any);
    readChecked(file, QStringLiteral("Feedback/User"), nameLimit, feedback.user, any);
    // A password is taken as written, blanks included.
    if (auto password =
            limitedValue(file, QStringLiteral("Feedback/Password"), feedback.password, nameLimit))
        feedback.password = *password;
    readChecked(file, QStringLiteral("Feedback/DriverOptions"), optionsLimit,
                feedback.driverOptions, any);
    readTimeout(file, QStringLiteral("Feedback/TimeoutSeconds"), feedback.timeoutSeconds);

    readChecked(file, QStringLiteral("Update/Host"), nameLimit, settings.updateHost, isHostAndPort);
    readChecked(file, QStringLiteral("Links/HomeAddress"), addressLimit, settings.homeAddress,
                isWebAddress);
    readChecked(file, QStringLiteral("Links/ShopHost"), addressLimit, settings.shopHost,
                isWebAddress);
    readChecked(file, QStringLiteral("StatusBar/ServiceLine"), lineLimit, settings.serviceLine,
                any);
    return settings;
}

QString updateInfoUrl(const Settings& settings, const QString& subjectFolder) {
    // The folder comes from the bank: a plain name, never a path or a query.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_-]+$"));
    if (!plainName.match(subjectFolder).hasMatch())
        return {};
    return QStringLiteral("http://") + settings.updateHost + QStringLiteral("/yiyaozj/") +
           subjectFolder + QStringLiteral("/Predate.ini");
}

QString shopAddress(const Settings& settings) {
    QString host = settings.shopHost;
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return host + QStringLiteral("/gmzx.asp");
}

} // namespace services

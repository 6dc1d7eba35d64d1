#include "qt_printers.h"
#include "services/settings.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using services::readSettings;
using services::Settings;

namespace {

// Names nobody can own: the documentation domain and the top-level name that never resolves.
bool isReservedHost(const QString& host) {
    return host == "example.com" || host.endsWith(".example.com") || host.endsWith(".invalid");
}

QString hostOf(const QString& address) {
    return QUrl(address).host();
}

class SettingsFile : public testing::Test {
protected:
    Settings readWith(const QByteArray& content) {
        QFile file(dataFolder() + services::settingsFileName);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        return readSettings(dataFolder());
    }
    QString dataFolder() const { return folder_.path() + "/"; }

private:
    QTemporaryDir folder_;
};

TEST_F(SettingsFile, MissingFileGivesTheShippedValuesWithReservedHostsAndNoPhoneNumber) {
    const Settings settings = readSettings(dataFolder());

    EXPECT_EQ(settings.feedback.driver, "FreeTDS");
    EXPECT_EQ(settings.feedback.database, "yiyaofk");
    EXPECT_EQ(settings.feedback.user, "sa");
    EXPECT_EQ(settings.feedback.password, "qbrmvdlspxtnf724");
    EXPECT_EQ(settings.feedback.timeoutSeconds, 10);
    EXPECT_TRUE(isReservedHost(settings.feedback.server)) << settings.feedback.server.toStdString();
    EXPECT_TRUE(isReservedHost(settings.updateHost)) << settings.updateHost.toStdString();
    EXPECT_TRUE(isReservedHost(hostOf(settings.homeAddress))) << settings.homeAddress.toStdString();
    EXPECT_TRUE(isReservedHost(hostOf(services::shopAddress(settings))));
    EXPECT_FALSE(settings.serviceLine.contains(QRegularExpression("\\d{3}")))
        << settings.serviceLine.toStdString();
    EXPECT_FALSE(settings.serviceLine.isEmpty());
}

TEST_F(SettingsFile, ValuesInTheFileReplaceTheDefaults) {
    const Settings settings = readWith("[Feedback]\n"
                                       "Driver=PostgreSQL Unicode\n"
                                       "Server=db.test.invalid\n"
                                       "Port=5433\n"
                                       "Database=reports\n"
                                       "User=reporter\n"
                                       "Password=\"p;w=d{x}\"\n"
                                       "DriverOptions=CommLog=0\n"
                                       "TimeoutSeconds=3\n"
                                       "[Update]\n"
                                       "Host=127.0.0.1:8080\n"
                                       "[Links]\n"
                                       "HomeAddress=https://home.example.com/\n"
                                       "ShopHost=https://shop.example.com/\n"
                                       "[StatusBar]\n"
                                       "ServiceLine=职称考试, 训练软件\n");

    EXPECT_EQ(settings.feedback.driver, "PostgreSQL Unicode");
    EXPECT_EQ(settings.feedback.server, "db.test.invalid");
    EXPECT_EQ(settings.feedback.port, "5433");
    EXPECT_EQ(settings.feedback.database, "reports");
    EXPECT_EQ(settings.feedback.user, "reporter");
    EXPECT_EQ(settings.feedback.password, "p;w=d{x}");
    EXPECT_EQ(settings.feedback.driverOptions, "CommLog=0");
    EXPECT_EQ(settings.feedback.timeoutSeconds, 3);
    EXPECT_EQ(services::updateInfoUrl(settings, "zyb"),
              "http://127.0.0.1:8080/yiyaozj/zyb/Predate.ini");
    EXPECT_EQ(settings.homeAddress, "https://home.example.com/");
    EXPECT_EQ(services::shopAddress(settings), "https://shop.example.com/gmzx.asp");
    EXPECT_EQ(settings.serviceLine, "职称考试, 训练软件");
}

struct UnusableValue {
    const char* name;
    QByteArray line;
};

void PrintTo(const UnusableValue& value, std::ostream* out) {
    *out << value.name;
}

class UnusableSettings : public SettingsFile, public testing::WithParamInterface<UnusableValue> {};

TEST_P(UnusableSettings, KeepTheDefault) {
    const Settings shipped;
    const Settings settings = readWith(GetParam().line);

    EXPECT_EQ(settings.feedback.timeoutSeconds, shipped.feedback.timeoutSeconds);
    EXPECT_EQ(settings.feedback.port, shipped.feedback.port);
    EXPECT_EQ(settings.feedback.server, shipped.feedback.server);
    EXPECT_EQ(settings.updateHost, shipped.updateHost);
    EXPECT_EQ(settings.homeAddress, shipped.homeAddress);
    EXPECT_EQ(settings.shopHost, shipped.shopHost);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, UnusableSettings,
    testing::Values(UnusableValue{"TimeoutNotANumber", "[Feedback]\nTimeoutSeconds=ten\n"},
                    UnusableValue{"TimeoutZero", "[Feedback]\nTimeoutSeconds=0\n"},
                    UnusableValue{"PortOutOfRange", "[Feedback]\nPort=70000\n"},
                    UnusableValue{"EmptyServer", "[Feedback]\nServer=\n"},
                    UnusableValue{"UpdateHostWithPath", "[Update]\nHost=example.com/x?y\n"},
                    UnusableValue{"UpdateHostWithUser", "[Update]\nHost=me@example.com\n"},
                    UnusableValue{"HomeAddressScript",
                                  "[Links]\nHomeAddress=javascript:alert(1)\n"},
                    UnusableValue{"ShopHostFile", "[Links]\nShopHost=file:///etc/passwd\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A value past its limit would stretch the window (the service line) or a
// connection string; the shipped value stays.
TEST_F(SettingsFile, OverlongValuesKeepTheDefaults) {
    const Settings shipped;
    const struct {
        const char* start;
        qsizetype filler;
        QString Settings::*field;
    } cases[] = {
        {"[StatusBar]\nServiceLine=", 200000, &Settings::serviceLine},
        {"[StatusBar]\nServiceLine=", 201, &Settings::serviceLine},
        {"[Links]\nHomeAddress=http://example.com/", 3000, &Settings::homeAddress},
        {"[Links]\nShopHost=http://example.com/", 3000, &Settings::shopHost},
    };
    for (const auto& overlong : cases) {
        SCOPED_TRACE(overlong.start);
        const Settings settings = readWith(overlong.start + QByteArray(overlong.filler, 'x'));
        EXPECT_EQ(settings.*overlong.field, shipped.*overlong.field);
    }
    const Settings feedback =
        readWith("[Feedback]\nServer=" + QByteArray(300, 'x') +
                 "\nPassword=" + QByteArray(300, 'x') + "\nDriverOptions=" + QByteArray(2000, 'x'));
    EXPECT_EQ(feedback.feedback.server, shipped.feedback.server);
    EXPECT_EQ(feedback.feedback.password, shipped.feedback.password);
    EXPECT_EQ(feedback.feedback.driverOptions, shipped.feedback.driverOptions);

    const QString longest(200, QChar(u'训'));
    EXPECT_EQ(readWith("[StatusBar]\nServiceLine=" + longest.toUtf8()).serviceLine, longest);
}

TEST(UpdateAddress, TakesOnlyAPlainSubjectFolder) {
    const Settings settings;
    EXPECT_EQ(services::updateInfoUrl(settings, "zyb"),
              "http://update.morrowquill.invalid/yiyaozj/zyb/Predate.ini");
    for (const char* folder : {"", "../x", "a/b", "a?b", "a#b", "a b"})
        EXPECT_EQ(services::updateInfoUrl(settings, folder), QString()) << folder;
}

} // namespace

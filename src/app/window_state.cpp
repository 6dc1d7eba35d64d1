#include "app/window_state.h"

#include <QSettings>

namespace app {

namespace {

// Larger than any screen in use; a bigger number is a damaged file.
constexpr int largestSide = 20000;

} // namespace

WindowState readWindowState(const QString& dataFolder, QSize smallest) {
    WindowState state;
    const QSettings file(dataFolder + windowStateFileName, QSettings::IniFormat);
    const QRect saved = file.value(QStringLiteral("MainWindow/Geometry")).toRect();
    const auto usable = [](int value) {
        return value > -largestSide && value < largestSide;
    };
    if (saved.isValid() && usable(saved.x()) && usable(saved.y()) && saved.width() < largestSide &&
        saved.height() < largestSide)
        state.normalGeometry = QRect(saved.topLeft(), saved.size().expandedTo(smallest));
    // Only what this program writes counts as on.
    const auto on = [&](const QString& key) {
        return file.value(key).toString() == QLatin1String("true");
    };
    state.maximised = on(QStringLiteral("MainWindow/Maximised"));
    state.nightMode = on(QStringLiteral("MainWindow/NightMode"));
    return state;
}

bool writeWindowState(const QString& dataFolder, const WindowState& state) {
    QSettings file(dataFolder + windowStateFileName, QSettings::IniFormat);
    file.setValue(QStringLiteral("MainWindow/Geometry"), state.normalGeometry);
    file.setValue(QStringLiteral("MainWindow/Maximised"), state.maximised);
    file.setValue(QStringLiteral("MainWindow/NightMode"), state.nightMode);
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace app

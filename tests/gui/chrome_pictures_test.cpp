// The chrome's pictures: the copy drawn for the screen's scale, and bars
// that stretch between their pictures' edges.

#include "main_window_fixture.h"
#include "widgets/chrome_pictures.h"
#include "widgets/picture_button.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

using testing_support::MainWindowTest;
using widgets::loadPicture;

namespace {

const QString builtFolder = QStringLiteral(PROGRAM_FOLDER);

// The scale loadPicture settles on for a ratio, with every copy drawn.
qreal scaleFor(qreal ratio) {
    qreal chosen = 1;
    for (const qreal scale : widgets::pictureScales) {
        chosen = scale;
        if (scale >= ratio)
            break;
    }
    return chosen;
}

TEST(ChromePictures, TheCopyForTheRatioIsTakenAtItsOwnScale) {
    const struct {
        qreal ratio, scale;
    } cases[] = {{1, 1}, {1.25, 1.5}, {1.5, 1.5}, {1.75, 2}, {2, 2}, {3, 2}};
    for (const auto& [ratio, scale] : cases) {
        for (const char* name : {"/tp/kstk-1.jpg", "/tp/xsda-1.bmp", "/tp/logo.png"}) {
            const QPixmap picture = loadPicture(builtFolder, QString::fromLatin1(name), ratio);
            const QPixmap plain = loadPicture(builtFolder, QString::fromLatin1(name), 1);
            EXPECT_EQ(picture.devicePixelRatio(), scale) << name << " at " << ratio;
            EXPECT_EQ(picture.deviceIndependentSize().toSize(), plain.size())
                << name << " at " << ratio;
        }
    }
}

TEST(ChromePictures, ACopyThatNoLongerFitsItsPictureIsPassedOver) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir().mkpath(folder.path() + "/tp"));
    // The 1× picture was replaced by one of another size; the 1.5× copy is
    // missing and the 2× one is the old drawing.
    QImage replaced(40, 40, QImage::Format_RGB32);
    replaced.fill(Qt::red);
    ASSERT_TRUE(replaced.save(folder.path() + "/tp/kstk-1.jpg"));
    ASSERT_TRUE(
        QFile::copy(builtFolder + "/tp/kstk-1@2x.jpg", folder.path() + "/tp/kstk-1@2x.jpg"));
    const QPixmap picture = loadPicture(folder.path(), QStringLiteral("/tp/kstk-1.jpg"), 2);
    EXPECT_EQ(picture.devicePixelRatio(), 1);
    EXPECT_EQ(picture.size(), QSize(40, 40));
}

// A bar 1920 pixels long shows its picture's end columns as they are and
// stretches only the middle, at 1× and at 2×.
TEST(ChromePictures, ABarKeepsItsPicturesEdges) {
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap picture = loadPicture(builtFolder, QStringLiteral("/tp/titlebar.bmp"), ratio);
        ASSERT_EQ(picture.devicePixelRatio(), ratio);
        const QImage source = picture.toImage();
        QImage bar(QSize(1920, 25) * ratio, QImage::Format_RGB32);
        bar.setDevicePixelRatio(ratio);
        bar.fill(Qt::black);
        {
            QPainter painter(&bar);
            widgets::drawWithEdges(painter, QRect(0, 0, 1920, 25), picture,
                                   widgets::barPictureEdges);
        }
        const int edge = int(widgets::barPictureEdges.left() * ratio);
        const int middle = source.width() / 2;
        for (int y = 0; y < bar.height(); ++y) {
            for (int x = 0; x < edge; ++x) {
                ASSERT_EQ(bar.pixel(x, y), source.pixel(x, y)) << ratio << ": " << x << "," << y;
                ASSERT_EQ(bar.pixel(bar.width() - 1 - x, y),
                          source.pixel(source.width() - 1 - x, y))
                    << ratio << ": right " << x << "," << y;
            }
            for (const int x : {edge + 2, bar.width() / 2, bar.width() - edge - 3})
                ASSERT_EQ(bar.pixel(x, y), source.pixel(middle, y))
                    << ratio << ": " << x << "," << y;
        }
    }
}

class ChromePicturesInTheWindow : public MainWindowTest {};

// Run by the build's tests also at QT_SCALE_FACTOR 1.5 and 2.
TEST_F(ChromePicturesInTheWindow, ButtonsShowTheCopyForTheScreensRatio) {
    openWindow();
    const qreal scale = scaleFor(qGuiApp->devicePixelRatio());
    const auto buttons = window->findChildren<widgets::PictureButton*>();
    ASSERT_GT(buttons.size(), 25);
    for (const widgets::PictureButton* button : buttons) {
        const QPixmap shown = button->pixmap();
        EXPECT_EQ(shown.devicePixelRatio(), scale) << button->objectName().toStdString();
        EXPECT_EQ(shown.size(),
                  QSize(qCeil(button->width() * scale), qCeil(button->height() * scale)))
            << button->objectName().toStdString();
    }
}

} // namespace

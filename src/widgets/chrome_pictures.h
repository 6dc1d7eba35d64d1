#pragma once

// What the build's picture recipe and the windows that show its pictures
// agree on.

#include <QMargins>
#include <QString>

namespace widgets {

// How much of each side of a bar's background picture is its edge: drawn at
// its own size however long or high the bar, while the middle stretches. A
// JPEG's blocks are eight pixels: the ringing beside a sharp end line stays
// inside the edge instead of being stretched across the bar.
inline constexpr QMargins barPictureEdges{8, 1, 8, 1};

// The screen scales every chrome picture is drawn for, smallest first.
inline constexpr qreal pictureScales[] = {1, 1.5, 2};

// The file of a picture drawn at `scale`: its scale before the extension
// ("toolbar@2x.jpg"); the 1× picture keeps its name.
inline QString scaledPictureName(const QString& name, qreal scale) {
    if (scale == 1)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype stemEnd = dot > name.lastIndexOf(QLatin1Char('/')) ? dot : name.size();
    return name.left(stemEnd) + QStringLiteral("@%1x").arg(scale) + name.mid(stemEnd);
}

} // namespace widgets

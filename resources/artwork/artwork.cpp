// morrowquill-artwork OUTDIR: draws every picture of the main window's chrome
// (button states, bars, logo, tree marks), of the exam room (backgrounds,
// silhouettes, labelled buttons) and the error-report dialog's background into
// OUTDIR from the recipe below. Each picture is drawn once for every screen
// scale the program loads pictures at; a scaled copy is named with its scale
// before the extension (toolbar@1.5x.jpg, toolbar@2x.jpg).

#include "services/feedback_dialog_captions.h"
#include "widgets/chrome_pictures.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cstdio>

namespace {

const QColor brand(0, 134, 143);
const QColor brandDark(0, 96, 104);
const QColor ink(38, 50, 56);

enum class State { Normal, Hover, Pressed };

QFont cjkFont(int pixelSize, bool bold) {
    QFont font(QStringList{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("sans-serif")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// The scale of the pass being drawn: the recipe is in the 1× picture's
// pixels, and a painter on a canvas of this scale draws its shapes and text
// sharp at the larger size.
qreal drawingScale = 1;

bool save(const QImage& image, const QString& folder, const QString& name) {
    // Bitmaps and JPEGs carry no alpha: flatten onto white first.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDevicePixelRatio(image.devicePixelRatio());
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    const QString path = folder + QLatin1Char('/') + widgets::scaledPictureName(name, drawingScale);
    const bool keepsAlpha = name.endsWith(QStringLiteral(".png"));
    // A PNG's quality is its compression: the default packs tightly.
    if ((keepsAlpha ? image : flat).save(path, nullptr, keepsAlpha ? -1 : 92))
        return true;
    std::fprintf(stderr, "morrowquill-artwork: cannot write %s\n", qPrintable(path));
    return false;
}

// A transparent picture of width × height at the pass's scale; a part pixel
// at 1.5× is kept whole.
QImage canvas(int width, int height) {
    QImage image(qCeil(width * drawingScale), qCeil(height * drawingScale),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(drawingScale);
    image.fill(Qt::transparent);
    return image;
}

// The whole of a canvas in the recipe's pixels.
QRectF area(const QImage& image) {
    return QRectF(QPointF(0, 0), image.deviceIndependentSize());
}

void fillVertical(QPainter& p, const QRectF& rect, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(rect, gradient);
}

// Tool-bar buttons: a round badge with one character above the label.
QImage toolButton(int width, const QString& glyph, const QString& label, State state) {
    QImage image = canvas(width, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    fillVertical(p, area(image), QColor(246, 250, 252), QColor(221, 233, 240));
    const int shift = state == State::Pressed ? 1 : 0;
    if (state != State::Normal) {
        const QRectF frame = area(image).adjusted(2.5, 2.5, -2.5, -2.5);
        p.setPen(QPen(state == State::Hover ? brand : brandDark, 1));
        p.setBrush(state == State::Hover ? QColor(255, 255, 255, 190) : QColor(0, 96, 104, 40));
        p.drawRoundedRect(frame, 6, 6);
    }
    const QRectF badge(width / 2.0 - 15 + shift, 6 + shift, 30, 30);
    QLinearGradient fill(badge.topLeft(), badge.bottomLeft());
    fill.setColorAt(0, state == State::Hover ? brand.lighter(125) : brand);
    fill.setColorAt(1, state == State::Pressed ? brandDark.darker(120) : brandDark);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(badge);
    p.setPen(Qt::white);
    p.setFont(cjkFont(16, true));
    p.drawText(badge, Qt::AlignCenter, glyph);
    p.setPen(state == State::Pressed ? brandDark : ink);
    p.setFont(cjkFont(12, state != State::Normal));
    p.drawText(QRectF(0 + shift, 40 + shift, width, 20), Qt::AlignCenter, label);
    return image;
}

// Page-bar buttons: a rounded plate with its label.
QImage pageButton(int width, const QString& label, State state) {
    QImage image = canvas(width, width > 100 ? 33 : 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, area(image), QColor(219, 236, 248), QColor(196, 221, 240));
    const QRectF plate = area(image).adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
    switch (state) {
    case State::Normal:
        fill.setColorAt(0, QColor(255, 255, 255));
        fill.setColorAt(1, QColor(226, 238, 246));
        break;
    case State::Hover:
        fill.setColorAt(0, QColor(236, 250, 251));
        fill.setColorAt(1, QColor(190, 228, 232));
        break;
    case State::Pressed:
        fill.setColorAt(0, brandDark);
        fill.setColorAt(1, brand);
        break;
    }
    p.setBrush(fill);
    p.setPen(QPen(state == State::Normal ? QColor(130, 165, 190) : brandDark, 1));
    p.drawRoundedRect(plate, 5, 5);
    p.setPen(state == State::Pressed ? Qt::white : (state == State::Hover ? brandDark : ink));
    // The narrow buttons of the practice modes take a smaller type.
    p.setFont(cjkFont(width < 60 ? 11 : 13, state != State::Normal));
    p.drawText(plate.translated(0, state == State::Pressed ? 1 : 0), Qt::AlignCenter, label);
    return image;
}

enum class TitleMark { Minimise, Maximise, Restore, Close };

// Title-bar buttons: a white mark on the bar's blue, lit on hover.
QImage titleButton(TitleMark mark, State state) {
    QImage image = canvas(29, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, area(image), QColor(47, 111, 184), QColor(29, 79, 143));
    if (state != State::Normal) {
        const QColor lit =
            mark == TitleMark::Close ? QColor(214, 64, 64) : QColor(255, 255, 255, 60);
        p.fillRect(area(image), state == State::Pressed ? lit.darker(130) : lit);
    }
    p.setPen(QPen(Qt::white, 1.6));
    p.setBrush(Qt::NoBrush);
    const QPointF c(14.5, 12.5);
    switch (mark) {
    case TitleMark::Minimise:
        p.drawLine(QPointF(c.x() - 5, c.y() + 4), QPointF(c.x() + 5, c.y() + 4));
        break;
    case TitleMark::Maximise:
        p.drawRect(QRectF(c.x() - 5, c.y() - 5, 10, 10));
        break;
    case TitleMark::Restore:
        p.drawRect(QRectF(c.x() - 5, c.y() - 2, 8, 8));
        p.drawPolyline(QPolygonF({{c.x() - 2, c.y() - 2},
                                  {c.x() - 2, c.y() - 5},
                                  {c.x() + 6, c.y() - 5},
                                  {c.x() + 6, c.y() + 3},
                                  {c.x() + 3, c.y() + 3}}));
        break;
    case TitleMark::Close:
        p.drawLine(QPointF(c.x() - 5, c.y() - 5), QPointF(c.x() + 5, c.y() + 5));
        p.drawLine(QPointF(c.x() + 5, c.y() - 5), QPointF(c.x() - 5, c.y() + 5));
        break;
    }
    return image;
}

// A bar's background: a light top line, a shade at the foot and a bevel at
// either end, all inside the edges the window draws at their own size
// (widgets::barPictureEdges) while it stretches the middle.
QImage band(int width, int height, const QColor& top, const QColor& bottom) {
    QImage image = canvas(width, height);
    QPainter p(&image);
    fillVertical(p, area(image), top, bottom);
    const QRectF inside = area(image).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(top.lighter(112), 1));
    p.drawLine(QPointF(0, inside.top()), QPointF(width, inside.top()));
    p.drawLine(QPointF(inside.left(), 0), QPointF(inside.left(), height - 1));
    p.setPen(QPen(bottom.darker(115), 1));
    p.drawLine(QPointF(0, inside.bottom()), QPointF(width, inside.bottom()));
    p.drawLine(QPointF(inside.right(), 0), QPointF(inside.right(), height));
    return image;
}

QImage logo() {
    QImage image = canvas(206, 56);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    fillVertical(p, area(image), QColor(246, 250, 252), QColor(221, 233, 240));
    // A quill over an open page.
    QPainterPath page;
    page.moveTo(14, 40);
    page.quadTo(26, 34, 38, 40);
    page.quadTo(50, 34, 62, 40);
    p.setPen(QPen(brandDark, 2));
    p.drawPath(page);
    QPainterPath quill;
    quill.moveTo(24, 36);
    quill.cubicTo(30, 18, 46, 10, 58, 8);
    quill.cubicTo(52, 20, 40, 30, 24, 36);
    p.setBrush(brand);
    p.setPen(Qt::NoPen);
    p.drawPath(quill);
    p.setPen(brandDark);
    QFont word(QStringList{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("serif")});
    word.setPixelSize(20);
    word.setBold(true);
    p.setFont(word);
    p.drawText(QRectF(68, 6, 136, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Morrowquill"));
    p.setPen(ink);
    p.setFont(cjkFont(12, false));
    p.drawText(QRectF(69, 31, 136, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("职称考试 · 智能训练"));
    return image;
}

QImage treeNodeMark() {
    QImage image = canvas(16, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(brandDark, 1));
    p.setBrush(QColor(255, 255, 255));
    p.drawRoundedRect(QRectF(2.5, 5.5, 11, 14), 1.5, 1.5);
    p.setPen(QPen(brand, 1));
    for (int y = 9; y <= 16; y += 3)
        p.drawLine(QPointF(5, y + 0.5), QPointF(11, y + 0.5));
    return image;
}

// Dotted connecting lines of the chapter tree, one picture per branch shape.
enum class Branch { Through, Tee, Corner };

QImage treeBranch(Branch shape) {
    QImage image = canvas(23, 24);
    QPainter p(&image);
    QPen dotted(QColor(128, 128, 128), 1, Qt::DotLine);
    p.setPen(dotted);
    const int x = 11, y = 12;
    p.drawLine(x, 0, x, shape == Branch::Corner ? y : 24);
    if (shape != Branch::Through)
        p.drawLine(x, y, 23, y);
    return image;
}

// Exam room: a deep blue backdrop with soft diagonal light.
QImage examBackdrop(const QColor& top, const QColor& bottom) {
    QImage image = canvas(1280, 800);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, area(image), top, bottom);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor(255, 255, 255, 10 + 3 * i));
        QPainterPath beam;
        const qreal x = 120.0 + i * 190;
        beam.moveTo(x, 0);
        beam.lineTo(x + 120, 0);
        beam.lineTo(x - 260, 800);
        beam.lineTo(x - 380, 800);
        p.drawPath(beam);
    }
    return image;
}

// A rounded plate with a title and a short line under it.
QImage examPlate(int width, int height, const QString& title, const QString& line) {
    QImage image = canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF plate = area(image).adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
    fill.setColorAt(0, QColor(255, 255, 255, 235));
    fill.setColorAt(1, QColor(214, 230, 246, 235));
    p.setBrush(fill);
    p.setPen(QPen(QColor(120, 160, 205), 2));
    p.drawRoundedRect(plate, 10, 10);
    p.setPen(QColor(23, 64, 120));
    p.setFont(cjkFont(height > 120 ? 30 : 22, true));
    p.drawText(QRectF(0, height * 0.18, width, height * 0.42), Qt::AlignCenter, title);
    p.setPen(ink);
    p.setFont(cjkFont(15, false));
    p.drawText(QRectF(0, height * 0.6, width, height * 0.3), Qt::AlignCenter, line);
    return image;
}

// A neutral head-and-shoulders silhouette filling `rect`.
void silhouette(QPainter& p, const QRectF& rect) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 163, 178));
    const qreal w = rect.width(), h = rect.height();
    p.drawEllipse(QRectF(rect.left() + w * 0.32, rect.top() + h * 0.14, w * 0.36, h * 0.36));
    QPainterPath shoulders;
    shoulders.moveTo(rect.left() + w * 0.1, rect.bottom());
    shoulders.cubicTo(rect.left() + w * 0.12, rect.top() + h * 0.6, rect.left() + w * 0.88,
                      rect.top() + h * 0.6, rect.left() + w * 0.9, rect.bottom());
    shoulders.closeSubpath();
    p.drawPath(shoulders);
}

QImage examPhoto() {
    QImage image = canvas(200, 250);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, area(image), QColor(236, 241, 246), QColor(214, 223, 233));
    silhouette(p, QRectF(0, 20, 200, 230));
    p.setPen(QPen(QColor(120, 160, 205), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area(image).adjusted(1.5, 1.5, -1.5, -1.5));
    return image;
}

QImage examIdCard() {
    QImage image = canvas(200, 126);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(232, 240, 250));
    p.setPen(QPen(QColor(120, 160, 205), 2));
    p.drawRoundedRect(area(image).adjusted(1, 1, -1, -1), 8, 8);
    p.setBrush(QColor(214, 223, 233));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(12, 18, 62, 84));
    silhouette(p, QRectF(12, 24, 62, 78));
    p.setPen(QPen(QColor(160, 180, 205), 4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(88, 30 + i * 20), QPointF(i == 3 ? 150 : 186, 30 + i * 20));
    return image;
}

QImage examInfoPanel() {
    QImage image = canvas(440, 340);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(255, 255, 255, 230));
    p.setPen(QPen(QColor(120, 160, 205), 3));
    p.drawRoundedRect(area(image).adjusted(1.5, 1.5, -1.5, -1.5), 12, 12);
    return image;
}

// Exam buttons: a raised blue key with its label.
QImage examButton(int width, int height, const QString& label) {
    QImage image = canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF key = area(image).adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient fill(key.topLeft(), key.bottomLeft());
    fill.setColorAt(0, QColor(88, 150, 222));
    fill.setColorAt(1, QColor(31, 86, 160));
    p.setBrush(fill);
    p.setPen(QPen(QColor(20, 60, 120), 1));
    p.drawRoundedRect(key, 7, 7);
    p.setPen(Qt::white);
    p.setFont(cjkFont(height > 42 ? 19 : 16, true));
    p.drawText(key, Qt::AlignCenter, label);
    return image;
}

struct ExamButtonArt {
    const char* file;
    const char* label;
    int width, height;
};

const ExamButtonArt examButtonArt[] = {
    {"exam-log-in-again.png", "重新登录", 110, 40},
    {"exam-start.png", "开始考试", 110, 40},
    {"exam-demonstration.png", "观看演示", 110, 40},
    {"exam-previous.png", "上一题", 113, 45},
    {"exam-next.png", "下一题", 113, 45},
    {"exam-calculator.png", "计算器", 113, 45},
    {"exam-hand-in.png", "交 卷", 113, 45},
    {"exam-help.png", "帮 助", 113, 45},
};

bool drawExamRoom(const QString& folder) {
    bool ok = true;
    // The backdrops fill a whole screen, stretched: a larger copy would
    // only be smoother light.
    if (drawingScale == 1) {
        ok &= save(examBackdrop(QColor(18, 66, 128), QColor(7, 33, 74)), folder,
                   QStringLiteral("exam-login-bg.jpg"));
        ok &= save(examBackdrop(QColor(24, 88, 150), QColor(10, 45, 96)), folder,
                   QStringLiteral("exam-candidate-bg.jpg"));
    }
    ok &= save(examPlate(606, 150, QStringLiteral("计算机化考试系统"),
                         QStringLiteral("模拟考场 · 考生登录")),
               folder, QStringLiteral("exam-login-banner.png"));
    ok &= save(
        examPlate(293, 150, QStringLiteral("考前须知"), QStringLiteral("请核对准考证号后登录")),
        folder, QStringLiteral("exam-login-left.png"));
    ok &=
        save(examPlate(293, 150, QStringLiteral("诚信考试"), QStringLiteral("独立作答，保持安静")),
             folder, QStringLiteral("exam-login-right.png"));
    ok &= save(examPhoto(), folder, QStringLiteral("exam-photo.png"));
    ok &= save(examIdCard(), folder, QStringLiteral("exam-id-card.png"));
    ok &= save(examInfoPanel(), folder, QStringLiteral("exam-info-panel.png"));
    for (const ExamButtonArt& art : examButtonArt)
        ok &= save(examButton(art.width, art.height, QString::fromUtf8(art.label)), folder,
                   QString::fromLatin1(art.file));
    return ok;
}

// The error-report dialog's whole client area, with the captions of its check
// boxes, which the dialog places over them without a text of their own.
QImage feedbackBackground() {
    QImage image = canvas(1005, 557);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    fillVertical(p, area(image), QColor(244, 249, 251), QColor(221, 233, 240));
    p.setPen(brandDark);
    p.setFont(cjkFont(13, true));
    p.drawText(QRectF(21, 300, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("其他错误反馈"));
    p.drawText(QRectF(489, 300, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("错误的附加说明"));
    p.setPen(ink);
    p.setFont(cjkFont(13, false));
    for (int i = 0; i < 10; ++i)
        p.drawText(services::faultCategoryArea(i).adjusted(services::faultCaptionIndent, 0, 0, 0),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(services::faultCategories[i]));
    // The note's white field, so that it reads as part of the picture.
    p.setPen(QPen(QColor(130, 165, 190), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(488.5, 319.5, 490, 114));
    p.setPen(QColor(59, 85, 96));
    p.drawText(QRectF(21, 446, 900, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("感谢您的反馈！我们会尽快处理您报告的问题，并在定期更新中改正。"));
    return image;
}

struct ToolArt {
    const char* normal;
    const char* hover;
    const char* pressed;
    const char* glyph;
    const char* label;
};

// The tool bar, left to right; the first button is wider.
const ToolArt toolArt[] = {
    {"kstk-1.jpg", "KSTK-2.jpg", "KSTK-3.jpg", "题", "试题库"},
    {"wdsc-1.jpg", "wdsc-2.jpg", "wdsc-3.jpg", "藏", "我的收藏"},
    {"rjdh-1.jpg", "rjdh-2.jpg", "rjdh-3.jpg", "设", "考试设置"},
    {"mnkc-1.jpg", "mnkc-2.jpg", "mnkc-3.jpg", "考", "模拟考场"},
    {"cttk-1.jpg", "cttk-2.jpg", "cttk-3.jpg", "错", "错题题库"},
    {"sjbf-1.jpg", "sjbf-2.jpg", "sjbf-3.jpg", "备", "数据备份"},
    {"sjhy-1.jpg", "sjhy-2.jpg", nullptr, "还", "数据还原"},
    {"rjsj-1.jpg", "rjsj-2.jpg", "rjsj-3.jpg", "升", "软件升级"},
    {"zxkf-1.jpg", "zxkf-2.jpg", "zxkf-3.jpg", "服", "在线客服"},
    {"zxsc-1.jpg", "zxsc-2.jpg", "zxsc-3.jpg", "商", "在线商城"},
    {"sybz-1.jpg", "sybz-2.jpg", "sybz-3.jpg", "助", "使用帮助"},
    {"xxtj-1.jpg", "xxtj-2.jpg", "xxtj-3.jpg", "统", "学习统计"},
    {"drtk-1.jpg", "drtk-2.jpg", "drtk-3.jpg", "导", "导入题库"},
};

struct PageArt {
    const char* stem;
    const char* label;
    int width;
    // A toggle's "on" button: its normal picture is drawn pressed.
    bool latched = false;
};

const PageArt pageArt[] = {
    {"xsda", "显示答案", 95}, {"ycda", "隐藏答案", 95}, {"cxdt", "重新答题", 95},
    {"tjsj", "提交试卷", 95}, {"da", "放大字体", 76},   {"xiao", "缩小字体", 76},
    {"qpxs", "全屏显示", 76}, {"ckxs", "窗口显示", 76}, {"gb", "关  闭", 105},
    {"sjlx", "随机练习", 51}, {"jspt", "即时判题", 51}, {"jspk", "即时判题", 51, true},
};

struct TitleArt {
    const char* stem;
    TitleMark mark;
};

const TitleArt titleArt[] = {
    {"MinBtn", TitleMark::Minimise},
    {"MaxBtn", TitleMark::Maximise},
    {"resBtn", TitleMark::Restore},
    {"CloseBtn", TitleMark::Close},
};

// Backup and restore dialogs: the path field's label at its left, the advice
// below it, on a pale band with the brand's edge.
QImage backupDialogBackground() {
    QImage image = canvas(400, 200);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, 400, 200), QColor(246, 250, 252), QColor(221, 233, 240));
    p.fillRect(QRectF(0, 0, 6, 200), brand);
    p.setPen(ink);
    p.setFont(cjkFont(13, true));
    p.drawText(QRectF(8, 33, 82, 21), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("数据备份文件"));
    p.setPen(QPen(QColor(190, 210, 222), 1));
    p.drawLine(QPointF(20, 70), QPointF(380, 70));
    p.setPen(brandDark);
    p.setFont(cjkFont(12, true));
    p.drawText(QRectF(20, 78, 360, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("温馨提示"));
    p.setPen(ink);
    p.setFont(cjkFont(12, false));
    p.drawText(QRectF(20, 98, 360, 66), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("重装操作系统或本软件之前，请先备份数据；重装完成后再还原，"
                              "您的答题记录、收藏和错题等重要数据就不会丢失。"));
    return image;
}

const State states[] = {State::Normal, State::Hover, State::Pressed};

bool drawAll(const QString& folder) {
    bool ok = true;
    for (size_t i = 0; i < std::size(toolArt); ++i) {
        const ToolArt& art = toolArt[i];
        const int width = i == 0 ? 63 : 58;
        const char* files[] = {art.normal, art.hover, art.pressed};
        for (int s = 0; s < 3; ++s) {
            if (files[s])
                ok &= save(toolButton(width, QString::fromUtf8(art.glyph),
                                      QString::fromUtf8(art.label), states[s]),
                           folder, QString::fromLatin1(files[s]));
        }
    }
    for (const PageArt& art : pageArt) {
        for (int s = 0; s < 3; ++s)
            ok &= save(pageButton(art.width, QString::fromUtf8(art.label),
                                  art.latched && s == 0 ? State::Pressed : states[s]),
                       folder, QStringLiteral("%1-%2.bmp").arg(QLatin1String(art.stem)).arg(s + 1));
    }
    for (const TitleArt& art : titleArt) {
        for (int s = 0; s < 3; ++s)
            ok &= save(titleButton(art.mark, states[s]), folder,
                       QStringLiteral("%1-%2.bmp").arg(QLatin1String(art.stem)).arg(s + 1));
    }
    ok &= save(band(64, 25, QColor(47, 111, 184), QColor(29, 79, 143)), folder,
               QStringLiteral("titlebar.bmp"));
    ok &= save(band(64, 64, QColor(246, 250, 252), QColor(221, 233, 240)), folder,
               QStringLiteral("toolbar.jpg"));
    ok &= save(band(64, 31, QColor(219, 236, 248), QColor(196, 221, 240)), folder,
               QStringLiteral("pagebar.bmp"));
    ok &= save(band(64, 30, QColor(214, 233, 247), QColor(178, 211, 236)), folder,
               QStringLiteral("header.bmp"));
    ok &= save(logo(), folder, QStringLiteral("logo.png"));
    ok &= save(treeNodeMark(), folder, QStringLiteral("node.png"));
    ok &= save(treeBranch(Branch::Through), folder, QStringLiteral("branch-through.png"));
    ok &= save(treeBranch(Branch::Tee), folder, QStringLiteral("branch-tee.png"));
    ok &= save(treeBranch(Branch::Corner), folder, QStringLiteral("branch-corner.png"));
    ok &= save(backupDialogBackground(), folder, QStringLiteral("sjbf-bg.jpg"));
    ok &= drawExamRoom(folder);
    ok &= save(feedbackBackground(), folder, QStringLiteral("feedback-bg.png"));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: morrowquill-artwork OUTDIR\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "morrowquill-artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    for (const qreal scale : widgets::pictureScales) {
        drawingScale = scale;
        ok &= drawAll(folder);
    }
    return ok ? 0 : 1;
}

#pragma once

#include "page_support.h"
#include "web/script_literal.h"

#include <QTest>

// Input into a page as a user gives it: the mouse pressed and released on an
// element, keys typed into the element that has the focus.
namespace testing_support {

// The widget of the view that takes the mouse and the keys.
inline QWidget* inputSurface(web::HtmlView* view) {
    for (QWidget* child : view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->inherits("QWebEngineView"))
            return child->focusProxy();
    return nullptr;
}

// Scrolls the first element matching `selector` to the middle of the view and
// clicks its middle. False when there is no such element.
inline bool clickInPage(web::HtmlView* view, const QString& selector) {
    const QVariantList middle =
        evaluate(view,
                 QStringLiteral("(function (e) { if (!e) return [];"
                                " e.scrollIntoView({block: 'center'});"
                                " var r = e.getBoundingClientRect(), z = devicePixelRatio;"
                                " return [(r.left + r.width / 2) * z, (r.top + r.height / 2) * z];"
                                "})(document.querySelector(%1))")
                     .arg(web::scriptString(selector)))
            .toList();
    QWidget* surface = inputSurface(view);
    if (middle.size() != 2 || !surface)
        return false;
    const QPoint point(qRound(middle[0].toDouble()), qRound(middle[1].toDouble()));
    QTest::mouseMove(surface, point);
    QTest::mouseClick(surface, Qt::LeftButton, {}, point);
    return true;
}

// Chooses the drop-down's next entry with the keyboard, as a user who moved
// to it with the Tab key does.
inline void chooseNextEntry(web::HtmlView* view, const QString& selectId) {
    evaluate(
        view,
        QStringLiteral("document.getElementById(%1).focus()").arg(web::scriptString(selectId)));
    QTest::keyClick(inputSurface(view), Qt::Key_Down);
}

inline bool isChecked(web::HtmlView* view, const QString& id) {
    return evaluate(view, QStringLiteral("!!(document.getElementById(%1) || {}).checked")
                              .arg(web::scriptString(id)))
        .toBool();
}

} // namespace testing_support

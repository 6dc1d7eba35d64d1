#pragma once

#include "web/control_snapshot.h"

#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <functional>

class QWebEngineView;

namespace web {

class InterceptingPage;

// The start of a page built in steps: its first fragments and, when more
// follow, the function that builds the rest a part at a time: it appends the
// next part to its list and says whether more remains, and is called again,
// after the event loop has had its turn, until it says no.
struct PageStart {
    QStringList fragments;
    std::function<bool(QStringList&)> buildRest;
};

// The one wrapper around the embedded browser. Everything is asynchronous:
// calls take a callback, and a callback that belongs to a page that has since
// been replaced is dropped.
class HtmlView : public QWidget {
    Q_OBJECT

public:
    explicit HtmlView(QWidget* parent = nullptr);
    ~HtmlView() override;

    // Loads the template file (or, when the page on screen is on the same
    // template, empties it instead), then appends every fragment at the end of
    // the body in one script call: each parsed on its own, except in a large page,
    // whose fragments are parsed a few hundred at a time and must therefore
    // each be whole (close what they open). The first screenful is painted
    // before the rest is appended. `done(true)` once the page is
    // complete and laid out; `done(false)` when the template cannot be loaded.
    // `finishingScript` runs in the same call as the last fragments, before
    // the page counts as complete (a page's own state, such as stored choices,
    // costs no call of its own).
    void showPage(const QString& templatePath, const QStringList& fragments,
                  std::function<void(bool)> done = {}, const QString& finishingScript = {});
    // The same with the page built in steps: `build(atLeast)` gives at least
    // that many fragments, or all, while the browser reads the template in
    // processes of its own (or just before it empties a page on the same
    // template); the rest, when there is more, is built once the first
    // screenful is on the screen. Each step runs once, on this thread, after
    // the call returned; not at all when the page is replaced first or the
    // template cannot be loaded.
    void showBuiltPage(const QString& templatePath, std::function<PageStart(int atLeast)> build,
                       std::function<void(bool)> done = {});

    // Starts loading the template now, before any page is asked for, so that
    // the first page on it (shown with showPage or showBuiltPage) finds it
    // loaded or on its way: the browser starts its page process and reads
    // the template while the program does other work. Nothing happens when a
    // page is already under way or loaded.
    void preloadTemplate(const QString& templatePath);

    // Every input and select with an id, in one call.
    void readControls(std::function<void(const ControlSnapshot&)> done);
    // The same for the page on show now, delivered even when the next page
    // replaces it meanwhile: what a user leaves can be kept.
    void readControlsOfPageLeft(std::function<void(const ControlSnapshot&)> done);
    // Sets the controls named in `controls` back (ticks, drop-down choices),
    // in one call, except in a question the user has answered since the page
    // began: an option group (one name) with a tick, a drop-down moved off
    // its first entry.
    void restoreControls(const ControlSnapshot& controls);

    void setChecked(const QString& id, bool checked);
    void setValue(const QString& id, const QString& value);
    // Colours the text of every element named in `ids`, in one call.
    void setColor(const QStringList& ids, const QString& cssColour);
    void setBodyFontSize(int pixels);
    void runScript(const QString& script, std::function<void(const QVariant&)> done = {});
    // Text size on a scale of 0 (smallest) to 4 (largest); 2 is the normal size.
    void setTextZoom(int level);

    // Where every view, now and to come, finds the pictures of the bank's
    // picture folder (`pic/…` beside the page's template) that the template's
    // folder lacks: the pictures a user added, kept with their bank when the
    // bank lives apart from the program. Pages read nothing outside the
    // template's folder and this one.
    static void setUserPictureFolder(const QString& folder);

    // Night mode for every view, now and to come: the template's night set
    // of colours (its root element gets the class "night").
    static void setNightMode(bool on);
    static bool nightMode();

    // While on, every navigation of the page is refused and its address, as
    // the browser normalises it ("http://scbt123/"), is reported.
    void setInterceptNavigation(bool on);
    // A script run in every page from now on, with its first fragments (the
    // page's own settings, in force from the first screenful on).
    void setPageScript(const QString& script) { pageScript_ = script; }
    bool interceptsNavigation() const { return intercept_; }
    // Whether a page has been asked for and is not yet complete.
    bool pageUnderWay() const { return bool(pendingDone_); }

signals:
    void navigationIntercepted(const QString& address);
    // The page just finished (complete, or failed) has been painted on the screen: the view's
    // next paint after it, or, for a view that is not on the screen, a moment
    // later.
    void pageOnScreen();
    // The browser process that drew the page ended (it crashed or was
    // killed): the page on screen is gone, and no callback still awaited from
    // it (page done, controls read, script result) will come. The owner says
    // so and shows its page again from what is stored.
    void renderProcessEnded();

private:
    friend class InterceptingPage;
    void startPage(const QString& templatePath, const QStringList& fragments,
                   std::function<PageStart(int)> build, std::function<void(bool)> done,
                   const QString& finishingScript);
    void loadTemplate();
    void appendFragments(int generation);
    void runPendingBuild(int generation);
    void awaitFirstScreenOnScreen(int generation);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void stopWatchingPaint();
    void appendRest(int generation);
    void appendNextPart(int generation);
    // Appends `fragments` and runs the page's finishing script.
    QString lastAppendScript(const QStringList& fragments);
    void runLastAppend(const QString& script, int generation);
    static QString appendDefinition();
    void finishPage(int generation, bool ok);
    void reportWhenPainted(int generation);
    void forgetEndedPage();
    void deliver(std::function<void()> call);

    void applyNightMode();

    QWebEngineView* view_;
    InterceptingPage* page_;
    bool intercept_ = false;
    int generation_ = 0;
    int loadingGeneration_ = -1;
    QUrl loadingUrl_;
    // Loads of the current page's template stopped by another navigation and
    // started again; a few, so that a page that never loads still fails.
    static constexpr int stoppedLoadRetries = 3;
    int stoppedLoadsRetried_ = 0;
    QString templatePath_;
    // The template of the page on screen, once loaded; empty while none is.
    QString loadedTemplate_;
    // The page on screen is to be emptied before the next fragments go in.
    bool emptyFirst_ = false;
    QStringList pendingFragments_;
    QString pendingScript_;
    std::function<PageStart(int)> pendingBuild_;
    std::function<bool(QStringList&)> pendingRestBuild_;
    // What handing a script to the engine costs this thread, per character,
    // as last measured; until then a guess on the slow side, so that the
    // first part is a small one.
    double handOverNsPerCharacter_ = 100;
    // The first screenful is on its way and the rest still to be appended.
    bool restAwaited_ = false;
    // The view's surface, watched for the paint that shows the first screenful.
    QPointer<QWidget> paintSurface_;
    bool grouped_ = false;
    QString pageScript_;
    std::function<void(bool)> pendingDone_;
};

} // namespace web

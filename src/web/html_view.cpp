#include "web/html_view.h"

#include "web/script_literal.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QSet>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <algorithm>
#include <chrono>
#include <utility>

namespace web {

namespace {

// Fragments appended before the first paint: some ten questions, comfortably
// more than a screen.
constexpr int firstScreenFragments = 160;

// How long the rest of a page waits for its first screenful to reach the
// screen at most.
constexpr std::chrono::milliseconds firstScreenPaintWait{100};

// The rest of a large page is built and handed to the engine in turns of the
// event loop, each of about this much of this thread's time at most, in steps
// of some ten questions.
constexpr qint64 partTurnNanoseconds = 15'000'000;
constexpr qsizetype handOverStepFragments = 150;

// How long a completed page waits for the view's next paint to report that
// it is on the screen, at most.
constexpr std::chrono::milliseconds completePaintWait{1000};

// Calls `painted` once, at the next paint of the widget it watches or at the
// limit, whichever comes first, then goes. It belongs to `owner`, whose
// members `painted` may use: the browser's surface can outlive its view.
class NextPaint : public QObject {
public:
    NextPaint(QObject* owner, QWidget* surface, std::chrono::milliseconds limit,
              std::function<void()> painted)
        : QObject(owner)
        , painted_(std::move(painted)) {
        surface->installEventFilter(this);
        QTimer::singleShot(limit, this, [this] { report(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            // After the paint, not inside it.
            QMetaObject::invokeMethod(
                this, [this] { report(); }, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }

private:
    void report() {
        if (!painted_)
            return;
        std::exchange(painted_, nullptr)();
        deleteLater();
    }

    std::function<void()> painted_;
};

const QString firstPaintPrefix = QStringLiteral("morrowquill:first-screen-painted:");

QString jsonBool(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// A page of more fragments than this is appended into containers of about
// this many fragments each (some twenty questions of a practice page); the
// template lays out only the containers near the screen
// (`content-visibility: auto`). Smaller pages go straight into the body.
constexpr int containerFragments = 280;

// Defines mqAppendFragments(f, grouped): appends every fragment of f at the
// end of the page, into the body, each parsed on its own, or, grouped, into
// containers; then lays the page out. A container is filled with one parse
// of up to `containerFragments` fragments (a parse per fragment costs more
// than the fragments themselves; the program's fragments are each whole, every
// element they open they close, so parsing them together builds the same
// page). It is closed once it holds that many and its content ends in a block,
// where the flow breaks anyway, so that no line is cut in two; until then it
// takes one fragment at a time. The first container, laid out, gives the size
// that the others assume until they are laid out themselves, so the scroll bar
// hardly jumps.
const char appendFunction[] = R"(
function mqEndsInBlock(node) {
    var last = node.lastChild;
    while (last && last.nodeType == 3 && !last.data.trim()) last = last.previousSibling;
    return !!last && last.nodeType == 1 &&
        /^(DIV|P|TABLE|HR|UL|OL|DL|BLOCKQUOTE|CENTER|H[1-6])$/.test(last.tagName);
}
function mqAppendFragments(f, grouped) {
    var body = document.body;
    var size = %1;
    var i = 0;
    while (i < f.length) {
        if (!grouped) {
            body.insertAdjacentHTML('beforeend', f[i++]);
            continue;
        }
        var part = window.mqPart;
        if (!part || (window.mqPartCount >= size && mqEndsInBlock(part))) {
            part = window.mqPart = document.createElement('div');
            part.className = 'mq-part';
            window.mqPartCount = 0;
            body.appendChild(part);
        }
        var taken = f.slice(i, i + Math.max(1, size - window.mqPartCount));
        part.insertAdjacentHTML('beforeend', taken.join(''));
        window.mqPartCount += taken.length;
        i += taken.length;
    }
    void body.offsetHeight;
    var first = grouped && body.querySelector('.mq-part');
    if (first && first.nextElementSibling && !body.style.getPropertyValue('--mq-part-height'))
        body.style.setProperty('--mq-part-height', first.offsetHeight + 'px');
}
)";

// Appends at once.
const char appendNowScript[] = R"((function (f, grouped) {
    mqAppendFragments(f, grouped);
    return true;
}))";

// Appends at once, then logs the token once the browser has painted (or
// after 50 ms where no frame comes, as in a hidden view).
const char appendThenReportPaintScript[] = R"((function (f, grouped, token) {
    mqAppendFragments(f, grouped);
    var reported = false;
    function report() {
        if (reported) return;
        reported = true;
        console.info(token);
    }
    requestAnimationFrame(function () { setTimeout(report, 0); });
    setTimeout(report, 50);
}))";

// Empties a page of ours for the next one on the same template: a new body,
// no current container, scrolled to the top. Taking a large page down this
// way costs a fraction of a navigation, which also builds a new document.
const char emptyPageScript[] = R"((function () {
    document.documentElement.replaceChild(document.createElement('body'), document.body);
    window.mqPart = null;
    window.mqPartCount = 0;
    window.scrollTo(0, 0);
})())";

// The engine decides some navigations inside the page without asking
// (about:blank, data: and javascript: links among them): our pages never
// follow a link or submit a form of their own, so such activations are
// cancelled before they start; what remains reaches acceptNavigationRequest.
const char noLinksScript[] = R"((function () {
    function cancelUnlessWeb(event) {
        var link = event.target && event.target.closest ? event.target.closest('a[href], area[href]') : null;
        if (link && !/^https?:/i.test(link.href)) event.preventDefault();
    }
    document.addEventListener('click', cancelUnlessWeb, true);
    document.addEventListener('auxclick', cancelUnlessWeb, true);
    document.addEventListener('submit', function (event) { event.preventDefault(); }, true);
})())";

QString& userPictureFolder() {
    static QString folder;
    return folder;
}

// The folder of a local file address, ending in '/'; empty for any other.
QString folderOf(const QUrl& url) {
    return url.isLocalFile() ? QFileInfo(url.toLocalFile()).absolutePath() + QLatin1Char('/')
                             : QString();
}

bool isInside(const QString& path, const QString& folder) {
    return !folder.isEmpty() && path.startsWith(folder);
}

// A page of ours shows local files and nothing from the network, and no
// script of a page reads a file. The setting that would refuse file reads to
// scripts refuses a page's pictures as well. What a page loads comes from its
// template's folder or the user's picture folder, nowhere else; a picture of
// the bank's picture folder (`pic/…` beside the template) that the template's
// folder lacks is the user's own and is taken from the user's picture folder.
class LocalContentOnly : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeXhr ||
            (url.scheme() != QStringLiteral("file") && url.scheme() != QStringLiteral("data"))) {
            info.block(true);
            return;
        }
        // Which templates a view loads is decided where it navigates.
        if (url.scheme() == QStringLiteral("data") ||
            info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
            return;
        const QString path = QDir::cleanPath(url.toLocalFile());
        const QString pageFolder = folderOf(info.firstPartyUrl());
        const QString& ownPictures = userPictureFolder();
        if (!isInside(path, pageFolder)) {
            info.block(!isInside(path, ownPictures));
            return;
        }
        const QString bankPictures = pageFolder + QStringLiteral("pic/");
        if (isInside(path, bankPictures) && !ownPictures.isEmpty() && !QFileInfo::exists(path)) {
            const QString own = ownPictures + path.mid(bankPictures.size());
            if (QFileInfo::exists(own))
                info.redirect(QUrl::fromLocalFile(own));
        }
    }
};

} // namespace

class InterceptingPage : public QWebEnginePage {
public:
    InterceptingPage(HtmlView* owner, QObject* parent)
        : QWebEnginePage(parent)
        , owner_(owner) {}

    // The owner is going away: from now on the page asks it nothing.
    void forgetOwner() { owner_ = nullptr; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (!owner_)
            return false;
        // The view's own template loads always go ahead; interception is for
        // what the page starts.
        if (!owner_->intercept_ || (isMainFrame && url == owner_->loadingUrl_))
            return true;
        // Reported after the refusal, so that the owner may show a dialog.
        QMetaObject::invokeMethod(
            owner_,
            [owner = QPointer<HtmlView>(owner_), address = url.toString()] {
                if (owner)
                    emit owner->navigationIntercepted(address);
            },
            Qt::QueuedConnection);
        return false;
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                  const QString&) override {
        if (owner_ && message.startsWith(firstPaintPrefix))
            owner_->awaitFirstScreenOnScreen(message.mid(firstPaintPrefix.size()).toInt());
    }

private:
    HtmlView* owner_;
};

namespace {

bool nightModeOn = false;
QSet<HtmlView*>& everyView() {
    static QSet<HtmlView*> views;
    return views;
}

const char nightScriptName[] = "morrowquill-night";

} // namespace

void HtmlView::setUserPictureFolder(const QString& folder) {
    userPictureFolder() = folder.isEmpty() ? QString() : QDir::cleanPath(folder) + QLatin1Char('/');
}

void HtmlView::setNightMode(bool on) {
    nightModeOn = on;
    for (HtmlView* view : std::as_const(everyView()))
        view->applyNightMode();
}

bool HtmlView::nightMode() {
    return nightModeOn;
}

// The page on screen changes at once; later pages get the class as their
// document is parsed, before anything is painted.
void HtmlView::applyNightMode() {
    page_->setBackgroundColor(nightModeOn ? QColor(0x15, 0x19, 0x1c) : QColor(Qt::white));
    QWebEngineScriptCollection& scripts = page_->scripts();
    for (const QWebEngineScript& script : scripts.find(QString::fromLatin1(nightScriptName)))
        scripts.remove(script);
    const QString toggle = QStringLiteral("document.documentElement.classList.toggle('night', %1);")
                               .arg(nightModeOn ? QStringLiteral("true") : QStringLiteral("false"));
    QWebEngineScript night;
    night.setName(QString::fromLatin1(nightScriptName));
    night.setSourceCode(QStringLiteral("if (document.documentElement) ") + toggle);
    night.setInjectionPoint(QWebEngineScript::DocumentReady);
    night.setWorldId(QWebEngineScript::MainWorld);
    scripts.insert(night);
    page_->runJavaScript(toggle);
}

HtmlView::HtmlView(QWidget* parent)
    : QWidget(parent)
    , view_(new QWebEngineView(this))
    , page_(new InterceptingPage(this, view_)) {
    view_->setPage(page_);
    QWebEngineScript noLinks;
    noLinks.setName(QStringLiteral("morrowquill-no-links"));
    noLinks.setSourceCode(QString::fromLatin1(noLinksScript));
    noLinks.setInjectionPoint(QWebEngineScript::DocumentCreation);
    noLinks.setWorldId(QWebEngineScript::MainWorld);
    noLinks.setRunsOnSubFrames(true);
    page_->scripts().insert(noLinks);
    // What the bank's texts could ask for and a page of ours never needs:
    // reading files by script, remote content, new windows.
    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    page_->setUrlRequestInterceptor(new LocalContentOnly(page_));
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    // Focusing the view focuses the page, so that its keys scroll and Tab moves in it.
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(view_);
    everyView().insert(this);
    applyNightMode();
    // The page has no use for Esc; the window around it closes with it, as
    // it does wherever else the focus is.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this, escape] {
        if (QWidget* around = parentWidget()) {
            // Off while the key travels on, or it would catch it again.
            escape->setEnabled(false);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(around, &press);
            escape->setEnabled(true);
        }
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, &HtmlView::forgetEndedPage);
    connect(page_, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                // Only the template load under way counts: refused navigations
                // report too. Any other load leaves no page of ours to reuse.
                if (loadingUrl_.isEmpty() || info.url() != loadingUrl_) {
                    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                        loadedTemplate_.clear();
                    return;
                }
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    if (pendingBuild_ && loadingGeneration_ == generation_)
                        deliver([this, generation = generation_] { runPendingBuild(generation); });
                    return;
                }
                // A refused navigation that ends while the template loads can
                // stop that load in its place: the template is loaded again.
                if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus &&
                    stoppedLoadsRetried_ < stoppedLoadRetries) {
                    ++stoppedLoadsRetried_;
                    loadTemplate();
                    return;
                }
                const int generation = loadingGeneration_;
                loadingGeneration_ = -1;
                loadingUrl_.clear();
                if (generation != generation_)
                    loadTemplate();
                else if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
                    loadedTemplate_ = templatePath_;
                    // A template loaded ahead waits for its first page.
                    if (pendingDone_) {
                        runPendingBuild(generation_);
                        appendFragments(generation_);
                    }
                } else
                    finishPage(generation_, false);
            });
}

HtmlView::~HtmlView() {
    everyView().remove(this);
    // The page reports to this view as it goes (the load it cuts short, the
    // scripts whose results will never come), so it goes first, while every
    // member is whole; by then all it reports is stale and delivers nothing.
    ++generation_;
    stopWatchingPaint();
    page_->disconnect(this);
    page_->forgetOwner();
    delete view_;
}

void HtmlView::showPage(const QString& templatePath, const QStringList& fragments,
                        std::function<void(bool)> done, const QString& finishingScript) {
    startPage(templatePath, fragments, nullptr, std::move(done), finishingScript);
}

void HtmlView::showBuiltPage(const QString& templatePath,
                             std::function<PageStart(int atLeast)> build,
                             std::function<void(bool)> done) {
    startPage(templatePath, {}, std::move(build), std::move(done), {});
}

void HtmlView::startPage(const QString& templatePath, const QStringList& fragments,
                         std::function<PageStart(int)> build, std::function<void(bool)> done,
                         const QString& finishingScript) {
    const int generation = ++generation_;
    stopWatchingPaint();
    emptyFirst_ = false;
    pendingFragments_ = fragments;
    pendingRestBuild_ = nullptr;
    restAwaited_ = false;
    pendingScript_ = finishingScript;
    pendingDone_ = std::move(done);
    if (!pendingDone_)
        pendingDone_ = [](bool) {
        };
    pendingBuild_ = nullptr;
    if (!QFileInfo(templatePath).isFile()) {
        finishPage(generation, false);
        return;
    }
    pendingBuild_ = std::move(build);
    templatePath_ = QFileInfo(templatePath).absoluteFilePath();
    // A page on the template already loaded is emptied rather than reloaded,
    // in the call that brings its first fragments: the old page stays on
    // screen until the new one replaces it, with no empty page in between.
    if (loadingUrl_.isEmpty() && !loadedTemplate_.isEmpty() && loadedTemplate_ == templatePath_) {
        emptyFirst_ = true;
        deliver([this, generation] {
            if (generation != generation_)
                return;
            runPendingBuild(generation);
            appendFragments(generation);
        });
        return;
    }
    loadedTemplate_.clear();
    // A load of the same template under way (loaded ahead, or for a page
    // replaced before it had any fragments) serves the new page: the page
    // is still the bare template.
    if (!loadingUrl_.isEmpty() && loadingUrl_.toLocalFile() == templatePath_) {
        loadingGeneration_ = generation;
        return;
    }
    // One template load at a time: the engine may drop a load started while
    // another is under way. A page asked for meanwhile is loaded next.
    if (loadingUrl_.isEmpty())
        loadTemplate();
}

void HtmlView::preloadTemplate(const QString& templatePath) {
    if (pendingDone_ || !loadingUrl_.isEmpty() || !loadedTemplate_.isEmpty() ||
        !QFileInfo(templatePath).isFile())
        return;
    templatePath_ = QFileInfo(templatePath).absoluteFilePath();
    loadTemplate();
}

void HtmlView::runPendingBuild(int generation) {
    if (generation != generation_ || !pendingBuild_)
        return;
    // More than a container's worth, when there is more, so that a page with
    // a rest to come is known to be a large one.
    PageStart start = std::exchange(pendingBuild_, nullptr)(
        std::max(firstScreenFragments, containerFragments + 1));
    pendingFragments_ = std::move(start.fragments);
    pendingRestBuild_ = std::move(start.buildRest);
}

void HtmlView::loadTemplate() {
    if (loadingGeneration_ != generation_)
        stoppedLoadsRetried_ = 0;
    loadingGeneration_ = generation_;
    // Each load gets an address of its own, so that its report cannot be taken
    // for another's; the file ignores the query.
    loadingUrl_ = QUrl::fromLocalFile(templatePath_);
    loadingUrl_.setQuery(QString::number(generation_));
    page_->load(loadingUrl_);
}

void HtmlView::appendFragments(int generation) {
    // The first screenful goes in a small call of its own; the rest of a large
    // chapter is handed over only once that is painted, as the browser reads
    // a large call whole before it paints again.
    QString pageStart = std::exchange(emptyFirst_, false)
                            ? QString::fromLatin1(emptyPageScript) + QLatin1Char(';')
                            : QString();
    if (!pageScript_.isEmpty())
        pageStart += pageScript_ + QStringLiteral(";\n");
    const QStringList first = pendingFragments_.mid(0, firstScreenFragments);
    pendingFragments_ = pendingFragments_.mid(firstScreenFragments);
    grouped_ = first.size() + pendingFragments_.size() > containerFragments || pendingRestBuild_;
    if (pendingFragments_.isEmpty() && !pendingRestBuild_) {
        runLastAppend(pageStart + lastAppendScript(first), generation);
        return;
    }
    restAwaited_ = true;
    page_->runJavaScript(
        pageStart + appendDefinition() + QString::fromLatin1(appendThenReportPaintScript) +
        QStringLiteral("(") + scriptStringArray(first) + QStringLiteral(", ") + jsonBool(grouped_) +
        QStringLiteral(", ") + scriptString(firstPaintPrefix + QString::number(generation)) +
        QStringLiteral(")"));
}

void HtmlView::awaitFirstScreenOnScreen(int generation) {
    if (generation != generation_ || !restAwaited_)
        return;
    // The browser has drawn the first screenful; this thread has yet to put it
    // on the screen, and would not while it builds and hands over the rest.
    // So the rest waits for the view's next paint, or, where none comes (a
    // view not on screen), a moment.
    QWidget* surface = view_->focusProxy();
    if (surface && surface->isVisible()) {
        paintSurface_ = surface;
        surface->installEventFilter(this);
    }
    QTimer::singleShot(firstScreenPaintWait, this, [this, generation] { appendRest(generation); });
}

bool HtmlView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == paintSurface_ && event->type() == QEvent::Paint)
        deliver([this, generation = generation_] { appendRest(generation); });
    return QWidget::eventFilter(watched, event);
}

void HtmlView::stopWatchingPaint() {
    if (paintSurface_)
        paintSurface_->removeEventFilter(this);
    paintSurface_.clear();
}

void HtmlView::appendRest(int generation) {
    if (generation != generation_ || !restAwaited_)
        return;
    restAwaited_ = false;
    stopWatchingPaint();
    appendNextPart(generation);
}

// The rest is built only now: building while the first screenful is on its
// way would hold its painting back, as the view's frames pass through this
// thread. It is built and handed over a part at a time, each in a short
// stretch of this thread's work, the event loop running in between; the
// page takes the parts in the order they were sent.
void HtmlView::appendNextPart(int generation) {
    if (generation != generation_)
        return;
    QElapsedTimer turn;
    turn.start();
    // What was built and not yet handed over goes first: a part is built
    // only once the one before it is in the page.
    if (pendingFragments_.isEmpty() && pendingRestBuild_ && !pendingRestBuild_(pendingFragments_))
        pendingRestBuild_ = nullptr;
    const bool builtNothing = pendingFragments_.isEmpty();
    if (!pendingRestBuild_ && pendingFragments_.size() <= handOverStepFragments) {
        runLastAppend(lastAppendScript(std::exchange(pendingFragments_, {})), generation);
        return;
    }
    if (!pendingFragments_.isEmpty()) {
        // As many fragments as the rest of the turn allows, a step at a time.
        // The engine takes a script at a cost that grows with its length, so
        // the length is what is limited, from the cost per character the last
        // parts were handed over at.
        const double allowedNs = std::max(0.0, double(partTurnNanoseconds - turn.nsecsElapsed()));
        const qsizetype allowedLength =
            qsizetype(allowedNs / std::max(handOverNsPerCharacter_, 0.1));
        QElapsedTimer handOver;
        handOver.start();
        QString script = appendDefinition() + QString::fromLatin1(appendNowScript) +
                         QStringLiteral("([].concat(");
        qsizetype taken = 0;
        do {
            if (taken != 0)
                script += QLatin1Char(',');
            appendScriptStringArray(script, pendingFragments_.mid(taken, handOverStepFragments));
            taken += handOverStepFragments;
        } while (taken < pendingFragments_.size() && script.size() < allowedLength);
        pendingFragments_ = pendingFragments_.mid(taken);
        script += QStringLiteral("), ") + jsonBool(grouped_) + QStringLiteral(")");
        page_->runJavaScript(script);
        // Half the last part's cost, half what was known before: one part
        // slowed by another program's work moves the estimate only so far.
        handOverNsPerCharacter_ =
            (handOverNsPerCharacter_ + double(handOver.nsecsElapsed()) / double(script.size())) / 2;
    }
    // A turn that brought nothing (the rest is being read elsewhere) is
    // tried again a little later rather than at once and over and over.
    QTimer::singleShot(builtNothing ? 1 : 0, this,
                       [this, generation] { appendNextPart(generation); });
}

QString HtmlView::lastAppendScript(const QStringList& fragments) {
    QString script = appendDefinition() + QString::fromLatin1(appendNowScript) + QLatin1Char('(');
    appendScriptStringArray(script, fragments);
    script += QStringLiteral(", ") + jsonBool(grouped_) + QStringLiteral(");\n") +
              std::exchange(pendingScript_, {});
    return script;
}

void HtmlView::runLastAppend(const QString& script, int generation) {
    page_->runJavaScript(script,
                         [this, generation](const QVariant&) { finishPage(generation, true); });
}

QString HtmlView::appendDefinition() {
    return QString::fromLatin1(appendFunction).arg(containerFragments);
}

// Callbacks run from the event loop, never inside the browser's own work, so
// that they may open dialogs with event loops of their own.
void HtmlView::deliver(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void HtmlView::finishPage(int generation, bool ok) {
    if (generation != generation_ || !pendingDone_)
        return;
    // A page replaced before its report is delivered reports nothing.
    deliver([this, generation, done = std::move(pendingDone_), ok] {
        if (generation == generation_)
            done(ok);
    });
    pendingDone_ = nullptr;
    reportWhenPainted(generation);
}

void HtmlView::reportWhenPainted(int generation) {
    const auto report = [this, generation] {
        if (generation == generation_)
            emit pageOnScreen();
    };
    QWidget* surface = view_->focusProxy();
    if (surface && surface->isVisible())
        new NextPaint(this, surface, completePaintWait, report);
    else
        QTimer::singleShot(firstScreenPaintWait, this, report);
}

// The renderer is gone, and the page with it: nothing it owed (the page being
// filled, controls, script results) will come. The page being filled reports
// that it failed, every other callback is dropped, and the next page loads
// its template into a new renderer.
void HtmlView::forgetEndedPage() {
    const int generation = ++generation_;
    stopWatchingPaint();
    loadingGeneration_ = -1;
    loadingUrl_.clear();
    loadedTemplate_.clear();
    emptyFirst_ = false;
    pendingFragments_.clear();
    pendingScript_.clear();
    pendingBuild_ = nullptr;
    pendingRestBuild_ = nullptr;
    restAwaited_ = false;
    deliver([this, generation, done = std::exchange(pendingDone_, nullptr)] {
        if (done && generation == generation_)
            done(false);
        emit renderProcessEnded();
    });
}

void HtmlView::runScript(const QString& script, std::function<void(const QVariant&)> done) {
    const int generation = generation_;
    page_->runJavaScript(script,
                         [this, generation, done = std::move(done)](const QVariant& result) {
                             if (done && generation == generation_)
                                 deliver([this, generation, done, result] {
                                     if (generation == generation_)
                                         done(result);
                                 });
                         });
}

namespace {

const char readControlsScript[] = R"((function () {
    var result = {};
    var controls = document.querySelectorAll('input, select');
    for (var i = 0; i < controls.length; i++) {
        var c = controls[i];
        if (c.id) result[c.id] = {checked: !!c.checked, value: String(c.value)};
    }
    return result;
})())";

ControlSnapshot snapshotOf(const QVariant& result) {
    ControlSnapshot snapshot;
    const QVariantMap controls = result.toMap();
    for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
        const QVariantMap state = it.value().toMap();
        snapshot.insert(it.key(), {state.value(QStringLiteral("checked")).toBool(),
                                   state.value(QStringLiteral("value")).toString()});
    }
    return snapshot;
}

// Takes the saved state {id: [checked, value]}; a group the user answered
// since is left as it is.
const char restoreControlsScript[] = R"((function (saved) {
    function answered(e) {
        if (e.tagName == 'SELECT') {
            var first = e.querySelector('option[selected]') || e.options[0];
            return !!first && e.value != first.value;
        }
        if (!e.name) return e.checked;
        var group = document.getElementsByName(e.name);
        for (var i = 0; i < group.length; i++) if (group[i].checked) return true;
        return false;
    }
    var left = {}, targets = [];
    for (var id in saved) {
        var e = document.getElementById(id);
        if (!e) continue;
        var group = e.tagName == 'SELECT' ? '#' + id : e.name || '#' + id;
        if (!(group in left)) left[group] = answered(e);
        if (!left[group]) targets.push([e, saved[id]]);
    }
    targets.forEach(function (t) {
        if (t[0].tagName == 'SELECT') t[0].value = t[1][1];
        else t[0].checked = t[1][0];
    });
}))";

} // namespace

void HtmlView::readControls(std::function<void(const ControlSnapshot&)> done) {
    runScript(QString::fromLatin1(readControlsScript),
              [done = std::move(done)](const QVariant& result) { done(snapshotOf(result)); });
}

void HtmlView::readControlsOfPageLeft(std::function<void(const ControlSnapshot&)> done) {
    page_->runJavaScript(QString::fromLatin1(readControlsScript),
                         [this, done = std::move(done)](const QVariant& result) {
                             deliver([done, snapshot = snapshotOf(result)] { done(snapshot); });
                         });
}

void HtmlView::restoreControls(const ControlSnapshot& controls) {
    QString saved = QStringLiteral("{");
    for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
        if (saved.size() > 1)
            saved += QLatin1Char(',');
        saved += scriptString(it.key()) + QStringLiteral(":[") +
                 (it->checked ? QStringLiteral("true") : QStringLiteral("false")) +
                 QLatin1Char(',') + scriptString(it->value) + QLatin1Char(']');
    }
    runScript(QString::fromLatin1(restoreControlsScript) + QLatin1Char('(') + saved +
              QStringLiteral("})"));
}

void HtmlView::setChecked(const QString& id, bool checked) {
    runScript(
        QStringLiteral("(function (e) { if (e) e.checked = %2; })(document.getElementById(%1))")
            .arg(scriptString(id), checked ? QStringLiteral("true") : QStringLiteral("false")));
}

void HtmlView::setValue(const QString& id, const QString& value) {
    runScript(QStringLiteral("(function (e) { if (e) e.value = %2; })(document.getElementById(%1))")
                  .arg(scriptString(id), scriptString(value)));
}

void HtmlView::setColor(const QStringList& ids, const QString& cssColour) {
    runScript(QStringLiteral("%1.forEach(function (id) { var e = document.getElementById(id); "
                             "if (e) e.style.color = %2; })")
                  .arg(scriptStringArray(ids), scriptString(cssColour)));
}

void HtmlView::setBodyFontSize(int pixels) {
    runScript(QStringLiteral("document.body.style.fontSize = '%1px'").arg(pixels));
}

void HtmlView::setTextZoom(int level) {
    static const qreal factors[] = {0.8, 0.9, 1.0, 1.15, 1.3};
    page_->setZoomFactor(factors[std::clamp(level, 0, 4)]);
}

void HtmlView::setInterceptNavigation(bool on) {
    intercept_ = on;
}

} // namespace web

#include "main_window_fixture.h"
#include "page_support.h"
#include "renderer_support.h"
#include "services/feedback_dialog.h"
#include "store/question_statements.h"
#include "test_files.h"
#include "web/html_view.h"
#include "web/script_literal.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <memory>
#include <optional>

using testing_support::MainWindowTest;

namespace {

using testing_support::chapterContent;
using testing_support::evaluate;
using testing_support::largeChapter;

class Page : public MainWindowTest {
protected:
    // The window opens its first chapter as soon as it is shown; waits for it.
    bool openPage() {
        createWindow(2, 1, chapterContent);
        QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
        window->show();
        return shown.wait(20000);
    }

    QString bodyFontSize() {
        return evaluate(window->page(), "document.body.style.fontSize").toString();
    }
    void click(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); }
};

TEST_F(Page, RenderedChapterCarriesTheIdsOfTheContract) {
    ASSERT_TRUE(openPage());
    EXPECT_EQ(
        evaluate(window->page(),
                 "['fan10007', 'xs10007', 'ansnote10007', 'fan10008', 'xs10008', 'ansnote10008', "
                 "'a10009', 'fan10009', 'xs10009', 'ansnote10009', '100071', '100072', '100081', "
                 "'100082']"
                 ".filter(id => !document.getElementById(id)).join(',')")
            .toString(),
        QString());
    web::ControlSnapshot controls;
    bool read = false;
    window->page()->readControls([&](const web::ControlSnapshot& snapshot) {
        controls = snapshot;
        read = true;
    });
    ASSERT_TRUE(testing_support::waitUntil([&] { return read; }, 10000));
    EXPECT_TRUE(controls.contains("100071"));
    EXPECT_EQ(controls.value("a10009").value, QString("daan"));
    EXPECT_EQ(evaluate(window->page(),
                       "getComputedStyle(document.getElementById('ansnote10007')).display")
                  .toString(),
              QString("none"));
}

// Screen readers name each option by its letter and text and each drop-down
// by its question, through elements of the page rather than attributes, so a
// hostile option text stays text and adds nothing to the page.
TEST_F(Page, OptionsAndDropDownsAreNamedByTheirTextsHostileOnesIncluded) {
    createWindow(2, 1, [](store::BankBuilder& rows) {
        chapterContent(rows);
        rows.addGroup({4, 101, 3, {}, {}});
        store::Question q;
        q.id = 10010;
        q.readtextid = 4;
        q.content = "题10010";
        q.answer = "A";
        rows.addQuestion(q);
        rows.addOption({100101, 10010, "A", "矽肺一期"});
        rows.addOption({100102, 10010, "B",
                        "x\" onfocus=\"alert(1)\"></span><img src=x onerror=alert(2)>"
                        "<input id=\"planted\" aria-labelledby=\"opt100101\">"});
    });
    QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
    window->show();
    ASSERT_TRUE(shown.wait(20000));
    const QString names = evaluate(window->page(), R"((function () {
      var out = [];
      document.querySelectorAll('input[type=radio], input[type=checkbox], select').forEach(function (e) {
        var label = document.getElementById(e.getAttribute('aria-labelledby') || '');
        out.push(e.id + '=' + (label ? label.textContent.trim() : ''));
      });
      document.querySelectorAll('input[type=button]').forEach(function (e) {
        if (e.id.indexOf('xs') === 0) out.push(e.id + '=' + e.value);
      });
      out.push('handlers=' + document.querySelectorAll('[onfocus], [onerror]').length);
      out.push('planted=' + !!document.getElementById('planted'));
      return out.join('\n');
    })())")
                              .toString();
    EXPECT_EQ(names, "100071=A:甲\n100072=B:乙\n100101=A:矽肺一期\n"
                     "100102=B:x\" onfocus=\"alert(1)\">\n100081=A:甲\n100082=B:乙\n"
                     "a10009=题10009\n"
                     "xs10007=显示答案\nxs10010=显示答案\nxs10008=显示答案\nxs10009=显示答案\n"
                     "handlers=0\nplanted=false")
        << names.toStdString();
    // The other buttons of a question are named by what they show.
    EXPECT_EQ(evaluate(window->page(),
                       "Array.from(document.getElementById('xs10010').parentElement"
                       ".querySelectorAll('input[type=button]')).map(e => e.value).join(',')")
                  .toString(),
              "显示答案,收藏本题,错题反馈,笔记");
}

TEST_F(Page, FavouriteButtonTogglesTheFlagThroughTheHook) {
    ASSERT_TRUE(openPage());
    // A reload by the activation after each message would clear this tick.
    window->page()->setChecked("100071", true);
    evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].click()");
    ASSERT_TRUE(testing_support::waitUntil([&] { return !prompter.messages.isEmpty(); }, 10000));
    EXPECT_EQ(prompter.messages, QStringList({"收藏成功！"}));
    store::Bank bank(fixture.bankPath());
    EXPECT_EQ(store::questionById(bank, 10007)->scbt, QString("1"));
    EXPECT_EQ(
        evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].value").toString(),
        QString("取消收藏"));

    evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].click()");
    ASSERT_TRUE(testing_support::waitUntil([&] { return prompter.messages.size() == 2; }, 10000));
    EXPECT_EQ(prompter.messages.last(), QString("取消收藏！"));
    EXPECT_EQ(store::questionById(bank, 10007)->scbt, QString(""));
    EXPECT_EQ(
        evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].value").toString(),
        QString("收藏本题"));
    EXPECT_TRUE(evaluate(window->page(), "document.getElementById('100071').checked").toBool());
}

TEST_F(Page, ReportButtonShowsTheQuestionInTheFeedbackDialog) {
    ASSERT_TRUE(openPage());
    services::FeedbackDialog* dialog = window->feedbackDialog();
    EXPECT_FALSE(dialog->isVisible());
    evaluate(window->page(), "document.getElementsByName('sanyangctfk')[1].click()");
    ASSERT_TRUE(testing_support::waitUntil([&] { return dialog->isVisible(); }, 10000));
    EXPECT_EQ(dialog->reportedQuestionId(), 10008);
    EXPECT_EQ(dialog->reportedQuestionText(), QString("题10008"));
    EXPECT_TRUE(testing_support::waitUntil(
        [&] {
            return evaluate(dialog->view(), "document.body.innerText")
                .toString()
                .contains("正确答案：AB");
        },
        10000));
    EXPECT_TRUE(prompter.errors.isEmpty());
    QTest::mouseClick(dialog->findChild<QWidget*>("Button2"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(Page, ShowAllThenHideAllReturnsEveryAnswerToHidden) {
    ASSERT_TRUE(openPage());
    const QString shownCount = "[...document.getElementsByClassName('Answer')]"
                               ".filter(a => a.style.display == 'block').length";
    click("NewImage10");
    EXPECT_TRUE(testing_support::waitUntil(
        [&] { return evaluate(window->page(), shownCount).toInt() == 3; }, 10000));
    EXPECT_TRUE(child("NewImage16")->isVisibleTo(window.get()));
    EXPECT_FALSE(child("NewImage10")->isVisibleTo(window.get()));
    click("NewImage16");
    EXPECT_TRUE(testing_support::waitUntil(
        [&] { return evaluate(window->page(), shownCount).toInt() == 0; }, 10000));
    EXPECT_TRUE(child("NewImage10")->isVisibleTo(window.get()));
}

TEST_F(Page, TextSizeStepsAndLimits) {
    ASSERT_TRUE(openPage());
    ASSERT_EQ(window->fontLevel(), 2);
    QStringList sizes;
    for (int press = 0; press < 9; ++press) {
        click("NewImage14");
        sizes << bodyFontSize();
    }
    EXPECT_EQ(sizes, QStringList(
                         {"17px", "18px", "19px", "20px", "21px", "22px", "23px", "24px", "25px"}));
    click("NewImage14");
    EXPECT_EQ(prompter.messages, QStringList({"不能将字体设置过大！"}));
    EXPECT_EQ(window->fontLevel(), 12);
    EXPECT_EQ(bodyFontSize(), QString("25px"));
    click("NewImage15");
    EXPECT_EQ(bodyFontSize(), QString("23px"));
    EXPECT_EQ(window->currentChapterId(), QString("101"));

    while (window->fontLevel() > 1)
        click("NewImage15");
    click("NewImage15");
    EXPECT_EQ(prompter.messages.last(), QString("不能将字体设置过小！"));
    EXPECT_EQ(window->fontLevel(), 0);
    click("NewImage14");
    EXPECT_EQ(bodyFontSize(), QString("15px"));
}

// Whatever the scheme, a link on the page or a navigation the page starts
// leaves the page where it is.
TEST_F(Page, NavigationStartedByThePageIsCancelled) {
    ASSERT_TRUE(openPage());
    const QString stillHere = "document.getElementById('fan10007') != null";
    const QString followLink = "(function () { var a = document.createElement('a'); "
                               "a.href = %1; a.textContent = 'x'; document.body.appendChild(a); "
                               "a.click(); })()";
    for (const char* address :
         {"http://example.invalid/elsewhere", "about:blank", "data:text/html,<p>x</p>",
          "file:///etc/hostname", "javascript:document.body.innerHTML=''",
          "ftp://example.invalid/"}) {
        evaluate(
            window->page(),
            followLink.arg(
                QString::fromUtf8(QJsonDocument(QJsonArray{address}).toJson(QJsonDocument::Compact))
                    .mid(1)
                    .chopped(1)));
        // A navigation started after the link is refused and reported; by
        // then the link has had its chance to replace the page.
        QSignalSpy refused(window->page(), &web::HtmlView::navigationIntercepted);
        evaluate(window->page(), "location.href = 'http://example.invalid/after'");
        EXPECT_TRUE(!refused.isEmpty() || refused.wait(10000)) << address;
        EXPECT_TRUE(evaluate(window->page(), stillHere).toBool()) << address;
    }
    evaluate(window->page(), "location.href = 'file:///etc/hostname'");
    EXPECT_TRUE(evaluate(window->page(), stillHere).toBool());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_F(Page, AFavouriteClickWhileALargeChapterIsCompletedIsTaken) {
    createWindow(2, 1, largeChapter);
    QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
    window->show();
    ASSERT_TRUE(testing_support::waitUntil([&] { return !window->currentChapterId().isEmpty(); }));
    // From the click on, not only once the page is complete.
    EXPECT_TRUE(window->page()->interceptsNavigation());
    // The first screenful is on the page while the rest is still to come.
    ASSERT_TRUE(testing_support::waitUntil(
        [&] {
            return evaluate(window->page(), "document.getElementsByName('sanyangscbt').length")
                       .toInt() > 0;
        },
        20000));
    evaluate(window->page(), "document.getElementsByName('sanyangscbt')[0].click()");
    ASSERT_TRUE(!shown.isEmpty() || shown.wait(20000));
    ASSERT_TRUE(testing_support::waitUntil([&] { return !prompter.messages.isEmpty(); }, 10000));
    EXPECT_EQ(prompter.messages, QStringList({"收藏成功！"}));
    store::Bank bank(fixture.bankPath());
    EXPECT_EQ(store::questionById(bank, 20001)->scbt, QString("1"));
    EXPECT_EQ(evaluate(window->page(), "document.getElementsByName('sanyangscbt').length").toInt(),
              600);
}

TEST_F(Page, ScriptsReadNoFilesLoadNothingRemoteAndOpenNoWindows) {
    ASSERT_TRUE(openPage());
    web::HtmlView* page = window->page();
    const auto read = [&](const QString& url) {
        return evaluate(page, QStringLiteral("(function () { try { var x = new XMLHttpRequest(); "
                                             "x.open('GET', '%1', false); x.send(); return 'read "
                                             "' + x.responseText.length; } catch (e) { return "
                                             "'refused'; } })()")
                                  .arg(url))
            .toString();
    };
    EXPECT_EQ(read("file:///etc/hostname"), QString("refused"));
    EXPECT_EQ(read("ty.html"), QString("refused"));

    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    evaluate(page, QStringLiteral("document.body.insertAdjacentHTML('beforeend', '<img "
                                  "id=\"remote\" src=\"http://127.0.0.1:%1/x.png\">')")
                       .arg(server.serverPort()));
    // A refused picture fails at once; one that was asked for waits for the server.
    EXPECT_TRUE(testing_support::waitUntil(
        [&] { return evaluate(page, "document.getElementById('remote').complete").toBool(); },
        10000));
    EXPECT_FALSE(server.hasPendingConnections());
    EXPECT_TRUE(evaluate(page, "window.open('about:blank') === null").toBool());
}

} // namespace

namespace {

// A view of its own beside a copy of the page template.
struct TemplateView {
    TemplateView() {
        fixture.finish();
        QFile::copy(QStringLiteral(PROGRAM_FOLDER "/ty.html"), page());
        view.resize(400, 300);
        view.show();
    }
    QString page() const { return fixture.programFolder() + "ty.html"; }

    testing_support::FixtureBank fixture;
    web::HtmlView view;
};

// Texts reach the page's scripts exactly as they are, whatever they hold.
TEST(HtmlViewPages, TextsReachThePageExactly) {
    TemplateView viewed;
    const QStringList texts = {
        QString(),
        QStringLiteral("病例 plain"),
        QStringLiteral("\"double\" and 'single'"),
        QStringLiteral("back\\slash \\u0041 \\n"),
        QStringLiteral("line\nfeed\rreturn\ttab"),
        QString(QChar(0x2028)) + QChar(0x2029) + QChar(0xfeff),
        QStringLiteral("nul ") + QChar(0) + QChar(1) + QChar(0x1f) + QChar(0x7f),
        QStringLiteral("😀 </script><!-- ${x} `"),
    };
    for (const QString& text : texts)
        EXPECT_EQ(evaluate(&viewed.view, web::scriptString(text)).toString(), text);
    EXPECT_EQ(evaluate(&viewed.view, web::scriptStringArray(texts)).toStringList(), texts);
}

// What a screenshot waits for: a page under way, complete or failed, reports
// that it is on the screen, after its completion; a page replaced first
// reports nothing.
TEST(HtmlViewPages, AFinishedPageReportsOnceThatItIsOnTheScreen) {
    TemplateView viewed;
    QSignalSpy onScreen(&viewed.view, &web::HtmlView::pageOnScreen);
    EXPECT_FALSE(viewed.view.pageUnderWay());
    bool done = false;
    viewed.view.showPage(viewed.page(), {QStringLiteral("被替换")});
    viewed.view.showPage(viewed.page(), {QStringLiteral("第一页")}, [&](bool) {
        done = true;
        EXPECT_EQ(onScreen.count(), 0);
    });
    EXPECT_TRUE(viewed.view.pageUnderWay());
    ASSERT_TRUE(onScreen.wait(20000));
    EXPECT_TRUE(done);
    EXPECT_FALSE(viewed.view.pageUnderWay());

    viewed.view.showPage(viewed.fixture.programFolder() + "missing.html", {});
    ASSERT_TRUE(onScreen.wait(20000));
    EXPECT_EQ(onScreen.count(), 2);
    EXPECT_FALSE(viewed.view.pageUnderWay());
}

// A page reads pictures from its template's folder and from the user's
// picture folder, which also stands in for the bank's picture folder where the
// template's folder lacks a picture; nothing from anywhere else, however the
// page names it.
TEST(HtmlViewPages, PicturesComeOnlyFromTheTemplatesFolderAndTheUsersPictureFolder) {
    TemplateView viewed;
    QTemporaryDir userData, elsewhere;
    const QByteArray png =
        QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+"
                               "M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==");
    const QString program = viewed.fixture.programFolder();
    const QString own = userData.path() + QStringLiteral("/pic/");
    const QString outside = elsewhere.path() + QStringLiteral("/secret.png");
    for (const QString& path : {program + "pic/bundled.png", own + "imported/1/1.png", outside}) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        testing_support::writeFile(path, png);
    }
    web::HtmlView::setUserPictureFolder(own);
    const QString climbing = QDir(program).relativeFilePath(outside);
    ASSERT_TRUE(climbing.startsWith(QStringLiteral("../")));
    const std::pair<const char*, QString> pictures[] = {
        {"bundled", "./pic/bundled.png"},
        {"own", "pic/imported/1/1.png"},
        {"ownByItsAddress", QUrl::fromLocalFile(own + "imported/1/1.png").toString()},
        {"climbing", climbing},
        {"climbingFromThePictureFolder", "pic/../" + climbing},
        {"absolute", QUrl::fromLocalFile(outside).toString()},
        {"climbingFromTheUsersFolder",
         QUrl::fromLocalFile(own + "../../" + QDir(own + "../..").relativeFilePath(outside))
             .toString()},
    };
    QString html;
    for (const auto& [id, source] : pictures)
        html += QStringLiteral("<img id=\"%1\" src=\"%2\">").arg(QLatin1String(id), source);
    bool shown = false;
    viewed.view.showPage(viewed.page(), {html}, [&](bool ok) { shown = ok; });
    ASSERT_TRUE(testing_support::waitUntil([&] { return shown; }));
    ASSERT_TRUE(testing_support::waitUntil([&] {
        return evaluate(&viewed.view, "Array.from(document.images).every(i => i.complete)")
            .toBool();
    }));
    QStringList loaded;
    for (const auto& [id, source] : pictures)
        if (evaluate(
                &viewed.view,
                QStringLiteral("document.getElementById('%1').naturalWidth").arg(QLatin1String(id)))
                .toInt() > 0)
            loaded << QLatin1String(id);
    web::HtmlView::setUserPictureFolder({});
    EXPECT_EQ(loaded, QStringList({"bundled", "own", "ownByItsAddress"}));
}

TEST(HtmlViewPages, ANewPageStartedDuringALoadReplacesIt) {
    TemplateView viewed;
    web::HtmlView& view = viewed.view;
    const QString page = viewed.page();
    std::vector<std::pair<int, bool>> finished;
    for (int round = 0; round < 3; ++round) {
        view.showPage(page, {QStringLiteral("<p id='first%1'>1</p>").arg(round)},
                      [&, round](bool ok) { finished.emplace_back(round * 2, ok); });
        // The second click comes at once, or while loading, or after the first
        // page is complete: then both pages report, in order.
        testing_support::waitUntil([] { return false; }, round * 10);
        const bool firstComplete = !finished.empty();
        view.showPage(page, {QStringLiteral("<p id='second%1'>2</p>").arg(round)},
                      [&, round](bool ok) { finished.emplace_back(round * 2 + 1, ok); });
        ASSERT_TRUE(testing_support::waitUntil(
            [&] { return !finished.empty() && finished.back().first == round * 2 + 1; }, 20000))
            << "round " << round;
        auto expected = std::vector<std::pair<int, bool>>{{round * 2 + 1, true}};
        if (firstComplete)
            expected.insert(expected.begin(), {round * 2, true});
        EXPECT_EQ(finished, expected);
        EXPECT_TRUE(evaluate(&view, QStringLiteral("!!document.getElementById('second%1') && "
                                                   "!document.getElementById('first%1')")
                                        .arg(round))
                        .toBool());
        finished.clear();
    }
}

// A navigation the page starts is refused, and ends after the refusal is
// reported: a page asked for at once still comes, complete.
TEST(HtmlViewPages, APageAskedForAsARefusedNavigationEndsStillComes) {
    TemplateView viewed;
    web::HtmlView& view = viewed.view;
    view.setInterceptNavigation(true);
    std::optional<bool> finished;
    view.showPage(viewed.page(), {QStringLiteral("<p>0</p>")}, [&](bool ok) { finished = ok; });
    ASSERT_TRUE(testing_support::waitUntil([&] { return finished.has_value(); }, 20000));
    int round = 0;
    QObject::connect(&view, &web::HtmlView::navigationIntercepted, &view, [&] {
        view.showPage(viewed.page(), {QStringLiteral("<p id='page%1'>%1</p>").arg(round)},
                      [&](bool ok) { finished = ok; });
    });
    for (round = 1; round <= 30; ++round) {
        finished.reset();
        evaluate(
            &view,
            QStringLiteral("setTimeout(() => location.href = 'http://note%1/'); true").arg(round));
        ASSERT_TRUE(testing_support::waitUntil([&] { return finished.has_value(); }, 20000));
        EXPECT_TRUE(*finished) << "round " << round;
        EXPECT_TRUE(
            evaluate(&view, QStringLiteral("!!document.getElementById('page%1')").arg(round))
                .toBool())
            << "round " << round;
    }
}

} // namespace

namespace {

// A page built while its template loads: built once, after the call returned,
// and not at all when a newer page replaced it before its load. A rest is
// built in parts until it says it is done, and follows the first fragments, the page laid out as a
// large one; a page without a rest goes straight into the body.
TEST(HtmlViewPages, APageBuiltDuringItsLoadIsBuiltOnceAndOnlyWhileItIsWanted) {
    TemplateView viewed;
    web::HtmlView& view = viewed.view;
    const QString page = viewed.page();
    int builds = 0;
    int restBuilds = 0;
    bool shown = false;
    view.showBuiltPage(
        page,
        [&](int) {
            ++builds;
            return web::PageStart{
                {QStringLiteral("<p id='first'>1</p>")}, [&](QStringList& rest) {
                    rest << QStringLiteral("<p id='rest%1'>2</p>").arg(++restBuilds);
                    return restBuilds < 3;
                }};
        },
        [&](bool ok) { shown = ok; });
    EXPECT_EQ(builds, 0) << "built while the template loads, not before";
    ASSERT_TRUE(testing_support::waitUntil([&] { return shown; }));
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(restBuilds, 3);
    EXPECT_EQ(evaluate(&view, QStringLiteral("Array.from(document.querySelectorAll('.mq-part "
                                             "p')).map(function (p) { return p.id; }).join()"))
                  .toString(),
              QStringLiteral("first,rest1,rest2,rest3"));

    shown = false;
    view.showBuiltPage(
        page,
        [&](int) {
            ++builds;
            return web::PageStart{{QStringLiteral("<p id='built'>1</p>")}, {}};
        },
        [&](bool ok) { shown = ok; });
    ASSERT_TRUE(testing_support::waitUntil([&] { return shown; }));
    EXPECT_EQ(builds, 2);
    EXPECT_TRUE(evaluate(&view, QStringLiteral("document.getElementById('built').parentNode == "
                                               "document.body"))
                    .toBool());

    int replacedBuilds = 0;
    shown = false;
    view.showBuiltPage(page, [&](int) {
        ++replacedBuilds;
        return web::PageStart{};
    });
    view.showPage(page, {QStringLiteral("<p id='newer'>2</p>")}, [&](bool ok) { shown = ok; });
    ASSERT_TRUE(testing_support::waitUntil([&] { return shown; }));
    EXPECT_EQ(replacedBuilds, 0);
    EXPECT_TRUE(evaluate(&view, QStringLiteral("!!document.getElementById('newer')")).toBool());
    const QString missing = viewed.fixture.programFolder() + "missing.html";
    bool failed = false;
    view.showBuiltPage(
        missing,
        [&](int) {
            ++replacedBuilds;
            return web::PageStart{};
        },
        [&](bool ok) { failed = !ok; });
    ASSERT_TRUE(testing_support::waitUntil([&] { return failed; }));
    EXPECT_EQ(replacedBuilds, 0) << "no template, no build";
}

} // namespace

namespace {

// A page on the template already on screen empties it instead of loading it
// again: the document stays (a mark left in it survives), its content, the
// containers of a large page and the scrolling do not. Another template is
// loaded.
TEST(HtmlViewPages, APageOnTheTemplateOnScreenEmptiesItInsteadOfLoadingIt) {
    TemplateView viewed;
    web::HtmlView& view = viewed.view;
    const QString page = viewed.page();
    const auto showAndWait = [&](const QString& templatePath, const QStringList& fragments) {
        bool shown = false;
        view.showPage(templatePath, fragments, [&](bool ok) { shown = ok; });
        return testing_support::waitUntil([&] { return shown; });
    };
    QStringList large;
    for (int i = 0; i < 400; ++i)
        large << QStringLiteral("<div id='old%1'>%1</div>").arg(i);
    ASSERT_TRUE(showAndWait(page, large));
    ASSERT_GT(evaluate(&view, "document.querySelectorAll('.mq-part').length").toInt(), 0);
    evaluate(&view, "window.scrollTo(0, 2000); window.mqMark = 1; window.scrollY");

    ASSERT_TRUE(showAndWait(page, {QStringLiteral("<p id='next'>2</p>")}));
    EXPECT_EQ(evaluate(&view, "window.mqMark || 0").toInt(), 1) << "emptied, not reloaded";
    EXPECT_TRUE(evaluate(&view, "!document.getElementById('old1') && "
                                "!!document.getElementById('next') && "
                                "document.querySelectorAll('.mq-part').length == 0 && "
                                "window.scrollY == 0")
                    .toBool());

    const QString other = viewed.fixture.programFolder() + "other.html";
    QFile::copy(page, other);
    ASSERT_TRUE(showAndWait(other, {QStringLiteral("<p id='other'>3</p>")}));
    EXPECT_EQ(evaluate(&view, "window.mqMark || 0").toInt(), 0) << "another template is loaded";
    evaluate(&view, "window.mqMark = 1");
    ASSERT_TRUE(showAndWait(page, {QStringLiteral("<p id='back'>4</p>")}));
    EXPECT_EQ(evaluate(&view, "window.mqMark || 0").toInt(), 0);
    EXPECT_TRUE(evaluate(&view, "!!document.getElementById('back')").toBool());
}

} // namespace

namespace {

// A template loaded ahead serves the first page asked for on it, whether the
// page comes while the template loads or after: the template is loaded once.
// A preload of a template that is not there does nothing, and one asked for
// while a page is under way leaves that page alone.
TEST(HtmlViewPages, ATemplateLoadedAheadServesTheFirstPageWithoutASecondLoad) {
    for (const int askedAfterMs : {0, 1500}) {
        TemplateView viewed;
        web::HtmlView& view = viewed.view;
        int loads = 0;
        QObject::connect(view.findChild<QWebEnginePage*>(), &QWebEnginePage::loadStarted,
                         [&] { ++loads; });
        view.preloadTemplate(viewed.fixture.programFolder() + "missing.html");
        view.preloadTemplate(viewed.page());
        testing_support::waitUntil([] { return false; }, askedAfterMs);
        bool shown = false;
        view.showPage(viewed.page(), {QStringLiteral("<p id='first'>1</p>")},
                      [&](bool ok) { shown = ok; });
        view.preloadTemplate(viewed.page());
        ASSERT_TRUE(testing_support::waitUntil([&] { return shown; })) << askedAfterMs;
        EXPECT_EQ(loads, 1) << askedAfterMs;
        EXPECT_TRUE(evaluate(&view, QStringLiteral("!!document.getElementById('first')")).toBool())
            << askedAfterMs;
    }
}

} // namespace

namespace {

// Counts the copies of itself alive, so that a callback destroyed twice, or
// never, shows.
struct Counted {
    Counted() { ++alive; }
    Counted(const Counted&) { ++alive; }
    Counted& operator=(const Counted&) = default;
    ~Counted() { --alive; }
    static inline int alive = 0;
};

// A view destroyed with its page half filled (its template loading, its
// fragments on their way, a large page's rest still to come) calls back
// nothing, and its callback is destroyed exactly once.
TEST(HtmlViewPages, AViewDestroyedWhileItsPageIsFilledDeliversNothing) {
    enum class Stage { AtOnce, TemplateLoaded, FirstScreenIn };
    for (Stage stage : {Stage::AtOnce, Stage::TemplateLoaded, Stage::FirstScreenIn}) {
        TemplateView viewed;
        auto view = std::make_unique<web::HtmlView>();
        view->show();
        QStringList fragments = {QStringLiteral("<p id='first'>1</p>")};
        if (stage == Stage::FirstScreenIn)
            for (int i = 0; i < 400; ++i)
                fragments << QStringLiteral("<div>%1</div>").arg(i);
        QSignalSpy loaded(view->findChild<QWebEnginePage*>(), &QWebEnginePage::loadFinished);
        bool delivered = false;
        view->showPage(viewed.page(), fragments,
                       [&delivered, counted = Counted()](bool) { delivered = true; });
        ASSERT_EQ(Counted::alive, 1);
        if (stage == Stage::TemplateLoaded) {
            ASSERT_TRUE(loaded.wait(20000));
        } else if (stage == Stage::FirstScreenIn) {
            ASSERT_TRUE(testing_support::waitUntil([&] {
                return evaluate(view.get(), "!!document.getElementById('first')").toBool();
            }));
        }
        const bool completeBefore = delivered;
        view.reset();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        EXPECT_FALSE(completeBefore || delivered) << int(stage);
        EXPECT_EQ(Counted::alive, 0) << int(stage);
    }
}

// When the renderer ends, the page it was filling reports that it failed,
// a script result it owed never comes, the owner hears of it once, and the
// next page loads its template afresh in a new renderer.
TEST(HtmlViewPages, AnEndedRendererFailsThePageUnderWayAndTheNextPageLoadsAfresh) {
    TemplateView viewed;
    web::HtmlView& view = viewed.view;
    const QString page = viewed.page();
    std::optional<bool> outcome;
    view.showPage(page, {QStringLiteral("<p id='before'>1</p>")}, [&](bool ok) { outcome = ok; });
    ASSERT_TRUE(testing_support::waitUntil([&] { return outcome.has_value(); }));
    evaluate(&view, "window.mqMark = 1");

    QSignalSpy ended(&view, &web::HtmlView::renderProcessEnded);
    outcome.reset();
    // The page's finishing script holds the renderer until it is killed.
    view.showPage(
        page, {QStringLiteral("<p id='lost'>2</p>")}, [&](bool ok) { outcome = ok; },
        QStringLiteral("while (true) {}"));
    bool scriptAnswered = false;
    view.runScript("1", [&](const QVariant&) { scriptAnswered = true; });
    ASSERT_TRUE(testing_support::killRenderer(&view));
    ASSERT_TRUE(ended.wait(20000));
    ASSERT_TRUE(testing_support::waitUntil([&] { return outcome.has_value(); }));
    EXPECT_EQ(outcome, false);

    outcome.reset();
    view.showPage(page, {QStringLiteral("<p id='after'>3</p>")}, [&](bool ok) { outcome = ok; });
    ASSERT_TRUE(testing_support::waitUntil([&] { return outcome.has_value(); }));
    EXPECT_EQ(outcome, true);
    EXPECT_TRUE(evaluate(&view, "!!document.getElementById('after') && "
                                "!document.getElementById('lost') && !window.mqMark")
                    .toBool());
    EXPECT_FALSE(scriptAnswered);
    EXPECT_EQ(ended.size(), 1);
}

} // namespace

namespace {

const QString rendererEndedMessage = QStringLiteral("页面显示进程意外结束，已重新载入本章。");

// The chapter on screen comes back after its renderer was killed, and what
// is ticked on it then is graded into the bank.
TEST_F(Page, AChapterWhoseRendererWasKilledComesBackAndIsGraded) {
    ASSERT_TRUE(openPage());
    QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
    ASSERT_TRUE(testing_support::killRenderer(window->page()));
    ASSERT_TRUE(shown.wait(20000));
    EXPECT_EQ(prompter.messages, QStringList({rendererEndedMessage}));
    EXPECT_TRUE(evaluate(window->page(), "['fan10007', 'fan10008', 'a10009'].every(id => "
                                         "document.getElementById(id))")
                    .toBool());

    window->page()->setChecked("100071", true);
    prompter.yesAnswer = true;
    click("NewImage12");
    ASSERT_TRUE(testing_support::waitUntil([&] { return !prompter.questions.isEmpty(); }));
    EXPECT_EQ(prompter.dialogs, QStringList({"TForm15"}));
    store::Bank bank(fixture.bankPath());
    EXPECT_EQ(store::questionById(bank, 10007)->ct, QString(""));
    EXPECT_EQ(store::questionById(bank, 10008)->ct, QString("1"));
    EXPECT_EQ(
        evaluate(window->page(), "document.getElementById('fan10008').style.color").toString(),
        QString("red"));
}

// A renderer that ends again before the chapter is back is not started once
// more: the user is told, and the chapter shows when picked again.
TEST_F(Page, ARendererEndingAgainDuringTheReloadIsNotRestartedOverAndOver) {
    ASSERT_TRUE(openPage());
    const qint64 first = testing_support::rendererOf(window->page());
    ASSERT_TRUE(testing_support::killRenderer(window->page()));
    ASSERT_TRUE(testing_support::waitUntil([&] {
        const qint64 now = testing_support::rendererOf(window->page());
        return now > 0 && now != first;
    }));
    ASSERT_TRUE(testing_support::killRenderer(window->page()));
    ASSERT_TRUE(testing_support::waitUntil([&] { return prompter.messages.size() == 2; }));
    EXPECT_EQ(prompter.messages,
              QStringList({rendererEndedMessage,
                           QStringLiteral("页面显示进程再次意外结束，请重新选择章节。")}));

    QSignalSpy shown(window.get(), &app::MainWindow::pageShown);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                      tree()->visualItemRect(tree()->currentItem()).center());
    ASSERT_TRUE(testing_support::waitUntil([&] {
        return !shown.isEmpty() &&
               evaluate(window->page(), "!!document.getElementById('fan10007')").toBool();
    }));
    EXPECT_EQ(prompter.messages.size(), 2);
}

} // namespace

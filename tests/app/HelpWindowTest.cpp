// The manual opens on every desktop: with the desktop's HTML viewer when there is one, else in
// the program's own help window, whose links lead from page to page.
#include <gtest/gtest.h>

#include <QAction>
#include <QMessageBox>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "DialogTestSupport.h"
#include "app/HelpBrowser.h"
#include "app/HelpPages.h"
#include "app/MainWnd.h"
#include "app/WorkingDirectory.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

// The shipped manual in a scratch working directory, and a desktop that opens what it is told
// (or nothing), remembering what it was asked.
class ManualHere : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(copyDirectoryTree(QStringLiteral(DRAVIA_SOURCE_DIR "/Manual"),
                                      QString::fromStdString((directory.path() / "Manual").string())));
        previous = setUrlOpener([this](const QUrl& url) {
            asked.push_back(url);
            return desktopOpens;
        });
    }
    void TearDown() override { setUrlOpener(previous); }

    test::TempDirectory directory;
    UrlOpener previous;
    bool desktopOpens = false;
    std::vector<QUrl> asked;
};

HelpBrowser* helpWindowOf(QWidget& owner) {
    return owner.findChild<HelpBrowser*>(QStringLiteral("helpBrowser"));
}

struct HelpCase {
    const char* name;
    bool web;  // the web documentation item rather than a manual page
    bool desktopOpens;
    const char* page;
    bool helpWindow;      // the program's own window shows the page
    bool desktopAsked;    // the page went to the desktop's viewer
    const char* failure;  // the failure box's text, or none
};

TEST_F(ManualHere, EveryWayAPageOpens) {
    const HelpCase cases[] = {
        // A desktop's opener may say yes and show nothing: the manual never depends on it.
        {"ManualWithDesktopViewer", false, true, "Manual\\Forest_chap2.html", true, false, nullptr},
        {"ManualWithoutViewer", false, false, "Manual\\Forest_chap2.html", true, false, nullptr},
        {"MissingPage", false, false, "Manual\\Forest_chap10.html", false, false,
         "Could not open the help file \"Manual\\Forest_chap10.html\"."},
        {"MissingPageWithViewer", false, true, "Manual\\nothere.htm", false, false,
         "Could not open the help file \"Manual\\nothere.htm\"."},
        // Only the web item goes to the desktop's browser.
        {"WebWithBrowser", true, true, "Manual\\Forest_chap2.html", false, true, nullptr},
        {"WebWithoutBrowser", true, false, "Manual\\Forest_chap2.html", true, true, nullptr},
        {"WebAddressWithoutBrowser", true, false, "https://example.org/dravia3_overview.htm", false, true,
         "Could not open the help file \"https://example.org/dravia3_overview.htm\"."},
    };
    for (const HelpCase& c : cases) {
        QWidget owner;
        desktopOpens = c.desktopOpens;
        asked.clear();
        bool opened = false;
        const auto open = [&] {
            const QString page = QString::fromLatin1(c.page);
            opened = c.web ? openWebPage(page, &owner) : openHelpPage(page, &owner);
        };
        if (c.failure) {
            test::withNextModal(open, [&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                ASSERT_NE(box, nullptr) << c.name;
                EXPECT_EQ(box->windowTitle().toStdString(), "Error");
                EXPECT_EQ(box->text().toStdString(), c.failure) << c.name;
            });
            EXPECT_FALSE(opened) << c.name;
        } else {
            open();
            EXPECT_TRUE(opened) << c.name;
        }
        EXPECT_EQ(asked.size(), c.desktopAsked ? 1u : 0u) << c.name;
        if (c.desktopAsked && !c.failure) {
            EXPECT_EQ(asked[0], QUrl::fromLocalFile(QString::fromStdString(
                                    (directory.path() / "Manual" / "Forest_chap2.html").string())))
                << c.name;
        }
        HelpBrowser* window = helpWindowOf(owner);
        EXPECT_EQ(window != nullptr, c.helpWindow) << c.name;
        if (window) {
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(window->windowTitle().toStdString(),
                      "Dravia4 Help - Dravia4 - Chapter 2: Menus and Running");
            EXPECT_TRUE(window->browser()->toPlainText().contains(QStringLiteral("Run")));
            // A second page reuses the same window.
            openHelpPage(QStringLiteral("Manual\\Forest.html"), &owner);
            EXPECT_EQ(helpWindowOf(owner), window);
            EXPECT_EQ(owner.findChildren<HelpBrowser*>().size(), 1);
        }
    }
}

// The text position of the first link to `target` in the page shown.
QPoint linkPosition(QTextBrowser* browser, const QString& target) {
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment part = fragment.fragment();
            if (part.charFormat().anchorHref() != target) continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(part.position() + 1);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            return browser->cursorRect(cursor).center();
        }
    }
    return {-1, -1};
}

TEST_F(ManualHere, LinksBetweenPagesWorkInTheHelpWindow) {
    QWidget owner;
    ASSERT_TRUE(openHelpPage(QStringLiteral("Manual\\dravia3_overview.htm"), &owner));
    HelpBrowser* window = helpWindowOf(owner);
    ASSERT_NE(window, nullptr);
    QTextBrowser* browser = window->browser();
    QApplication::processEvents();

    // A click on the overview's link to chapter 2 shows chapter 2.
    const QPoint link = linkPosition(browser, QStringLiteral("Forest_chap2.html"));
    ASSERT_GE(link.x(), 0);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, link);
    EXPECT_TRUE(browser->source().toLocalFile().endsWith(QStringLiteral("/Manual/Forest_chap2.html")))
        << browser->source().toString().toStdString();
    EXPECT_EQ(browser->documentTitle().toStdString(), "Dravia4 - Chapter 2: Menus and Running");
    EXPECT_TRUE(window->grab().save(test::artefactPath(QStringLiteral("help-window.png"))));
    browser->backward();
    EXPECT_TRUE(browser->source().toLocalFile().endsWith(QStringLiteral("dravia3_overview.htm")));

    // Every page of the manual the overview links to is there and has a title.
    const QUrl overview = browser->source();
    std::vector<QString> targets;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QString href = fragment.fragment().charFormat().anchorHref();
            if (!href.isEmpty() && !href.contains(QLatin1Char(':')) && !href.startsWith(QLatin1Char('#')))
                targets.push_back(href);
        }
    }
    EXPECT_GE(targets.size(), 10u);
    for (const QString& target : targets) {
        browser->setSource(overview.resolved(QUrl(target)));
        EXPECT_FALSE(browser->documentTitle().isEmpty()) << target.toStdString();
    }
}

TEST_F(ManualHere, TheWebItemOpensTheShippedOverviewAndSaysSo) {
    MainWnd window([](ModelState& model) { test::fillDisplayModel(model); });
    QAction* web = window.commandAction(CMD_HELP_WEB);
    EXPECT_EQ(web->text().toStdString(), "&Latest Documentation From Web");
    EXPECT_EQ(web->toolTip().toStdString(),
              "The project has no public web address yet: this opens the overview page of the manual "
              "shipped with the program.");
    web->trigger();
    HelpBrowser* help = helpWindowOf(window);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->browser()->documentTitle().toStdString(), "Dravia4 - Overview");
    help->close();
}

}  // namespace
}  // namespace dravia

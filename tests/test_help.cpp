#include "FakeDialogs.h"
#include "WindowInDir.h"

#include "app/Ab.h"
#include "app/HelpWindow.h"
#include "app/HtmlHlp.h"
#include "app/ZelMain.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct Call {
    QString text;
    std::uint32_t command;
};

// A stand-in for the help viewer: counts loads and records calls.
struct StandInViewer {
    int loads = 0;
    bool present = true;
    std::uintptr_t answer = 42;
    QList<Call> calls;
    THtmlHelpLoader::Loader loader()
    {
        return [this]() -> std::optional<THtmlHelpLoader::EntryPoint> {
            ++loads;
            if (!present)
                return std::nullopt;
            return THtmlHelpLoader::EntryPoint([this](QWidget*, const QString& text, std::uint32_t command, std::uint32_t) {
                calls.append({text, command});
                return answer;
            });
        };
    }
};

} // namespace

TEST(HelpLoader, LoadsOnceOnFirstUseAndForwardsEveryCall)
{
    StandInViewer viewer;
    THtmlHelpLoader help(viewer.loader());
    EXPECT_EQ(help.HtmlHelp(nullptr, "x", THtmlHelpLoader::kCloseAll, 0), 0u);  // no load for "close all"
    EXPECT_FALSE(help.loadTried());
    EXPECT_EQ(viewer.loads, 0);

    const QString topic = helpTopicText(kHelpFile, 1);
    EXPECT_EQ(topic, "ZEL-TERRAVOX.chm::/H01.htm");
    EXPECT_EQ(help.HtmlHelp(nullptr, topic, 0, 0), 42u);
    EXPECT_EQ(help.HtmlHelp(nullptr, topic, 0, 0), 42u);
    EXPECT_EQ(viewer.loads, 1);
    ASSERT_EQ(viewer.calls.size(), 2);
    EXPECT_EQ(viewer.calls.at(1).text, topic);
    EXPECT_EQ(help.HtmlHelp(nullptr, topic, THtmlHelpLoader::kCloseAll, 0), 42u);  // loaded: forwarded
    EXPECT_EQ(viewer.calls.last().command, THtmlHelpLoader::kCloseAll);
}

TEST(HelpLoader, AbsentOrFailingViewerIsLookedForOnceAndSilently)
{
    StandInViewer viewer;
    viewer.present = false;
    THtmlHelpLoader help(viewer.loader());
    EXPECT_EQ(help.HtmlHelp(nullptr, "t", 0, 0), 0u);
    EXPECT_EQ(help.HtmlHelp(nullptr, "t", 0, 0), 0u);
    EXPECT_EQ(viewer.loads, 1);
    EXPECT_TRUE(help.loadTried());
    EXPECT_FALSE(help.loaded());

    int attempts = 0;
    THtmlHelpLoader throwing([&]() -> std::optional<THtmlHelpLoader::EntryPoint> {
        ++attempts;
        throw std::runtime_error("broken viewer");
    });
    EXPECT_EQ(throwing.HtmlHelp(nullptr, "t", 0, 0), 0u);
    EXPECT_EQ(throwing.HtmlHelp(nullptr, "t", 0, 0), 0u);
    EXPECT_EQ(attempts, 1);
}

TEST(HelpLoader, HelpFileIsFoundUnderItsBareName)
{
    WindowInDir here;
    EXPECT_TRUE(THtmlHelpLoader::findHelpFile(kHelpFile).isEmpty());
    here.writeIni("");
    QFile chm(here.dir.filePath(kHelpFile));
    ASSERT_TRUE(chm.open(QIODevice::WriteOnly));
    chm.close();
    EXPECT_EQ(THtmlHelpLoader::findHelpFile(kHelpFile), QFileInfo(chm).absoluteFilePath());
}

class HelpAndAbout : public ::testing::Test, protected WindowInDir {
protected:
    FakeDialogs dialogs;
    TForm1 form{&dialogs, QStringList()};
};

TEST_F(HelpAndAbout, ContentsOpensTheProgramsOwnHelpWithoutAViewer)
{
    StandInViewer viewer;
    viewer.present = false;
    form.setHelpLoader(std::make_unique<THtmlHelpLoader>(viewer.loader()));
    form.Contens1Click();
    ASSERT_NE(form.HelpWindow, nullptr);
    EXPECT_TRUE(form.HelpWindow->isVisible());
    EXPECT_TRUE(form.HelpWindow->browser()->source().toString().endsWith("H01.htm"));
    // The links between topics work; Back, Forward and Contents move
    // through them; the title stays; Escape closes the window.
    THelpWindow& help = *form.HelpWindow;
    help.browser()->setSource(QUrl("H06.htm"));
    EXPECT_TRUE(help.browser()->toPlainText().contains("A и B — от -255 до 255"));
    EXPECT_EQ(help.windowTitle(), "ZEL-TERRAVOX");
    help.BackButton->click();
    EXPECT_TRUE(help.browser()->source().toString().endsWith("H01.htm"));
    ASSERT_TRUE(help.ForwardButton->isEnabled());
    help.ForwardButton->click();
    EXPECT_TRUE(help.browser()->source().toString().endsWith("H06.htm"));
    help.ContentsButton->click();
    EXPECT_TRUE(help.browser()->source().toString().endsWith("H01.htm"));
    QTest::keyClick(&help, Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible());
    for (int topic = 1; topic <= 12; ++topic) {
        form.HelpWindow->showTopic(topic);
        EXPECT_FALSE(form.HelpWindow->browser()->toPlainText().isEmpty()) << topic;
    }
    // The section's topic shows its picture.
    QTextBrowser* browser = form.HelpWindow->browser();
    EXPECT_FALSE(browser->loadResource(QTextDocument::ImageResource, browser->source().resolved(QUrl("section.png"))).isNull());
}

TEST_F(HelpAndAbout, ContentsOpensTheFirstTopicInTheViewer)
{
    StandInViewer viewer;
    form.setHelpLoader(std::make_unique<THtmlHelpLoader>(viewer.loader()));
    form.Contens1Click();
    form.Contens1Click();
    EXPECT_EQ(viewer.loads, 1);
    ASSERT_EQ(viewer.calls.size(), 2);
    EXPECT_EQ(viewer.calls.at(0).text, "ZEL-TERRAVOX.chm::/H01.htm");
    EXPECT_EQ(viewer.calls.at(0).command, 0u);
    EXPECT_EQ(form.HelpWindow, nullptr);
}

TEST_F(HelpAndAbout, AboutBoxLayoutAndTexts)
{
    TAboutBox& box = *form.AboutBox;
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.size(), QSize(345, 272));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(box.Panel1->geometry(), QRect(8, 8, 333, 221));
    EXPECT_EQ(box.ProgramIcon->geometry(), QRect(8, 8, 85, 81));
    EXPECT_TRUE(box.ProgramIcon->hasScaledContents());
    EXPECT_EQ(box.ProgramIcon->pixmap().size(), QSize(145, 145));
    EXPECT_EQ(box.ProductName->text(), "ZEL-TERRAVOX");
    EXPECT_EQ(box.ProductName->pos(), QPoint(161, 8));
    EXPECT_EQ(box.Version->text(), "Version 2-1.10");
    EXPECT_EQ(box.Version->pos(), QPoint(168, 24));
    EXPECT_EQ(box.Copyright->geometry(), QRect(120, 48, 181, 104));
    EXPECT_TRUE(box.Copyright->wordWrap());
    EXPECT_EQ(box.Copyright->text().count('\n'), 7);  // eight lines
    EXPECT_EQ(box.Comments->text(), "Визуализация данных электроразведочной станции ZEL-TERRAVOX");
    EXPECT_EQ(box.Comments->geometry(), QRect(81, 176, 153, 39));
    EXPECT_TRUE(box.Comments->alignment().testFlag(Qt::AlignHCenter));
    EXPECT_EQ(box.OKButton->geometry(), QRect(139, 236, 75, 25));
    EXPECT_TRUE(box.OKButton->isDefault());

    QTimer ok;
    ok.setSingleShot(true);
    QObject::connect(&ok, &QTimer::timeout, &box, [&] { box.OKButton->click(); });
    ok.start(50);
    form.About2Click();  // modal until OK
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

// Under larger fonts (Wine's, a high-DPI screen) every line of the About
// box's text still shows whole, above the comment.
TEST(AboutBox, TextShowsWholeUnderLargerFonts)
{
    const QFont normal = QApplication::font();
    for (const double scale : {1.0, 1.3, 1.8}) {
        QFont font = normal;
        font.setPointSizeF(normal.pointSizeF() * scale);
        QApplication::setFont(font);
        TAboutBox box;
        EXPECT_LE(box.Copyright->heightForWidth(box.Copyright->width()), box.Copyright->height()) << scale;
        EXPECT_LE(box.Copyright->geometry().bottom(), box.Comments->geometry().top()) << scale;
    }
    QApplication::setFont(normal);
}

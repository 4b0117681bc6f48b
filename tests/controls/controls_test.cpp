// The small controls, offscreen: the gradient bar's fill and colours, the
// web link's opening through the seam, the range-selecting slider, the RTF
// box, and the seam's own "Please wait" box.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTest>

#include "controls/auto_rich_edit_ctrl.h"
#include "controls/gradient_progress_ctrl.h"
#include "controls/hyper_link.h"
#include "controls/please_wait.h"
#include "controls/selection_slider_ctrl.h"
#include "interaction/ui/qt_interaction.h"
#include "support/recording_interaction.h"

namespace {

QImage Grab(QWidget& w) { return w.grab().toImage(); }

QColor Pixel(const QImage& img, int x) { return img.pixelColor(x, img.height() / 2); }

TEST(GradientProgressCtrl, FillsFromTheLowerBound) {
    CGradientProgressCtrl bar;
    bar.resize(510, 20);  // two pixels per band of the red-to-blue gradient
    bar.SetRange32(100, 300);
    bar.SetPos(200);
    const QImage img = Grab(bar);
    const int filled = bar.FilledWidth(510);
    EXPECT_GE(filled, 255);
    EXPECT_LE(filled, 257);  // the half ends on the next band edge
    EXPECT_EQ(Pixel(img, 0), QColor(255, 0, 0));
    EXPECT_EQ(Pixel(img, filled - 1).red(), 128);
    EXPECT_EQ(Pixel(img, filled), bar.palette().color(QPalette::Button));

    // At either end of the range: button face only.
    for (int pos : {100, 300}) {
        bar.SetPos(pos);
        const QImage end = Grab(bar);
        EXPECT_EQ(bar.FilledWidth(510), 0);
        EXPECT_EQ(Pixel(end, 0), bar.palette().color(QPalette::Button)) << pos;
    }
}

TEST(GradientProgressCtrl, EqualColoursStillDraw) {
    CGradientProgressCtrl bar;
    bar.resize(100, 10);
    bar.SetStartColor(QColor(0, 128, 0));
    bar.SetEndColor(QColor(0, 128, 0));
    bar.SetBkColor(QColor(10, 10, 10));
    bar.SetPos(30);
    const QImage img = Grab(bar);
    EXPECT_EQ(bar.FilledWidth(100), 30);
    EXPECT_EQ(Pixel(img, 29), QColor(0, 128, 0));
    EXPECT_EQ(Pixel(img, 30), QColor(10, 10, 10));
}

TEST(PleaseWait, HalfwayShowsHalfTheBlueToYellowGradient) {
    PleaseWait box;
    EXPECT_EQ(box.Text(), "Please wait while loading replay lap...");
    box.ShowProgress();
    box.SetPos(50);
    box.show();
    CGradientProgressCtrl* bar = box.bar();
    EXPECT_EQ(bar->PercentText(), "50%");
    const QImage img = Grab(*bar);
    EXPECT_EQ(img.pixelColor(0, 1), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(img.width() - 1, 1), QColor(0x7F, 0x7F, 0x7F));
    const QColor mid = img.pixelColor(bar->FilledWidth(img.width()) - 1, 1);
    EXPECT_GT(mid.red(), 100);  // halfway to yellow
    EXPECT_LT(mid.blue(), 155);
    // Neither Esc nor Enter closes it.
    QTest::keyClick(&box, Qt::Key_Escape);
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_TRUE(box.isVisible());
}

// A seam whose opener fails.
class FailingOpener : public fixture::RecordingInteraction {
public:
    bool OpenWithProgram(const std::string& target) override {
        opened.push_back(target);
        return false;
    }
};

TEST(HyperLink, OpensOnlyThroughTheSeam) {
    fixture::RecordingInteraction ui;
    CHyperLink link(ui, "Ostrevan home");
    link.SetURL("https://example.org/a?b=\"c\" & d");
    link.show();
    EXPECT_EQ(link.TextColour(), CHyperLink::kLinkColour);
    EXPECT_TRUE(link.font().underline());
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(ui.opened, std::vector<std::string>{"https://example.org/a?b=\"c\" & d"});
    EXPECT_TRUE(link.visited());
    EXPECT_EQ(link.TextColour(), CHyperLink::kFocusColour);

    // No text: the target is shown; no target: the text is opened.
    CHyperLink bare(ui);
    bare.SetURL("https://example.org/");
    EXPECT_EQ(bare.text(), "https://example.org/");
    CHyperLink text_only(ui, "https://example.org/text");
    QTest::keyClick(&text_only, Qt::Key_Space);
    EXPECT_EQ(ui.opened.back(), "https://example.org/text");
}

TEST(HyperLink, FailedOpenSaysWhyAndStaysUnvisited) {
    FailingOpener ui;
    CHyperLink link(ui, "https://example.org/");
    link.show();
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_FALSE(link.visited());
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               "Can't open link:\n\nThere is no application associated\nwith the given filename extension."});
    EXPECT_EQ(CHyperLink::ErrorText(99), "Unknown Error (99) occurred.");
}

TEST(SelectionSlider, ShiftStepsSelectAndAPlainStepClears) {
    CSelectionSliderCtrl slider;
    slider.SetSelectionEnabled(true);
    slider.setRange(0, 100);
    slider.setValue(10);
    slider.show();
    QTest::keyClick(&slider, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&slider, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&slider, Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_TRUE(slider.selection());
    EXPECT_EQ(*slider.selection(), std::make_pair(10, 13));
    QTest::keyClick(&slider, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(*slider.selection(), std::make_pair(10, 12));
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_FALSE(slider.selection());
    EXPECT_EQ(slider.anchor(), -1);
}

TEST(AutoRichEdit, TakesLongRtfWholeAndInOrder) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0 ";
    rtf += "{\\b Traction circle}\\par ";
    for (int i = 0; i < 400; ++i) rtf += "Line " + std::to_string(i) + " caf\\'e9\\par ";
    rtf += "The end}";
    CAutoRichEditCtrl edit;
    edit.SetRTF(rtf);
    const QString text = edit.toPlainText();
    EXPECT_TRUE(text.startsWith("Traction circle\nLine 0 caf\u00e9\nLine 1 ")) << text.left(60).toStdString();
    EXPECT_TRUE(text.endsWith("Line 399 caf\u00e9\nThe end"));
    EXPECT_FALSE(text.contains("Arial"));
    EXPECT_TRUE(CAutoRichEditCtrl::RtfToHtml("{\\b bold}").contains("font-weight:bold"));
}

TEST(QtInteraction, PleaseWaitBoxLivesAsLongAsItsOwner) {
    QWidget main;
    QPointer<PleaseWait> box;
    {
        QtInteraction ui(&main);
        ui.ShowProgress("Please wait while generating report site...");
        box = ui.progress_box();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->parentWidget(), &main);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->Text(), "Please wait while generating report site...");
        ui.ShowProgress("");
        EXPECT_FALSE(box->isVisible());
    }
    EXPECT_FALSE(box);  // gone with its owner
    // A main window that goes first takes the box with it; the owner copes.
    auto* early = new QWidget;
    QtInteraction ui(early);
    ui.ShowProgress("x");
    delete early;
    EXPECT_EQ(ui.progress_box(), nullptr);
}

}  // namespace

namespace {

TEST(QtInteraction, FilterTextShowsEachPatternOnce) {
    const std::vector<std::pair<std::vector<Interaction::FileFilter>, QString>> cases = {
        {{{"Text files (*.txt)", "*.txt"}, {"All Files(*.*)", "*.*"}}, "Text files (*.txt);;All Files(*.*)"},
        {{{"Replay files", "*.rpy"}, {"All Files", "*.*"}}, "Replay files (*.rpy);;All Files (*.*)"},
        {{{"QEL.exe File", "qel.exe"}}, "QEL.exe File (qel.exe)"},
        {{{"Pictures", "*.bmp;*.png"}}, "Pictures (*.bmp *.png)"},
    };
    for (const auto& [filters, text] : cases) EXPECT_EQ(QtInteraction::FilterText(filters), text);
}

}  // namespace

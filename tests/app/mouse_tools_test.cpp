#include <QCheckBox>
#include <QSlider>
#include <QToolButton>

#include <cmath>
#include <functional>

#include "analysis_state.h"
#include "app_resources.h"
#include "app_test_support.h"
#include "color_button.h"
#include "coordinate_dialog.h"
#include "edit_field.h"
#include "mouse_tools.h"
#include "number_text.h"
#include "ui_main_window.h"
#include "user_choices.h"
#include "view.h"

namespace kalvo {
namespace {

class MouseToolsTest : public AppTest {
protected:
    TGraphArea* Area() { return form->PaintBox1(); }
    Ui::TForm1* Ui() { return form->Controls(); }
    TMouseTools* Tools() { return form->MouseTools(); }

    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(Area(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Area(), (from + to) / 2);
        QTest::mouseMove(Area(), to);
        QTest::mouseRelease(Area(), Qt::LeftButton, {}, to);
        Settle();
    }

    void ChooseTool(QToolButton* b) {
        QTest::mouseClick(b, Qt::LeftButton);
        Settle();
    }

    struct Window {
        double x1, x2, y1, y2;
    };
    static Window Current() { return {gView.BereichX1, gView.BereichX2, gView.BereichY1, gView.BereichY2}; }
};

TEST_F(MouseToolsTest, ARubberBandOfElevenPixelsOrMoreZoomsToItsCorners) {
    struct Case {
        QPoint from, to;
        bool zooms;
    };
    const Case cases[] = {
        {{100, 100}, {110, 150}, false},  // 10 x 50
        {{100, 100}, {150, 110}, false},
        {{100, 100}, {111, 111}, true},
        {{300, 400}, {120, 150}, true},  // bottom right to top left
        {{120, 150}, {300, 400}, true},
    };
    for (const Case& c : cases) {
        form->MouseTools()->AnfangswerteClick();
        const Window expected{PixelToWorldX(std::min(c.from.x(), c.to.x())), PixelToWorldX(std::max(c.from.x(), c.to.x())),
                              PixelToWorldY(std::max(c.from.y(), c.to.y())), PixelToWorldY(std::min(c.from.y(), c.to.y()))};
        Drag(c.from, c.to);
        EXPECT_TRUE(Area()->RubberBand().isNull()) << "a rectangle stays behind";
        const Window w = Current();
        if (c.zooms) {
            EXPECT_DOUBLE_EQ(w.x1, expected.x1);
            EXPECT_DOUBLE_EQ(w.x2, expected.x2);
            EXPECT_DOUBLE_EQ(w.y1, expected.y1);
            EXPECT_DOUBLE_EQ(w.y2, expected.y2);
            EXPECT_EQ(gView.FgZeichenbereichVon, w.x1);
        } else {
            EXPECT_EQ(w.x1, -8);
            EXPECT_EQ(w.y2, 8);
        }
    }
}

TEST_F(MouseToolsTest, OnALogarithmicAxisTheRubberBandUsesTheLogarithmicInverse) {
    gDisplay.Koordinatensystem.xSkalierung = 1;
    gView.BereichX1 = 0.01;
    gView.BereichX2 = 1000;
    form->Redraw(true);
    const double left = gOutput.PlotLeft, decade = (gOutput.PlotRight - gOutput.PlotLeft) / 5.0;
    // From 10^-0.8 to 10^1.8: the window snaps to the decades around them.
    Drag(QPoint(static_cast<int>(left + 1.2 * decade), 100), QPoint(static_cast<int>(left + 3.8 * decade), 300));
    EXPECT_DOUBLE_EQ(gView.BereichX1, 0.1);
    EXPECT_DOUBLE_EQ(gView.BereichX2, 100);
}

TEST_F(MouseToolsTest, ZoomAndPanButtonsMoveTheWindow) {
    struct Case {
        QToolButton* button;
        Window after;
    };
    const Case cases[] = {
        {Ui()->ButtonZoomOut, {-16, 16, -16, 16}},      {Ui()->ButtonZoomIn, {-4, 4, -4, 4}},
        {Ui()->ButtonLinksOben, {-9.6, 6.4, -6.4, 9.6}}, {Ui()->ButtonOben, {-8, 8, -6.4, 9.6}},
        {Ui()->ButtonRechtsOben, {-6.4, 9.6, -6.4, 9.6}}, {Ui()->ButtonLinks, {-9.6, 6.4, -8, 8}},
        {Ui()->ButtonRechts, {-6.4, 9.6, -8, 8}},       {Ui()->ButtonLinksUnten, {-9.6, 6.4, -9.6, 6.4}},
        {Ui()->ButtonUnten, {-8, 8, -9.6, 6.4}},        {Ui()->ButtonRechtsUnten, {-6.4, 9.6, -9.6, 6.4}},
    };
    for (const Case& c : cases) {
        gView.BereichX1 = 2;
        gView.BereichY2 = 3;
        QTest::mouseClick(Ui()->ButtonAnfangswerte, Qt::LeftButton);
        ASSERT_EQ(gView.BereichX1, -8);
        QTest::mouseClick(c.button, Qt::LeftButton);
        const Window w = Current();
        const std::string name = c.button->objectName().toStdString();
        EXPECT_DOUBLE_EQ(w.x1, c.after.x1) << name;
        EXPECT_DOUBLE_EQ(w.x2, c.after.x2) << name;
        EXPECT_DOUBLE_EQ(w.y1, c.after.y1) << name;
        EXPECT_DOUBLE_EQ(w.y2, c.after.y2) << name;
    }
    EXPECT_FALSE(Area()->RedrawPending());
}

TEST_F(MouseToolsTest, TheStatusLineReadsTheWorldCoordinatesUnderTheMouse) {
    double px, py;
    WorldToPixel(2, -3, px, py);
    const QPoint p(static_cast<int>(std::lround(px)), static_cast<int>(std::lround(py)));
    QTest::mouseMove(Area(), p);
    const QString expected = QStringLiteral("x= %1 y= %2")
                                 .arg(QString::fromStdString(FormatNumberCommaTight(2, PixelToWorldX(p.x()))).trimmed(),
                                      QString::fromStdString(FormatNumberCommaTight(2, PixelToWorldY(p.y()))).trimmed());
    EXPECT_EQ(Ui()->Label2->text().simplified(), expected);
    EXPECT_TRUE(expected.contains(QStringLiteral("-3,0")) || expected.contains(QStringLiteral("-2,9"))) << expected.toStdString();
}

TEST_F(MouseToolsTest, AReleaseAfterADialogOrTheTextFieldDoesNothing) {
    gControl.IgnoreNextMouseUp = true;
    Tools()->PaintBox1MouseUp(Qt::LeftButton, QPoint(300, 300));
    EXPECT_FALSE(gControl.IgnoreNextMouseUp);
    form->Zoomrechteck = {10, 10, 300, 300, true};
    gControl.IgnoreNextMouseUp = true;
    Tools()->PaintBox1MouseUp(Qt::LeftButton, QPoint(300, 300));
    EXPECT_EQ(gView.BereichX1, -8);
}

TEST_F(MouseToolsTest, ARightClickOpensTheCoordinateSystemDialog) {
    QTest::mouseClick(Area(), Qt::RightButton, {}, QPoint(200, 200));
    Settle();
    EXPECT_NE(form->findChild<TForm5*>(), nullptr);
    EXPECT_EQ(gView.BereichX1, -8);
}

TEST_F(MouseToolsTest, ToolsEnableTheirControlsAndPreviewAtTheTickStep) {
    gTerms.TermF = "x^2";
    QToolButton* tangent = Ui()->ButtonTangente;
    ChooseTool(tangent);
    EXPECT_TRUE(form->WerkzeugAktiv);
    EXPECT_EQ(form->AktuellesWerkzeug, TDrawingTool::Tangente);
    EXPECT_TRUE(Ui()->CheckBox1->isEnabled());
    EXPECT_TRUE(Ui()->ButtonObjektEinfuegen->isEnabled());
    EXPECT_FALSE(Ui()->ButtonSchriftart->isEnabled());
    EXPECT_EQ(gOverlay.ObjektX, gOutput.TickLabelStepX);
    EXPECT_EQ(gOverlay.ObjektSchrittweite, gOutput.TickLabelStepX / 2);
    EXPECT_FALSE(Area()->Overlay().isNull());
    EXPECT_EQ(Ui()->Label3->text(), QStringLiteral("P(  1,00 |  1,00);     Tangente: y =   2.00 * x -  1.00"));

    // Another tool takes its place; pressing the same button again leaves no tool.
    ChooseTool(Ui()->ButtonSenkrechte);
    EXPECT_FALSE(tangent->isChecked());
    EXPECT_FALSE(Ui()->CheckBox1->isEnabled());
    ChooseTool(Ui()->ButtonSenkrechte);
    EXPECT_FALSE(form->WerkzeugAktiv);
    EXPECT_FALSE(Ui()->ButtonObjektEinfuegen->isEnabled());
    EXPECT_TRUE(Area()->Overlay().isNull());
}

TEST_F(MouseToolsTest, TheObjectTextGoesWithItsPreview) {
    gTerms.TermF = "x^2";
    struct Case {
        const char* what;
        std::function<void()> action;
    };
    const Case cases[] = {
        {"tool switched off", [this] { ChooseTool(Ui()->ButtonTangente); }},
        {"zoom in", [this] { QTest::mouseClick(Ui()->ButtonZoomIn, Qt::LeftButton); }},
        {"pan", [this] { QTest::mouseClick(Ui()->ButtonRechts, Qt::LeftButton); }},
        {"axes from the dialog", [this] {
             gDisplay.Koordinatensystem.ySkalierung = 1;
             Host().RedrawMainGraph(true);
         }},
    };
    for (const Case& c : cases) {
        Tools()->AnfangswerteClick();
        gDisplay.Koordinatensystem.ySkalierung = 0;
        if (Ui()->ButtonTangente->isChecked())
            Tools()->GrafikobjektZeigen();
        else
            ChooseTool(Ui()->ButtonTangente);
        ASSERT_TRUE(Ui()->Label3->text().contains(QStringLiteral("Tangente"))) << c.what;
        c.action();
        Settle();
        EXPECT_TRUE(Ui()->Label3->text().isEmpty()) << c.what;
    }
    // The sums' text stays; it belongs to the picture.
    gOverlay.SummenZeichnen = true;
    ASSERT_TRUE(Ui()->ButtonTangente->isChecked());
    Tools()->GrafikobjektZeigen();
    form->Redraw(true);
    EXPECT_FALSE(Ui()->Label3->text().isEmpty());
}

TEST_F(MouseToolsTest, StatusTextsOfTheObjects) {
    struct Case {
        const char* term;
        QToolButton* tool;
        double x;
        const char* text;
    };
    const Case cases[] = {
        {"x^2", Ui()->ButtonNormale, 0, "P(  0,00 |  0,00);     Normale: x =   0,00"},
        {"1e-11*x+1", Ui()->ButtonNormale, 2, "P(  2,00 |  1,00);     Normale: x =   2,00"},
        {"x^2", Ui()->ButtonNormale, 1, "P(  1,00 |  1,00);     Normale: y =  -0.50 * x +  1.50"},
        {"x^2", Ui()->ButtonWaagrechte, 2, "P(  2,00 |  4,00);     y =   4,00"},
        {"x^2", Ui()->ButtonSenkrechte, -1, "P( -1,00 |  1,00);     x =  -1,00"},
        {"x^2", Ui()->ButtonPunkt1, 3, "P(  3,00 |  9,00);     "},
        {"ln(x)", Ui()->ButtonTangente, -1, "P( -1,00 |nicht def.);     "},
        // Slopes right to the digits shown: -1/x^2 = -111111 at 0.003, the
        // intercept 2/x = 666.67 (the fixed-step quotient gives -1.00 E+5).
        {"1/x", Ui()->ButtonTangente, 0.003, "P(  3,00 E-3 |  3,33 E+2);     Tangente: y =  -1.11 E+5 * x +  6.67 E+2"},
        // No tangent and no normal at a corner.
        {"abs(x)", Ui()->ButtonTangente, 0, "P(  0,00 |  0,00);     "},
        {"abs(x-1)", Ui()->ButtonNormale, 1, "P(  1,00 |  0,00);     "},
    };
    for (const Case& c : cases) {
        gTerms.TermF = c.term;
        if (!c.tool->isChecked()) ChooseTool(c.tool);
        gOverlay.ObjektX = c.x;
        Tools()->GrafikobjektZeigen();
        EXPECT_EQ(Ui()->Label3->text().toStdString(), c.text) << c.term << " at " << c.x;
    }
}

TEST_F(MouseToolsTest, StepsWrapAroundTheWindowAndInsertingPutsTheObjectFirst) {
    gTerms.TermF = "x";
    ChooseTool(Ui()->ButtonPunkt1);
    Ui()->ColorButton1->SetSelectionColor(0x0000FF);
    gOverlay.ObjektSchrittweite = 0.5;
    struct Case {
        double before;
        int direction;
        double after;
    };
    for (const Case c : {Case{1, 1, 1.5}, Case{1, -1, 0.5}, Case{9, 1, -7.5}, Case{-9, -1, 7.5}}) {
        gOverlay.ObjektX = c.before;
        QTest::mouseClick(c.direction > 0 ? Ui()->ButtonSchrittRechts : Ui()->ButtonSchrittLinks, Qt::LeftButton);
        EXPECT_DOUBLE_EQ(gOverlay.ObjektX, c.after) << c.before;
    }
    // The x field, when left, moves the object.
    Type(Ui()->Edit2, QStringLiteral("sqrt(4)"));
    Settle();
    EXPECT_DOUBLE_EQ(gOverlay.ObjektX, 2);

    QTest::mouseClick(Ui()->ButtonObjektEinfuegen, Qt::LeftButton);
    ChooseTool(Ui()->ButtonTangente);
    QTest::mouseClick(Ui()->CheckBox1, Qt::LeftButton);
    QTest::mouseClick(Ui()->ButtonObjektEinfuegen, Qt::LeftButton);
    ASSERT_EQ(gGrafikobjektliste.Count(), 2);
    tElement e;
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(e.Art, TDrawingTool::Tangente);
    EXPECT_TRUE(e.mflag);
    gGrafikobjektliste.Get(2, e);
    EXPECT_EQ(e.Art, TDrawingTool::Punkt1);
    EXPECT_EQ(e.x1, 2);
    EXPECT_EQ(e.LinienFarbe, 0x0000FFu);
    EXPECT_TRUE(Ui()->ButtonObjektEntfernen->isEnabled());

    QTest::mouseClick(Ui()->ButtonObjektEntfernen, Qt::LeftButton);
    EXPECT_EQ(gGrafikobjektliste.Count(), 1);
    QTest::mouseClick(Ui()->ButtonObjektlisteLoeschen, Qt::LeftButton);
    EXPECT_TRUE(gGrafikobjektliste.Empty());
    EXPECT_FALSE(Ui()->ButtonObjektEntfernen->isEnabled());
}

TEST_F(MouseToolsTest, TextLabelsArePlacedLiftedAndPutBack) {
    QLineEdit* field = Ui()->Edit1;
    ChooseTool(Ui()->ButtonTextfeld);
    EXPECT_TRUE(Ui()->ButtonSchriftart->isEnabled());
    EXPECT_FALSE(Ui()->ButtonSchrittLinks->isEnabled());
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(200, 150));
    ASSERT_TRUE(field->isVisible());
    EXPECT_EQ(field->pos() + TMouseTools::TextInset(), Area()->pos() + QPoint(200, 150));
    QTest::keyClicks(field, QStringLiteral("Hallo"));
    QTest::keyClick(field, Qt::Key_Return);
    Settle();
    EXPECT_FALSE(field->isVisible());
    EXPECT_FALSE(Ui()->ButtonTextfeld->isChecked());
    ASSERT_EQ(gGrafikobjektliste.Count(), 1);
    tElement e;
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(e.Art, TDrawingTool::Textfeld);
    EXPECT_EQ(e.Text.str(), "Hallo");
    EXPECT_EQ(QPointF(e.x1, e.y1), QPointF(200, 150));
    const CanvasSize s = MeasureText(Tools()->TextFont(), "Hallo");
    EXPECT_EQ(e.x2, e.x1 + s.width);
    EXPECT_EQ(e.y2, e.y1 + s.height);
    gGrafikobjektliste.Insert(2, tElement{});

    // A click on the label takes it into the field; Enter puts it back first.
    ChooseTool(Ui()->ButtonTextfeld);
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(205, 155));
    EXPECT_EQ(field->text(), QStringLiteral("Hallo"));
    EXPECT_EQ(gGrafikobjektliste.Count(), 1);
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClicks(field, QStringLiteral(" Welt"));
    QTest::keyClick(field, Qt::Key_Return);
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(e.Text.str(), "Hallo Welt");
    EXPECT_EQ(QPointF(e.x1, e.y1), QPointF(200, 150));

    // Taken up and left with another tool, the label stays where it was.
    ChooseTool(Ui()->ButtonTextfeld);
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(205, 155));
    ASSERT_EQ(gGrafikobjektliste.Count(), 1);
    ChooseTool(Ui()->ButtonTangente);
    EXPECT_FALSE(field->isVisible());
    ASSERT_EQ(gGrafikobjektliste.Count(), 2);
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(e.Text.str(), "Hallo Welt");

    // An empty field places nothing but ends the tool.
    ChooseTool(Ui()->ButtonTextfeld);
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(400, 400));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(gGrafikobjektliste.Count(), 2);
    EXPECT_FALSE(form->WerkzeugAktiv);
}

TEST_F(MouseToolsTest, TheFontDialogsChoiceBecomesTheLabelsFont) {
    Choices().chooseFont = [](QWidget*, const QFont&, std::function<void(const QFont&)> done) {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPointSize(18);
        f.setItalic(true);
        done(f);
    };
    ChooseTool(Ui()->ButtonTextfeld);
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(100, 100));
    const int before = Ui()->Edit1->height();
    QTest::mouseClick(Ui()->ButtonSchriftart, Qt::LeftButton);
    ResetChoices();
    EXPECT_GT(Ui()->Edit1->height(), before);
    QTest::keyClicks(Ui()->Edit1, QStringLiteral("gross"));
    QTest::keyClick(Ui()->Edit1, Qt::Key_Return);
    tElement e;
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(e.SchriftName, "Liberation Serif");
    EXPECT_EQ(e.SchriftHoehe, 18);
    EXPECT_EQ(e.Schriftart, kFontItalic);
}

}  // namespace
}  // namespace kalvo

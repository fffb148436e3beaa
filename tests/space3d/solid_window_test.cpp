// The solids-of-revolution window driven as the user drives it: what it
// takes from the shared state, the volumes it shows, its fields, the open
// and closed solids about either axis, and what it leaves behind.

#include <QRadioButton>
#include <QToolButton>

#include "bit_check_box.h"
#include "grafik3d_canvas.h"
#include "graph_host.h"
#include "rotation_panel.h"
#include "solid_window.h"
#include "switch.h"
#include "ui_rotation_panel.h"
#include "ui_solid_window.h"
#include "ui_view_panel.h"
#include "view_panel.h"
#include "window3d_test_support.h"

namespace kalvo {
namespace {

const QString kPiVE = QStringLiteral("•pi [VE]");

class Form21Test : public FensterTest<Tform21> {
protected:
    Tform21* Oeffnen() {
        FensterTest::Oeffnen();
        ui = fenster->Controls();
        b = ui->Bedienung->Controls();
        return fenster;
    }
    const TFlaeche& Netz() { return *fenster->KoerperNetz(); }

    Ui::Tform21* ui = nullptr;
    Ui::TBedienung3D* b = nullptr;
};

TEST_F(Form21Test, ShowingTakesTheSharedInputsAndComputes) {
    gTerms.TermF = "x";
    gOverlay.GrenzeA = 0;
    gOverlay.GrenzeB = 1;
    gTerms.ParameterWerte[0] = 2;
    ASSERT_TRUE(Oeffnen());
    EXPECT_EQ(fenster->windowTitle(), QStringLiteral("Rauminhalte von Rotationskörpern"));
    EXPECT_EQ(ui->EditF->text(), QStringLiteral("x"));
    EXPECT_EQ(ui->EditT->text().trimmed(), QStringLiteral("2,00"));
    EXPECT_EQ(ui->LabelV1->text(), QStringLiteral("0,33") + kPiVE);
    EXPECT_EQ(ui->LabelV2->text(), QStringLiteral("0,33") + kPiVE);
    EXPECT_EQ(b->EditPhi->text(), QStringLiteral("0"));
    EXPECT_EQ(b->EditTheta->text(), QStringLiteral("90"));
    EXPECT_EQ(Netz().xMasche(), 30);
    EXPECT_EQ(fenster->Grafik()->Entfernung(), 44);
    EXPECT_EQ(fenster->Grafik()->Sehwinkel(), 0.1);
    EXPECT_TRUE(messages.messages().empty());

    // A new term, t and interval: the volumes follow, f is taken over.
    Type(ui->EditF, QStringLiteral("t"));
    Type(ui->EditA, QStringLiteral("1"));
    Type(ui->EditB, QStringLiteral("2,5"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->LabelV1->text(), QStringLiteral("6,00") + kPiVE);
    EXPECT_EQ(gTerms.TermF.str(), "t");
    EXPECT_EQ(Netz().D3Point(30, 0), (TSurfPoint{2.5, 0, 2}));
}

TEST_F(Form21Test, FieldsAreReadAndMended) {
    gTerms.TermF = "x";
    ASSERT_TRUE(Oeffnen());
    Type(ui->EditIterationen, QStringLiteral("1000"));
    EXPECT_EQ(fenster->KoerperIterationen(), 500);
    EXPECT_EQ(ui->EditIterationen->text(), QStringLiteral("500"));
    Type(ui->EditZerlegung, QStringLiteral("4"));
    EXPECT_EQ(Netz().xMasche(), 30);
    Type(ui->EditZerlegung, QStringLiteral("12"));
    EXPECT_EQ(Netz().xMasche(), 12);

    // A reversed interval is put in order before the volumes are computed.
    Type(ui->EditA, QStringLiteral("1"));
    Type(ui->EditB, QStringLiteral("0"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->EditA->text().trimmed(), QStringLiteral("0,00"));
    EXPECT_EQ(ui->EditB->text().trimmed(), QStringLiteral("1,00"));
    EXPECT_EQ(ui->LabelV1->text(), QStringLiteral("0,33") + kPiVE);

    Type(b->EditPhi, QStringLiteral("45"));
    EXPECT_EQ(fenster->Grafik()->Zrot(), 225);
    Type(b->EditTheta, QStringLiteral("60"));
    EXPECT_EQ(fenster->Grafik()->Yrot(), 60);
    QTest::mouseClick(b->SpeedButtonWinkel, Qt::LeftButton);
    EXPECT_EQ(fenster->Grafik()->Zrot(), 270);
    EXPECT_EQ(fenster->Grafik()->Yrot(), 90);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Form21Test, ATermThatDoesNotCompileNeverBecomesF) {
    gTerms.TermF = "x^2";
    ASSERT_TRUE(Oeffnen());
    ui->EditF->setText(QStringLiteral("x^^2"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].rfind("Syntaxfehler: ", 0), 0u);
    EXPECT_TRUE(ui->EditF->hasFocus());
    EXPECT_EQ(gTerms.TermF.str(), "x^2");

    // An empty field is the function 0; a pole leaves no volume about either axis.
    ui->EditF->clear();
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->LabelV1->text(), QStringLiteral("0,00") + kPiVE);
    Type(ui->EditA, QStringLiteral("-1"));
    Type(ui->EditB, QStringLiteral("2"));
    Type(ui->EditF, QStringLiteral("1/x"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->LabelV1->text(), QStringLiteral("nicht def."));
    EXPECT_EQ(ui->LabelV2->text(), QStringLiteral("nicht def."));
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST_F(Form21Test, ClosedSolidsAboutEitherAxis) {
    gTerms.TermF = "x+1";
    gOverlay.GrenzeA = 1;
    gOverlay.GrenzeB = 3;
    ASSERT_TRUE(Oeffnen());
    QTest::mouseClick(ui->CheckBoxGeschlossen, Qt::LeftButton);
    ASSERT_EQ(Netz().xMasche(), 32);
    for (int j = 0; j <= 30; j += 6) {
        EXPECT_EQ(Netz().D3Point(0, j), (TSurfPoint{1, 0, 0}));
        EXPECT_EQ(Netz().D3Point(32, j), (TSurfPoint{3, 0, 0}));
    }
    Waehlen(ui->RadioButtonGrafik2);
    EXPECT_EQ(Netz().D3Point(0, 5), (TSurfPoint{0, 0, 2}));
    EXPECT_EQ(Netz().D3Point(32, 5), (TSurfPoint{0, 0, 4}));
    EXPECT_EQ(fenster->Grafik()->z1(), 2);
    QTest::mouseClick(ui->CheckBoxGeschlossen, Qt::LeftButton);
    EXPECT_EQ(Netz().xMasche(), 30);
}

class ZaehlenderHost : public GraphHost {
public:
    void RedrawMainGraph(bool) override { ++neuzeichnungen; }
    int neuzeichnungen = 0;
};

TEST_F(Form21Test, AnimationTurnsLeftAndClosingRedrawsTheGraph) {
    ZaehlenderHost host;
    GraphHost* vorher = SetGraphHost(&host);
    gTerms.TermF = "x";
    ASSERT_TRUE(Oeffnen());
    const Ui::TRotation3D* r = ui->Rotation->Controls();
    r->Switch->SetChecked(true);
    EXPECT_TRUE(r->SpeedButtonLinks->isChecked());
    EXPECT_FALSE(r->SpeedButtonRechts->isChecked());
    EXPECT_TRUE(QTest::qWaitFor([&] { return fenster->Grafik()->Zrot() >= 272; }, 5000));
    QTest::mouseClick(ui->BitBtnBeenden, Qt::LeftButton);
    EXPECT_TRUE(Geschlossen());
    EXPECT_EQ(host.neuzeichnungen, 1);
    SetGraphHost(vorher);
}

}  // namespace
}  // namespace kalvo

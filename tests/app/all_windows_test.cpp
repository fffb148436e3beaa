// Every window of the program, opened as the program opens it, checked for
// what a user meets first: each accelerator letter belongs to one control
// of its window, no control hides another or cuts its own caption, and the
// window goes when it is closed.
// With KALVO_WINDOW_PICTURES set to a folder, each window is also saved
// there as a picture, to be looked at.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <functional>
#include <map>

#include "app_test_support.h"
#include "area_dialog.h"
#include "color_button.h"
#include "coordinate_dialog.h"
#include "curve_fit_window.h"
#include "discussion_window.h"
#include "family_dialog.h"
#include "fullscreen_window.h"
#include "function_list.h"
#include "info_window.h"
#include "iteration_dialog.h"
#include "lgs_window.h"
#include "newton_dialog.h"
#include "options_dialog.h"
#include "parametric_dialog.h"
#include "piecewise_dialog.h"
#include "print_dialog.h"
#include "sine_start_dialog.h"
#include "solid_window.h"
#include "store_view.h"
#include "sums_dialog.h"
#include "surface_window.h"
#include "term_help.h"
#include "term_tree_window.h"
#include "ui_family_dialog.h"
#include "ui_main_window.h"
#include "ui_surface_window.h"
#include "value_table.h"

namespace kalvo {
namespace {

// The caption of a control with its "&" markers: what carries its accelerator.
QString CaptionOf(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->textFormat() == Qt::RichText ? QString() : l->text();
    return {};
}

// The letter after a single "&" ("&&" is a plain ampersand), lower case.
QChar AcceleratorOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

bool IsShownIn(const QWidget* w, const QWidget* window) { return w == window || w->isVisibleTo(window); }

// The controls of a window whose accelerators the user can reach at one
// time: everything shown (the walk shows each page of a tab widget in turn).
QStringList AcceleratorClashes(QWidget* window) {
    std::map<QChar, QStringList> owners;
    QStringList problems;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !IsShownIn(w, window)) continue;
        const QString caption = CaptionOf(w);
        const QChar letter = AcceleratorOf(caption);
        if (letter.isNull()) continue;
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->buddy()) {
            problems << QStringLiteral("\"%1\" (%2) underlines a letter but leads nowhere").arg(caption, w->objectName());
            continue;
        }
        owners[letter] << QStringLiteral("\"%1\" (%2)").arg(caption, w->objectName());
    }
    for (const auto& [letter, who] : owners)
        if (who.size() > 1) problems << QStringLiteral("Alt+%1: %2").arg(letter, who.join(QStringLiteral(", ")));
    for (QTabBar* bar : window->findChildren<QTabBar*>()) {
        if (bar->window() != window || !IsShownIn(bar, window)) continue;
        for (int i = 0; i < bar->count(); ++i) {
            const QChar letter = AcceleratorOf(bar->tabText(i));
            if (!letter.isNull() && owners.count(letter))
                problems << QStringLiteral("Alt+%1: tab \"%2\" and %3").arg(letter, bar->tabText(i), owners[letter].join(", "));
        }
    }
    return problems;
}

// Composite controls place their own parts; only containers are looked into.
bool PlacesChildrenItself(const QWidget* w) {
    return qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTabWidget*>(w) ||
           qobject_cast<const QTabBar*>(w);
}

QString Name(const QWidget* w) {
    const QString caption = CaptionOf(w);
    return QStringLiteral("%1 %2%3")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(),
             caption.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(caption));
}

// Two shown siblings that share pixels, and captions cut by their control.
QStringList LayoutFaults(QWidget* window) {
    QStringList problems;
    QList<QWidget*> containers{window};
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->window() == window && IsShownIn(w, window) && !PlacesChildrenItself(w)) containers << w;
    for (QWidget* parent : containers) {
        bool inside = true;
        for (QWidget* p = parent; p && p != window; p = p->parentWidget())
            if (PlacesChildrenItself(p)) inside = false;
        if (!inside) continue;
        QList<QWidget*> kids;
        for (QWidget* k : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!k->isWindow() && k->isVisibleTo(window)) kids << k;
        for (qsizetype i = 0; i < kids.size(); ++i)
            for (qsizetype j = i + 1; j < kids.size(); ++j)
                if (kids[i]->geometry().intersects(kids[j]->geometry()))
                    problems << QStringLiteral("%1 and %2 overlap").arg(Name(kids[i]), Name(kids[j]));
    }
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !IsShownIn(w, window)) continue;
        if (!(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)) || CaptionOf(w).isEmpty()) continue;
        if (auto* l = qobject_cast<QLabel*>(w); l && l->wordWrap()) continue;
        if (w->sizeHint().width() > w->width())
            problems << QStringLiteral("%1 needs %2 pixels, has %3").arg(Name(w)).arg(w->sizeHint().width()).arg(w->width());
    }
    return problems;
}

// A palette without a caption does not say what it colours.
QStringList UnnamedPalettes(QWidget* window) {
    QStringList problems;
    for (TColorButton* b : window->findChildren<TColorButton*>()) {
        if (b->window() != window || !IsShownIn(b, window)) continue;
        b->SetDroppedDown(true);
        const bool shown = b->DroppedDown() && !b->DefaultText().isEmpty() && !b->Popup()->DefaultTextRect().isEmpty();
        b->SetDroppedDown(false);
        if (!shown) problems << QStringLiteral("the palette of %1 has no caption").arg(b->objectName());
    }
    return problems;
}

class AllWindowsTest : public AppTest {
protected:
    // A window that a click opened as a child of `owner`.
    template <typename Window>
    static Window* Opened(QWidget* owner) {
        Settle();
        Window* w = nullptr;
        for (Window* c : owner->findChildren<Window*>())
            if (c->isVisible()) w = c;
        return w;
    }

    template <typename Window>
    static Window* ClickOpen(QAbstractButton* button, QWidget* owner) {
        QTest::mouseClick(button, Qt::LeftButton);
        return Opened<Window>(owner);
    }

    // Every window of the program, each as its button opens it.
    using Opener = std::function<QWidget*(TForm1*, Ui::TForm1*)>;
    static std::vector<std::pair<QString, Opener>> Windows() {
        auto family = [](TForm1* f, Ui::TForm1* m) { return ClickOpen<TForm2>(m->ButtonFunktionenschar, f); };
        auto button = []<typename W>(QToolButton* Ui::TForm1::*b, W*) {
            return [b](TForm1* f, Ui::TForm1* m) -> QWidget* { return ClickOpen<W>(m->*b, f); };
        };
        auto inFamily = [family]<typename W>(QToolButton* Ui::TForm2::*b, W*) {
            return [family, b](TForm1* f, Ui::TForm1* m) -> QWidget* {
                TForm2* d = family(f, m);
                return d ? ClickOpen<W>(d->Controls()->*b, d) : nullptr;
            };
        };
        return {
            {"Hauptfenster", [](TForm1* f, Ui::TForm1*) -> QWidget* { return f; }},
            {"Funktionenschar", family},
            {"Funktionenliste", inFamily(&Ui::TForm2::SpeedButton5, (TForm4*)nullptr)},
            {"Funktionenspeicher", [store = inFamily(&Ui::TForm2::SpeedButton9, (TForm20*)nullptr)](
                                       TForm1* f, Ui::TForm1* m) { return f->FunktionstermeInListe(1), store(f, m); }},
            {"Hilfe", inFamily(&Ui::TForm2::SpeedButton6, (TForm18*)nullptr)},
            {"Termbaum", inFamily(&Ui::TForm2::BitBtn3, (TForm19*)nullptr)},
            {"Parameterkurven", button(&Ui::TForm1::ButtonParameterkurven, (TForm7*)nullptr)},
            {"Stueckweise", button(&Ui::TForm1::ButtonStueckweise, (TForm6*)nullptr)},
            {"Koordinatensystem", button(&Ui::TForm1::ButtonKoordinatensystem, (TForm5*)nullptr)},
            {"Optionen", button(&Ui::TForm1::ButtonOptionen, (Tform8*)nullptr)},
            {"Vollbild", button(&Ui::TForm1::ButtonVollbild, (TForm14*)nullptr)},
            {"Info", [](TForm1* f, Ui::TForm1*) -> QWidget* {
                 f->close();
                 return Opened<TForm10>(f);
             }},
            {"Drucken", button(&Ui::TForm1::ButtonDrucken, (TGrafikDruckenDlg*)nullptr)},
            {"Iteration", button(&Ui::TForm1::ButtonIteration, (TForm16*)nullptr)},
            {"Logistische", button(&Ui::TForm1::ButtonLogistisch, (TForm16*)nullptr)},
            {"Kurvenanpassung", button(&Ui::TForm1::ButtonKurvenanpassung, (TForm22*)nullptr)},
            {"Sinus-Startwerte", [](TForm1* f, Ui::TForm1* m) -> QWidget* {
                 TForm22* fit = ClickOpen<TForm22>(m->ButtonKurvenanpassung, f);
                 if (!fit) return nullptr;
                 // Its button waits in exec(); the window is the same shown plainly.
                 auto* start = new TForm50(fit);
                 start->show();
                 return start;
             }},
            {"Wertetabelle", button(&Ui::TForm1::ButtonWertetabelle, (TForm12*)nullptr)},
            {"Diskussion", button(&Ui::TForm1::ButtonDiskussion, (TForm11*)nullptr)},
            {"Newton", button(&Ui::TForm1::ButtonNewton, (TForm17*)nullptr)},
            {"Rotationskoerper", button(&Ui::TForm1::ButtonRotationskoerper, (Tform21*)nullptr)},
            {"Flaechen", button(&Ui::TForm1::ButtonFlaechen, (TForm13*)nullptr)},
            {"Summen", button(&Ui::TForm1::ButtonSummen, (TForm15*)nullptr)},
            {"3D", button(&Ui::TForm1::Button3D, (TForm30*)nullptr)},
            {"3D Parameterflaechen", [](TForm1* f, Ui::TForm1* m) -> QWidget* {
                 TForm30* w = ClickOpen<TForm30>(m->Button3D, f);
                 if (w) QTest::mouseClick(w->Controls()->RadioButtonParameter, Qt::LeftButton);
                 return w;
             }},
            {"LGS", button(&Ui::TForm1::ButtonLGS, (TForm23*)nullptr)},
        };
    }

    // Runs the checks on every window, page by page.
    void ForEveryWindow(const std::vector<QStringList (*)(QWidget*)>& checks) {
        const QString pictures = qEnvironmentVariable("KALVO_WINDOW_PICTURES");
        for (const auto& [name, open] : Windows()) {
            TearDown();
            StartClean();
            QWidget* w = open(form.get(), form->Controls());
            if (!w) {
                ADD_FAILURE() << name.toStdString() << " did not open";
                continue;
            }
            Settle();
            QList<QTabWidget*> tabs = w->findChildren<QTabWidget*>();
            const int pages = tabs.isEmpty() ? 1 : tabs.front()->count();
            for (int page = 0; page < pages; ++page) {
                if (!tabs.isEmpty()) tabs.front()->setCurrentIndex(page);
                Settle();
                const QString what = pages > 1 ? QStringLiteral("%1 page %2").arg(name).arg(page + 1) : name;
                if (!pictures.isEmpty()) w->grab().save(QDir(pictures).filePath(what + QStringLiteral(".png")));
                for (auto check : checks)
                    for (const QString& p : check(w)) ADD_FAILURE() << what.toStdString() << ": " << p.toStdString();
            }
            // Closed, a window goes; the curve discussion is made once and kept.
            QPointer<QWidget> closed = w;
            w->close();
            Settle();
            if (closed && closed != form.get() && !qobject_cast<TForm11*>(closed))
                ADD_FAILURE() << name.toStdString() << " stays after closing";
        }
    }
};

TEST_F(AllWindowsTest, AcceleratorsLayoutPaletteCaptionsAndClosing) {
    ForEveryWindow({AcceleratorClashes, LayoutFaults, UnnamedPalettes});
}

}  // namespace
}  // namespace kalvo

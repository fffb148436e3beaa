#include "dialog_base.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace kalvo;

namespace {

// Stands in for the term field: its check passes or fails as the test says.
class CheckedEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CheckedEdit(QWidget* parent) : QLineEdit(parent) {}
    Q_INVOKABLE bool leaveField() { return ++checks, passes; }
    bool passes = true;
    int checks = 0;
};

// Fields in tab order, a memo, a combo box and two buttons; OK refuses while
// the focused field fails its check.
class TestDialog : public KalvoDialog {
public:
    explicit TestDialog(bool arrows) {
        SetArrowKeysMoveFocus(arrows);
        combo->addItems({"eins", "zwei", "drei"});
        connect(ok, &QPushButton::clicked, this, [this] {
            if (CommitFocusedField()) accept();
        });
        connect(vorgabe, &QPushButton::clicked, this, [this] { LoadControls(); });
    }
    void LoadControls() override { ++loads, number->setText("0"); }

    QLineEdit* number = new QLineEdit(this);
    CheckedEdit* term = new CheckedEdit(this);
    QLineEdit* last = new QLineEdit(this);
    QPlainTextEdit* memo = new QPlainTextEdit(this);
    QComboBox* combo = new QComboBox(this);
    QPushButton* vorgabe = new QPushButton("&Vorgabe", this);
    QPushButton* ok = new QPushButton("&OK", this);
    int loads = 0;
};

// A dialog on the heap (it deletes itself on close), shown and active.
QPointer<TestDialog> Shown(bool arrows = false) {
    QPointer<TestDialog> d = new TestDialog(arrows);
    d->show();
    d->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(d));
    return d;
}

bool Deleted(QPointer<TestDialog>& d) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return d.isNull();
}

void Close(QPointer<TestDialog>& d) {
    if (d) d->close();
    Deleted(d);
}

}  // namespace

TEST(KalvoDialogTest, APointTypedIntoAnEditFieldBecomesAComma) {
    auto d = Shown();
    d->number->clear();
    d->last->setMaxLength(3);
    const std::tuple<QWidget*, Qt::KeyboardModifiers, const char*> cases[] = {
        {d->number, Qt::NoModifier, "2,55"},
        {d->term, Qt::KeypadModifier, "2,55"},
        {d->last, Qt::NoModifier, "2,5"},  // the comma obeys the field's limit
        {d->memo, Qt::NoModifier, "2.55"},
    };
    for (const auto& [field, modifiers, expected] : cases) {
        field->setFocus();
        QTest::keyClicks(field, "2");
        QTest::keyClick(field, Qt::Key_Period, modifiers);
        QTest::keyClicks(field, "55");
        auto* edit = qobject_cast<QLineEdit*>(field);
        EXPECT_EQ(edit ? edit->text() : d->memo->toPlainText(), expected) << field->metaObject()->className();
    }
    Close(d);
}

TEST(KalvoDialogTest, EnterAndWhereTheDialogAsksArrowKeysMoveTheFocusAndNeverPressAButton) {
    for (bool arrows : {false, true}) {
        auto d = Shown(arrows);
        int accepted = 0;
        QObject::connect(d, &QDialog::accepted, [&] { ++accepted; });
        d->number->setFocus();
        QTest::keyClick(d->number, Qt::Key_Return);
        EXPECT_TRUE(d->term->hasFocus());
        QTest::keyClick(d->term, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_TRUE(d->last->hasFocus());
        d->term->setFocus();
        QTest::keyClick(d->term, Qt::Key_Down);
        EXPECT_EQ(d->last->hasFocus(), arrows);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        EXPECT_EQ(d->number->hasFocus(), arrows);
        d->memo->setFocus();
        QTest::keyClick(d->memo, Qt::Key_Return);
        EXPECT_EQ(d->memo->toPlainText(), "\n") << "a memo keeps Enter for its lines";
        d->ok->setFocus();
        QTest::keyClick(d->ok, Qt::Key_Return);
        EXPECT_FALSE(d->ok->hasFocus());
        EXPECT_EQ(accepted, 0);
        for (QPushButton* b : {d->ok, d->vorgabe}) EXPECT_FALSE(b->isDefault() || b->autoDefault());
        Close(d);
    }
}

TEST(KalvoDialogTest, EscClosesTheDialogButNotFromAnOpenListOfAComboBox) {
    auto d = Shown();
    d->combo->setFocus();
    d->combo->showPopup();
    QAbstractItemView* list = d->combo->view();
    list->setCurrentIndex(d->combo->model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(d->combo->currentIndex(), 2) << "Enter picked in the list";
    d->combo->showPopup();
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(Deleted(d)) << "Esc closed only the list";
    QTest::keyClick(d->combo, Qt::Key_Escape);
    EXPECT_TRUE(Deleted(d));
}

TEST(KalvoDialogTest, OkCommitsTheFocusedFieldAndRefusesWhileItsCheckFails) {
    const std::tuple<const char*, bool, bool, bool, bool> cases[] = {
        // what, focus in the checked field, its check passes, OK by Alt+O, dialog closes
        {"failing field, click", true, false, false, false},
        {"failing field, Alt+O", true, false, true, false},
        {"passing field, Alt+O", true, true, true, true},
        {"plain field", false, false, false, true},
    };
    for (const auto& [what, focusTerm, passes, byAccelerator, closes] : cases) {
        auto d = Shown();
        d->term->passes = passes;
        (focusTerm ? static_cast<QWidget*>(d->term) : d->number)->setFocus();
        if (byAccelerator) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([&] { return Deleted(d) || d->term->checks > 0; }, 2000)) << what;
        } else {
            d->ok->click();  // as the mouse would, but with the focus left in the field
        }
        EXPECT_EQ(Deleted(d), closes) << what;
        if (!closes) {
            EXPECT_EQ(d->term->checks, 1) << what;
        }
        Close(d);
    }
}

TEST(KalvoDialogTest, ControlsAreLoadedOnceWhenFirstShownAndAgainByVorgabe) {
    auto d = Shown();
    EXPECT_EQ(d->loads, 1);
    d->number->setText("5");
    d->hide();
    d->show();
    d->repaint();
    EXPECT_EQ(d->number->text(), "5") << "what the user typed survives showing and painting";
    d->vorgabe->click();
    EXPECT_EQ(d->loads, 2);
    EXPECT_EQ(d->number->text(), "0");
    Close(d);
}

// What a dialog computes as it is shown (at the first show, and at every
// show) may have something to say: it comes once the window stands.
TEST(KalvoDialogTest, MessagesOfTheShowComeOnceTheWindowStands) {
    struct Saying : KalvoDialog {
        void LoadControls() override { ShowMessage("geladen"); }
        void showEvent(QShowEvent* e) override { KalvoDialog::showEvent(e), ShowMessage("gezeigt"); }
    };
    QPointer<Saying> d = new Saying;
    std::vector<std::string> said;
    const MessageHandler before = SetMessageHandler([&](MessageKind, const std::string& text) {
        said.push_back(text + (d->windowHandle() && d->windowHandle()->isExposed() ? "" : " (zu früh)"));
    });
    for (const std::vector<std::string>& expected : {std::vector<std::string>{"geladen", "gezeigt"}, {"gezeigt"}}) {
        said.clear();
        d->show();
        EXPECT_TRUE(said.empty() && QTest::qWaitFor([&] { return said.size() >= expected.size(); }, 2000));
        EXPECT_EQ(said, expected);
        d->hide();
    }
    SetMessageHandler(before);
    delete d.data();
}

#include "dialog_base_test.moc"

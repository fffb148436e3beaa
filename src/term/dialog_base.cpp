#include "dialog_base.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace kalvo {

namespace {

// Widgets that need Enter and the arrow keys for themselves.
bool KeepsItsKeys(const QWidget* w) {
    return qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QAbstractItemView*>(w);
}

// Number and term fields, grid cells and spin boxes; a field that says it
// holds plain text (property "decimalComma" false) keeps its full stops.
bool TakesDecimalComma(const QLineEdit* edit) {
    const QVariant own = edit->property("decimalComma");
    return !own.isValid() || own.toBool();
}

}  // namespace

bool IsPlainKey(const QKeyEvent* key) {
    return (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

KalvoDialog::KalvoDialog(QWidget* parent) : QDialog(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    // Key events of every widget of this window pass here before the widget
    // sees them, whenever the widget was added.
    qApp->installEventFilter(this);
}

bool KalvoDialog::CommitFocusedField() {
    for (QWidget* w = focusWidget(); w && w != this; w = w->parentWidget()) {
        const QMetaObject* meta = w->metaObject();
        const int index = meta->indexOfMethod("leaveField()");
        if (index < 0) continue;
        const QMetaMethod method = meta->method(index);
        if (method.returnType() != QMetaType::Bool) continue;
        bool passed = true;
        method.invoke(w, Qt::DirectConnection, Q_RETURN_ARG(bool, passed));
        return passed;
    }
    return true;
}

KalvoDialog::~KalvoDialog() { PostHeldMessages(); }

// A message box opened while the window is being shown runs its own loop
// before the window is on the screen: the window is left at its smallest
// size behind the box. What the window computes when it is shown (in its
// own showEvent or in LoadControls) says so once the window stands: when it
// is first painted, or when it goes again before that.
bool KalvoDialog::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::Show: {
            MessageDeferral held;
            const bool done = QDialog::event(event);
            for (auto& m : held.Take()) heldMessages_.push_back(std::move(m));
            if (!heldMessages_.empty()) {
                QTimer::singleShot(0, this, [this] {
                    if (windowHandle() && windowHandle()->isExposed()) PostHeldMessages();
                });
                // A window the window system never puts up does not keep them for long.
                QTimer::singleShot(1000, this, &KalvoDialog::PostHeldMessages);
            }
            return done;
        }
        case QEvent::Paint:
        case QEvent::Hide: {
            const bool done = QDialog::event(event);
            PostHeldMessages();
            return done;
        }
        default: return QDialog::event(event);
    }
}

void KalvoDialog::PostHeldMessages() {
    if (heldMessages_.empty()) return;
    // Not from inside the paint or the hiding, and whether the window lives on or not.
    QTimer::singleShot(0, qApp, [messages = std::exchange(heldMessages_, {})] {
        for (const auto& [kind, text] : messages) ShowMessage(text, kind);
    });
}

void KalvoDialog::showEvent(QShowEvent* event) {
    NoDefaultButtons();
    QDialog::showEvent(event);
    if (!controlsLoaded_) {
        controlsLoaded_ = true;
        LoadControls();
    }
}

// Button boxes make their accept button the default when they are shown; this
// runs after them.
void KalvoDialog::NoDefaultButtons() {
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

bool KalvoDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* target = static_cast<QWidget*>(watched);
    // Only the first delivery, to the focused widget of this window: not the
    // propagation to its parents, not a popup list or a message box.
    if (target->window() != this || target != focusWidget()) return false;
    return HandleKey(target, static_cast<QKeyEvent*>(event));
}

void KalvoDialog::SetNumberGrid(QTableWidget* grid, int firstRow, std::function<bool(const QString&)> accepts,
                                std::function<void(int& row, int& col)> next) {
    numberGrid_ = {grid, firstRow, std::move(accepts), std::move(next)};
}

bool KalvoDialog::HandleGridAndSpinBoxKeys(QWidget* target, QKeyEvent* key) {
    QTableWidget* grid = numberGrid_.grid;
    if (grid && (target == grid || grid->isAncestorOf(target))) {
        if (IsPlainKey(key) && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            NumberGridEnter(target);
            return true;
        }
        if (target == grid && key->text() == QStringLiteral(".")) {
            QKeyEvent comma(QEvent::KeyPress, Qt::Key_Comma, Qt::NoModifier, QStringLiteral(","));
            QCoreApplication::sendEvent(target, &comma);
            return true;
        }
    }
    for (QAbstractSpinBox* box : arrowButtonsOnly_) {
        if (target != box && target->parentWidget() != box) continue;
        switch (key->key()) {
            case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Escape: case Qt::Key_Return:
            case Qt::Key_Enter: return false;
            default: return true;
        }
    }
    return false;
}

void KalvoDialog::NumberGridEnter(QWidget* target) {
    QTableWidget* grid = numberGrid_.grid;
    int row = std::max(grid->currentRow(), numberGrid_.firstRow), col = std::max(grid->currentColumn(), 0);
    auto* editor = qobject_cast<QLineEdit*>(target);
    QTableWidgetItem* cell = grid->item(row, col);
    const QString text = editor ? editor->text() : cell ? cell->text() : QString();
    if (!numberGrid_.accepts(text)) {
        if (editor) editor->clear();
        else if (cell) cell->setText(QString());
        return;
    }
    numberGrid_.next(row, col);
    grid->setCurrentCell(row, col);
    // The grid edits on every trigger, so moving the current cell has opened
    // its editor already; asking for it again only makes Qt complain.
    if (!grid->indexWidget(grid->currentIndex())) grid->editItem(grid->item(row, col));
}

bool KalvoDialog::HandleKey(QWidget* target, QKeyEvent* key) {
    if (HandleGridAndSpinBoxKeys(target, key)) return true;
    if (auto* edit = qobject_cast<QLineEdit*>(target); edit && key->text() == QStringLiteral(".") && TakesDecimalComma(edit)) {
        QKeyEvent comma(QEvent::KeyPress, Qt::Key_Comma, key->modifiers() & ~Qt::KeypadModifier, QStringLiteral(","),
                        key->isAutoRepeat(), static_cast<quint16>(key->count()));
        QCoreApplication::sendEvent(edit, &comma);
        return true;
    }
    if (!IsPlainKey(key)) return false;
    switch (key->key()) {
        case Qt::Key_Escape: reject(); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (KeepsItsKeys(target)) return false;
            focusNextPrevChild(true);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (!arrowKeysMoveFocus_ || KeepsItsKeys(target)) return false;
            focusNextPrevChild(key->key() == Qt::Key_Down);
            return true;
        default: return false;
    }
}

}  // namespace kalvo

#pragma once
// The base of every dialog. It keeps the keyboard rules of all dialogs in one
// place: a "." typed into an edit field becomes "," (not in a field whose
// property "decimalComma" is false: text fields), Enter moves to the next
// field (and never presses a button), Esc closes the dialog, and, where a
// dialog asks for it, Up and Down move to the previous and next field. No
// button is a default button. The controls are loaded from the shared state
// once, when the dialog is first shown. Messages shown while the dialog is
// being shown wait until it stands on the screen. The dialog deletes itself
// on close unless the subclass clears Qt::WA_DeleteOnClose.

#include <QDialog>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "message_sink.h"

class QAbstractSpinBox;
class QKeyEvent;
class QTableWidget;

namespace kalvo {

// A key pressed without Shift, Ctrl or Alt (the keypad counts as plain).
bool IsPlainKey(const QKeyEvent* key);

class KalvoDialog : public QDialog {
    Q_OBJECT
public:
    explicit KalvoDialog(QWidget* parent = nullptr);
    ~KalvoDialog() override;

    // Runs the check of the focused field as if it had been left: a field with
    // an invokable `bool leaveField()` answers; any other widget passes. Call
    // it first in the OK handler and keep the dialog open when it fails.
    bool CommitFocusedField();

protected:
    // Fills the controls from the shared state; called once from the first
    // show, and by the subclass again for "Vorgabe".
    virtual void LoadControls() {}
    void SetArrowKeysMoveFocus(bool on) { arrowKeysMoveFocus_ = on; }
    bool ArrowKeysMoveFocus() const { return arrowKeysMoveFocus_; }

    // A grid of number cells, rows from firstRow on (those above are
    // headings). Enter in the grid or in its cell editor checks the current
    // cell: a text `accepts` refuses is emptied and the caret stays; else the
    // caret moves to the cell `next` makes of row and column, and its editor
    // opens. A "." typed into the grid itself, which starts editing, is ",".
    void SetNumberGrid(QTableWidget* grid, int firstRow, std::function<bool(const QString&)> accepts,
                       std::function<void(int& row, int& col)> next);
    // Spin boxes that change only through their arrow buttons: Tab, Esc and
    // Enter act as everywhere, other keys do nothing in them.
    void SetArrowButtonsOnly(std::vector<QAbstractSpinBox*> boxes) { arrowButtonsOnly_ = std::move(boxes); }

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool HandleKey(QWidget* target, QKeyEvent* key);
    bool HandleGridAndSpinBoxKeys(QWidget* target, QKeyEvent* key);
    void NumberGridEnter(QWidget* target);
    void NoDefaultButtons();
    // Hands the messages held back since the window was shown to the
    // message sink, right after the event that runs now.
    void PostHeldMessages();

    std::vector<std::pair<MessageKind, std::string>> heldMessages_;
    bool arrowKeysMoveFocus_ = false;
    bool controlsLoaded_ = false;
    struct {
        QTableWidget* grid = nullptr;
        int firstRow = 0;
        std::function<bool(const QString&)> accepts;
        std::function<void(int& row, int& col)> next;
    } numberGrid_;
    std::vector<QAbstractSpinBox*> arrowButtonsOnly_;
};

}  // namespace kalvo

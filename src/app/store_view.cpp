#include "store_view.h"

#include <QHeaderView>
#include <algorithm>

#include "number_text.h"
#include "object_lists.h"
#include "ui_store_view.h"

namespace kalvo {

namespace {
constexpr int kColumnWidth = 200;
constexpr int kRowHeight = 20;
constexpr int kMinRows = 6;
}  // namespace

TForm20::TForm20(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm20>()) {
    ui_->setupUi(this);
    QTableWidget* grid = ui_->StringGrid1;
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->verticalHeader()->setMinimumSectionSize(kRowHeight);
    grid->setFocusPolicy(Qt::NoFocus);
}

TForm20::~TForm20() = default;

void TForm20::LoadControls() {
    QTableWidget* grid = ui_->StringGrid1;
    const int count = gFunktionenspeicher.Count();
    grid->clearContents();
    grid->setRowCount(std::max(count + 1, kMinRows));
    auto cell = [grid](int row, int column, const std::string& text) {
        auto* item = new QTableWidgetItem(QString::fromStdString(text));
        item->setFlags(Qt::ItemIsEnabled);
        grid->setItem(row, column, item);
    };
    cell(0, 0, "      f(x,t) =");
    cell(0, 1, "      g(x,t) =");
    // The heading row looks like the fixed row of a grid.
    for (int c = 0; c < 2; ++c) grid->item(0, c)->setBackground(palette().button());
    for (int i = 1; i <= count; ++i) {
        ArchivEintrag e;
        gFunktionenspeicher.Get(i, e);
        cell(i, 0, " " + TermShown(e.f.str()));
        cell(i, 1, " " + TermShown(e.g.str()));
    }
}

}  // namespace kalvo

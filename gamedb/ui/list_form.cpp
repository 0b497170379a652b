#include "gamedb/ui/list_form.h"

#include "gamedb/ui/title_width.h"

#include "gamedb/file_chooser.h"
#include "gamedb/game_list.h"
#include "gamedb/user_prompt.h"
#include "platform/codepage.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

// The grid's rows as the table shows them; the texts stay CP1251 in the grid until drawn, so a list
// of many thousand tournaments fills at once.
class TTournamentGridModel : public QAbstractTableModel {
  public:
    TTournamentGridModel(const TTournamentGrid& grid, QObject* parent)
        : QAbstractTableModel(parent), m_grid(grid) {}
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(m_grid.rows.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 5; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= int(m_grid.rows.size())) return {};
        if (role == Qt::DisplayRole)
            return QString::fromStdString(
                Cp1251ToUtf8(m_grid.rows[std::size_t(index.row())][std::size_t(index.column())]));
        if (role == Qt::TextAlignmentRole) {
            static const Qt::Alignment align[5] = {Qt::AlignRight, Qt::AlignLeft, Qt::AlignLeft,
                                                   Qt::AlignHCenter, Qt::AlignRight};
            return QVariant::fromValue(align[index.column()] | Qt::AlignVCenter);
        }
        if (role == Qt::FontRole && index.row() == 0) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.row() == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

  private:
    const TTournamentGrid& m_grid;
};

TListForm::TListForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ListForm");
    setWindowTitle("Tournaments");
    FitWidthToTitle(*this);
    m_model = new TTournamentGridModel(m_grid, this);
    t = new QTableView(this);
    t->setObjectName("t");
    t->setModel(m_model);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->hide();
    t->horizontalHeader()->hide(); // row 0 holds the titles
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch); // long tournament names

    Button1 = new QPushButton("Create!", this);
    Button1->setObjectName("Button1");
    sh = new QLabel("Show only more than", this);
    sh->setObjectName("sh");
    MinCount = new QSpinBox(this);
    MinCount->setObjectName("MinCount");
    MinCount->setRange(0, 999);
    CheckBox1 = new QCheckBox("Don't Show Blanks", this);
    CheckBox1->setObjectName("CheckBox1");
    Button2 = new QPushButton("Save", this);
    Button2->setObjectName("Button2");
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(MinCount, &QSpinBox::valueChanged, this, [this] { MinCountChange(); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });

    auto* controls = new QHBoxLayout;
    controls->addWidget(Button1);
    controls->addSpacing(12);
    controls->addWidget(sh);
    controls->addWidget(MinCount);
    controls->addWidget(CheckBox1);
    controls->addStretch(1);
    controls->addWidget(Label1);
    controls->addSpacing(12);
    controls->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(t, 1);
    layout->addLayout(controls);
    resize(640, 480);
    FillTournamentGrid();
    // At least wide enough for the column titles (row 0), which are drawn in bold.
    const int widths[5] = {50, 178, 118, 47, 44};
    QFont bold = t->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (int c = 0; c < 5; ++c) {
        const QString title = QString::fromStdString(m_grid.rows[0][std::size_t(c)]);
        t->setColumnWidth(c, std::max(widths[c], metrics.horizontalAdvance(title) + 12));
    }
}

void TListForm::Button1Click() {
    if (!m_session || !m_session->GameDatabase.open) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TDbStatus s = BuildTournamentList(m_session->GameDatabase, m_session->GameList, m_list);
    FillTournamentGrid();
    QApplication::restoreOverrideCursor();
    if (s != TDbStatus::Ok)
        m_session->Prompt().ShowMessage(std::string("The tournaments list was not made: ") + DbStatusText(s) +
                                        ".");
}

void TListForm::MinCountChange() {
    FillTournamentGrid();
}

void TListForm::CheckBox1Click() {
    FillTournamentGrid();
}

void TListForm::FillTournamentGrid() {
    m_grid = ::FillTournamentGrid(m_list, MinCount->value(), CheckBox1->isChecked());
    m_model->Reset();
    Label1->setText(QString::fromStdString(m_grid.totals));
}

void TListForm::Button2Click() {
    const auto name = (m_session ? m_session->FileChooser() : CancelledFileChooser())
                          .SaveFile("Save List", "Text File (*.txt *.TXT)", std::string());
    if (!name) return;
    if (const TIoStatus s = SaveTournamentList(m_grid, *name); !s)
        m_session->Prompt().ShowMessage("I/O error: " + Utf8ToCp1251(s.Message()));
}

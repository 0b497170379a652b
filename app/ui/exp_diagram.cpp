#include "app/ui/exp_diagram.h"

#include "app/core/diagram_export.h"
#include "app/ui/board_picture.h"
#include "gif/qt/gif_qimage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TExpDiagram::TExpDiagram(const TBoardPicture& board, TBitmap& copyBoard, QWidget* parent)
    : TModalDialog(parent), m_board(board), m_copyBoard(copyBoard) {
    setObjectName("ExpDiagram");
    setWindowTitle("Export diagram");
    Label1 = new QLabel("Size", this);
    Label1->setObjectName("Label1");
    Size = new QSpinBox(this);
    Size->setObjectName("Size");
    Size->setRange(MinDiagramSize, MaxDiagramSize);
    Size->setValue(DefaultDiagramSize);
    Size->setSuffix(" px");
    Label1->setBuddy(Size);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(Size);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(Button1);
}

void TExpDiagram::Button1Click() {
    // A value typed but not yet confirmed counts, as it does when OK is pressed.
    Size->interpretText();
    m_copyBoard = MakeDiagram(BitmapFromQImage(m_board.Image()), Size->value());
    done(mrOk);
}

#include "app/ui/select_colors.h"

#include "app/core/shell_state.h"
#include "app/ui/board_picture.h"
#include "app/ui/shell_prompts.h"

#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
QString StyleOf(std::uint32_t color) {
    const TRgb c = ColorToRgb(color);
    return QString("background-color: rgb(%1,%2,%3); border: 1px solid black").arg(c.r).arg(c.g).arg(c.b);
}
} // namespace

TSelectColors::TSelectColors(TBoardPicture& picture, std::function<void(bool)> drawBoard, QWidget* parent)
    : TModalDialog(parent), m_picture(picture), m_drawBoard(std::move(drawBoard)) {
    setObjectName("SelectColors");
    setWindowTitle("Select colors");
    auto* g = new QGridLayout(this);
    lightcolor = new QLabel(this);
    lightcolor->setObjectName("lightcolor");
    darkcolor = new QLabel(this);
    darkcolor->setObjectName("darkcolor");
    const char* names[4] = {"bk", "bs", "ws", "wk"};
    QLabel** labels[4] = {&bk, &bs, &ws, &wk};
    for (int i = 0; i < 4; ++i) {
        *labels[i] = new QLabel(this);
        (*labels[i])->setObjectName(names[i]);
        (*labels[i])->setFixedSize(70, 70);
        (*labels[i])->installEventFilter(this);
        g->addWidget(*labels[i], 1, i);
    }
    for (QLabel* panel : {lightcolor, darkcolor}) {
        panel->setFixedSize(70, 40);
        panel->installEventFilter(this);
    }
    g->addWidget(lightcolor, 0, 0);
    g->addWidget(darkcolor, 0, 1);
    Button2 = new QPushButton("Default", this);
    Button2->setObjectName("Button2");
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
    g->addWidget(Button2, 2, 0, 1, 2);
    g->addWidget(Button1, 2, 2, 1, 2);
    ShowColors();
    ShowPictures();
}

QLabel* TSelectColors::PictureLabel(int index) const {
    QLabel* const labels[4] = {bk, bs, ws, wk};
    return labels[index];
}

void TSelectColors::ShowColors() {
    lightcolor->setStyleSheet(StyleOf(Shell.LightSquareColor));
    darkcolor->setStyleSheet(StyleOf(Shell.DarkSquareColor));
}

void TSelectColors::ShowPictures() {
    for (int i = 0; i < 4; ++i)
        PictureLabel(i)->setPixmap(QPixmap::fromImage(m_picture.TransparentPiecePicture(i)));
}

void TSelectColors::showEvent(QShowEvent* event) {
    ShowColors();
    ShowPictures();
    TModalDialog::showEvent(event);
}

void TSelectColors::lightcolorClick() {
    if (const auto c = ShellPrompts().ChooseColor(this, Shell.LightSquareColor)) {
        Shell.LightSquareColor = *c;
        ShowColors();
        m_drawBoard(true);
    }
}

void TSelectColors::darkcolorClick() {
    if (const auto c = ShellPrompts().ChooseColor(this, Shell.DarkSquareColor)) {
        Shell.DarkSquareColor = *c;
        ShowColors();
        m_drawBoard(true);
    }
}

void TSelectColors::PictureClick(int index) {
    const auto file = ShellPrompts().OpenFile(this, "*.BMP", QString::fromStdString(Shell.AppDir + "Pics"));
    if (!file) return;
    const QImage img = LoadPictureFile(file->toStdString());
    if (img.isNull()) {
        ShellPrompts().ShowMessage(this, "Cannot read the picture " + *file);
        return; // keep the picture and its file name
    }
    m_picture.SetPiecePicture(index, img);
    Shell.PiecePictures[index] = file->toStdString();
    ShowPictures();
    m_drawBoard(false);
}

void TSelectColors::Button2Click() {
    Shell.LightSquareColor = DefaultLightSquareColor;
    Shell.DarkSquareColor = DefaultDarkSquareColor;
    Shell.PiecePictures = DefaultPiecePictures(Shell.AppDir);
    m_picture.LoadPieceBitmaps(Shell.PiecePictures);
    ShowColors();
    ShowPictures();
    m_drawBoard(true);
    for (const std::string& f : Shell.PiecePictures)
        if (!QFile::exists(QString::fromStdString(f))) {
            ShellPrompts().ShowMessage(this, "To see changes for figures please restart application");
            break;
        }
}

bool TSelectColors::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == lightcolor)
            lightcolorClick();
        else if (watched == darkcolor)
            darkcolorClick();
        else
            for (int i = 0; i < 4; ++i)
                if (watched == PictureLabel(i)) PictureClick(i);
    }
    return TModalDialog::eventFilter(watched, event);
}

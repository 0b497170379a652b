#include "gamedb/ui/search_board_image.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int PieceSize = 14;

QImage BlankPicture() {
    QImage img(PieceSize, PieceSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A man: a disc with a rim; a king adds a small crown in the rim's colour.
QImage PiecePicture(const QColor& fill, const QColor& rim, bool king) {
    QImage img = BlankPicture();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(rim, 1.2));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1, 1, PieceSize - 2, PieceSize - 2));
    if (king) {
        QPainterPath crown;
        crown.moveTo(3.5, 9.5);
        crown.lineTo(3.5, 5);
        crown.lineTo(5.5, 7);
        crown.lineTo(7, 4);
        crown.lineTo(8.5, 7);
        crown.lineTo(10.5, 5);
        crown.lineTo(10.5, 9.5);
        crown.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(rim);
        p.drawPath(crown);
    }
    return img;
}

// "Any piece or none": a question mark in a dashed ring.
QImage AnyPicture() {
    QImage img = BlankPicture();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0xC0, 0x20, 0x20);
    p.setPen(QPen(ink, 1.0, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(1, 1, PieceSize - 2, PieceSize - 2));
    QFont f;
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(QRect(0, 0, PieceSize, PieceSize), Qt::AlignCenter, "?");
    return img;
}

} // namespace

const QImage* TPatternPictures::Of(int value) const {
    switch (value) {
    case 1:
        return &FigureImg2;
    case 2:
        return &FigureImg1;
    case -1:
        return &FigureImg3;
    case -2:
        return &FigureImg4;
    case sqAny:
        return &FigureImg5;
    default:
        return nullptr;
    }
}

const TPatternPictures& PatternPictures() {
    static const TPatternPictures pictures = [] {
        const QColor white(0xF8, 0xF4, 0xE8), black(0x20, 0x20, 0x20);
        TPatternPictures p;
        p.FigureImg2 = PiecePicture(white, black, false);
        p.FigureImg1 = PiecePicture(white, black, true);
        p.FigureImg3 = PiecePicture(black, white, false);
        p.FigureImg4 = PiecePicture(black, white, true);
        p.FigureImg5 = AnyPicture();
        return p;
    }();
    return pictures;
}

void DrawSearchSquare(QImage& image, TSearchBoard kind, const TSearchBoardColors& colors, int square,
                      std::int8_t value) {
    const TPatternCells c = PatternSquareCells(kind, square);
    QPainter p(&image);
    p.fillRect(c.darkX, c.y, c.cell, c.cell, colors.dark);
    p.fillRect(c.lightX, c.y, c.cell, c.cell, colors.light);
    if (const QImage* piece = PatternPictures().Of(ShownPatternValue(kind, value)))
        p.drawImage(QRect(c.darkX + c.inset, c.y + c.inset, c.cell - 2 * c.inset, c.cell - 2 * c.inset),
                    *piece);
}

void DrawSearchBoard(QImage& image, TSearchBoard kind, const TSearchBoardColors& colors,
                     const TSearchPattern& pattern) {
    if (image.size() != QSize(SearchBoardSize, SearchBoardSize))
        image = QImage(SearchBoardSize, SearchBoardSize, QImage::Format_RGB32);
    {
        QPainter p(&image);
        p.fillRect(image.rect(), colors.dark);
        p.setPen(QPen(colors.light, 2));
        p.drawRect(QRect(QPoint(7, 7), QPoint(170, 170)));
    }
    for (int s = 1; s <= PatternSquares(kind); ++s)
        DrawSearchSquare(image, kind, colors, s, pattern[std::size_t(s)]);
}

TSearchBoardImage::TSearchBoardImage(QWidget* parent)
    : TImageControl(QSize(SearchBoardSize, SearchBoardSize), parent) {
    setObjectName("SearchBrdImage");
}

#include "app/ui/board_picture.h"

#include "app/core/board_geometry.h"
#include "app/core/game_session.h"
#include "app/core/piece_art.h"
#include "app/core/shell_state.h"
#include "platform/file_io.h"

#include <QFont>
#include <QPainter>

#include <vector>

namespace {
QColor ToQColor(std::uint32_t c) {
    const TRgb rgb = ColorToRgb(c);
    return QColor(rgb.r, rgb.g, rgb.b);
}

QImage MaskLowerLeft(const QImage& src) {
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    if (img.isNull()) return img;
    const QRgb key = img.pixel(0, img.height() - 1) | 0xFF000000u;
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] | 0xFF000000u) == key) line[x] = 0;
    }
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
} // namespace

TBoardPicture::TBoardPicture() : m_image(BoardPictureSize, BoardPictureSize, QImage::Format_RGB32) {
    m_image.fill(Qt::black);
    for (int i = 0; i < 4; ++i)
        SetPiecePicture(i, BuiltInPiecePicture(i));
}

QImage TBoardPicture::BuiltInPiecePicture(int index) {
    const std::vector<std::uint8_t> rgb = RenderPieceArt(index);
    QImage img(PieceArtSize, PieceArtSize, QImage::Format_RGB32);
    for (int y = 0; y < PieceArtSize; ++y)
        for (int x = 0; x < PieceArtSize; ++x) {
            const std::uint8_t* p = &rgb[3 * (y * PieceArtSize + x)];
            img.setPixel(x, y, qRgb(p[0], p[1], p[2]));
        }
    return img;
}

QImage LoadPictureFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, 64 << 20)) return {};
    QImage img;
    img.loadFromData(bytes.data(), static_cast<int>(bytes.size()));
    return img;
}

void TBoardPicture::SetPiecePicture(int index, const QImage& picture) {
    if (index < 0 || index > 3 || picture.isNull()) return;
    m_pictures[index] = picture;
    m_masked[index] = MaskLowerLeft(picture);
}

int TBoardPicture::LoadPieceBitmaps(const std::array<std::string, 4>& files) {
    int loaded = 0;
    for (int i = 0; i < 4; ++i) {
        const QImage img = LoadPictureFile(files[i]);
        if (img.isNull()) continue; // a missing or damaged file must not leave the piece invisible
        SetPiecePicture(i, img);
        ++loaded;
    }
    return loaded;
}

void TBoardPicture::DrawBoardSquares(const TBoardView& view) {
    QPainter p(&m_image);
    p.fillRect(m_image.rect(), ToQColor(view.dark));
    const QColor light = ToQColor(view.light);
    QPen pen(light);
    pen.setWidth(2);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(38, 38), QPoint(843, 843)));
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const TBoardLabel& label : BoardLabels(view.variant, view.reversed)) {
        QFont font("Arial");
        font.setBold(true);
        font.setPixelSize(label.pointSize * 96 / 72); // points at the screen's 96 dpi
        p.setFont(font);
        const QFontMetrics fm(font);
        p.drawText(QPoint(label.x, label.y + fm.ascent()), QString::fromStdString(label.text));
    }
}

void TBoardPicture::DrawPieces(const TBoardView& view, int square, int value, bool highlighted) {
    QPainter p(&m_image);
    DrawPiecesWith(p, view, square, value, highlighted);
}

void TBoardPicture::DrawPiecesWith(QPainter& p, const TBoardView& view, int square, int value,
                                   bool highlighted) {
    const TSquareCells c = SquareCells(square, view.variant, view.reversed);
    const int s = c.size;
    p.fillRect(c.darkX, c.y, s, s, ToQColor(view.dark));
    p.fillRect(c.lightX, c.y, s, s, ToQColor(view.light));
    if (highlighted && view.playMode && view.highlight)
        p.fillRect(c.darkX + 10, c.y + 10, s - 20, s - 20, QColor(255, 0, 0));
    const int pic = PiecePictureOf(value, view.variant);
    if (pic >= 0) {
        const int d = PieceInset(view.variant);
        p.drawImage(c.darkX + d, c.y + d, m_masked[pic]);
    }
}

void TBoardPicture::Draw(const TBoardView& view, const TBoard& board,
                         const std::array<bool, MaxSquares + 1>& flags, bool withFrame) {
    if (withFrame) DrawBoardSquares(view);
    const int squares = SquaresOf(view.variant);
    QPainter p(&m_image); // one painter for the whole position: the timer redraws it often
    for (int sq = 1; sq <= squares; ++sq)
        DrawPiecesWith(p, view, sq, board[sq], flags[sq]);
}

void DrawBoard(TBoardPicture& picture, bool withFrame, const std::function<void()>& repaint) {
    TGameSession& session = GameSession();
    TBoardView view;
    view.variant = session.CurrentVariant();
    view.reversed = BoardReversed != 0;
    view.playMode = AnalysisMode == 0;
    view.highlight = HighlightLastMove;
    view.dark = DarkSquareColor;
    view.light = LightSquareColor;
    {
        // The position and the last move's squares as one, whatever the engine thread does.
        TGameLock lock = session.Lock();
        picture.Draw(view, session.CurrentBoard(),
                     HighlightFlags(session.CurrentGame(lock), session.CurrentNode()), withFrame);
    }
    if (repaint) repaint();
}

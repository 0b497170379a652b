#pragma once
// The 880 x 880 board picture and the four piece pictures it is drawn with.
// Draws into a QImage, so it runs without a window. User-interface thread only.

#include "rules/board.h"
#include "rules/game.h"

#include <QImage>

class QPainter;
#include <array>
#include <functional>
#include <string>

// A picture (any format Qt reads) from the file `path`, read as bytes first; a null image when it
// cannot be read, also when the name is no regular file (nothing waits on a FIFO or reads a device).
QImage LoadPictureFile(const std::string& path);

// What one drawing needs; DrawBoard fills it from the process-wide state.
struct TBoardView {
    TGameType variant = gtRussian;
    bool reversed = false;
    bool playMode = false; // the last move is highlighted in play mode only
    bool highlight = true; // and only while "Highlight last move" is checked
    std::uint32_t dark = 0x808040, light = 0xF0F0E3;
};

class TBoardPicture {
  public:
    TBoardPicture();

    const QImage& Image() const { return m_image; }

    // Piece pictures by index pcBlackKing .. pcWhiteKing. The colour of the lower-left pixel is
    // drawn transparent.
    void SetPiecePicture(int index, const QImage& picture);
    const QImage& PiecePicture(int index) const { return m_pictures[index]; }
    // The picture as the board draws it: the lower-left pixel's colour transparent.
    const QImage& TransparentPiecePicture(int index) const { return m_masked[index]; }

    // Margin, frame and edge labels.
    void DrawBoardSquares(const TBoardView& view);
    // One playing square with its light neighbour, the highlight and the piece.
    void DrawPieces(const TBoardView& view, int square, int value, bool highlighted);
    // The whole position; `withFrame` redraws margin, frame and labels first.
    void Draw(const TBoardView& view, const TBoard& board, const std::array<bool, MaxSquares + 1>& flags,
              bool withFrame);

    // Loads the picture files (black king, black man, white man, white king). A missing file, or one
    // that does not decode, keeps the picture there is. Returns how many were replaced.
    int LoadPieceBitmaps(const std::array<std::string, 4>& files);

    // The pictures the program starts with, before any file is read.
    static QImage BuiltInPiecePicture(int index);

  private:
    void DrawPiecesWith(QPainter& p, const TBoardView& view, int square, int value, bool highlighted);

    QImage m_image;
    std::array<QImage, 4> m_pictures; // as given, for the colour dialog
    std::array<QImage, 4> m_masked;   // the same with the transparent colour cleared
};

// The main window's drawing: the current position with the process-wide settings, then a repaint
// through `repaint` (may be empty).
void DrawBoard(TBoardPicture& picture, bool withFrame, const std::function<void()>& repaint);

#pragma once
// The search dialog's pattern board: its piece pictures (discs for men, crowned discs for kings, a
// question mark for "any"), the drawing of the whole board and of one square into a 175 x 175 image,
// and the widget SearchBrdImage that shows that image and reports mouse presses.
// Interface thread only.

#include "gamedb/search_board.h"
#include "gamedb/ui/image_control.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <array>

// The pictures of the pattern values: FigureImg2 value 1, FigureImg1 value 2, FigureImg3 value -1,
// FigureImg4 value -2, FigureImg5 value 3 (any). Each is 14 x 14 pixels with a transparent ground.
struct TPatternPictures {
    QImage FigureImg1, FigureImg2, FigureImg3, FigureImg4, FigureImg5;
    // The picture of a value as shown, or nullptr for an empty square.
    const QImage* Of(int value) const;
};
const TPatternPictures& PatternPictures();

struct TSearchBoardColors {
    QColor dark{0x40, 0x80, 0x80};
    QColor light{0xE3, 0xF0, 0xF0};
};

// Paints `square` of `pattern` into `image` (175 x 175): its dark and light cells, and the piece
// picture of its value on the dark cell.
void DrawSearchSquare(QImage& image, TSearchBoard kind, const TSearchBoardColors& colors, int square,
                      std::int8_t value);
// The whole board: the dark ground, the frame in the light colour and every square of the kind.
void DrawSearchBoard(QImage& image, TSearchBoard kind, const TSearchBoardColors& colors,
                     const TSearchPattern& pattern);

// SearchBrdImage: shows its image at its own size; a mouse press reports the button (0 left, 1
// right, 2 middle) and the point in the image.
class TSearchBoardImage : public TImageControl {
    Q_OBJECT
  public:
    explicit TSearchBoardImage(QWidget* parent = nullptr);
    QImage& Image() { return OwnImage(); }
    const QImage& Image() const { return TImageControl::Image(); }
};

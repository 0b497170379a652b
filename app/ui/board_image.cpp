#include "app/ui/board_image.h"

#include "app/ui/board_picture.h"

TBoardImage::TBoardImage(const TBoardPicture& picture, QWidget* parent)
    : TImageControl(picture.Image(), parent) {
    setObjectName("BoardImage");
}

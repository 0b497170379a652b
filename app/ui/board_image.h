#pragma once
// The board image control: shows the 880-pixel board picture stretched to its own size.

#include "gamedb/ui/image_control.h"

class TBoardPicture;

class TBoardImage : public TImageControl {
    Q_OBJECT
  public:
    TBoardImage(const TBoardPicture& picture, QWidget* parent = nullptr);
};

#include "gif/gif_extension.h"

#include "gif/gif_sub_image.h"

TGIFExtension::TGIFExtension(TGIFSubImage& subImage) : TGIFItem(subImage.Image()), m_SubImage(subImage) {}

#include "gif/gif_image_settings.h"

bool GIFPaletteDisplay = false;

bool DitherApplies(std::uint16_t drawOptions) {
    return (drawOptions & goDither) && (!(drawOptions & goAutoDither) || GIFPaletteDisplay);
}

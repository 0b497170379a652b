#include "app/core/diagram_export.h"

#include "app/core/resample.h"
#include "gif/gif_image.h"
#include "rules/file_names.h"

TBitmap MakeDiagram(TBitmap board, int size) {
    TBitmap diagram(size, size, pf24bit);
    ResampleBitmap(board, diagram, TriangleFilter, 1.0f);
    return diagram;
}

std::string DiagramFileName(const std::string& chosen) {
    return StripExtension(chosen) + ".gif";
}

void SaveDiagramGif(const TBitmap& diagram, const std::string& fileName) {
    TGIFImage image;
    image.Assign(diagram);
    image.SaveToFile(fileName);
}

#include "gif/gif_image.h"

#include "gif/gif_file_stream.h"
#include "gif/gif_utils.h"
#include "gif/system_palettes.h"

#include <algorithm>

TGIFImage::TGIFImage() : m_Images(this), m_Header(this) {
    Clear();
}

TGIFImage::~TGIFImage() {
    StopPainters();
    // Frames refer to the header's colour table; free them first.
    m_Images.Clear();
}

void TGIFImage::AttachPainter(IGIFPainter* painter) {
    if (std::find(m_Painters.begin(), m_Painters.end(), painter) == m_Painters.end())
        m_Painters.push_back(painter);
}

void TGIFImage::DetachPainter(IGIFPainter* painter) {
    std::erase(m_Painters, painter);
    if (m_CurrentPainter == painter) m_CurrentPainter = nullptr;
}

void TGIFImage::StopPainters() {
    // A painter may detach itself, or others, while it stops.
    while (!m_Painters.empty()) {
        IGIFPainter* painter = m_Painters.back();
        m_Painters.pop_back();
        if (m_CurrentPainter == painter) m_CurrentPainter = nullptr;
        painter->ImageGone();
    }
    m_CurrentPainter = nullptr;
}

void TGIFImage::Clear() {
    StopPainters();
    m_Bitmap.reset();
    m_Images.Clear();
    m_Header.m_ColorMap.Clear();
    m_Header.m_Width = 0;
    m_Header.m_Height = 0;
    m_Header.m_Packed = m_Header.ComputePackedFields();
    m_Palette.reset();
}

void TGIFImage::Assign(const TGIFImage& source) {
    if (&source == this) return;
    Clear();
    // The source's events report the copy; ours are put back afterwards, also on failure.
    const TGIFWarning ownWarning = OnWarning;
    const TProgressEvent ownProgress = OnProgress;
    OnWarning = source.OnWarning;
    OnProgress = source.OnProgress;
    auto restore = [&] {
        OnWarning = ownWarning;
        OnProgress = ownProgress;
    };
    try {
        Progress(psStarting, 0, "Copying...");
        m_Header.Assign(source.m_Header);
        m_ThreadPriority = source.m_ThreadPriority;
        m_BackgroundColor = source.m_BackgroundColor;
        m_Settings.drawOptions = source.m_Settings.drawOptions;
        m_Settings.colorReduction = source.m_Settings.colorReduction;
        m_Settings.ditherMode = source.m_Settings.ditherMode;
        const int count = source.m_Images.Count();
        for (int i = 0; i < count; ++i) {
            auto frame = std::make_unique<TGIFSubImage>(this);
            frame->Assign(source.m_Images[i]);
            m_Images.Add(std::move(frame));
            Progress(psRunning, (i + 1) * 100 / count, "Copying...");
        }
        Progress(psEnding, 100, "Copying...");
    } catch (...) {
        Progress(psEnding, 0, "Copying...");
        restore();
        throw;
    }
    restore();
}

void TGIFImage::Assign(const TBitmap& source) {
    Clear();
    Add(source);
}

int TGIFImage::Add(const TBitmap& source) {
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(source);
    return Add(std::move(frame));
}

int TGIFImage::Add(std::unique_ptr<TGIFSubImage> frame) {
    if (!frame) Error("Object type not supported for operation");
    const int index = m_Images.Add(std::move(frame));
    FreeBitmap();
    Changed();
    return index;
}

void TGIFImage::SetWidth(std::int64_t value) {
    if (value < 0 || value > 65535) Error("Invalid image dimensions");
    for (int i = 0; i < m_Images.Count(); ++i)
        if (static_cast<std::int64_t>(m_Images[i].Left()) + m_Images[i].Width() > value)
            Error("Image width too small for contained frames");
    if (value == m_Header.m_Width) return;
    m_Header.m_Width = static_cast<std::uint16_t>(value);
    FreeBitmap();
    Changed();
}

void TGIFImage::SetHeight(std::int64_t value) {
    if (value < 0 || value > 65535) Error("Invalid image dimensions");
    for (int i = 0; i < m_Images.Count(); ++i)
        if (static_cast<std::int64_t>(m_Images[i].Top()) + m_Images[i].Height() > value)
            Error("Image height too small for contained frames");
    if (value == m_Header.m_Height) return;
    m_Header.m_Height = static_cast<std::uint16_t>(value);
    FreeBitmap();
    Changed();
}

void TGIFImage::SetScreenSize(std::uint16_t width, std::uint16_t height) {
    m_Header.m_Width = width;
    m_Header.m_Height = height;
}

TGIFVersion TGIFImage::Version() const {
    TGIFVersion version = gvUnknown;
    for (int i = 0; i < m_Images.Count() && version != gv89a; ++i)
        version = std::max(version, m_Images[i].GetVersion());
    return version;
}

int TGIFImage::BitsPerPixel() const {
    int bits = m_Header.ColorMap().BitsPerPixel();
    for (int i = 0; i < m_Images.Count(); ++i)
        bits = std::max(bits, m_Images[i].ColorMap().BitsPerPixel());
    return bits;
}

void TGIFImage::SaveToStream(TStream& stream) {
    Progress(psStarting, 0, "Saving...");
    try {
        m_Header.SaveToStream(stream);
        m_Images.SaveToStream(stream);
        TGIFTrailer(this).SaveToStream(stream);
    } catch (...) {
        Progress(psEnding, 0, "Saving...");
        throw;
    }
    Progress(psEnding, 100, "Saving...");
}

void TGIFImage::SaveToFile(const std::string& fileName) {
    TMemoryStream stream;
    SaveToStream(stream);
    WriteFileBytes(fileName, stream.Bytes());
}

void TGIFImage::LoadFromStream(TStream& stream) {
    Progress(psStarting, 0, "Loading...");
    Clear();
    const std::int64_t start = stream.Position();
    try {
        m_Header.LoadFromStream(stream);
        m_Images.LoadFromStream(stream);
        TGIFTrailer(this).LoadFromStream(stream);
    } catch (...) {
        stream.SetPosition(start);
        Progress(psEnding, 0, "Loading...");
        throw;
    }
    Progress(psEnding, 100, "Loading...");
}

void TGIFImage::LoadFromFile(const std::string& fileName) {
    TGIFFileStream stream(fileName);
    LoadFromStream(stream);
}

std::optional<TPalette> TGIFImage::GetPalette() {
    if (m_BuildingPalette) Error("No global or local color table defined");
    if (m_Bitmap && !m_Bitmap->Palette().empty()) return m_Bitmap->Palette();
    if (m_Palette) return m_Palette;
    m_BuildingPalette = true;
    std::optional<TPalette> result;
    if (DitherApplies(m_Settings.drawOptions)) {
        m_Palette = NetscapePalette(pcNoCollapse);
        result = m_Palette;
    } else if (m_Header.ColorMap().Count() > 0) {
        result = m_Header.ColorMap().ExportPalette();
    } else if (m_Images.Count() > 0) {
        result = m_Images[0].Palette();
    }
    m_BuildingPalette = false;
    return result;
}

void TGIFImage::SetPalette(std::optional<TPalette> palette) {
    m_Palette = std::move(palette);
    if (m_Bitmap && (!m_Palette || m_Bitmap->Palette() != *m_Palette)) {
        FreeBitmap();
        Changed();
    }
}

void TGIFImage::PaletteModified() {
    m_Palette.reset();
    // Frames drawn in the global colours.
    for (int i = 0; i < m_Images.Count(); ++i)
        m_Images[i].PaletteModified();
}

void TGIFImage::Warning(TGIFSeverity severity, const std::string& message) {
    if (OnWarning) OnWarning(severity, message);
}

void TGIFImage::Progress(TProgressStage stage, int percent, const std::string& message) {
    if (OnProgress) OnProgress(stage, percent, message);
}

void TGIFImage::Changed() {
    if (OnChange) OnChange();
}

void TGIFImage::FreeBitmap() {
    m_Bitmap.reset();
}

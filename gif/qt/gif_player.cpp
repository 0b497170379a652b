#include "gif/qt/gif_player.h"

#include "gif/gif_app_extension.h"

#include <QPointer>

TGIFPlayer::TGIFPlayer(TGIFImage& image, QObject* parent)
    : QObject(parent), m_Image(&image), m_Options(image.DrawOptions()), m_Speed(image.AnimationSpeed()) {
    // One frame is drawn once.
    if (image.Images().Count() <= 1) m_Options &= static_cast<std::uint16_t>(~(goAsync | goAnimate));
    m_Timer.setSingleShot(true);
    connect(&m_Timer, &QTimer::timeout, this, [this] { ShowFrame(); });
    image.AttachPainter(this);
}

TGIFPlayer::~TGIFPlayer() {
    if (m_Image) m_Image->DetachPainter(this);
}

void TGIFPlayer::Start() {
    if (!m_Image || m_Running) return;
    const bool transparent = m_Options & goTransparent;
    TGIFComposeOptions options;
    options.Transparent = transparent;
    if (!transparent) options.Background = DrawingBackground(*m_Image, m_WindowColor);
    options.DisposeAllToBackground = m_Options & goClearOnLoop;
    options.FrameBitmaps = true;
    try {
        m_Compositor = std::make_unique<TGIFCompositor>(*m_Image, options);
    } catch (const GIFException&) {
        return; // a screen above the size cap is not played
    }
    m_Running = true;
    m_Next = m_Restart = 0;
    m_Active = -1;
    m_PassesLeft = 1;
    m_LoopSeen = m_Forever = m_ShownThisPass = false;
    m_LastWait = 0;
    m_Clock.invalidate();
    const QPointer<TGIFPlayer> self(this);
    emit startPaint();
    if (!self || !m_Running) return;
    ShowFrame();
}

void TGIFPlayer::Stop() {
    Finish();
}

void TGIFPlayer::Wake() {
    if (!m_Running) return;
    m_Timer.stop();
    m_Clock.invalidate(); // woken, not timed out: no drift
    ShowFrame();
}

void TGIFPlayer::ShowFrame() {
    if (!m_Running || !m_Image) return;
    const TGIFImageList& frames = m_Image->Images();
    if (m_Next >= frames.Count() || frames[m_Next].Empty()) {
        EndPass();
        return;
    }
    // How late this frame comes against the wait asked for after the one before.
    const int drift = m_Clock.isValid() ? static_cast<int>(m_Clock.elapsed()) - m_LastWait : 0;
    m_Clock.start();
    const int index = m_Next;
    const TGIFSubImage& frame = frames[index];
    const bool synchronous = !(m_Options & goAsync);
    const std::optional<int> wait = FrameWaitMs(frame, m_Speed, synchronous, drift);

    const QPointer<TGIFPlayer> self(this);
    emit beforeFrame(index);
    if (!self || !m_Running) return;
    // The first loop extension of the whole play sets the passes and where they start.
    for (int i = 0; i < frame.Extensions().Count() && !m_LoopSeen; ++i)
        if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(&frame.Extensions()[i])) {
            m_LoopSeen = true;
            m_PassesLeft = loop->Loops;
            m_Restart = index;
            if (loop->Loops == 0 && !synchronous) m_Forever = true;
        }
    m_Compositor->DrawFrame(index);
    const QImage view(reinterpret_cast<const uchar*>(m_Compositor->Canvas().data()), m_Compositor->Width(),
                      m_Compositor->Height(), m_Compositor->Width() * 4, QImage::Format_ARGB32);
    m_Frame = view.copy();
    m_Active = index;
    m_ShownThisPass = true;
    emit afterFrame(index);
    if (!self || !m_Running) return;
    emit frameReady(m_Frame);
    if (!self || !m_Running) return;
    if (!(m_Options & goAnimate)) {
        Finish();
        return;
    }
    m_Next = index + 1;
    Schedule(wait);
}

void TGIFPlayer::Schedule(std::optional<int> waitMs) {
    if (!waitMs) {
        m_LastWait = 0; // until Wake
        m_Clock.invalidate();
        return;
    }
    m_LastWait = std::max(*waitMs, 0);
    m_Timer.start(m_LastWait);
}

void TGIFPlayer::EndPass() {
    if (m_PassesLeft > 0) --m_PassesLeft;
    const bool again = (m_Options & goAnimate) && (m_Options & goLoop) &&
                       (m_PassesLeft != 0 || m_Forever || (m_Options & goLoopContinously));
    // A pass that showed nothing would loop without end.
    if (!again || !m_ShownThisPass) {
        Finish();
        return;
    }
    m_ShownThisPass = false;
    const QPointer<TGIFPlayer> self(this);
    emit loop();
    if (!self || !m_Running) return;
    m_Next = m_Restart;
    ShowFrame();
}

void TGIFPlayer::Finish() {
    if (!m_Running) return;
    m_Running = false;
    m_Timer.stop();
    m_Active = -1;
    emit endPaint();
}

void TGIFPlayer::ImageGone() {
    // The image is going: nothing of it may be touched from here on.
    const bool running = m_Running;
    m_Running = false;
    m_Timer.stop();
    m_Compositor.reset();
    m_Image = nullptr;
    m_Active = -1;
    if (running) emit endPaint();
}

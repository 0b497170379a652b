#pragma once
// Plays a GIF image's frames on the GUI thread: a single-shot timer steps from frame to frame
// with the frames' delays and disposal methods, composing each on the logical screen. One
// frameReady signal per frame, and the painter's five events. No thread and no blocking wait.
// GUI thread only; the image must not change while the player runs (clearing or destroying it
// stops the player first).

#include "gif/gif_compositor.h"
#include "gif/gif_image.h"
#include "gif/gif_painter.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTimer>

#include <memory>

class TGIFPlayer : public QObject, public IGIFPainter {
    Q_OBJECT
  public:
    // Takes the image's draw options and animation speed as they are now. Without goAsync it
    // follows the synchronous painter's rules (delays capped at 10 s, a loop count of 0 plays
    // once, 12 s between frames at speed 0 or below).
    explicit TGIFPlayer(TGIFImage& image, QObject* parent = nullptr);
    ~TGIFPlayer() override;

    // What is painted where no frame painted and where disposal 2 clears, when drawing is not
    // transparent and the image has no background colour of its own and no global table.
    void SetWindowColor(TRGBA colour) { m_WindowColor = colour; }
    // The canvas and rectangle this player draws for (set by DrawGIF).
    void SetTarget(QObject* canvas, const QRect& rect) {
        m_Canvas = canvas;
        m_Rect = rect;
    }
    QObject* Canvas() const { return m_Canvas; }
    const QRect& Rect() const { return m_Rect; }

    // Composes and shows the first frame at once, then steps on by the timer.
    void Start();
    // Ends the play (endPaint follows); the last frame stays in Frame().
    void Stop();
    // Ends the wait of a frame that waits without limit (animation speed 0).
    void Wake();
    bool Running() const { return m_Running; }
    // The frame shown, -1 before the first and after the end.
    int ActiveFrame() const { return m_Active; }
    // The logical screen as the last frame left it.
    const QImage& Frame() const { return m_Frame; }
    TGIFImage* Image() const { return m_Image; }

  signals:
    void frameReady(const QImage& frame);
    void startPaint();
    void beforeFrame(int index);
    void afterFrame(int index);
    void loop();
    void endPaint();

  private:
    void ImageGone() override;
    void ShowFrame();
    void EndPass();
    void Finish();
    void Schedule(std::optional<int> waitMs);

    TGIFImage* m_Image;
    std::uint16_t m_Options;
    int m_Speed;
    TRGBA m_WindowColor = OpaqueRGBA(255, 255, 255);
    QObject* m_Canvas = nullptr;
    QRect m_Rect;
    std::unique_ptr<TGIFCompositor> m_Compositor;
    QImage m_Frame;
    QTimer m_Timer;
    QElapsedTimer m_Clock;
    int m_LastWait = 0;
    bool m_Running = false;
    int m_Next = 0; // the frame to show next
    int m_Active = -1;
    int m_Restart = 0; // where a loop starts again
    int m_PassesLeft = 1;
    bool m_LoopSeen = false;
    bool m_Forever = false;
    bool m_ShownThisPass = false;
};

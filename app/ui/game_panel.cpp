#include "app/ui/game_panel.h"

#include "platform/codepage.h"

#include <QFontMetrics>

#include <QPainter>
#include <QScrollBar>
#include <array>

namespace {
constexpr int HeaderHeight = 60;
constexpr int LeftMargin = 10;

QString FromCp1251(const std::string& text) {
    return QString::fromStdString(Cp1251ToUtf8(text));
}

// Widths measured with the panel's fonts, as the sum of the characters' advances: shaping every
// head of every comment would cost far more than a timer tick on a long game.
class TFontMetricsAdapter : public TTextMetrics {
  public:
    explicit TFontMetricsAdapter(const QFont (&fonts)[4])
        : m_metrics{QFontMetrics(fonts[0]), QFontMetrics(fonts[1]), QFontMetrics(fonts[2]),
                    QFontMetrics(fonts[3])} {
        for (auto& row : m_advance)
            row.fill(-1);
    }
    int TextWidth(const std::string& text, std::uint8_t kind) const override {
        const int k = kind < 4 ? kind : 1;
        int width = 0;
        for (const char c : text) {
            int& advance = m_advance[k][static_cast<unsigned char>(c)];
            if (advance < 0)
                advance = m_metrics[k].horizontalAdvance(
                    QChar(static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(c)))));
            width += advance;
        }
        return width;
    }

  private:
    QFontMetrics m_metrics[4];
    mutable std::array<std::array<int, 256>, 4> m_advance;
};
} // namespace

TGamePanel::TGamePanel(QWidget* owner) : QWidget(owner), m_scrollBar(new QScrollBar(Qt::Vertical, this)) {
    setObjectName("GamePanel");
    m_scrollBar->setObjectName("ScrollBar");
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    m_scrollBar->setGeometry(width() - 16, 61, 16, std::max(0, height() - 62));
    m_scrollBar->hide();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this] { ShowGameTree(true); });
}

void TGamePanel::SetNames(const QString& text) {
    m_names = text;
    RewriteHeader();
}

void TGamePanel::SetTournament(const QString& text) {
    m_tournament = text;
    RewriteHeader();
}

void TGamePanel::ReadGameHeader(const TGame& g) {
    m_names = FromCp1251(HeaderNames(g));
    m_tournament = FromCp1251(HeaderTournament(g));
    RewriteHeader();
}

QFont TGamePanel::FontOf(std::uint8_t kind) const {
    QFont f = font();
    f.setBold(kind == ikMainMove);
    f.setItalic(kind == ikItalic);
    return f;
}

int TGamePanel::LineHeight() const {
    return QFontMetrics(font()).height() + 2;
}

int TGamePanel::LinesPerPage() const {
    return std::max(0, (height() - HeaderHeight) / LineHeight());
}

int TGamePanel::FirstLineShown() const {
    if (m_scrollBar->isHidden()) return 0;
    return std::min(m_scrollBar->value(), m_highestFirstLine);
}

void TGamePanel::DoBuildGameTree(const TGame& g) {
    const QFont fonts[4] = {FontOf(0), FontOf(1), FontOf(2), FontOf(3)};
    TFontMetricsAdapter metrics(fonts);
    m_layout.Build(g, metrics, m_style, width() - 27);
    UpdateScrollBar();
    ShowGameTree(true);
}

void TGamePanel::UpdateScrollBar() {
    const int lastLine = m_layout.LastLine();
    const int page = LinesPerPage();
    if (page > lastLine) {
        m_scrollBar->hide();
        m_highestFirstLine = 0;
        return;
    }
    m_scrollBar->setPageStep(page);
    m_scrollBar->setMaximum(lastLine);
    m_scrollBar->show();
    m_highestFirstLine = lastLine - page + 1;
}

void TGamePanel::ShowGameTree(bool) {
    // Qt repaints whole regions, so every paint fills the area first.
    update();
}

void TGamePanel::RewriteHeader() {
    update(0, 0, width(), HeaderHeight);
}

int TGamePanel::GetMoveClick(int x, int y) const {
    if (y <= HeaderHeight) return 0;
    const int line = (y - HeaderHeight) / LineHeight() + FirstLineShown();
    return m_layout.NodeAt(x, line);
}

void TGamePanel::PaintPanel(QPainter& p, bool clear) const {
    const QColor face = palette().color(QPalette::Button);
    const QColor text = palette().color(QPalette::WindowText);
    // Header band.
    p.fillRect(1, 1, width() - 2, 50, face);
    QFont bold = font();
    bold.setBold(true);
    if (bold.pointSize() > 0) bold.setPointSize(bold.pointSize() + 2);
    p.setPen(text);
    p.setFont(bold);
    p.drawText(QRect(0, 6, width(), QFontMetrics(bold).height()), Qt::AlignHCenter | Qt::AlignTop, m_names);
    QFont italic = font();
    italic.setItalic(true);
    p.setFont(italic);
    p.drawText(QRect(0, 31, width(), QFontMetrics(italic).height()), Qt::AlignHCenter | Qt::AlignTop,
               m_tournament);

    // Tree area.
    const QRect area(LeftMargin, HeaderHeight, width() - LeftMargin - 1, height() - HeaderHeight - 1);
    if (clear) p.fillRect(area, face);
    p.setClipRect(area);
    const int lineHeight = LineHeight();
    const int first = FirstLineShown();
    const int page = LinesPerPage();
    const auto& items = m_layout.Items();
    const int ascent = QFontMetrics(font()).ascent();
    for (std::size_t i = m_layout.FirstItemOnLine(first); i < items.size() && items[i].line < first + page;
         ++i) {
        const TDisplayItem& item = items[i];
        const QFont f = FontOf(item.kind);
        const QString s = FromCp1251(item.text);
        const int x = area.left() + item.xStart;
        const int y = area.top() + (item.line - first) * lineHeight;
        const int w = QFontMetrics(f).horizontalAdvance(s);
        QColor pen = text;
        QColor back = face;
        if (item.node != 0 && item.node == m_currentNode) {
            pen = Qt::white;
            back = QColor(128, 128, 128);
        } else if (item.kind == ikComment) {
            pen = QColor(96, 96, 96);
        }
        p.fillRect(x, y, w, lineHeight - 2, back);
        p.setFont(f);
        p.setPen(pen);
        p.drawText(x, y + ascent, s);
    }
    p.setClipping(false);
}

void TGamePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintPanel(p, true);
}

void TGamePanel::resizeEvent(QResizeEvent*) {
    m_scrollBar->setGeometry(width() - 16, 61, 16, std::max(0, height() - 62));
}

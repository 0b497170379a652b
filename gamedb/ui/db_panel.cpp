#include "gamedb/ui/db_panel.h"

#include "platform/codepage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

QString FromCp1251(const std::string& text) {
    return QString::fromStdString(Cp1251ToUtf8(text));
}

int ButtonCode(Qt::MouseButton b) {
    return b == Qt::LeftButton ? 0 : b == Qt::RightButton ? 1 : 2;
}

const QColor CurrentBackground(128, 128, 128);
const QColor DeletedText(128, 128, 128);

} // namespace

TDBPanel::TDBPanel(const TDatabaseSession& session, QWidget* parent)
    : QWidget(parent), ScrollBar(new QScrollBar(Qt::Vertical, this)), m_session(session) {
    setObjectName("DBPanel");
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ScrollBar->setObjectName("ScrollBar");
    ScrollBar->setFocusPolicy(Qt::NoFocus);
    ScrollBar->setRange(0, 0);
    ScrollBar->setEnabled(false);
    connect(ScrollBar, &QScrollBar::valueChanged, this, [this] {
        ReadGames();
        DoRepaint();
    });
    PlaceScrollBar();
}

int TDBPanel::LineHeight() const {
    return ListLineHeight(QFontMetrics(font()).height());
}

void TDBPanel::SetParams() {
    m_page = PageParams(height(), LineHeight(), m_session.GameListCount());
    // The range first: a value past the new maximum moves back, and the page is read again.
    ScrollBar->setRange(0, m_page.scrollMaximum);
    ScrollBar->setPageStep(std::max(m_page.pageStep, 1));
    ScrollBar->setSingleStep(1);
    ScrollBar->setEnabled(m_page.scrollEnabled);
}

void TDBPanel::ReadGames() {
    m_offset = FirstEntryOffset(ScrollBar->value(), m_page);
    m_lines = ReadListPage(m_session.GameDatabase, m_session.GameList, m_offset, m_page.lines);
    m_shown.resize(m_lines.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const TListLine& l = m_lines[i];
        m_shown[i] = {FromCp1251(l.number), FromCp1251(l.players), FromCp1251(l.event), FromCp1251(l.year),
                      FromCp1251(l.result), FromCp1251(l.moves),   FromCp1251(l.marks), l.deleted};
    }
}

std::int32_t TDBPanel::GetLine(int y) const {
    return ListLineAt(y, LineHeight(), m_offset);
}

void TDBPanel::SetColumns(const std::array<int, 7>& columns) {
    m_columns = columns;
}

TListView TDBPanel::View() const {
    TListView v;
    v.current = m_session.GameDatabase.currentGame;
    v.scroll = ScrollBar->value();
    v.lines = m_page.lines;
    v.count = m_session.GameListCount();
    v.scrollEnabled = m_page.scrollEnabled;
    return v;
}

void TDBPanel::ScrollTo(std::int32_t scroll) {
    ScrollBar->setValue(scroll);
}

void TDBPanel::Paint(QPainter& p) const {
    const QColor face = palette().color(QPalette::Button);
    const QColor windowText = palette().color(QPalette::WindowText);
    p.fillRect(rect(), face);
    QFont regular = font(), bold = font(), italic = font();
    bold.setBold(true);
    italic.setItalic(true);
    const int h = LineHeight();
    const std::array<int, 7>& c = m_columns;
    struct TColumn {
        int left, right;
        const QFont* font;
        int align;
        QString TShownLine::*text;
    };
    const TColumn columns[7] = {
        {1, c[0] - 3, &bold, Qt::AlignRight, &TShownLine::number},
        {c[0] + 5, c[1], &bold, Qt::AlignLeft, &TShownLine::players},
        {c[1] + 5, c[2], &italic, Qt::AlignLeft, &TShownLine::event},
        {c[2] + 5, c[3], &regular, Qt::AlignHCenter, &TShownLine::year},
        {c[3] + 5, c[4], &regular, Qt::AlignHCenter, &TShownLine::result},
        {c[4] + 5, c[5], &regular, Qt::AlignHCenter, &TShownLine::moves},
        {c[5] + 5, c[6], &regular, Qt::AlignLeft, &TShownLine::marks},
    };
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        const TShownLine& line = m_shown[i];
        const std::int32_t position = m_offset + static_cast<std::int32_t>(i) + 1;
        const int y = ListTop + static_cast<int>(i) * h;
        QColor background = face, ink = windowText;
        if (position == m_session.GameDatabase.currentGame) {
            background = CurrentBackground;
            ink = Qt::white;
        } else if (line.deleted) {
            ink = DeletedText;
        }
        if (m_session.GameList.Contains(position) && m_session.GameList[position].selected) ink = Qt::red;
        p.fillRect(QRect(1, y, std::max(width() - 2, 0), h), background);
        p.setPen(ink);
        for (const TColumn& col : columns) {
            if (col.right <= col.left) continue;
            const QRect r(col.left, y, col.right - col.left, h);
            p.save();
            p.setClipRect(r);
            p.setFont(*col.font);
            p.drawText(r, col.align | Qt::AlignVCenter, line.*col.text);
            p.restore();
        }
        if (line.deleted) {
            // Through the middle of the letters, where a struck-through text has it.
            const QFontMetrics fm(regular);
            const int baseline = y + (h - fm.height()) / 2 + fm.ascent();
            const int strike = std::clamp(baseline - fm.strikeOutPos(), y, y + h - 1);
            p.drawLine(1, strike, c[6], strike);
        }
    }
}

void TDBPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Paint(p);
}

void TDBPanel::PlaceScrollBar() {
    ScrollBar->setGeometry(width() - 17, ListTop, 16, std::max(height() - 20, 0));
}

void TDBPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceScrollBar();
    emit resized();
}

void TDBPanel::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const QPoint pt = event->position().toPoint();
    emit mouseDown(ButtonCode(event->button()), pt.x(), pt.y());
}

void TDBPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a quick pair: a press like any other, timed by the owner.
    mousePressEvent(event);
}

void TDBPanel::wheelEvent(QWheelEvent* event) {
    m_wheel += event->angleDelta().y();
    const int notches = m_wheel / 120;
    m_wheel -= notches * 120;
    if (notches) emit wheelTurned(notches);
    event->accept();
}

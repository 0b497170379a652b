#pragma once
// The game list panel: one painted widget with a vertical scroll bar over the GameList and
// GameDatabase of the session it is made for (its database window's, which outlives it).
// It reads and draws only the page its scroll bar shows (game_list_page.h), so a list of a million
// games costs what a list of sixty does; no widget, item or model row stands for a game. The current
// game (the database's currentGame, a list position) is drawn on grey, selected games in red, deleted
// ones struck through. Mouse presses, keys and the wheel go to the owner through signals.
// Interface thread only.

#include "gamedb/database_session.h"
#include "gamedb/game_list_input.h"
#include "gamedb/game_list_page.h"

#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QScrollBar;

class TDBPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TDBPanel(const TDatabaseSession& session, QWidget* parent = nullptr);

    QScrollBar* ScrollBar;

    // The page for the panel's height, font and the list's length: lines per page, the scroll bar's
    // range and step, enabled only when the list is longer than the page.
    void SetParams();
    // Reads the lines of the page the scroll bar shows.
    void ReadGames();
    // Repaints the panel.
    void DoRepaint() { update(); }
    // The list position under a point `y` pixels below the panel's top.
    std::int32_t GetLine(int y) const;

    // Right edges of the first six columns and the right end of the seventh, in panel pixels.
    void SetColumns(const std::array<int, 7>& columns);
    const std::array<int, 7>& Columns() const { return m_columns; }

    int LineHeight() const;
    const TPageParams& Page() const { return m_page; }
    std::int32_t FirstEntry() const { return m_offset; } // the position shown first, minus 1
    // The current position, scroll position, page and list length, for the key and mouse handling.
    TListView View() const;
    // Puts the scroll bar at `scroll` (clamped), which re-reads and repaints when it moves.
    void ScrollTo(std::int32_t scroll);

    // The page as read, for tests.
    const std::vector<TListLine>& Lines() const { return m_lines; }
    // Draws the panel as paintEvent does, on any device (tests draw into an image).
    void Paint(QPainter& painter) const;

  signals:
    // A press of `button` (0 left, 1 right, 2 other) at panel point (x, y); a quick second press
    // comes as another press (the owner's timing decides what is a double click).
    void mouseDown(int button, int x, int y);
    // A notch of the wheel: positive away from the user.
    void wheelTurned(int notches);
    void resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    const TDatabaseSession& m_session;
    struct TShownLine {
        QString number, players, event, year, result, moves, marks;
        bool deleted = false;
    };
    void PlaceScrollBar();

    std::array<int, 7> m_columns{55, 249, 442, 487, 527, 557, 617};
    TPageParams m_page;
    std::int32_t m_offset = 0;
    std::vector<TListLine> m_lines;
    std::vector<TShownLine> m_shown;
    int m_wheel = 0; // eighths of a degree not yet turned into notches
};

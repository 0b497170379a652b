#pragma once
// The game panel of the main window: a two-line header and the move tree as clickable text.
// User-interface thread only. The layout lives in TGameTreeLayout; this widget measures, scrolls
// and draws it.

#include "app/core/game_tree_layout.h"

#include <QFont>
#include <QWidget>

class QScrollBar;

class TGamePanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Names READ Names WRITE SetNames)
    Q_PROPERTY(QString Tournament READ Tournament WRITE SetTournament)
  public:
    explicit TGamePanel(QWidget* owner = nullptr);

    QString Names() const { return m_names; }
    QString Tournament() const { return m_tournament; }
    void SetNames(const QString& text);
    void SetTournament(const QString& text);

    // Both header lines from the game's header.
    void ReadGameHeader(const TGame& g);
    // Lays the whole tree out, sets the scroll bar and draws.
    void DoBuildGameTree(const TGame& g);
    // Draws the visible items, filling the tree area first when `clear` is set.
    void ShowGameTree(bool clear);
    void RewriteHeader();
    // The node of the move under (x, y), 0 for none; x from the tree area's left edge, y from the
    // client top.
    int GetMoveClick(int x, int y) const;

    // The main window's notation settings and the node the board shows.
    void SetNotationStyle(const TNotationStyle& style) { m_style = style; }
    void SetCurrentNode(int node) { m_currentNode = node; }
    int LineHeight() const;
    int LinesPerPage() const;
    int FirstLineShown() const;
    const TGameTreeLayout& Layout() const { return m_layout; }
    QScrollBar* ScrollBar() const { return m_scrollBar; }

    // Draws header and items onto any painter of the panel's size (the widget and tests).
    void PaintPanel(QPainter& p, bool clear) const;

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

  private:
    QFont FontOf(std::uint8_t kind) const;
    void UpdateScrollBar();

    QScrollBar* m_scrollBar;
    QString m_names, m_tournament;
    TGameTreeLayout m_layout;
    TNotationStyle m_style;
    int m_currentNode = 0;
    int m_highestFirstLine = 0;
};

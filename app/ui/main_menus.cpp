// The main window's menus, tool bar and controls, with the object names of the form.

#include "app/core/language.h"
#include "app/ui/board_image.h"
#include "app/ui/captions.h"
#include "app/ui/game_panel.h"
#include "app/ui/ibtn.h"
#include "app/ui/main_form.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <tuple>

namespace {
// Arrow pictures of the four navigation buttons: first, back, forward, last.
QPixmap NavigationPicture(int which) {
    QPixmap pm(35, 35);
    pm.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    p.drawRect(0, 0, 34, 34);
    p.setBrush(QColor(0x20, 0x40, 0x80));
    p.setPen(Qt::NoPen);
    const bool left = which < 2;
    const QPolygon tri = left ? QPolygon({QPoint(24, 9), QPoint(24, 26), QPoint(11, 17)})
                              : QPolygon({QPoint(11, 9), QPoint(11, 26), QPoint(24, 17)});
    p.drawPolygon(tri);
    if (which == 0) p.drawRect(8, 9, 3, 17);
    if (which == 3) p.drawRect(24, 9, 3, 17);
    return pm;
}

// The picture of a tool button with its disabled look made plain: the style's own greying leaves
// dark line drawings (the "Search" button's list) looking as enabled as any other.
QIcon WithFadedDisabledLook(const QIcon& icon) {
    QIcon out = icon;
    for (const QSize& size : icon.availableSizes()) {
        QImage grey = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < grey.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
            for (int x = 0; x < grey.width(); ++x) {
                const int g = qGray(line[x]);
                line[x] = qRgba(g, g, g, qAlpha(line[x]) * 3 / 10);
            }
        }
        out.addPixmap(QPixmap::fromImage(grey), QIcon::Disabled);
    }
    return out;
}
} // namespace

QAction* TMainForm::AddItem(QMenu* menu, const char* name, const QString& text) {
    auto* a = menu->addAction(text);
    a->setObjectName(name);
    m_items[name] = a;
    return a;
}

QMenu* TMainForm::AddMenu(QMenu* parent, const char* name, const QString& text) {
    QMenu* m = parent ? parent->addMenu(text) : menuBar()->addMenu(text);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    m_items[name] = m->menuAction();
    return m;
}

void TMainForm::BuildMenus() {
    QMenu* game = AddMenu(nullptr, "N1", "Game");
    AddItem(game, "N2", "New");
    AddItem(game, "Gsmeinformation1", "Game information");
    AddItem(game, "N24", "Setup position");
    QMenu* type = AddMenu(game, "N8", "Type");
    auto* variants = new QActionGroup(this);
    const char* variantItems[7] = {"N9", "N10", "N11", "N12", "N13", "N22", "Czech"};
    const char* variantTexts[7] = {"Russian", "English",       "Brazilian", "American Pool",
                                   "Italian", "International", "Czech"};
    for (int i = 0; i < 7; ++i) {
        QAction* a = AddItem(type, variantItems[i], variantTexts[i]);
        a->setCheckable(true);
        variants->addAction(a);
        connect(a, &QAction::triggered, this,
                [this, i] { SetGameType(static_cast<TGameType>(i + 1), false); });
    }
    game->addSeparator();
    AddItem(game, "N33", "Save game (as new)");
    AddItem(game, "Replacegame1", "Replace game");
    AddItem(game, "Loadpreviousgame1", "Load previous game")->setShortcut(Qt::Key_F3);
    AddItem(game, "N34", "Load next game")->setShortcut(Qt::Key_F4);
    QMenu* exp = AddMenu(game, "expboard", "Export diagram");
    AddItem(exp, "N15", "Clipboard");
    AddItem(exp, "ExportGif", "GIF");
    game->addSeparator();
    connect(AddItem(game, "N3", "Exit"), &QAction::triggered, this, [this] { close(); });

    QMenu* view = AddMenu(nullptr, "N4", "View");
    QMenu* board = AddMenu(view, "N17", "Board");
    QAction* reversed = AddItem(board, "N28", "Reversed");
    reversed->setCheckable(true);
    connect(reversed, &QAction::triggered, this, [this] { N28Click(); });
    auto* sizes = new QActionGroup(this);
    for (const auto& [name, text, command] : {std::tuple{"N18", "Small", &TMainForm::N18Click},
                                              std::tuple{"N19", "Average", &TMainForm::N19Click},
                                              std::tuple{"N20", "Large", &TMainForm::N20Click}}) {
        QAction* a = AddItem(board, name, text);
        a->setCheckable(true);
        sizes->addAction(a);
        connect(a, &QAction::triggered, this, [this, command] {
            (this->*command)();
            RefreshBoardSizeMarks();
        });
    }
    connect(AddItem(view, "Selectcolors1", "Select colors"), &QAction::triggered, this,
            [this] { Selectcolors1Click(); });
    connect(AddItem(view, "Fonr1", "Font"), &QAction::triggered, this, [this] { Fonr1Click(); });
    connect(AddItem(view, "Interface1", "Interface"), &QAction::triggered, this,
            [this] { Interface1Click(); });
    QMenu* language = AddMenu(view, "Language1", "Language");
    struct Language {
        const char *name, *text;
        void (*command)();
    } const languages[5] = {{"English1", "English", English1Click},
                            {"Russian1", "Русский", Russian1Click},
                            {"Portuguese1", "Português", Portuguese1Click},
                            {"French1", "Français", French1Click},
                            {"Italian1", "Italiano", Italian1Click}};
    auto* languageGroup = new QActionGroup(this);
    for (const Language& l : languages) {
        QAction* a = AddItem(language, l.name, QString::fromUtf8(l.text));
        a->setCheckable(true);
        languageGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, command = l.command] {
            command();
            RefreshPhraseTexts();
        });
    }

    QMenu* time = AddMenu(nullptr, "N29", "Time");
    auto* modes = new QActionGroup(this);
    QAction* analysis = AddItem(time, "Analysis_Mode", "Analysis/view mode");
    QAction* play = AddItem(time, "PlayMode", "Play mode");
    for (QAction* a : {analysis, play}) {
        a->setCheckable(true);
        modes->addAction(a);
    }
    connect(analysis, &QAction::triggered, this, [this] { Analysis_ModeClick(); });
    connect(play, &QAction::triggered, this, [this] { PlayModeClick(); });
    time->addSeparator();
    auto* controls = new QActionGroup(this);
    const char* timeItems[6][2] = {{"min1", "3 minutes"},     {"N5min1", "5 minutes"},
                                   {"N10min1", "10 minutes"}, {"N30min1", "30 minutes"},
                                   {"N60min1", "60 minutes"}, {"Anothertimecontrol1", "Set time"}};
    for (auto& t : timeItems) {
        QAction* a = AddItem(time, t[0], t[1]);
        a->setCheckable(true);
        controls->addAction(a);
    }
    m_items["N5min1"]->setChecked(true);
    time->addSeparator();
    AddItem(time, "N55", "Tournament mode")->setCheckable(true);

    QMenu* playMenu = AddMenu(nullptr, "N25", "Play");
    AddItem(playMenu, "Compute1", "Compute!");
    AddItem(playMenu, "Offerdraw1", "Offer draw");
    QMenu* levels = AddMenu(playMenu, "Levels", "Level");
    auto* levelGroup = new QActionGroup(this);
    const char* levelItems[5][2] = {
        {"LevelM", "Master"}, {"LevelC", "Candidate"}, {"Level1", "1"}, {"Level2", "2"}, {"Level3", "3"}};
    for (auto& l : levelItems) {
        QAction* a = AddItem(levels, l[0], l[1]);
        a->setCheckable(true);
        levelGroup->addAction(a);
    }
    m_items["LevelC"]->setChecked(true);
    AddItem(playMenu, "N26", "Coach");
    for (auto hidden :
         {std::pair{"GameAnalysis1", "Game analysis"}, std::pair{"GenerateEDB51", "Generate EDB5"},
          std::pair{"estEDBFunc1", "Test EDB Func"}, std::pair{"Autoplay1", "Autoplay"}})
        AddItem(playMenu, hidden.first, hidden.second)->setVisible(false);

    QMenu* options = AddMenu(nullptr, "N35", "Options");
    AddItem(options, "N36", "Connect to electronic draughts board");
    AddItem(options, "ConnecttoInternetgameserver1", "Connect to Internet game server")->setEnabled(false);
    AddItem(options, "Engineoptions1", "Engine settings");

    QMenu* database = AddMenu(nullptr, "N5", "Database");
    AddItem(database, "N7", "Go to database")->setShortcut(Qt::Key_F2);
    AddItem(database, "Quicksearch1", "Quick search")->setShortcut(Qt::Key_F5);

    QMenu* help = AddMenu(nullptr, "N6", "Help");
    AddItem(help, "N16", "Help");
    connect(AddItem(help, "N14", "About"), &QAction::triggered, this, [this] { ShowAbout(); });

    // The game panel's pop-up menu.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    const char* moveMarks[7][2] = {{"N52", "none"}, {"N38", "!!"}, {"N39", "!"}, {"N40", "!?"},
                                   {"N41", "?!"},   {"N42", "?"},  {"N43", "??"}};
    for (auto& m : moveMarks)
        AddItem(PopupMenu1, m[0], m[1]);
    PopupMenu1->addSeparator();
    const char* positionMarks[8][2] = {{"N53", "none"}, {"N46", "+-"}, {"N47", "+="}, {"N48", "="},
                                       {"N49", "=+"},   {"N50", "-+"}, {"x1", "x"},   {"N51", "~"}};
    for (auto& m : positionMarks)
        AddItem(PopupMenu1, m[0], m[1]);
    PopupMenu1->addSeparator();
    AddItem(PopupMenu1, "N1231", "Comment before move");
    AddItem(PopupMenu1, "N1231231", "Comment after move");
    AddItem(PopupMenu1, "Deleteaftermove1", "Delete line after move");
    AddItem(PopupMenu1, "Promoteline1", "Promote line");
    AddItem(PopupMenu1, "Clearallcomments1", "Clear all comments");
}

void TMainForm::BuildToolBar() {
    m_toolBar = new QToolBar(m_client);
    m_toolBar->setObjectName("ToolBar1");
    m_toolBar->setMovable(false);
    // The pictures come from the style (the desktop's icon theme where there is one); the text
    // stays as the button's accessible name, and the hint is the language's phrase (captions).
    constexpr auto none = QStyle::SP_CustomBase;
    struct Button {
        const char* name;
        const char* text;
        const char* hint;
        bool enabled;
        QStyle::StandardPixmap picture;
    } buttons[] = {
        {"ToolButton1", "", "", false, none},
        {"ToolButton2", "New", "New game", true, QStyle::SP_FileIcon},
        {"ToolButton3", "", "", false, none},
        {"ToolButton5", "Save", "Save game (as new)", true, QStyle::SP_DialogSaveButton},
        {"ToolButton4", "Repl", "Replace game", true, QStyle::SP_BrowserReload},
        {"ToolButton6", "Info", "Game information", true, QStyle::SP_FileDialogInfoView},
        {"ToolButton7", "", "", false, none},
        {"ToolButton8", "<<", "Load previous game", true, QStyle::SP_MediaSkipBackward},
        {"ToolButton9", ">>", "Load next game", true, QStyle::SP_MediaSkipForward},
        {"ToolButton10", "", "", false, none},
        {"ToolButton15", nullptr, nullptr, true, none}, // separator
        {"ToolButton16", "DB", "Database", true, QStyle::SP_DriveHDIcon},
        {"ToolButton12", "Find", "Quick search", true, QStyle::SP_FileDialogContentsView},
        {"ToolButton17", "", "Search", false, QStyle::SP_FileDialogDetailedView},
        {"ToolButton11", "Eng", "Engine settings", true, QStyle::SP_ComputerIcon},
        {"ToolButton18", "", "Internet game", false, QStyle::SP_DriveNetIcon},
        {"ToolButton23", nullptr, nullptr, true, none}, // separator
        {"ToolButton13", "?", "Help", true, QStyle::SP_DialogHelpButton},
    };
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const Button& b : buttons) {
        if (!b.text) {
            m_toolBar->addSeparator()->setObjectName(b.name);
            continue;
        }
        auto* tb = new QToolButton(m_toolBar);
        tb->setObjectName(b.name);
        tb->setText(b.text);
        tb->setAccessibleName(b.hint);
        if (b.picture != none) tb->setIcon(WithFadedDisabledLook(style()->standardIcon(b.picture)));
        tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
        tb->setToolTip(b.hint);
        tb->setEnabled(b.enabled);
        tb->setFixedSize(34, 28);
        m_toolBar->addWidget(tb);
    }
    connect(m_toolBar->findChild<QToolButton*>("ToolButton13"), &QToolButton::clicked, this,
            [this] { ShowAbout(); });
    StopButton = new QPushButton("STOP!", m_toolBar);
    StopButton->setObjectName("StopButton");
    m_toolBar->addWidget(StopButton);
    m_toolBar->setGeometry(0, 0, 2000, 36);
}

void TMainForm::BuildControls() {
    BoardImage = new TBoardImage(m_picture, m_client);
    BoardImage->setGeometry(16, 40, 400, 400);
    auto label = [this](const char* name, const QString& text = QString()) {
        auto* l = new QLabel(text, m_client);
        l->setObjectName(name);
        return l;
    };
    GameType = label("GameType", "Russian");
    GameType->setGeometry(16, 445, 300, 20);
    QFont bold = GameType->font();
    bold.setBold(true);
    GameType->setFont(bold);
    ClockLabel = label("ClockLabel", "00:00:00  00:00:00");
    ClockLabel->setAlignment(Qt::AlignCenter);
    ClockLabel->setFont(bold);
    ClockLabel->hide();
    InfoPanel = label("InfoPanel");
    InfoPanel->setFrameShape(QFrame::StyledPanel);
    InfoPanel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    InfoPanel->setWordWrap(true);
    for (QLabel** p : {&DepthPanel, &EvalPanel, &EnginePanel}) {
        const char* name = p == &DepthPanel ? "DepthPanel" : p == &EvalPanel ? "EvalPanel" : "EnginePanel";
        *p = label(name);
        (*p)->setFrameShape(QFrame::Panel);
        (*p)->setFrameShadow(QFrame::Sunken);
    }
    GamePanel = new TGamePanel(m_client);
    GamePanel->setFocusPolicy(Qt::ClickFocus);
    PageControl1 = new QTabWidget(m_client);
    PageControl1->setObjectName("PageControl1");
    auto* tree = new QWidget;
    tree->setObjectName("TabSheetTree");
    TreeLabel = new QLabel(tree);
    TreeLabel->setObjectName("TreeLabel");
    TreeLabel->setGeometry(4, 4, 110, 110);
    TreeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = new QLabel(tree);
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PageControl1->addTab(tree, "Tree");
    for (int i = 0; i < 4; ++i) {
        SpeedButton[i] = new IBtn(m_client);
        SpeedButton[i]->setObjectName(QString("SpeedButton%1").arg(i + 1));
        SpeedButton[i]->setPixmap(NavigationPicture(i));
        SpeedButton[i]->resize(35, 35);
    }
    auto button = [this](const char* name, const QString& text, const QString& hint, int width) {
        auto* b = new QPushButton(text, m_client);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->resize(width, 35);
        b->hide(); // shown in set-up mode
        return b;
    };
    SetupDone = button("SetupDone", "Done", QString(), 80);
    ClearBrdBtn = button("ClearBrdBtn", "0", "Clear", 35);
    NewBrdBtn = button("NewBrdBtn", "S", "Start position", 35);
    FENPasteBtn = button("FENPasteBtn", "FEN", "FEN", 35);
}

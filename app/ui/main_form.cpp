#include "app/ui/main_form.h"

#include "app/core/engine_requests.h"
#include "rules/hash_table.h"
#include "rules/variant_state.h"

#include "app/core/language.h"
#include "app/core/move_sound.h"
#include "app/core/shell_state.h"
#include "app/ui/about_box.h"
#include "app/ui/board_image.h"
#include "app/ui/captions.h"
#include "app/ui/forms.h"
#include "app/ui/game_panel.h"
#include "app/ui/ibtn.h"
#include "app/ui/interface_form.h"
#include "app/ui/radio_group.h"
#include "app/ui/select_colors.h"
#include "gamedb/ui/database_form.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFontDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <cstdio>

namespace {
std::string g_resourceDir;

// Phrases of the variant label, variants 1 to 7.
const int kVariantPhrases[7] = {5, 6, 7, 8, 9, 10, 146};
const char* const kVariantItems[7] = {"N9", "N10", "N11", "N12", "N13", "N22", "Czech"};
} // namespace

std::string ResourcePath(const std::string& name) {
    if (!g_resourceDir.empty()) return g_resourceDir + name;
    return QCoreApplication::applicationDirPath().toStdString() + "/Resources/" + name;
}

void SetResourceDir(const std::string& dir) {
    g_resourceDir = dir;
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle("Vantor Quillan 2.0");
    m_client = new QWidget(this);
    m_client->setObjectName("ClientArea");
    setCentralWidget(m_client);
    BuildMenus();
    BuildToolBar();
    BuildControls();
    ConnectPlayCommands();
    WireEntryCommands();
    WireEngineCommands();
    // The window refuses sizes below 500 x 380 (FormCanResize).
    setMinimumSize(500, 380);
    resize(1024, 768);
    FormCreate();
}

TMainForm::~TMainForm() {
    // The request hook points at this form's stop button.
    EngineRequestHooks().requestStarted = nullptr;
    delete m_settingsFile;
}

void TMainForm::FormCreate() {
    CreateEngineIdleEvent();
    // The board picture is 880 x 880 from its construction.
    DrawBoard(true);
    // Without a window manager "maximised" is only a hint: cover the screen in that case too.
    if (const QScreen* sc = screen()) setGeometry(sc->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(25);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
}

QAction* TMainForm::Item(const QString& name) const {
    const auto it = m_items.find(name);
    return it == m_items.end() ? nullptr : it->second;
}

QWidget* TMainForm::Control(const QString& name) const {
    return findChild<QWidget*>(name);
}

void TMainForm::ApplyLanguage(int language) {
    SetLanguage(language);
    RefreshPhraseTexts();
}

void TMainForm::RefreshPhraseTexts() {
    GameType->setText(PhraseString(kVariantPhrases[m_session.CurrentVariant() - 1]));
    SetBoardSize(0); // a longer label may need the button row moved
    PageControl1->setTabText(0, PhraseString(46));
    // The depth panel keeps its figures until the engine's next report; only its word changes.
    const QString depth = DepthPanel->text();
    if (!depth.isEmpty()) {
        const int blank = depth.indexOf(' ');
        DepthPanel->setText(PhraseString(59) + (blank < 0 ? QString() : depth.mid(blank)));
    }
    const char* languageItems[5] = {"English1", "Russian1", "Portuguese1", "French1", "Italian1"};
    for (int i = 0; i < 5; ++i)
        Item(languageItems[i])->setChecked(CurrentLanguage() == langEnglish + i);
}

void TMainForm::RefreshBoardSizeMarks() {
    // "Average" is any size between the two ends.
    Item("N18")->setChecked(Shell.BoardSizeSetting <= MinBoardSize);
    Item("N20")->setChecked(Shell.BoardSizeSetting >= LargeBoardRequest);
    Item("N19")->setChecked(Shell.BoardSizeSetting > MinBoardSize &&
                            Shell.BoardSizeSetting < LargeBoardRequest);
}

int TMainForm::LanguageForSettings() const {
    return CurrentLanguage();
}

void TMainForm::RebuildGamePanel() {
    TGameLock lock = m_session.Lock();
    TNotationStyle style;
    style.variant = m_session.CurrentVariant();
    style.fullNotation = Shell.FullNotation;
    style.captureSeparator = Shell.CaptureSeparator;
    GamePanel->SetNotationStyle(style);
    GamePanel->SetCurrentNode(m_session.CurrentNode());
    GamePanel->DoBuildGameTree(m_session.CurrentGame(lock));
}

void TMainForm::ReadGameHeaderIntoPanel() {
    TGameLock lock = m_session.Lock();
    GamePanel->ReadGameHeader(m_session.CurrentGame(lock));
}

// ---- start-up ------------------------------------------------------------------------------

void TMainForm::ReadSettings() {
    // The opening book first: every variant switch below reopens it, and the engine plays from it.
    // The hook outlives the windows: once the database window is gone the book opens silently.
    VariantHooks().openBook = [window = QPointer<TDatabaseForm>(DatabaseForm())](TGameType variant) {
        OpeningBook().Open(variant, window ? window->Session().Prompt() : SilentPrompt());
    };
    static TOpeningBookMoves engineBook;
    SetBookMoves(&engineBook);
    // The settings file, and every other relative path of the program, hang off the directory
    // the program was started in.
    Shell.AppDir = QDir::currentPath().toStdString();
    if (Shell.AppDir.empty() || Shell.AppDir.back() != '/') Shell.AppDir += '/';
    delete m_settingsFile;
    m_settingsFile = new TIniFile(Shell.AppDir + "tavrix.ini");
    if (!m_settingsFile->Refused().empty())
        std::fprintf(stderr, "tavrix: %s\n", m_settingsFile->Refused().c_str());
    TShellSettings current;
    current.darkSquares = Shell.DarkSquareColor;
    current.lightSquares = Shell.LightSquareColor;
    current.gameFont = GameFontSetting();
    current.databaseFont = DatabaseFontSetting();
    TShellSettings s = DefaultShellSettings(Shell.AppDir, current);
    ReadShellSettings(*m_settingsFile, s);

    // The mode first: it places the game panel and shows or hides the clock, which the steps
    // below fill.
    if (s.playingMode)
        PlayModeClick();
    else
        Analysis_ModeClick();
    // The display values and piece pictures before anything is drawn (the variant switch below
    // draws the board).
    const TGameType variant = static_cast<TGameType>(s.typeOfGame);
    Shell.SoundOn = s.sound;
    InterfaceForm()->Highlight->setChecked(s.highlightMove);
    Shell.BoardSizeSetting = s.boardSize;
    RefreshBoardSizeMarks();
    Shell.DarkSquareColor = s.darkSquares;
    Shell.LightSquareColor = s.lightSquares;
    Shell.PiecePictures = s.pictures;
    m_picture.LoadPieceBitmaps(Shell.PiecePictures);
    // The language and notation before the captions and the game panel are built with them.
    const int language = s.language;
    InterfaceForm()->notation->SetItemIndex(s.notation);
    InterfaceForm()->TakeChar->SetItemIndex(s.takeChar);
    Shell.CaptureSeparator =
        InterfaceForm()->TakeChar->ItemText(InterfaceForm()->TakeChar->ItemIndex()).left(1).toStdString();
    Shell.FullNotation = InterfaceForm()->notation->ItemIndex() == 1;
    // The book names and memory sizes before the variant switch opens the variant's book and the
    // engines are set up with those sizes.
    m_engineOptions = s.engines;
    ApplyEngineOptionControls();
    OpeningBook().SetSettings(BookSettingsOf(m_engineOptions));
    // The captions before the variant switch, whose label is a phrase of the chosen language.
    ApplyLanguage(language);
    // The variant: its board, book and endgame database. The game itself is started at the end,
    // once the engine that plays it is known.
    SetGameType(variant, true);
    // The engines with the memory sizes read above; the outside engine's name comes from its
    // set-up, so it follows it.
    InitEngines();
    ApplyOskeenEngineName();
    // (The engine choices came with m_engineOptions.) The fonts before the game panel shows the
    // new game.
    ApplyGameFont(s.gameFont);
    ApplyDatabaseFont(s.databaseFont);
    // The last database.
    m_databaseFile = s.database;
    OpenLastDatabase();
    // The variant's engine before the new game, which names it as Black.
    SelectEngineForVariant();
    NewGame();
    // The move sound and the endgame buffers last: nothing above plays a move or probes.
    LoadMoveSound(ResourcePath("Move.wav"));
    AllocateEndgameBuffers();
}

// ---- shutdown ------------------------------------------------------------------------------

TShellSettings TMainForm::CollectSettings() const {
    TShellSettings s;
    s.database = DatabaseFileSetting();
    s.playingMode = Item("PlayMode")->isChecked();
    s.typeOfGame = m_session.CurrentVariant();
    s.language = LanguageForSettings();
    s.sound = Shell.SoundOn;
    s.highlightMove = InterfaceForm()->Highlight->isChecked();
    s.notation = InterfaceForm()->notation->ItemIndex();
    s.takeChar = InterfaceForm()->TakeChar->ItemIndex();
    s.boardSize = Shell.BoardSizeSetting;
    s.darkSquares = Shell.DarkSquareColor;
    s.lightSquares = Shell.LightSquareColor;
    s.pictures = Shell.PiecePictures;
    s.engines = m_engineOptions;
    s.gameFont = GameFontSetting();
    s.databaseFont = DatabaseFontSetting();
    return s;
}

void TMainForm::FormCloseQuery() {
    if (m_closed) return;
    m_closed = true;
    // The threads stop first, so no engine or board thread touches the game or the database while
    // they are saved.
    NotifyBoardThread();
    StopEngineAndWait();
    if (!m_settingsFile) // closed before the settings were read: nothing to write back
        return;
    // "Database" is taken while the database is still open (the name is its index file's), then
    // the database closes and writes its name lists, then every other key.
    const TShellSettings s = CollectSettings();
    m_settingsFile->WriteString("Main", "Database", s.database);
    CloseDatabase();
    WriteShellSettings(*m_settingsFile, s);
    // One atomic save: a failure leaves the old file as it was.
    std::string error;
    if (!m_settingsFile->Save(&error))
        std::fprintf(stderr, "tavrix: settings not saved: %s\n", error.c_str());
    delete m_settingsFile;
    m_settingsFile = nullptr;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormCloseQuery(); // never refuses the close
    event->accept();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormResize(); // the size may have been set before the window became visible
}

void TMainForm::FormResize() {
    SetBoardSize(0);
}

// ---- fonts ---------------------------------------------------------------------------------

TFontSetting TMainForm::GameFontSetting() const {
    const QFont f = GamePanel->font();
    return {f.family().toStdString(), m_gameFontCharSet, f.pointSize() > 0 ? f.pointSize() : 10};
}

void TMainForm::ApplyGameFont(const TFontSetting& font) {
    QFont f = GamePanel->font();
    if (!font.name.empty()) f.setFamily(QString::fromStdString(font.name));
    if (font.size > 0) f.setPointSize(font.size);
    m_gameFontCharSet = font.charSet; // kept for the file: the toolkit picks scripts itself
    GamePanel->setFont(f);
}

// ---- game commands needed at start-up ----------------------------------------------------------

void TMainForm::NewGame() {
    StopClocks();
    StopEngineAndWait();
    m_seams.stopClocks();
    m_seams.stopEngineAndWait();
    m_seams.applyTimeControl();
    const std::string black = m_seams.engineLongName();
    const std::string tournament = NewGameTournament();
    const QDate today = QDate::currentDate();
    {
        TGameLock lock = m_session.Lock();
        m_session.NewGame(StartPositionOf(m_session.CurrentVariant()), 0);
        TGame& game = m_session.EditGame(lock);
        game.white = "Player";
        game.black = black;
        game.tournament = tournament;
        game.header.year = static_cast<std::uint16_t>(today.year());
        game.header.month = static_cast<std::uint8_t>(today.month());
        game.header.day = static_cast<std::uint8_t>(today.day());
    }
    ReadGameHeaderIntoPanel();
    Shell.BoardReversed = 0;
    Item("N28")->setChecked(false);
    m_clickRing.Clear();
    for (QLabel* l : {EvalPanel, DepthPanel, Label2, TreeLabel, EnginePanel})
        l->clear();
    DrawBoard(true);
    RebuildGamePanel();
    ShowBookMoves(); // a new user sees the start position's book moves before the first move
}

void TMainForm::SetGameType(TGameType variant, bool keepGame) {
    if (!IsValidVariant(variant)) return;
    m_seams.stopEngineAndWait(); // the variant changes only while no engine request runs
    const std::string engineBefore = m_seams.engineLongName();
    const TGameType old = m_session.CurrentVariant();
    m_session.SetVariant(variant);
    GameType->setText(PhraseString(kVariantPhrases[variant - 1]));
    SetBoardSize(0); // a longer label may need the button row moved
    Item(kVariantItems[variant - 1])->setChecked(true);
    if (!keepGame && old != variant && (old == gtInternational || variant == gtInternational)) NewGame();
    SelectEngineForVariant();
    m_seams.selectEngineForVariant();
    FollowEngineInHeader(engineBefore);
    DrawBoard(true);
    RebuildGamePanel();
    ShowBookMoves(); // the variant's own book, for the position kept
}

void TMainForm::FollowEngineInHeader(const std::string& engineBefore) {
    const std::string engineNow = m_seams.engineLongName();
    bool changed = false;
    {
        TGameLock lock = m_session.Lock();
        changed = FollowEngineChoice(m_session.EditGame(lock), engineBefore, engineNow);
    }
    if (changed) ReadGameHeaderIntoPanel();
}

void TMainForm::Analysis_ModeClick() {
    StopClocks();
    ClockLabel->hide();
    GamePanel->setGeometry(GamePanel->x(), 40, GamePanel->width(), m_client->height() - 220);
    Item("Analysis_Mode")->setChecked(true);
    Shell.AnalysisMode = 1;
    m_seams.setStopRequested(!m_seams.isEngineBusy());
}

void TMainForm::PlayModeClick() {
    GamePanel->setGeometry(GamePanel->x(), 72, GamePanel->width(), m_client->height() - 252);
    ClockLabel->show();
    Shell.AnalysisMode = 0;
    Item("PlayMode")->setChecked(true);
}

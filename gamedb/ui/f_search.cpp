// The search dialog: its controls, the pattern board's editing, and the runs of the search.

#include "gamedb/ui/f_search.h"

#include "gamedb/ui/title_width.h"

#include "gamedb/game_list.h"
#include "gamedb/game_search.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/qt_text.h"
#include "gamedb/ui/search_board_image.h"
#include "platform/codepage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {

constexpr int NarrowWidth = 430; // without the board part
constexpr int WideWidth = 630;
constexpr int FormHeight = 330;

QColor ColorOf(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

std::string LowerText(const QComboBox* box) {
    return Cp1251LowerString(ToCp1251(box->currentText()));
}

} // namespace

TFSearch::TFSearch(QWidget* parent) : QDialog(parent) {
    setObjectName("FSearch");
    setWindowTitle("Search");
    FitWidthToTitle(*this);
    pattern.fill(sqAny);
    pattern[0] = 0;

    const auto label = [this](const char* name, const char* text, int x, int y) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->move(x, y + 3);
        l->adjustSize();
        return l;
    };
    const auto combo = [this](const char* name, int x, int y, int w) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        // The text is a part of a name: offer the names that contain it, never complete over it.
        c->completer()->setCompletionMode(QCompleter::PopupCompletion);
        c->completer()->setFilterMode(Qt::MatchContains);
        c->completer()->setCaseSensitivity(Qt::CaseInsensitive);
        c->setMaxVisibleItems(20);
        c->lineEdit()->setMaxLength(255); // as long as a stored name
        c->setGeometry(x, y, w, 24);
        return c;
    };
    const auto spin = [this](const char* name, int x, int y, int lo, int hi, int value) {
        auto* s = new QSpinBox(this);
        s->setObjectName(name);
        s->setRange(lo, hi);
        s->setValue(value);
        s->setGeometry(x, y, 72, 24);
        return s;
    };
    const auto check = [](QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                          bool on) {
        auto* c = new QCheckBox(text, parent);
        c->setObjectName(name);
        c->setChecked(on);
        c->setGeometry(x, y, w, 22);
        return c;
    };
    const auto button = [this](const char* name, const char* text, int x, int y, int w) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setGeometry(x, y, w, 28);
        b->setAutoDefault(false);
        return b;
    };

    // The header part.
    Label1 = label("Label1", "Players", 12, 12);
    Whitename = combo("Whitename", 90, 12, 142);
    Label2 = label("Label2", "vs.", 240, 12);
    BlackName = combo("BlackName", 270, 12, 148);
    Ignorecol = check(this, "Ignorecol", "Ignore colors", 90, 42, 200, false);
    Label3 = label("Label3", "Tournament", 12, 72);
    Tournament = combo("Tournament", 90, 72, 328);
    Label4 = label("Label4", "Year", 12, 110);
    Yearstart = spin("Yearstart", 90, 110, 0, 2100, 0);
    Yearend = spin("Yearend", 168, 110, 0, 2100, 2100);
    Label6 = label("Label6", "Moves", 12, 142);
    // The stored count is compared by its low byte; the boxes themselves set no limit.
    MoveStart = spin("MoveStart", 90, 142, 0, 65535, 0);
    MoveEnd = spin("MoveEnd", 168, 142, 0, 65535, 255);

    Result = new QGroupBox("Result", this);
    Result->setObjectName("Result");
    Result->setGeometry(256, 104, 162, 96);
    const char* resultNames[6] = {"wwin", "draw", "bwin", "unknown", "wwint", "bwint"};
    const char* resultTexts[6] = {"*", "1-0", "=", "0-1", "1-0t", "0-1t"};
    QCheckBox** results[6] = {&wwin, &draw, &bwin, &unknown, &wwint, &bwint};
    for (int i = 0; i < 6; ++i)
        *results[i] =
            check(Result, resultNames[i], resultTexts[i], 12 + (i / 3) * 76, 20 + (i % 3) * 24, 70, true);

    comments = check(this, "comments", "Comments", 12, 184, 110, false);
    variations = check(this, "variations", "Variations", 128, 184, 110, false);
    Deleted = check(this, "Deleted", "Deleted", 12, 210, 110, false);
    PosCheckBox = check(this, "PosCheckBox", "Position", 128, 210, 110, false);

    Button1 = button("Button1", "OK", 236, 294, 86);
    Button2 = button("Button2", "Cancel", 332, 294, 86);
    Button1->setDefault(true);

    // The board part, shown with "Position".
    SearchBrdImage = new TSearchBoardImage(this);
    SearchBrdImage->move(442, 10);
    b64 = new QRadioButton("64", this);
    b100 = new QRadioButton("100", this);
    b64i = new QRadioButton("64 it", this);
    b64e = new QRadioButton("64 en", this);
    QRadioButton* kinds[4] = {b64, b100, b64i, b64e};
    const char* kindNames[4] = {"b64", "b100", "b64i", "b64e"};
    for (int i = 0; i < 4; ++i) {
        kinds[i]->setObjectName(kindNames[i]);
        kinds[i]->setGeometry(442 + (i % 2) * 92, 188 + (i / 2) * 20, 88, 20);
    }
    b64->setChecked(true);
    Whitemove = check(this, "Whitemove", "White moves", 442, 230, 180, true);
    BlackMove = check(this, "BlackMove", "Black moves", 442, 250, 180, true);
    Reversed = check(this, "Reversed", "Reversed", 442, 270, 180, false);
    Button3 = button("Button3", "Clear", 442, 294, 56);
    Button3->hide();
    Button4 = button("Button4", "Clean", 442, 294, 58);
    Button5 = button("Button5", "Copy", 504, 294, 58);
    Button6 = button("Button6", "Start", 566, 294, 58);

    connect(SearchBrdImage, &TSearchBoardImage::mouseDown, this, &TFSearch::SearchBrdImageMouseDown);
    connect(b64, &QRadioButton::clicked, this, &TFSearch::b64Click);
    connect(b100, &QRadioButton::clicked, this, &TFSearch::b64Click);
    connect(b64i, &QRadioButton::clicked, this, &TFSearch::b64Click);
    connect(b64e, &QRadioButton::clicked, this, &TFSearch::b64eClick);
    connect(PosCheckBox, &QCheckBox::clicked, this, &TFSearch::PosCheckBoxClick);
    connect(Button3, &QPushButton::clicked, this, &TFSearch::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFSearch::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TFSearch::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TFSearch::Button6Click);
    connect(Button1, &QPushButton::clicked, this, &TFSearch::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFSearch::reject);

    PosCheckBoxClick();
    DrawSearchBoard();
}

TFSearch::~TFSearch() = default;

TSearchBoardColors TFSearch::Colors() const {
    return {ColorOf(m_hooks.darkSquareColor()), ColorOf(m_hooks.lightSquareColor())};
}

TSearchBoard TFSearch::BoardKind() const {
    if (b100->isChecked()) return TSearchBoard::b100;
    if (b64i->isChecked()) return TSearchBoard::b64i;
    if (b64e->isChecked()) return TSearchBoard::b64e;
    return TSearchBoard::b64;
}

void TFSearch::FillLists() {
    if (!m_session || !m_session->GameDatabase.open) return;
    const TGameDatabase& db = m_session->GameDatabase;
    // Setting the items would clear the typed texts: keep them.
    const auto refill = [](QComboBox* box, const QStringList& items) {
        const QString text = box->currentText();
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(-1);
        box->setEditText(text);
    };
    const QStringList players = SortedNames(db.players);
    refill(BlackName, players);
    refill(Whitename, players);
    refill(Tournament, SortedNames(db.tournaments));
}

TSearchCriteria TFSearch::Criteria() const {
    TSearchCriteria c;
    c.whiteText = LowerText(Whitename);
    c.blackText = LowerText(BlackName);
    c.tournamentText = LowerText(Tournament);
    c.yearFrom = static_cast<std::uint16_t>(Yearstart->value());
    c.yearTo = static_cast<std::uint16_t>(Yearend->value());
    c.movesFrom = static_cast<std::uint16_t>(MoveStart->value());
    c.movesTo = static_cast<std::uint16_t>(MoveEnd->value());
    const QCheckBox* results[6] = {wwin, draw, bwin, unknown, wwint, bwint};
    for (std::size_t i = 0; i < 6; ++i)
        c.results[i] = results[i]->isChecked() ? 1 : 0;
    c.ignoreColours = Ignorecol->isChecked();
    c.deleted = Deleted->isChecked();
    c.comments = comments->isChecked();
    c.variations = variations->isChecked();
    c.position = PosCheckBox->isChecked();
    c.whiteMoves = Whitemove->isChecked();
    c.blackMoves = BlackMove->isChecked();
    c.reversed = Reversed->isChecked();
    c.board = BoardKind();
    c.pattern = pattern;
    return c;
}

void TFSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFSearch::FormShow() {
    DrawSearchBoard();
}

void TFSearch::DrawSearchBoard() {
    ::DrawSearchBoard(SearchBrdImage->Image(), BoardKind(), Colors(), pattern);
    SearchBrdImage->update();
}

void TFSearch::SetSideCaptions(int whitePhrase, int blackPhrase) {
    const auto text = [](int phrase, const char* english) {
        const std::string s = DatabaseHooks().phrase(phrase);
        return s.empty() ? QString(english) : FromCp1251(s);
    };
    const auto english = [](int phrase) { return phrase == 128 ? "White moves" : "Black moves"; };
    Whitemove->setText(text(whitePhrase, english(whitePhrase)));
    BlackMove->setText(text(blackPhrase, english(blackPhrase)));
}

void TFSearch::b64Click() {
    const TSidePhrases p = SideCaptionPhrases(BoardKind());
    SetSideCaptions(p.whiteMove, p.blackMove);
    DrawSearchBoard();
}

void TFSearch::b64eClick() {
    b64Click(); // the phrases follow the checked kind
}

void TFSearch::SearchBrdImageMouseDown(int button, int x, int y) {
    const TSearchBoard kind = BoardKind();
    const int square = PatternSquareAt(kind, x, y);
    if (square == 0) return;
    const TPatternButton b = button == 1   ? TPatternButton::Right
                             : button == 2 ? TPatternButton::Middle
                                           : TPatternButton::Left;
    auto& v = pattern[std::size_t(square)];
    v = NextPatternValue(v, b);
    DrawSearchSquare(SearchBrdImage->Image(), kind, Colors(), square, v);
    SearchBrdImage->update();
}

void TFSearch::PosCheckBoxClick() {
    const bool wide = PosCheckBox->isChecked();
    setFixedSize(wide ? WideWidth : NarrowWidth, FormHeight);
}

void TFSearch::Button3Click() {
    pattern.fill(0);
    DrawSearchBoard();
}

void TFSearch::Button4Click() {
    pattern.fill(sqAny);
    pattern[0] = 0;
    DrawSearchBoard();
}

void TFSearch::Button5Click() {
    const TBoard b = m_hooks.currentBoard();
    for (int s = 1; s <= MaxSquares; ++s)
        pattern[std::size_t(s)] = b[s];
    DrawSearchBoard();
}

void TFSearch::Button6Click() {
    const TBoard& b = b100->isChecked() ? StartPosition100 : StartPosition64;
    for (int s = 1; s <= MaxSquares; ++s)
        pattern[std::size_t(s)] = b[s];
    DrawSearchBoard();
}

void TFSearch::RunSearch(const TSearchCriteria& criteria) {
    if (!m_session) return;
    TDatabaseSession& s = *m_session;
    s.SearchCriteria = criteria;
    RunGameSearch(s.GameDatabase, s.GameList, s.SearchCriteria,
                  s.Progress()); // ends its progress on every way out
}

void TFSearch::Button1Click() {
    setEnabled(false);
    RunSearch(Criteria());
    setEnabled(true);
    done(1);
}

void TFSearch::QuickSearch(const TBoard& board, int side, TGameType variant) {
    comments->setChecked(false);
    variations->setChecked(false);
    Deleted->setChecked(false);
    Reversed->setChecked(false);
    PosCheckBox->setChecked(true);
    PosCheckBoxClick();
    Whitemove->setChecked(side == 0);
    BlackMove->setChecked(side != 0);
    // setChecked emits no clicked: the caption handlers run here.
    if (variant == gtEnglish || variant == gtPool) {
        b64e->setChecked(true);
        b64eClick();
    } else {
        (variant == gtItalian ? b64i : variant == gtInternational ? b100 : b64)->setChecked(true);
        b64Click();
    }
    for (int s = 1; s <= MaxSquares; ++s)
        pattern[std::size_t(s)] = board[s];
    DrawSearchBoard();
    // The header conditions are open for this search only: the dialog keeps what the user typed.
    TSearchCriteria c = Criteria();
    c.whiteText.clear();
    c.blackText.clear();
    c.tournamentText.clear();
    c.yearFrom = 0;
    c.yearTo = 2100;
    c.movesFrom = 0;
    c.movesTo = 255;
    c.results.fill(1);
    RunSearch(c);
}

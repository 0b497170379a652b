#include "gamedb/ui/game_info_form.h"

#include "gamedb/ui/title_width.h"

#include "gamedb/game_index_record.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/qt_text.h"
#include "platform/codepage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStringListModel>

#include <algorithm>

TGameInfoForm* GameInfoForm = nullptr;

QComboBox* NewNameBox(QWidget* parent, const char* name, QStringListModel* model) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert); // the lists are shared: typing adds nothing to them
    c->setModel(model);
    c->setMinimumWidth(220);
    return c;
}

QSpinBox* NewNumberBox(QWidget* parent, const char* name, int maximum) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(0, maximum);
    return s;
}

namespace {

// Indices into the remembered values of Fill.
enum : int {
    fWhiteTitle,
    fWhiteCountry,
    fWhiteRating,
    fBlackTitle,
    fBlackCountry,
    fBlackRating,
    fResult,
    fRound,
    fSubround,
    fYear,
    fMonth,
    fDay
};

} // namespace

TGameInfoForm::TGameInfoForm(QWidget* parent)
    : QDialog(parent), m_players(new QStringListModel(this)), m_tournaments(new QStringListModel(this)),
      m_sites(new QStringListModel(this)) {
    setObjectName("GameInfoForm");
    setWindowTitle("Game information");
    FitWidthToTitle(*this);
    const auto label = [this](const char* name, const char* text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    const auto nameBox = [this](const char* name, QStringListModel* model) {
        return NewNameBox(this, name, model);
    };
    const auto listBox = [this](const char* name, const QStringList& items) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        c->addItems(items);
        return c;
    };
    const auto spin = [this](const char* name, int maximum) { return NewNumberBox(this, name, maximum); };
    QStringList titles, results;
    for (int i = 0; i <= 9; ++i)
        titles << TitleText(i);
    for (int i = 0; i <= 5; ++i)
        results << GameResultText(i);
    const QStringList countries{QString()};

    Label1 = label("Label1", "White");
    Label2 = label("Label2", "Black");
    Label4 = label("Label4", "Rating");
    Label5 = label("Label5", "Title");
    Label12 = label("Label12", "Country");
    Label3 = label("Label3", "Tournament");
    Label14 = label("Label14", "Site");
    Label13 = label("Label13", "Annotator");
    Label6 = label("Label6", "Round");
    Label7 = label("Label7", ".");
    Label9 = label("Label9", "Result:");
    Label11 = label("Label11", "Year");
    Label10 = label("Label10", "Month");
    Label8 = label("Label8", "Day");
    WhiteName = nameBox("WhiteName", m_players);
    WhiteTitle = listBox("WhiteTitle", titles);
    WhiteRat = spin("WhiteRat", 3000);
    WhiteCountry = listBox("WhiteCountry", countries);
    BlackName = nameBox("BlackName", m_players);
    BlackTitle = listBox("BlackTitle", titles);
    BlackRat = spin("BlackRat", 3000);
    BlackCountry = listBox("BlackCountry", countries);
    Tournament = nameBox("Tournament", m_tournaments);
    Site = nameBox("Site", m_sites);
    Annotatorname = nameBox("Annotatorname", m_players);
    Round = spin("Round", 255);
    Subround = spin("Subround", 99);
    Year = spin("Year", 2100);
    Month = spin("Month", 12);
    Day = spin("Day", 31);
    Result = listBox("Result", results);
    OkButton = new QPushButton("OK", this);
    OkButton->setObjectName("OkButton");
    OkButton->setDefault(true);
    Cancel = new QPushButton("Cancel", this);
    Cancel->setObjectName("Cancel");
    connect(OkButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(Cancel, &QPushButton::clicked, this, [this] { done(2); });

    auto* grid = new QGridLayout;
    grid->addWidget(Label5, 0, 2);
    grid->addWidget(Label4, 0, 3);
    grid->addWidget(Label12, 0, 4);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(WhiteName, 1, 1);
    grid->addWidget(WhiteTitle, 1, 2);
    grid->addWidget(WhiteRat, 1, 3);
    grid->addWidget(WhiteCountry, 1, 4);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(BlackName, 2, 1);
    grid->addWidget(BlackTitle, 2, 2);
    grid->addWidget(BlackRat, 2, 3);
    grid->addWidget(BlackCountry, 2, 4);
    grid->addWidget(Label3, 3, 0);
    grid->addWidget(Tournament, 3, 1, 1, 4);
    grid->addWidget(Label14, 4, 0);
    grid->addWidget(Site, 4, 1, 1, 4);
    grid->addWidget(Label13, 5, 0);
    grid->addWidget(Annotatorname, 5, 1, 1, 4);
    auto* round = new QHBoxLayout;
    round->addWidget(Round);
    round->addWidget(Label7);
    round->addWidget(Subround);
    round->addStretch();
    round->addWidget(Label9);
    round->addWidget(Result);
    grid->addWidget(Label6, 6, 0);
    grid->addLayout(round, 6, 1, 1, 4);
    auto* date = new QHBoxLayout;
    date->addWidget(Year);
    date->addWidget(Label10);
    date->addWidget(Month);
    date->addWidget(Label8);
    date->addWidget(Day);
    date->addStretch();
    grid->addWidget(Label11, 7, 0);
    grid->addLayout(date, 7, 1, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TGameInfoForm::~TGameInfoForm() {
    if (GameInfoForm == this) GameInfoForm = nullptr;
}

void TGameInfoForm::Fill(const TQuickGameHeader& h) {
    if (GameDatabase.open) {
        m_players->setStringList(SortedNames(GameDatabase.players));
        m_tournaments->setStringList(SortedNames(GameDatabase.tournaments));
        m_sites->setStringList(SortedNames(GameDatabase.sites));
    }
    const TGameIndexRecord& r = h.header;
    m_variant = r.variant;
    const std::pair<QComboBox*, const std::string*> names[] = {{WhiteName, &h.white},
                                                               {BlackName, &h.black},
                                                               {Tournament, &h.tournament},
                                                               {Site, &h.site},
                                                               {Annotatorname, &h.annotator}};
    for (const auto& [box, text] : names) {
        box->setCurrentIndex(-1);
        box->setEditText(FromCp1251(*text));
    }
    // A value the list cannot show leaves it blank (index -1) and is kept unless changed.
    const auto item = [this](int field, QComboBox* box, int value) {
        const int index = value >= 0 && value < box->count() ? value : -1;
        box->setCurrentIndex(index);
        m_filled[field] = index;
    };
    const auto number = [this](int field, QSpinBox* box, int value) {
        box->setValue(value);
        m_filled[field] = box->value(); // as the box clamped it
    };
    item(fWhiteTitle, WhiteTitle, r.whiteTitle);
    item(fWhiteCountry, WhiteCountry, r.whiteCountry);
    number(fWhiteRating, WhiteRat, r.whiteRating);
    item(fBlackTitle, BlackTitle, r.blackTitle);
    item(fBlackCountry, BlackCountry, r.blackCountry);
    number(fBlackRating, BlackRat, r.blackRating);
    item(fResult, Result, r.result);
    number(fRound, Round, r.round);
    number(fSubround, Subround, r.subround);
    number(fYear, Year, r.year);
    number(fMonth, Month, r.month);
    number(fDay, Day, r.day);
}

void TGameInfoForm::Collect(TQuickGameHeader& h) const {
    h.white = ToCp1251(WhiteName->currentText());
    h.black = ToCp1251(BlackName->currentText());
    h.tournament = ToCp1251(Tournament->currentText());
    h.site = ToCp1251(Site->currentText());
    h.annotator = ToCp1251(Annotatorname->currentText());
    TGameIndexRecord& r = h.header;
    const auto item = [this](int field, const QComboBox* box, std::uint8_t& value) {
        if (box->currentIndex() != m_filled[field] && box->currentIndex() >= 0)
            value = static_cast<std::uint8_t>(box->currentIndex());
    };
    const auto number = [this](int field, const QSpinBox* box, auto& value) {
        if (box->value() != m_filled[field])
            value = static_cast<std::remove_reference_t<decltype(value)>>(box->value());
    };
    item(fWhiteTitle, WhiteTitle, r.whiteTitle);
    item(fWhiteCountry, WhiteCountry, r.whiteCountry);
    number(fWhiteRating, WhiteRat, r.whiteRating);
    item(fBlackTitle, BlackTitle, r.blackTitle);
    item(fBlackCountry, BlackCountry, r.blackCountry);
    number(fBlackRating, BlackRat, r.blackRating);
    item(fResult, Result, r.result);
    number(fRound, Round, r.round);
    number(fSubround, Subround, r.subround);
    number(fYear, Year, r.year);
    number(fMonth, Month, r.month);
    number(fDay, Day, r.day);
}

void TGameInfoForm::FormShow() {
    const bool blackFirst = !SideIsWhite(0, m_variant);
    const std::string white = DatabaseHooks().phrase(56), black = DatabaseHooks().phrase(57);
    Label1->setText(FromCp1251(blackFirst ? black : white));
    Label2->setText(FromCp1251(blackFirst ? white : black));
}

void TGameInfoForm::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        QRect g = geometry();
        g.moveCenter(s->availableGeometry().center());
        move(g.topLeft());
    }
    WhiteName->setFocus();
}

bool EditGameInfo(TQuickGameHeader& header) {
    if (!GameInfoForm) return false;
    GameInfoForm->Fill(header);
    if (GameInfoForm->exec() != 1) return false;
    GameInfoForm->Collect(header);
    return true;
}

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
#include <iterator>
#include <tuple>
#include <type_traits>
#include <utility>

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

// One header field that a list or a number box shows. Fill and Collect walk the same table, and the
// field's place in it is its slot in m_filled.
struct TInfoField {
    QComboBox* TGameInfoForm::*item;  // null for a number
    QSpinBox* TGameInfoForm::*number; // null for an item
    int (*get)(const TGameIndexRecord&);
    void (*set)(TGameIndexRecord&, int);
};

template <auto Member> int GetField(const TGameIndexRecord& r) {
    return r.*Member;
}

template <auto Member> void SetField(TGameIndexRecord& r, int value) {
    r.*Member = static_cast<std::remove_cvref_t<decltype(r.*Member)>>(value);
}

template <auto Member> constexpr TInfoField Item(QComboBox* TGameInfoForm::*box) {
    return {box, nullptr, GetField<Member>, SetField<Member>};
}

template <auto Member> constexpr TInfoField Number(QSpinBox* TGameInfoForm::*box) {
    return {nullptr, box, GetField<Member>, SetField<Member>};
}

// The names, edited as text.
constexpr std::pair<QComboBox * TGameInfoForm::*, std::string TQuickGameHeader::*> NameFields[] = {
    {&TGameInfoForm::WhiteName, &TQuickGameHeader::white},
    {&TGameInfoForm::BlackName, &TQuickGameHeader::black},
    {&TGameInfoForm::Tournament, &TQuickGameHeader::tournament},
    {&TGameInfoForm::Site, &TQuickGameHeader::site},
    {&TGameInfoForm::Annotatorname, &TQuickGameHeader::annotator},
};

using R = TGameIndexRecord;
using F = TGameInfoForm;
constexpr TInfoField InfoFields[] = {
    Item<&R::whiteTitle>(&F::WhiteTitle),
    Item<&R::whiteCountry>(&F::WhiteCountry),
    Number<&R::whiteRating>(&F::WhiteRat),
    Item<&R::blackTitle>(&F::BlackTitle),
    Item<&R::blackCountry>(&F::BlackCountry),
    Number<&R::blackRating>(&F::BlackRat),
    Item<&R::result>(&F::Result),
    Number<&R::round>(&F::Round),
    Number<&R::subround>(&F::Subround),
    Number<&R::year>(&F::Year),
    Number<&R::month>(&F::Month),
    Number<&R::day>(&F::Day),
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

TGameInfoForm::~TGameInfoForm() = default;

void TGameInfoForm::Fill(const TQuickGameHeader& h, const TGameDatabase* names) {
    if (names && names->open) {
        m_players->setStringList(SortedNames(names->players));
        m_tournaments->setStringList(SortedNames(names->tournaments));
        m_sites->setStringList(SortedNames(names->sites));
    }
    const TGameIndexRecord& r = h.header;
    m_variant = r.variant;
    for (const auto& [box, text] : NameFields) {
        (this->*box)->setCurrentIndex(-1);
        (this->*box)->setEditText(FromCp1251(h.*text));
    }
    static_assert(std::size(InfoFields) == std::tuple_size_v<decltype(m_filled)>);
    // A value the list cannot show leaves it blank (index -1) and is kept unless changed.
    for (std::size_t i = 0; i < std::size(InfoFields); ++i) {
        const TInfoField& f = InfoFields[i];
        const int value = f.get(r);
        if (f.item) {
            QComboBox* box = this->*f.item;
            const int index = value >= 0 && value < box->count() ? value : -1;
            box->setCurrentIndex(index);
            m_filled[i] = index;
        } else {
            QSpinBox* box = this->*f.number;
            box->setValue(value);
            m_filled[i] = box->value(); // as the box clamped it
        }
    }
}

void TGameInfoForm::Collect(TQuickGameHeader& h) const {
    for (const auto& [box, text] : NameFields)
        h.*text = ToCp1251((this->*box)->currentText());
    TGameIndexRecord& r = h.header;
    for (std::size_t i = 0; i < std::size(InfoFields); ++i) {
        const TInfoField& f = InfoFields[i];
        if (f.item) {
            const int index = (this->*f.item)->currentIndex();
            if (index != m_filled[i] && index >= 0) f.set(r, index);
        } else {
            const int value = (this->*f.number)->value();
            if (value != m_filled[i]) f.set(r, value);
        }
    }
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

bool EditGameInfo(TGameInfoForm* dialog, TQuickGameHeader& header, const TGameDatabase* names) {
    if (!dialog) return false;
    dialog->Fill(header, names);
    if (dialog->exec() != 1) return false;
    dialog->Collect(header);
    return true;
}

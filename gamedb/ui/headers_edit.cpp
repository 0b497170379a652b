#include "gamedb/ui/headers_edit.h"

#include "gamedb/ui/title_width.h"

#include "gamedb/game_list.h"
#include "gamedb/ui/game_info_form.h"
#include "gamedb/ui/qt_text.h"
#include "gamedb/user_prompt.h"
#include "platform/codepage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStringListModel>
#include <QVBoxLayout>

namespace {

// New items for a combo box, keeping the text typed into it.
void SetItems(QComboBox* box, QStringListModel* model, const QStringList& items) {
    const QString typed = box->currentText();
    model->setStringList(items);
    box->setCurrentIndex(-1);
    box->setEditText(typed);
}

} // namespace

THeadersEdit::THeadersEdit(QWidget* parent)
    : QDialog(parent), m_players(new QStringListModel(this)), m_tournaments(new QStringListModel(this)),
      m_sites(new QStringListModel(this)) {
    setObjectName("HeadersEdit");
    setWindowTitle("Headers Edit");
    FitWidthToTitle(*this);
    const auto check = [this](const char* name) {
        auto* c = new QCheckBox(this);
        c->setObjectName(name);
        return c;
    };
    const auto nameBox = [this](const char* name, QStringListModel* model) {
        QComboBox* c = NewNameBox(this, name, model);
        c->setCurrentIndex(-1);
        return c;
    };
    const auto spin = [this](const char* name, int maximum) { return NewNumberBox(this, name, maximum); };
    WhiteSet = check("WhiteSet");
    BlackSet = check("BlackSet");
    TournSet = check("TournSet");
    SiteSet = check("SiteSet");
    WhiteName = nameBox("WhiteName", m_players);
    BlackName = nameBox("BlackName", m_players);
    Tournament = nameBox("Tournament", m_tournaments);
    Site = nameBox("Site", m_sites);
    Year = spin("Year", 2100);
    Month = spin("Month", 12);
    Day = spin("Day", 31);
    Dateset = check("Dateset");
    Button1 = new QPushButton("Ok", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Set?", this), 0, 0);
    const struct {
        const char* text;
        QCheckBox* set;
        QComboBox* box;
    } rows[] = {{"White", WhiteSet, WhiteName},
                {"Black", BlackSet, BlackName},
                {"Tournament", TournSet, Tournament},
                {"Site", SiteSet, Site}};
    int row = 1;
    for (const auto& r : rows) {
        grid->addWidget(r.set, row, 0, Qt::AlignHCenter);
        grid->addWidget(new QLabel(r.text, this), row, 1);
        grid->addWidget(r.box, row, 2);
        ++row;
    }
    auto* date = new QHBoxLayout;
    for (const auto& [text, box] : {std::pair{"Year", Year}, {"Month", Month}, {"Day", Day}}) {
        date->addWidget(new QLabel(text, this));
        date->addWidget(box);
    }
    date->addStretch(1);
    grid->addWidget(Dateset, row, 0, Qt::AlignHCenter);
    grid->addWidget(new QLabel("Date", this), row, 1);
    grid->addLayout(date, row, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void THeadersEdit::Fill(TDatabaseSession& session) {
    m_session = &session;
    const TGameDatabase& db = session.GameDatabase;
    // One model serves both player boxes.
    const QStringList players = SortedNames(db.players);
    const QString white = WhiteName->currentText();
    SetItems(BlackName, m_players, players);
    WhiteName->setCurrentIndex(-1);
    WhiteName->setEditText(white);
    SetItems(Tournament, m_tournaments, SortedNames(db.tournaments));
    SetItems(Site, m_sites, SortedNames(db.sites));
}

THeaderSet THeadersEdit::Collect() const {
    THeaderSet set;
    set.setWhite = WhiteSet->isChecked();
    set.setBlack = BlackSet->isChecked();
    set.setTournament = TournSet->isChecked();
    set.setSite = SiteSet->isChecked();
    set.setDate = Dateset->isChecked();
    set.white = ToCp1251(WhiteName->currentText());
    set.black = ToCp1251(BlackName->currentText());
    set.tournament = ToCp1251(Tournament->currentText());
    set.site = ToCp1251(Site->currentText());
    set.year = Year->value();
    set.month = Month->value();
    set.day = Day->value();
    return set;
}

void THeadersEdit::Button1Click() {
    if (m_session) {
        const THeaderSetResult r = ApplyHeaderSet(m_session->GameDatabase, m_session->GameList, Collect());
        if (r.status != TDbStatus::Ok && r.status != TDbStatus::NotOpen)
            m_session->Prompt().ShowMessage("The headers were set in " + std::to_string(r.changed) +
                                            " games, then stopped: " + DbStatusText(r.status) + ".");
    }
    done(1);
}

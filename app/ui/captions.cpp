#include "app/ui/captions.h"

#include "app/core/language.h"
#include "app/ui/qt_translations.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>

namespace {

using P = TCaptionPart;

std::vector<TCaptionRow> BuildTable() {
    std::vector<TCaptionRow> t;
    const auto text = [&t](const char* form, const char* control, int phrase, const char* prefix = "",
                           const char* suffix = "") {
        t.push_back({form, control, P::Text, 0, prefix, phrase, suffix});
    };
    const auto hint = [&t](const char* form, const char* control, int phrase) {
        t.push_back({form, control, P::Hint, 0, "", phrase, ""});
    };
    const auto numbered = [&](const char* form, const char* stem, int first, int last, int phrase) {
        for (int i = first; i <= last; ++i)
            text(form, (stem + std::to_string(i)).c_str(), phrase);
    };

    const char* m = "MainForm";
    for (const auto& [c, p] : std::initializer_list<std::pair<const char*, int>>{{"N1", 0},
                                                                                 {"N2", 1},
                                                                                 {"Gsmeinformation1", 2},
                                                                                 {"N24", 3},
                                                                                 {"N8", 4},
                                                                                 {"N9", 5},
                                                                                 {"N10", 6},
                                                                                 {"N11", 7},
                                                                                 {"N12", 8},
                                                                                 {"N13", 9},
                                                                                 {"N22", 10},
                                                                                 {"Czech", 146},
                                                                                 {"N3", 11},
                                                                                 {"N33", 12},
                                                                                 {"Replacegame1", 13},
                                                                                 {"Loadpreviousgame1", 14},
                                                                                 {"N34", 15},
                                                                                 {"N4", 16},
                                                                                 {"N17", 17},
                                                                                 {"N28", 18},
                                                                                 {"N18", 19},
                                                                                 {"N19", 20},
                                                                                 {"N20", 21},
                                                                                 {"Fonr1", 22},
                                                                                 {"N29", 23},
                                                                                 {"Analysis_Mode", 24},
                                                                                 {"PlayMode", 25}})
        text(m, c, p);
    // "3" takes another plural form than "5", "10", "30" and "60" in Russian.
    text(m, "min1", 42, "3 ");
    text(m, "N5min1", 26, "5 ");
    text(m, "N10min1", 26, "10 ");
    text(m, "N30min1", 26, "30 ");
    text(m, "N60min1", 26, "60 ");
    text(m, "Anothertimecontrol1", 27);
    for (const auto& [c, p] :
         std::initializer_list<std::pair<const char*, int>>{{"N25", 28},
                                                            {"Compute1", 29},
                                                            {"N26", 30},
                                                            {"GameAnalysis1", 31},
                                                            {"N35", 32},
                                                            {"N36", 33},
                                                            {"ConnecttoInternetgameserver1", 34},
                                                            {"Engineoptions1", 35},
                                                            {"N5", 36},
                                                            {"N7", 37},
                                                            {"Quicksearch1", 38},
                                                            {"N6", 39},
                                                            {"N14", 40},
                                                            {"N16", 39},
                                                            {"N55", 136},
                                                            {"Interface1", 138},
                                                            {"Clearallcomments1", 145},
                                                            {"Levels", 107},
                                                            {"Offerdraw1", 149},
                                                            {"expboard", 150},
                                                            {"Selectcolors1", 157},
                                                            {"StopButton", 43},
                                                            {"SetupDone", 44}})
        text(m, c, p);
    for (const auto& [c, p] : std::initializer_list<std::pair<const char*, int>>{{"ToolButton2", 47},
                                                                                 {"ToolButton6", 2},
                                                                                 {"ToolButton4", 13},
                                                                                 {"ToolButton5", 12},
                                                                                 {"ToolButton8", 14},
                                                                                 {"ToolButton9", 15},
                                                                                 {"ToolButton12", 38},
                                                                                 {"ToolButton17", 48},
                                                                                 {"ToolButton16", 36},
                                                                                 {"ToolButton11", 35},
                                                                                 {"ToolButton18", 49},
                                                                                 {"ToolButton13", 39},
                                                                                 {"NewBrdBtn", 51},
                                                                                 {"ClearBrdBtn", 50}})
        hint(m, c, p);
    // The "none" items of the two mark lists clear the mark.
    text(m, "N52", 50);
    text(m, "N53", 50);
    text(m, "N1231", 68);
    text(m, "N1231231", 69);
    text(m, "Deleteaftermove1", 70);
    text(m, "Promoteline1", 71);

    text("AboutBox", "", 40);

    const char* gi = "GameInfoForm";
    text(gi, "", 2);
    for (const auto& [c, p] : std::initializer_list<std::pair<const char*, int>>{{"Label4", 72},
                                                                                 {"Label5", 73},
                                                                                 {"Label12", 74},
                                                                                 {"Label3", 75},
                                                                                 {"Label6", 76},
                                                                                 {"Label14", 77},
                                                                                 {"Label13", 78},
                                                                                 {"Label9", 79},
                                                                                 {"Label11", 80},
                                                                                 {"Label10", 81},
                                                                                 {"Label8", 82},
                                                                                 {"Cancel", 83}})
        text(gi, c, p);

    text("WhoMoves", "", 84);
    text("WhoMoves", "Label2", 84);
    text("WhoMoves", "Label1", 85);
    text("WhoMoves", "Button1", 44);

    text("UseComBoard", "", 33);
    text("UseComBoard", "Label1", 87);
    text("UseComBoard", "CancelBtn", 83);

    text("CommDlg", "", 88);
    text("CommDlg", "CancelBtn", 83);

    const char* eo = "FEngineOpt";
    text(eo, "", 35);
    for (int i = 1; i <= 6; ++i)
        text(eo, ("TabSheet" + std::to_string(i)).c_str(), 4 + i);
    text(eo, "TabSheet7", 146);
    numbered(eo, "Label", 2, 7, 89);
    text(eo, "Label22", 89);
    numbered(eo, "Label", 8, 13, 90);
    text(eo, "Label23", 90);
    numbered(eo, "UseBook", 1, 7, 91);
    numbered(eo, "Button", 1, 7, 92);
    text(eo, "GroupBox1", 93);
    text(eo, "cancelbutt", 83);

    const char* ag = "FAnalysisGame";
    text(ag, "", 31);
    text(ag, "GroupBox1", 94);
    text(ag, "Label1", 23);
    text(ag, "Label2", 26);
    text(ag, "CancelBtn", 83);
    text(ag, "WhiteM", 64);
    text(ag, "BlackM", 65);
    text(ag, "NewAlg", 95);
    text(ag, "Explodevars", 96);

    text("FSelectMove", "", 97);

    text("NewMoveQ", "", 98);
    text("NewMoveQ", "ButtonNew", 99);
    text("NewMoveQ", "ButtonRepl", 100);
    text("NewMoveQ", "ButtonCanc", 83);

    const char* db = "DatabaseForm";
    for (const auto& [c, p] :
         std::initializer_list<std::pair<const char*, int>>{{"Database1", 36}, {"Open", 101}})
        text(db, c, p);
    text(db, "OpenCHB", 102, "", " CHB");
    text(db, "ImportPDN1", 102, "", " PDN");
    for (const auto& [c, p] :
         std::initializer_list<std::pair<const char*, int>>{{"CleanUpdatabase1", 103},
                                                            {"Exit1", 104},
                                                            {"Search2", 48},
                                                            {"Search1", 105},
                                                            {"Clear1", 106},
                                                            {"Game1", 0},
                                                            {"Load1", 108},
                                                            {"Replace", 100},
                                                            {"Save1", 109},
                                                            {"Delete", 110},
                                                            {"Editheader1", 111},
                                                            {"Copy1", 112},
                                                            {"Export1", 113},
                                                            {"ools1", 114},
                                                            {"Sortgameslist1", 115},
                                                            {"ABuildtree1", 117},
                                                            {"Maketournamentslist1", 118},
                                                            {"Options1", 32},
                                                            {"Font1", 22},
                                                            {"Selectall", 151},
                                                            {"Deselectall", 152},
                                                            {"Checkdatabase1", 153},
                                                            {"Delect1", 154},
                                                            {"Headers1", 155},
                                                            {"Set1", 156}})
        text(db, c, p);
    for (const auto& [c, p] : std::initializer_list<std::pair<const char*, int>>{{"ToolButton2", 101},
                                                                                 {"ToolButton4", 48},
                                                                                 {"ToolButton5", 106},
                                                                                 {"ToolButton7", 108},
                                                                                 {"ToolButton9", 100},
                                                                                 {"ToolButton8", 109},
                                                                                 {"ToolButton10", 110},
                                                                                 {"ToolButton11", 111},
                                                                                 {"ToolButton14", 112},
                                                                                 {"ToolButton12", 39}})
        hint(db, c, p);
    // Section 0 keeps its text.
    const int sectionPhrases[] = {119, 75, 120, 121};
    for (int s = 1; s <= 4; ++s)
        t.push_back({db, "HeaderControl2", P::Section, s, "", sectionPhrases[s - 1], ""});

    const char* fs = "FSearch";
    for (const auto& [c, p] : std::initializer_list<std::pair<const char*, int>>{{"Label1", 122},
                                                                                 {"Ignorecol", 123},
                                                                                 {"Label3", 75},
                                                                                 {"Label4", 80},
                                                                                 {"Result", 79},
                                                                                 {"Label6", 124},
                                                                                 {"comments", 125},
                                                                                 {"variations", 126},
                                                                                 {"PosCheckBox", 127},
                                                                                 {"Reversed", 131},
                                                                                 {"Button2", 83},
                                                                                 {"Button4", 50},
                                                                                 {"Button5", 112},
                                                                                 {"Button6", 130},
                                                                                 {"Whitemove", 128},
                                                                                 {"BlackMove", 129}})
        text(fs, c, p);

    const char* in = "InterfaceForm";
    text(in, "", 138);
    text(in, "Sound", 135);
    text(in, "notation", 139);
    t.push_back({in, "notation", P::Item, 0, "", 140, ""});
    t.push_back({in, "notation", P::Item, 1, "", 141, ""});
    text(in, "TakeChar", 142);
    text(in, "Highlight", 148);

    text("FSetTm", "", 27);
    text("FSetTm", "LabelSec", 60);

    // Dialogs whose texts the phrase table also holds: the colours ("Default" puts the colours and
    // pieces back: phrase 106, "Reset") and the diagram size.
    text("SelectColors", "", 157);
    text("SelectColors", "Button2", 106);
    text("ExpDiagram", "", 150);
    return t;
}

bool IsOtherWindow(const QObject* o) {
    const auto* w = qobject_cast<const QWidget*>(o);
    return w && w->isWindow() && !qobject_cast<const QMenu*>(w);
}

QObject* FindIn(QObject* parent, const QString& name) {
    for (QObject* c : parent->children()) {
        if (IsOtherWindow(c)) continue;
        if (c->objectName() == name) return c;
    }
    for (QObject* c : parent->children()) {
        if (IsOtherWindow(c)) continue;
        if (QObject* found = FindIn(c, name)) return found;
    }
    return nullptr;
}

QTabWidget* OwningTabWidget(QWidget* page) {
    QWidget* stack = page->parentWidget();
    if (!qobject_cast<QStackedWidget*>(stack)) return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
    return tabs && tabs->indexOf(page) >= 0 ? tabs : nullptr;
}

TCaptionResult SetCaption(QObject* o, const QString& s) {
    if (auto* a = qobject_cast<QAction*>(o)) {
        a->setText(s);
    } else if (auto* menu = qobject_cast<QMenu*>(o)) {
        menu->setTitle(s);
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        b->setText(s);
    } else if (auto* l = qobject_cast<QLabel*>(o)) {
        l->setText(s);
    } else if (auto* w = qobject_cast<QWidget*>(o); w && OwningTabWidget(w)) {
        OwningTabWidget(w)->setTabText(OwningTabWidget(w)->indexOf(w), s);
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        g->setTitle(s);
    } else {
        return TCaptionResult::Unsupported;
    }
    return TCaptionResult::Applied;
}

TCaptionResult SetHint(QObject* o, const QString& s) {
    if (auto* a = qobject_cast<QAction*>(o)) {
        a->setToolTip(s);
    } else if (auto* w = qobject_cast<QWidget*>(o)) {
        w->setToolTip(s);
    } else {
        return TCaptionResult::Unsupported;
    }
    return TCaptionResult::Applied;
}

TCaptionResult SetSection(QObject* o, int section, const QString& s) {
    QHeaderView* header = qobject_cast<QHeaderView*>(o);
    if (!header) {
        if (auto* tree = qobject_cast<QTreeView*>(o)) header = tree->header();
        if (auto* table = qobject_cast<QTableView*>(o)) header = table->horizontalHeader();
    }
    if (!header || !header->model()) return TCaptionResult::Unsupported;
    if (section >= header->count()) return TCaptionResult::ControlMissing;
    header->model()->setHeaderData(section, header->orientation(), s);
    return TCaptionResult::Applied;
}

// Only the items' texts change: which one is selected stays as it is.
TCaptionResult SetItem(QObject* o, int item, const QString& s) {
    if (auto* g = qobject_cast<QGroupBox*>(o)) {
        const auto buttons = g->findChildren<QAbstractButton*>();
        if (item >= buttons.size()) return TCaptionResult::ControlMissing;
        buttons[item]->setText(s);
    } else if (auto* combo = qobject_cast<QComboBox*>(o)) {
        if (item >= combo->count()) return TCaptionResult::ControlMissing;
        combo->setItemText(item, s);
    } else if (auto* list = qobject_cast<QListWidget*>(o)) {
        if (item >= list->count()) return TCaptionResult::ControlMissing;
        list->item(item)->setText(s);
    } else {
        return TCaptionResult::Unsupported;
    }
    return TCaptionResult::Applied;
}

TCaptionResult Apply(const TCaptionRow& row, int language) {
    QWidget* form = FindForm(row.form);
    if (!form) return TCaptionResult::FormAbsent;
    const QString s = CaptionText(row, language);
    if (row.control.empty()) {
        form->setWindowTitle(s);
        return TCaptionResult::Applied;
    }
    QObject* o = FindControl(form, row.control);
    if (!o) return TCaptionResult::ControlMissing;
    switch (row.part) {
    case P::Text:
        return SetCaption(o, s);
    case P::Hint:
        return SetHint(o, s);
    case P::Section:
        return SetSection(o, row.index, s);
    case P::Item:
        return SetItem(o, row.index, s);
    }
    return TCaptionResult::Unsupported;
}

QString FromUtf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

const std::vector<TCaptionRow>& CaptionTable() {
    static const std::vector<TCaptionRow> table = BuildTable();
    return table;
}

QString CaptionText(const TCaptionRow& row, int language) {
    return FromUtf8(row.prefix) + FromUtf8(PhraseText(row.phrase, language)) + FromUtf8(row.suffix);
}

QWidget* FindForm(const std::string& name) {
    const QString n = QString::fromStdString(name);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == n) return w;
    return nullptr;
}

QObject* FindControl(QWidget* form, const std::string& name) {
    return form ? FindIn(form, QString::fromStdString(name)) : nullptr;
}

std::vector<TCaptionOutcome> ApplyCaptions(int language) {
    const int valid = ValidLanguage(language);
    std::vector<TCaptionOutcome> out;
    out.reserve(CaptionTable().size());
    for (const TCaptionRow& row : CaptionTable())
        out.push_back({&row, Apply(row, valid)});
    return out;
}

void SetLanguage(int language) {
    const int stored = SetCurrentLanguage(language);
    // The toolkit's own dialogs and buttons first: they are built when shown, in the language then.
    LoadQtTranslations(stored);
    ApplyCaptions(stored);
}

void English1Click() {
    SetLanguage(langEnglish);
}
void Russian1Click() {
    SetLanguage(langRussian);
}
void Portuguese1Click() {
    SetLanguage(langPortuguese);
}
void French1Click() {
    SetLanguage(langFrench);
}
void Italian1Click() {
    SetLanguage(langItalian);
}

QString PhraseString(int phrase) {
    return FromUtf8(Phrase(phrase));
}

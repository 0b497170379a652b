// The database window: layout, menus, tool bar, the list panel under its header bar, the caption,
// and the mouse, wheel and keys over the list. The commands are in database_form_commands.cpp.

#include "gamedb/ui/database_form.h"

#include "gamedb/database_commands.h"
#include "gamedb/game_list.h"
#include "gamedb/game_list_page.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/db_panel.h"
#include "gamedb/ui/f_match_par.h"
#include "gamedb/ui/f_search.h"
#include "gamedb/ui/game_info_form.h"
#include "gamedb/ui/headers_edit.h"
#include "gamedb/ui/list_form.h"
#include "gamedb/ui/menu_items.h"
#include "gamedb/ui/sort_form.h"
#include "rules/clock.h"

#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The header bar's sections: text, width, alignment; sections 1 and 2 take the width left over.
struct TSection {
    const char* text;
    int width;
    Qt::Alignment align;
    bool stretch;
};
const TSection Sections[7] = {
    {"N", 55, Qt::AlignRight, false},         {"Names", 194, Qt::AlignLeft, true},
    {"Tournament", 193, Qt::AlignLeft, true}, {"Date", 45, Qt::AlignHCenter, false},
    {"Res", 40, Qt::AlignHCenter, false},     {"", 30, Qt::AlignLeft, false},
    {"", 60, Qt::AlignLeft, false},
};

TListKey ListKeyOf(int key) {
    switch (key) {
    case Qt::Key_Escape:
        return TListKey::Escape;
    case Qt::Key_Insert:
        return TListKey::Insert;
    case Qt::Key_Delete:
        return TListKey::Delete;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return TListKey::Enter;
    case Qt::Key_PageUp:
        return TListKey::PageUp;
    case Qt::Key_PageDown:
        return TListKey::PageDown;
    case Qt::Key_End:
        return TListKey::End;
    case Qt::Key_Home:
        return TListKey::Home;
    case Qt::Key_Up:
        return TListKey::Up;
    case Qt::Key_Down:
        return TListKey::Down;
    default:
        return TListKey::Other;
    }
}

} // namespace

TDatabaseForm::TDatabaseForm(QWidget* parent) : QDialog(parent) {
    setObjectName("DatabaseForm");
    setWindowTitle("Database");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildMenus();
    layout->setMenuBar(m_menuBar);
    BuildToolBar();
    layout->addWidget(ToolBar1);
    BuildPanel();
    layout->addWidget(DBPanel, 1);
    resize(900, 600);
}

TDatabaseForm::~TDatabaseForm() = default;

TFSearch* TDatabaseForm::FSearch() const {
    return m_dialogs.FSearch;
}
TSortForm* TDatabaseForm::SortForm() const {
    return m_dialogs.SortForm;
}
TListForm* TDatabaseForm::ListForm() const {
    return m_dialogs.ListForm;
}
THeadersEdit* TDatabaseForm::HeadersEdit() const {
    return m_dialogs.HeadersEdit;
}
TFMatchPar* TDatabaseForm::FMatchPar() const {
    return m_dialogs.FMatchPar;
}
TGameInfoForm* TDatabaseForm::GameInfoForm() const {
    return m_dialogs.GameInfoForm;
}

QAction* TDatabaseForm::AddItem(QMenu* menu, const char* name, const QString& text) {
    return AddMenuItem(m_items, menu, name, text);
}

QMenu* TDatabaseForm::AddMenu(QMenu* parent, const char* name, const QString& text) {
    return AddSubMenu(m_items, m_menuBar, parent, name, text);
}

QAction* TDatabaseForm::Item(const QString& name) const {
    const auto it = m_items.find(name);
    return it == m_items.end() ? nullptr : it->second;
}

QToolButton* TDatabaseForm::Button(const QString& name) const {
    return ToolBar1->findChild<QToolButton*>(name);
}

void TDatabaseForm::Connect(const char* name, void (TDatabaseForm::*handler)()) {
    if (QAction* a = Item(name))
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
}

void TDatabaseForm::BuildMenus() {
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName("MainMenu1");
    const auto makeDefault = [](QAction* a) {
        QFont f = a->font();
        f.setBold(true);
        a->setFont(f);
    };
    // Items of commands that other windows add: present and disabled until they are wired.
    const auto hidden = [](QAction* a) { a->setVisible(false); };

    QMenu* database = AddMenu(nullptr, "Database1", "Database");
    makeDefault(AddItem(database, "Open", "Open database"));
    AddItem(database, "OpenCHB", "Import CHB");
    AddItem(database, "ImportPDN1", "Import PDN");
    database->addSeparator();
    AddItem(database, "CleanUpdatabase1", "CleanUp database");
    AddItem(database, "Checkdatabase1", "Check database");
    QAction* rebuild = AddItem(database, "Rebuilddatabase1", "Rebuild database");
    hidden(rebuild);
    rebuild->setEnabled(false);
    database->addSeparator();
    AddItem(database, "Exit1", "Close database window");

    QMenu* search = AddMenu(nullptr, "Search2", "Search");
    QAction* newSearch = AddItem(search, "Search1", "New search");
    makeDefault(newSearch);
    newSearch->setShortcut(Qt::Key_F5);
    AddItem(search, "Clear1", "Reset");

    QMenu* game = AddMenu(nullptr, "Game1", "Game");
    makeDefault(AddItem(game, "Load1", "Load"));
    AddItem(game, "Replace", "Replace");
    AddItem(game, "Save1", "Save");
    AddItem(game, "Delete", "Delete");
    AddItem(game, "Editheader1", "Edit header");
    AddItem(game, "Copy1", "Copy");
    QMenu* exp = AddMenu(game, "Export1", "Export");
    AddItem(exp, "PDN1", "PDN");
    game->addSeparator();
    AddItem(game, "Selectall", "Select all")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    AddItem(game, "Deselectall", "Deselect all");

    QMenu* tools = AddMenu(nullptr, "ools1", "Tools");
    AddItem(tools, "Sortgameslist1", "Sort games list");
    tools->addSeparator();
    AddItem(tools, "ABuildtree1", "Build tree");
    tools->addSeparator();
    AddItem(tools, "Maketournamentslist1", "Make tournaments list");
    hidden(AddItem(tools, "SavenamestoTXT1", "Save names"));
    QMenu* headers = AddMenu(tools, "Headers1", "Headers");
    AddItem(headers, "Set1", "Set");
    QAction* tables = AddItem(headers, "Edittables1", "Edit tables");
    hidden(tables);
    tables->setEnabled(false);
    hidden(AddItem(tools, "CorrectNames1", "Correct names"));
    AddItem(tools, "Delect1", "Match games");

    QMenu* options = AddMenu(nullptr, "Options1", "Options");
    AddItem(options, "Font1", "Font");

    Connect("Open", &TDatabaseForm::OpenClick);
    Connect("OpenCHB", &TDatabaseForm::OpenCHBClick);
    Connect("ImportPDN1", &TDatabaseForm::ImportPDN1Click);
    Connect("PDN1", &TDatabaseForm::PDN1Click);
    Connect("CleanUpdatabase1", &TDatabaseForm::CleanUpdatabase1Click);
    Connect("Checkdatabase1", &TDatabaseForm::Checkdatabase1Click);
    Connect("Exit1", &TDatabaseForm::Exit1Click);
    Connect("Search1", &TDatabaseForm::Search1Click);
    Connect("Clear1", &TDatabaseForm::Clear1Click);
    Connect("Load1", &TDatabaseForm::Load1Click);
    Connect("Replace", &TDatabaseForm::ReplaceClick);
    Connect("Save1", &TDatabaseForm::Save1Click);
    Connect("Delete", &TDatabaseForm::DeleteClick);
    Connect("Editheader1", &TDatabaseForm::Editheader1Click);
    Connect("Copy1", &TDatabaseForm::Copy1Click);
    Connect("Selectall", &TDatabaseForm::SelectallClick);
    Connect("Deselectall", &TDatabaseForm::DeselectallClick);
    Connect("ABuildtree1", &TDatabaseForm::ABuildtree1Click);
    Connect("SavenamestoTXT1", &TDatabaseForm::SavenamestoTXT1Click);
    Connect("CorrectNames1", &TDatabaseForm::CorrectNames1Click);
    Connect("Font1", &TDatabaseForm::Font1Click);
    Connect("Sortgameslist1", &TDatabaseForm::Sortgameslist1Click);
    Connect("Maketournamentslist1", &TDatabaseForm::Maketournamentslist1Click);
    Connect("Set1", &TDatabaseForm::Set1Click);
    Connect("Delect1", &TDatabaseForm::Delect1Click);
}

void TDatabaseForm::BuildToolBar() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(20, 20));
    struct TButtonSpec {
        const char* name;
        const char* hint;
        QStyle::StandardPixmap icon;
        void (TDatabaseForm::*handler)();
        bool separatorAfter;
    };
    const TButtonSpec buttons[] = {
        {"ToolButton2", "Open database", QStyle::SP_DialogOpenButton, &TDatabaseForm::OpenClick, true},
        {"ToolButton5", "Reset", QStyle::SP_BrowserReload, &TDatabaseForm::Clear1Click, false},
        {"ToolButton4", "Search", QStyle::SP_FileDialogContentsView, &TDatabaseForm::Search1Click, true},
        {"ToolButton7", "Load game", QStyle::SP_ArrowRight, &TDatabaseForm::Load1Click, false},
        {"ToolButton9", "Replace game", QStyle::SP_BrowserStop, &TDatabaseForm::ReplaceClick, false},
        {"ToolButton8", "Save game", QStyle::SP_DialogSaveButton, &TDatabaseForm::Save1Click, false},
        {"ToolButton10", "Delete game(s)", QStyle::SP_TrashIcon, &TDatabaseForm::DeleteClick, false},
        {"ToolButton11", "Edit game header", QStyle::SP_FileDialogDetailedView,
         &TDatabaseForm::Editheader1Click, false},
        {"ToolButton14", "Copy game(s)", QStyle::SP_FileDialogNewFolder, &TDatabaseForm::Copy1Click, true},
        {"ToolButton12", "Help", QStyle::SP_DialogHelpButton, nullptr, false},
    };
    for (const TButtonSpec& b : buttons) {
        auto* tb = new QToolButton(ToolBar1);
        tb->setObjectName(b.name);
        tb->setToolTip(b.hint);
        tb->setIcon(style()->standardIcon(b.icon));
        tb->setFixedSize(31, 30);
        tb->setFocusPolicy(Qt::NoFocus);
        if (b.handler)
            connect(tb, &QToolButton::clicked, this, [this, h = b.handler] { (this->*h)(); });
        else
            tb->setEnabled(false); // help has no page here
        ToolBar1->addWidget(tb);
        if (b.separatorAfter) ToolBar1->addSeparator();
    }
}

void TDatabaseForm::BuildPanel() {
    DBPanel = new TDBPanel(m_session, this);
    QFont f("Times New Roman");
    f.setPixelSize(16);
    DBPanel->setFont(f);
    HeaderControl2 = new QHeaderView(Qt::Horizontal, DBPanel);
    HeaderControl2->setObjectName("HeaderControl2");
    // The window's type, not the list's: a larger list font keeps the bar as it is.
    HeaderControl2->setFont(QFont(font().family(), font().pointSize()));
    auto* model = new QStandardItemModel(0, 7, HeaderControl2);
    HeaderControl2->setModel(model);
    HeaderControl2->setSectionsClickable(false);
    HeaderControl2->setFocusPolicy(Qt::NoFocus);
    HeaderControl2->setMinimumSectionSize(10);
    for (int s = 0; s < 7; ++s) {
        model->setHeaderData(s, Qt::Horizontal, Sections[s].text);
        model->setHeaderData(s, Qt::Horizontal, QVariant::fromValue(Sections[s].align | Qt::AlignVCenter),
                             Qt::TextAlignmentRole);
        HeaderControl2->resizeSection(s, Sections[s].width);
        HeaderControl2->setSectionResizeMode(s, Sections[s].stretch ? QHeaderView::Stretch
                                                                    : QHeaderView::Interactive);
    }
    connect(HeaderControl2, &QHeaderView::sectionResized, this, [this] { UpdateColumnLayout(); });
    connect(DBPanel, &TDBPanel::mouseDown, this, &TDatabaseForm::DBPanelMouseDown);
    connect(DBPanel, &TDBPanel::wheelTurned, this, &TDatabaseForm::FormMouseWheel);
    connect(DBPanel, &TDBPanel::resized, this, &TDatabaseForm::DBPanelResize);
    PlaceHeader();
}

void TDatabaseForm::PlaceHeader() {
    HeaderControl2->setGeometry(0, 0, std::max(DBPanel->width() - 17, 0), ListTop);
}

std::string TDatabaseForm::Phrase(int phrase) const {
    return DatabaseHooks().phrase(phrase);
}

void TDatabaseForm::ShowDatabaseNotOpened() {
    m_session.Prompt().ShowMessage(Phrase(86));
}

void TDatabaseForm::UpdateDatabaseCaption() {
    setWindowTitle(QString::fromStdString(DatabaseCaption(m_session.GameDatabase, m_session.GameListCount(),
                                                          MarkedGameCount(m_session.GameList))));
}

void TDatabaseForm::ReadAndRepaint() {
    DBPanel->ReadGames();
    DBPanel->DoRepaint();
}

void TDatabaseForm::RefreshGameList() {
    ResetGameList(m_session.GameList, m_session.GameDatabase);
    // A position kept from another database or a longer list would point at no listed game.
    if (!m_session.GameList.Contains(m_session.GameDatabase.currentGame))
        m_session.GameDatabase.currentGame = m_session.GameListCount() > 0 ? 1 : 0;
    UpdateDatabaseCaption();
    DBPanel->SetParams();
    DBPanel->ScrollTo(0);
    ReadAndRepaint();
}

void TDatabaseForm::ListChanged() {
    DBPanel->SetParams();
    DBPanel->ScrollTo(0);
    m_session.GameDatabase.currentGame = m_session.GameListCount() > 0 ? 1 : 0;
    UpdateDatabaseCaption();
    ReadAndRepaint();
}

void TDatabaseForm::UpdateColumnLayout() {
    std::array<int, 7> columns{};
    int x = 0;
    for (int k = 0; k < 7; ++k) {
        x += HeaderControl2->sectionSize(k);
        columns[std::size_t(k)] = x;
    }
    DBPanel->SetColumns(columns);
    DBPanel->DoRepaint();
}

void TDatabaseForm::DBPanelResize() {
    PlaceHeader();
    DBPanel->SetParams();
    DBPanel->ReadGames();
    UpdateColumnLayout();
}

void TDatabaseForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    UpdateColumnLayout();
}

void TDatabaseForm::showEvent(QShowEvent* event) {
    // Opened maximised; without a window manager the hint alone would not do it.
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        setGeometry(s->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    QDialog::showEvent(event);
    // The main window may have moved the current position (next and previous game) or changed the
    // list meanwhile: show the page that holds it.
    DBPanel->SetParams();
    TListView v = DBPanel->View();
    if (v.current > v.count) m_session.GameDatabase.currentGame = v.current = v.count;
    if (v.current >= 1 && (v.current <= v.scroll || v.current > v.scroll + v.lines))
        DBPanel->ScrollTo(v.current - 1);
    UpdateDatabaseCaption();
    ReadAndRepaint();
    DBPanel->setFocus();
}

void TDatabaseForm::SetDeletedMark(std::int32_t position, int mode) {
    Report(::SetDeletedMark(m_session.GameDatabase, m_session.GameList, position,
                            static_cast<TMarkMode>(std::clamp(mode, 1, 3))),
           "The deleted mark was not changed");
}

// ---- mouse, wheel and keys -----------------------------------------------------------------

void TDatabaseForm::Perform(const TListAction& a, const TListView& before, const TListView& after) {
    if (a.close) {
        Exit1Click();
        return;
    }
    if (m_session.GameList.Contains(a.toggleSelected)) m_session.GameList[a.toggleSelected].selected ^= 1;
    if (a.toggleDeleted) SetDeletedMark(a.toggleDeleted, 3);
    m_session.GameDatabase.currentGame = after.current;
    if (after.scroll != before.scroll)
        DBPanel->ScrollTo(after.scroll); // reads and repaints the new page
    else if (a.toggleDeleted)
        DBPanel->ReadGames();
    if (a.caption) UpdateDatabaseCaption();
    if (a.repaint) DBPanel->DoRepaint();
    if (a.load) Load1Click();
}

void TDatabaseForm::DBPanelMouseDown(int button, int x, int y) {
    (void)x;
    const TListView before = DBPanel->View();
    TListView after = before;
    const TListButton b = button == 0   ? TListButton::Left
                          : button == 1 ? TListButton::Right
                                        : TListButton::Other;
    const TListAction a = ListMouseDown(after, m_clicks, b, DBPanel->GetLine(y), NowCentiseconds(),
                                        m_session.GameDatabase.open);
    Perform(a, before, after);
}

void TDatabaseForm::FormMouseWheel(int notches) {
    DBPanel->ScrollTo(ListWheelScroll(DBPanel->View(), notches));
}

void TDatabaseForm::FormKeyDown(TListKey key) {
    const TListView before = DBPanel->View();
    TListView after = before;
    const TListAction a = ListKeyDown(after, key, m_session.GameDatabase.open);
    Perform(a, before, after);
}

void TDatabaseForm::keyPressEvent(QKeyEvent* event) {
    const TListKey key = ListKeyOf(event->key());
    if (key == TListKey::Other || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QDialog::keyPressEvent(event);
        return;
    }
    FormKeyDown(key);
    event->accept();
}

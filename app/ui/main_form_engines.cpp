// The main window's engines: their start-up, the engine options dialog, the level items, the
// engine choice for the variant, and engine matches. The logic lives in app/core; this binds it.

#include "app/core/book_list.h"
#include "app/core/engine_bridge.h"
#include "app/core/engine_requests.h"
#include "app/core/language.h"
#include "app/core/shell_state.h"
#include "app/ui/f_engine_opt.h"
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "app/ui/shell_prompts.h"
#include "gamedb/opening_book.h"
#include "gamedb/ui/database_form.h"
#include "rules/variant_state.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>

namespace {
const char* const kLevelItems[5] = {"LevelM", "LevelC", "Level1", "Level2", "Level3"};
} // namespace

void TMainForm::WireEngineCommands() {
    connect(Item("Engineoptions1"), &QAction::triggered, this, [this] { Engineoptions1Click(); });
    if (auto* b = m_toolBar->findChild<QToolButton*>("ToolButton11"))
        connect(b, &QToolButton::clicked, this, [this] { Engineoptions1Click(); });
    for (int level = 0; level < 5; ++level)
        connect(Item(kLevelItems[level]), &QAction::triggered, this, [this, level] { LevelClick(level); });
    // "Master" is not offered: the strongest level plays in engine matches only.
    Item("LevelM")->setEnabled(false);
    connect(Item("Autoplay1"), &QAction::triggered, this, [this] { Autoplay1Click(); });
}

TEngineAvailability TMainForm::EngineAvailability() const {
    const TEngineBridge& bridge = ProgramEngineBridge();
    TEngineAvailability a;
    for (int kind = 0; kind < 5; ++kind)
        a.available[kind] = bridge.Available(kind);
    a.oskeenName = bridge.OskeenEngineName();
    return a;
}

void TMainForm::InitEngines() {
    TEngineBridge& bridge = ProgramEngineBridge();
    bridge.Bind(EngineFilesIn(Shell.AppDir));
    SetEngineBridge(&bridge);
    const TEngineOptionSettings& o = m_engineOptions;
    TEngineMemory memory;
    memory.vantorMB = o.vantorMemory;
    memory.trevaloMB = o.trevaloMemory;
    memory.marrakMB = o.marrakMemory;
    memory.marrakItalianMB = o.marrakItalianMemory;
    memory.oskeenMB = o.oskeenMemory;
    ::InitEngines(memory);
}

void TMainForm::ApplyEngineOptionControls() {
    if (FEngineOpt()) FEngineOpt()->SetValues(m_engineOptions);
}

void TMainForm::ApplyOskeenEngineName() {
    if (FEngineOpt()) FEngineOpt()->SetEngines(EngineAvailability());
}

void TMainForm::SelectEngineForVariant() {
    int level = 1;
    for (int i = 0; i < 5; ++i)
        if (Item(kLevelItems[i])->isChecked()) level = i;
    const TEngineChoice choice =
        ::SelectEngineForVariant(m_engineOptions, m_session.CurrentVariant(), level, EngineAvailability());
    EngineSettings = choice.settings;
    Item("Levels")->setEnabled(choice.levelsEnabled);
}

void TMainForm::LevelClick(int level) {
    if (level < 0 || level > 4) return;
    Item(kLevelItems[level])->setChecked(true);
    SelectEngineForVariant();
}

void TMainForm::Engineoptions1Click() {
    if (!FEngineOpt()) return;
    ApplyEngineOptionControls();
    FEngineOpt()->SetEngines(EngineAvailability());
    FEngineOpt()->onOk = [this] {
        // The engine choice and the book change under a request that reads them: it ends first.
        StopEngineAndWait();
        const std::string engineBefore = m_seams.engineLongName();
        m_engineOptions = FEngineOpt()->Values();
        SelectEngineForVariant();
        FollowEngineInHeader(engineBefore);
        // The variant's book again, with the book name and "use book" just confirmed.
        OpeningBook().SetSettings(BookSettingsOf(m_engineOptions));
        if (const auto& openBook = VariantHooks().openBook) openBook(m_session.CurrentVariant());
        ShowBookMoves();
    };
    FEngineOpt()->exec();
}

void TMainForm::Autoplay1Click() {
    StopEngineAndWait();
    const TEngineBridge& bridge = ProgramEngineBridge();
    const auto refuse = [this](const std::string& why) {
        std::fprintf(stderr, "tavrix: no engine match: %s\n", why.c_str());
        ShellPrompts().ShowMessage(this, QString::fromUtf8(Phrase(61)));
    };
    if (!bridge.Available(ekOskeen)) return refuse("Oskeen is not available");
    TDatabaseForm* window = DatabaseForm();
    auto match = std::make_shared<TEngineMatch>(window ? &window->Session().Prompt() : nullptr);
    std::string why;
    const TGameDatabase* open = window ? &window->Session().GameDatabase : nullptr;
    if (!match->Prepare(Shell.AppDir + "Bases/match_source", Shell.AppDir + "Bases/match_games", &why, open))
        return refuse(why);
    PlayModeClick();
    const TEngineSettings a = MatchPlayerA();
    const TEngineSettings b = MatchPlayerB(bridge.OskeenEngineName());
    StartEngineWorker([match, a, b, options = m_matchOptions] { match->Run(a, b, options); });
}

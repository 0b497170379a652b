#pragma once
// The program's forms. Each is created once at start-up, in a fixed order, and lives until the
// process ends. User-interface thread only.

class TMainForm;
class TFEngineOpt;
class TNewMoveQ;
class TFSelectMove;
class TWhoMoves;
class TCommDlg;
class TUseComBoard;
class TFAnalysisGame;
class TFImpCHB;
class TAboutBox;
class TInterfaceForm;
class TSelectColors;
class TExpDiagram;
class TFSetTm;
class Tebtest;
class TEDBCompr;

extern TMainForm* MainForm;
extern TFEngineOpt* FEngineOpt;
extern TNewMoveQ* NewMoveQ;
extern TFSelectMove* FSelectMove;
extern TWhoMoves* WhoMoves;
extern TCommDlg* CommDlg;
extern TUseComBoard* UseComBoard;
extern TFAnalysisGame* FAnalysisGame;
// The progress window of long database tasks, installed as the process's progress (SetProgress).
extern TFImpCHB* FImpCHB;
extern TAboutBox* AboutBox;
extern TInterfaceForm* InterfaceForm;
extern TSelectColors* SelectColors;
extern TExpDiagram* ExpDiagram;
extern TFSetTm* FSetTm;
// The endgame-database developer windows (hidden; see OpenEdbToolWindow).
extern Tebtest* ebtest;
extern TEDBCompr* EDBCompr;

// GameInfoForm and DatabaseForm are declared with their classes (gamedb/ui).

// Creates the main window (which runs its FormCreate) and then every other form in the start-up
// order. The forms are children of the main window and are destroyed with it.
TMainForm* CreateForms();
// Forgets the form pointers after the main window has been destroyed (the progress window's
// installation too).
void ForgetForms();

#pragma once
// Captions in the chosen language: the table of which control of which form shows which phrase,
// SetLanguage that applies it, and the language menu commands. User-interface thread only.
//
// Naming convention the forms follow, so that their rows resolve:
// - A form's objectName is its class name without the leading T ("MainForm", "AboutBox",
//   "NewMoveQ", "FSearch", "DatabaseForm"), and the form is a window (a top-level widget).
// - A control's objectName is its given control name ("StopButton", "Label4", "TabSheet3").
//   Menu items are QAction objects with that objectName; a menu with sub-items may instead be a
//   QMenu with it. Tool buttons are QToolButton or QAction; their hints are tool tips.
// - A caption goes to: QAction text, QMenu title, QAbstractButton text, QLabel text, QGroupBox title,
//   the tab text of a QTabWidget page, or the window title for the form itself.
// - A radio group ("notation") is a QGroupBox whose items are the radio buttons inside it in creation
//   order (or a QComboBox / QListWidget with items); a header bar ("HeaderControl2") is a
//   QHeaderView, or a QTreeView / QTableView whose horizontal header holds the sections.
// - The captions walk test constructs a form T<Name> once its header exists as
//   app/ui/<name_in_snake_case>.h (gamedb/ui/ for DatabaseForm, FSearch, GameInfoForm) and the
//   class is constructible from a parent widget pointer; a form built elsewhere adds itself there.
// A form that does not exist is skipped; a control missing from an existing form is reported by
// ApplyCaptions (and its row skipped), which the captions test turns into a failure.

#include <QString>

#include <string>
#include <vector>

class QObject;
class QWidget;

enum class TCaptionPart {
    Text,    // the control's caption (or the form's, when the control name is empty)
    Hint,    // tool tip
    Section, // heading of section `index` of a header bar
    Item,    // text of item `index` of a radio group
};

struct TCaptionRow {
    std::string form;    // form object name
    std::string control; // empty: the form's own caption
    TCaptionPart part;
    int index;          // Section and Item only
    std::string prefix; // text before the phrase ("3 ")
    int phrase;
    std::string suffix; // text after the phrase (" CHB")
};

// Every row in the order SetLanguage applies them.
const std::vector<TCaptionRow>& CaptionTable();
// The row's text in `language`.
QString CaptionText(const TCaptionRow& row, int language);

enum class TCaptionResult { Applied, FormAbsent, ControlMissing, Unsupported };
struct TCaptionOutcome {
    const TCaptionRow* row;
    TCaptionResult result;
};

// The live form with this object name, or null.
QWidget* FindForm(const std::string& name);
// The control of `form` with this object name; controls of other forms (child windows) are not
// searched, menus are.
QObject* FindControl(QWidget* form, const std::string& name);
// Applies the table in `language` (outside 1..5: English) without changing CurrentLanguage.
std::vector<TCaptionOutcome> ApplyCaptions(int language);

// Stores the language (outside 1..5: English), puts the toolkit's own dialogs into it and sets
// every caption of the forms that exist.
void SetLanguage(int language);

// The language menu of the main window; the items get no check mark.
void English1Click();
void Russian1Click();
void Portuguese1Click();
void French1Click();
void Italian1Click();

// Phrase k of the current language for a widget.
QString PhraseString(int phrase);

#pragma once
// Qt's own texts in the program's language: the colour, font and file dialogs and the standard
// buttons of message boxes come from the toolkit, which translates them from the catalogues the
// system installs (Debian's qt6-translations-l10n). User-interface thread only.

// Loads the toolkit's catalogue for `language` (1 English .. 5 Italian) in place of the one before;
// English needs none. False when the catalogue is not installed: the toolkit's texts stay English.
bool LoadQtTranslations(int language);

#pragma once
// Message boxes, file and colour choosers and the browser, answered by the test.

#include "app/ui/shell_prompts.h"

#include <QStringList>

#include <optional>

class TScriptedPrompts : public IShellPrompts {
  public:
    void ShowMessage(QWidget*, const QString& text) override { messages << text; }
    std::optional<QString> OpenFile(QWidget*, const QString& filter, const QString& folder) override {
        openedWith = {filter, folder};
        return file;
    }
    std::optional<QString> SaveFile(QWidget*, const QString& title, const QString& filter,
                                    const QString& folder, const QString& suffix) override {
        savedWith = {title, filter, folder, suffix};
        return saveFile;
    }
    std::optional<std::uint32_t> ChooseColor(QWidget*, std::uint32_t) override { return color; }
    void OpenUrl(const QString& url) override { urls << url; }

    QStringList messages, openedWith, savedWith, urls;
    std::optional<QString> file;        // the answer of the file chooser
    std::optional<QString> saveFile;    // the answer of the chooser of a file to write
    std::optional<std::uint32_t> color; // the answer of the colour chooser
};

#include "app/ui/f_engine_opt.h"

#include "app/core/language.h"
#include "app/core/shell_state.h"
#include "app/ui/shell_prompts.h"
#include "platform/codepage.h"
#include "rules/hash_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QVBoxLayout>

#include <climits>

namespace {
const char* const kListNames[7] = {"EngineRus", "EngineEng", "EngineBra", "EnginePool",
                                   "EngineIta", "EngineInt", "EngineCze"};
const char* const kPageTexts[7] = {"Russian", "English",       "Brazilian", "American Pool",
                                   "Italian", "International", "Czech"};
// The "Engine" and "Book" labels of pages 1..7.
const char* const kEngineLabels[7] = {"Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label22"};
const char* const kBookLabels[7] = {"Label8",  "Label9",  "Label10", "Label11",
                                    "Label12", "Label13", "Label23"};

// File names are the file system's bytes.
QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
std::string ToPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
} // namespace

TFEngineOpt::TFEngineOpt(QWidget* parent) : TModalDialog(parent) {
    setObjectName("FEngineOpt");
    setWindowTitle("Engine settings");
    physicalMemory = [] { return TotalPhysicalMemory(); };
    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setUsesScrollButtons(false); // all seven variants in view
    layout->addWidget(PageControl1);
    for (int i = 0; i < 7; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QString("TabSheet%1").arg(i + 1));
        TabSheet[i] = page;
        auto* g = new QGridLayout(page);
        auto* engineLabel = new QLabel("Engine", page);
        engineLabel->setObjectName(kEngineLabels[i]);
        auto* bookLabel = new QLabel("Book", page);
        bookLabel->setObjectName(kBookLabels[i]);
        EngineList[i] = new QComboBox(page);
        EngineList[i]->setObjectName(kListNames[i]);
        Book[i] = new QLineEdit(page);
        Book[i]->setObjectName(QString("Book%1").arg(i + 1));
        Book[i]->setMinimumWidth(320);
        Button[i] = new QPushButton("Browse", page);
        Button[i]->setObjectName(QString("Button%1").arg(i + 1));
        UseBook[i] = new QCheckBox("Use book moves", page);
        UseBook[i]->setObjectName(QString("UseBook%1").arg(i + 1));
        g->addWidget(engineLabel, 0, 0);
        g->addWidget(EngineList[i], 0, 1, 1, 2);
        g->addWidget(bookLabel, 1, 0);
        g->addWidget(Book[i], 1, 1);
        g->addWidget(Button[i], 1, 2);
        g->addWidget(UseBook[i], 2, 1, 1, 2);
        g->setRowStretch(3, 1);
        const int variant = i + 1;
        connect(Button[i], &QPushButton::clicked, this, [this, variant] { ButtonClick(variant); });
        // Only a pick replaces the stored choice: the dialog's own changes are made with the
        // list's signals blocked.
        connect(EngineList[i], &QComboBox::currentIndexChanged, this, [this, i](int index) {
            if (index >= 0) m_choice[i] = index;
        });
        PageControl1->addTab(page, kPageTexts[i]);
    }
    // Every list has its items from the start: the built-in engine, then the variant's own.
    SetEngines(TEngineAvailability{});

    GroupBox1 = new QGroupBox("Memory usage", this);
    GroupBox1->setObjectName("GroupBox1");
    auto* mem = new QGridLayout(GroupBox1);
    const std::pair<const char*, const char*> spins[5] = {{"VantorMem", "Vantor"},
                                                          {"OskeenMem", "Oskeen"},
                                                          {"TrevaloMem", "Trevalo"},
                                                          {"Marrakmem", "Marrak"},
                                                          {"Marrakitalianmem", "Marrak Italian"}};
    QSpinBox** targets[5] = {&VantorMem, &OskeenMem, &TrevaloMem, &Marrakmem, &Marrakitalianmem};
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(spins[i].second, GroupBox1);
        label->setObjectName(QString("Label%1").arg(14 + i));
        auto* s = new QSpinBox(GroupBox1);
        s->setObjectName(spins[i].first);
        s->setRange(1, INT_MAX);
        s->setSuffix(" MB");
        s->setMinimumWidth(110);
        *targets[i] = s;
        mem->addWidget(label, i, 0);
        mem->addWidget(s, i, 1);
    }
    mem->setColumnStretch(2, 1);
    layout->addWidget(GroupBox1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    okbutt = new QPushButton("OK", this);
    okbutt->setObjectName("okbutt");
    okbutt->setDefault(true);
    cancelbutt = new QPushButton("Cancel", this);
    cancelbutt->setObjectName("cancelbutt");
    buttons->addWidget(okbutt);
    buttons->addWidget(cancelbutt);
    layout->addLayout(buttons);
    connect(okbutt, &QPushButton::clicked, this, [this] { okbuttClick(); });
    connect(cancelbutt, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TFEngineOpt::SetEngines(const TEngineAvailability& engines) {
    m_engines = engines;
    for (int i = 0; i < 7; ++i) {
        QComboBox* list = EngineList[i];
        const std::vector<TEngineListItem> items = EngineListItems(static_cast<TGameType>(i + 1), engines);
        const QSignalBlocker quiet(list);
        list->clear();
        for (const TEngineListItem& item : items)
            list->addItem(QString::fromStdString(Cp1251ToUtf8(item.text)));
        auto* model = qobject_cast<QStandardItemModel*>(list->model());
        for (int k = 0; k < static_cast<int>(items.size()); ++k)
            if (model && !engines.available[items[k].kind]) model->item(k)->setEnabled(false);
        ShowChoice(i);
    }
}

void TFEngineOpt::ShowChoice(int page) {
    QComboBox* list = EngineList[page];
    const std::vector<TEngineListItem> items = EngineListItems(static_cast<TGameType>(page + 1), m_engines);
    const int choice = m_choice[page];
    // A choice the list does not have (a damaged settings file) or whose engine is missing shows
    // the built-in engine, which is what plays.
    const bool shown =
        choice >= 0 && choice < static_cast<int>(items.size()) && m_engines.available[items[choice].kind];
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(shown ? choice : 0);
}

void TFEngineOpt::SetValues(const TEngineOptionSettings& v) {
    for (int i = 0; i < 7; ++i) {
        m_choice[i] = v.engine[i];
        ShowChoice(i);
        Book[i]->setText(FromPath(v.book[i]));
        UseBook[i]->setChecked(v.useBook[i]);
    }
    VantorMem->setValue(v.vantorMemory);
    OskeenMem->setValue(v.oskeenMemory);
    TrevaloMem->setValue(v.trevaloMemory);
    Marrakmem->setValue(v.marrakMemory);
    Marrakitalianmem->setValue(v.marrakItalianMemory);
}

TEngineOptionSettings TFEngineOpt::Values() const {
    TEngineOptionSettings v;
    for (int i = 0; i < 7; ++i) {
        v.engine[i] = m_choice[i];
        v.book[i] = ToPath(Book[i]->text());
        v.useBook[i] = UseBook[i]->isChecked();
    }
    v.vantorMemory = VantorMem->value();
    v.oskeenMemory = OskeenMem->value();
    v.trevaloMemory = TrevaloMem->value();
    v.marrakMemory = Marrakmem->value();
    v.marrakItalianMemory = Marrakitalianmem->value();
    return v;
}

void TFEngineOpt::FormShow() {
    const std::uint64_t total = physicalMemory ? physicalMemory() : 0;
    // A system that does not say how much memory it has sets no limit.
    FreeMemoryMB = total ? ::FreeMemoryMB(total) : INT_MAX;
    for (QSpinBox* s : {VantorMem, OskeenMem, TrevaloMem, Marrakmem, Marrakitalianmem})
        s->setMaximum(std::max(1, FreeMemoryMB));
}

void TFEngineOpt::okbuttClick() {
    if (!MemoryFits(Values(), FreeMemoryMB)) {
        ShellPrompts().ShowMessage(this, QString::fromUtf8(Phrase(137)));
        return;
    }
    if (onOk) onOk();
    done(mrOk);
}

void TFEngineOpt::ButtonClick(int variant) {
    if (variant < 1 || variant > 7) return;
    QLineEdit* edit = Book[variant - 1];
    const QFileInfo current(edit->text());
    const QString folder = edit->text().isEmpty() ? FromPath(Shell.AppDir + "Books") : current.absolutePath();
    const auto file = ShellPrompts().OpenFileTitled(this, "Open Book/Tree",
                                                    "Vantor Quillan Book/Tree (*.CBK *.cbk)", folder);
    if (file) edit->setText(*file);
}

void TFEngineOpt::showEvent(QShowEvent* event) {
    FormShow();
    TModalDialog::showEvent(event);
}

#include "app/ui/about_box.h"

#include "app/ui/captions.h"
#include "app/ui/jpeg_image.h"
#include "app/ui/shell_prompts.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>

const char* const AboutMailAddress = "quillan@vantor.example";
const char* const AboutWebAddress = "https://vantor.example/quillan";

TAboutBox::TAboutBox(QWidget* parent) : TModalDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setFixedSize(120, 120);
    ProgramIcon->setScaledContents(true); // stretched
    ProductName = new QLabel("Vantor Quillan", this);
    ProductName->setObjectName("ProductName");
    Version = new QLabel("Version 2.0", this);
    Version->setObjectName("Version");
    Copyright = new QLabel(this);
    Copyright->setObjectName("Copyright");
    Copyright->setWordWrap(true);
    Label1 = new QLabel(AboutMailAddress, this);
    Label1->setObjectName("Label1");
    Label2 = new QLabel(AboutWebAddress, this);
    Label2->setObjectName("Label2");
    for (QLabel* link : {Label1, Label2}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setStyleSheet("color: blue");
        link->installEventFilter(this);
    }
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { done(mrOk); });
    auto* g = new QGridLayout(this);
    g->addWidget(ProgramIcon, 0, 0, 4, 1);
    g->addWidget(ProductName, 0, 1);
    g->addWidget(Version, 1, 1);
    // The variants under the picture, across the box: their names are long in some languages.
    g->addWidget(Copyright, 4, 0, 1, 2);
    g->addWidget(Label1, 5, 0, 1, 2);
    g->addWidget(Label2, 6, 0, 1, 2);
    g->addWidget(OKButton, 7, 0, 1, 2, Qt::AlignHCenter);
}

bool TAboutBox::LoadPicture(const QString& jpegFile) {
    const QImage img = LoadJpegFile(jpegFile);
    if (img.isNull()) return false;
    ProgramIcon->setPixmap(QPixmap::fromImage(img));
    return true;
}

void TAboutBox::showEvent(QShowEvent* event) {
    // The variants as the phrase table names them, in the language of the moment.
    QStringList variants;
    for (int phrase : {5, 6, 7, 8, 9, 10, 146})
        variants << PhraseString(phrase);
    Copyright->setText(variants.join(", "));
    adjustSize(); // the box was sized for the text it had before
    TModalDialog::showEvent(event);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    auto* link = qobject_cast<QLabel*>(watched);
    if (link && (link == Label1 || link == Label2)) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
            QFont f = link->font();
            f.setUnderline(event->type() == QEvent::Enter);
            link->setFont(f);
        } else if (event->type() == QEvent::MouseButtonPress) {
            ShellPrompts().OpenUrl(link == Label1 ? QString("mailto:") + AboutMailAddress
                                                  : QString(AboutWebAddress));
            return true;
        }
    }
    return TModalDialog::eventFilter(watched, event);
}

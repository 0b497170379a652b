#include "gamedb/ui/f_imp_chb.h"

#include "gamedb/ui/title_width.h"

#include "platform/codepage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <climits>

namespace {
QString FromCp1251(const std::string& text) {
    return QString::fromStdString(Cp1251ToUtf8(text));
}
} // namespace

TFImpCHB::TFImpCHB(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_count(new QLabel(this)), m_gauge(new QProgressBar(this)), m_text(new QLabel(this)),
      m_estimateLabel(new QLabel(this)) {
    setObjectName("FImpCHB");
    setWindowTitle("Import Database");
    FitWidthToTitle(*this);
    setWindowModality(Qt::ApplicationModal);
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_text->setAlignment(Qt::AlignCenter);
    m_estimateLabel->setAlignment(Qt::AlignCenter);
    m_estimateLabel->setText("Time estimated:");
    m_gauge->setRange(0, 1);
    m_gauge->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_count);
    layout->addWidget(m_gauge);
    layout->addWidget(m_text);
    layout->addWidget(m_estimateLabel);
    setFixedWidth(440);
}

void TFImpCHB::BeginProgress(const std::string& caption, const std::string& text, std::int64_t maximum,
                             std::int64_t count) {
    m_busy = true;
    m_estimate.Start(maximum);
    setWindowTitle(FromCp1251(caption));
    m_count->setText(QString::number(count));
    SetProgressText(text);
    m_estimateLabel->setText("Time estimated:");
    // The gauge counts in int: a larger maximum (a file's size) is scaled down to fit.
    const std::int64_t max = m_estimate.Maximum();
    m_scale = max > INT_MAX ? max / INT_MAX + 1 : 1;
    m_gauge->setRange(0, static_cast<int>(std::max<std::int64_t>(max / m_scale, 1)));
    SetGauge(0);
    const bool shown = isVisible();
    if (shown) {
        raise(); // a task that begins again over another window's
    } else {
        adjustSize();
        CentreOnScreen();
        show();
    }
    repaint();
    m_painted.start();
    QCoreApplication::processEvents();
    // Once the window manager has framed the window its outer size is known: centre that.
    if (!shown) CentreOnScreen();
}

void TFImpCHB::StepProgress(std::int64_t position, std::int64_t count) {
    SetGauge(position);
    if (count != 0) m_count->setText(QString::number(count));
    if (const std::string estimate = m_estimate.Text(position); !estimate.empty())
        m_estimateLabel->setText(QString::fromStdString(estimate));
    // A paint costs far more than a step of most tasks: the window is drawn some 25 times a second,
    // however often it is stepped.
    if (!m_painted.isValid() || m_painted.elapsed() >= 40) {
        repaint();
        m_painted.start();
    }
    QCoreApplication::processEvents();
}

void TFImpCHB::SetProgressText(const std::string& text) {
    // A long path would widen the window past the screen: its middle gives way.
    const int width = 440 - layout()->contentsMargins().left() - layout()->contentsMargins().right();
    m_text->setText(m_text->fontMetrics().elidedText(FromCp1251(text), Qt::ElideMiddle, width));
}

void TFImpCHB::EndProgress() {
    m_busy = false;
    hide();
}

void TFImpCHB::reject() {
    if (!m_busy) QDialog::reject();
}

void TFImpCHB::closeEvent(QCloseEvent* event) {
    if (m_busy)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TFImpCHB::keyPressEvent(QKeyEvent* event) {
    if (m_busy && event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFImpCHB::SetGauge(std::int64_t position) {
    const std::int64_t max = m_estimate.Maximum();
    // Past the maximum the gauge is full.
    const std::int64_t value =
        position >= max && max > 0 ? m_gauge->maximum() : ClampProgress(position, max) / m_scale;
    m_gauge->setValue(static_cast<int>(value));
}

void TFImpCHB::CentreOnScreen() {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

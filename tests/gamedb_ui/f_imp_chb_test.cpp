// The progress window offscreen: its texts, gauge and estimate, its modality, and that nothing but
// the end of the task closes it.

#include "gamedb/ui/f_imp_chb.h"
#include "platform/steady_clock.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class FImpCHB : public ::testing::Test {
  protected:
    TFImpCHB window;
    std::int64_t ns = 1'000'000'000;

    void SetUp() override {
        SetSteadyClockSource([this] { return std::chrono::nanoseconds(ns); });
    }
    void TearDown() override {
        window.EndProgress();
        SetSteadyClockSource({});
    }
};

TEST_F(FImpCHB, AsBuilt) {
    EXPECT_EQ(window.windowTitle(), "Import Database");
    EXPECT_EQ(window.EstimateLabel()->text(), "Time estimated:");
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(window.CountLabel()->alignment() & Qt::AlignRight);
    EXPECT_TRUE(window.TextLabel()->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(window.EstimateLabel()->alignment() & Qt::AlignHCenter);
}

TEST_F(FImpCHB, BeginStepEnd) {
    // CP1251 caption and text: "Импорт" and "Игры.chb".
    window.BeginProgress("Import CHB Database", "\xC8\xE3\xF0\xFB.chb", 400, 400);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.Busy());
    EXPECT_EQ(window.windowTitle(), "Import CHB Database");
    EXPECT_EQ(window.TextLabel()->text(), QString::fromUtf8("Игры.chb"));
    EXPECT_EQ(window.CountLabel()->text(), "400");
    EXPECT_EQ(window.Gauge()->value(), 0);
    EXPECT_EQ(window.Gauge()->maximum(), 400);
    EXPECT_EQ(window.EstimateLabel()->text(), "Time estimated:");
    // Centred on the screen.
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_LE(std::abs(window.geometry().center().x() - screen.center().x()), 2);
    EXPECT_LE(std::abs(window.geometry().center().y() - screen.center().y()), 2);

    ns += 10'000'000'000;
    window.StepProgress(100, 0);
    EXPECT_EQ(window.Gauge()->value(), 100);
    EXPECT_EQ(window.CountLabel()->text(), "400"); // a count of 0 leaves the label
    EXPECT_EQ(window.EstimateLabel()->text(), "Estimated time 00:00:30");
    // A new line of text keeps the gauge and the estimate.
    window.SetProgressText("\xC8\xE3\xF0\xFB: 7");
    EXPECT_EQ(window.TextLabel()->text(), QString::fromUtf8("Игры: 7"));
    EXPECT_EQ(window.Gauge()->value(), 100);
    window.StepProgress(100, 0);
    EXPECT_EQ(window.EstimateLabel()->text(), "Estimated time 00:00:30");
    window.StepProgress(200, 1234);
    EXPECT_EQ(window.CountLabel()->text(), "1234");
    window.StepProgress(900, 0); // past the maximum: full, nothing left
    EXPECT_EQ(window.Gauge()->value(), 400);
    EXPECT_EQ(window.EstimateLabel()->text(), "Estimated time 00:00:00");

    window.EndProgress();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.Busy());

    // Reused: the next task starts from an empty gauge and no estimate.
    window.BeginProgress("Copy games", "Copying...", 10, 0);
    EXPECT_EQ(window.Gauge()->value(), 0);
    EXPECT_EQ(window.EstimateLabel()->text(), "Time estimated:");
    window.StepProgress(0, 0); // no estimate at position 0
    EXPECT_EQ(window.EstimateLabel()->text(), "Time estimated:");
}

TEST_F(FImpCHB, MaximumsPastTheGaugesIntRange) {
    window.BeginProgress("Import PDN Database", "big.pdn", 4'000'000'000, 0);
    EXPECT_GT(window.Gauge()->maximum(), 1'000'000'000);
    ns += 10'000'000'000;
    window.StepProgress(3'000'000'000, 0);
    const double fraction = double(window.Gauge()->value()) / window.Gauge()->maximum();
    EXPECT_NEAR(fraction, 0.75, 1e-6);
    EXPECT_EQ(window.EstimateLabel()->text(), "Estimated time 00:00:03");
    window.StepProgress(4'000'000'000, 0);
    EXPECT_EQ(window.Gauge()->value(), window.Gauge()->maximum());
}

TEST_F(FImpCHB, NothingButTheEndOfTheTaskClosesIt) {
    window.BeginProgress("Import CHB Database", "a.chb", 10, 10);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    window.reject();
    EXPECT_TRUE(window.isVisible());
    window.EndProgress();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(FImpCHB, ClicksOnOtherWindowsAreDroppedWhileBusy) {
    QPushButton other("Other");
    int clicks = 0;
    QObject::connect(&other, &QPushButton::clicked, [&] { ++clicks; });
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    auto click = [&] {
        // Through the window system, where modality is applied.
        QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, other.rect().center());
        QCoreApplication::processEvents();
    };

    window.BeginProgress("Import CHB Database", "a.chb", 10, 10);
    EXPECT_EQ(QApplication::activeModalWidget(), &window);
    click();
    window.StepProgress(5, 0);
    window.EndProgress();
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 0); // dropped, not replayed once the task ends

    click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(FImpCHB, StepsLetPendingMessagesRun) {
    window.BeginProgress("Import CHB Database", "a.chb", 10, 10);
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    window.StepProgress(1, 0);
    EXPECT_TRUE(ran);
}

TEST_F(FImpCHB, TheScopeEndsItOnAnErrorPath) {
    try {
        TProgressScope progress(window, "Import CHB Database", "a.chb", 100, 100);
        progress.Step(50, 0);
        ASSERT_TRUE(window.isVisible());
        throw std::runtime_error("read error");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.Busy());
}

} // namespace

// The progress window of a send, on Qt's offscreen platform: the dialog as a widget (texts,
// progress range, phases, the two drawn clips, Cancel), and the Qt view under the real send
// frame, with the send called on the GUI thread and from a worker thread.
#include "frame/gui/ProgressDialog.h"

#include "GuiTestTools.h"
#include "PrivateLog.h"
#include "ScriptedDriver.h"
#include "frame/CompanionViewModule.h"
#include "frame/SendFrame.h"
#include "frame/gui/ClipArt.h"
#include "frame/gui/ClipPlayer.h"
#include "frame/gui/QtProgressView.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <thread>

using namespace std::chrono_literals;

namespace {

ProgressViewSetup kestrelSetup(int messages = 2)
{
    ProgressViewSetup setup;
    setup.tag = "kestrel";
    setup.caption = "IXO/TAP Paging (Acme)";
    setup.versionLabel = "kestrel v1.0";
    setup.initialStatus = "Initializing...";
    setup.progressMaximum = 2 * messages;
    setup.leftClip = 117;
    setup.leftClipFrames = 5;
    setup.rightClip = 118;
    setup.rightClipFrames = 31;
    setup.connectingLastFrame = 15;
    return setup;
}

// The SNPP driver's differences in what its window shows.
FrameConfig ploverConfig()
{
    FrameConfig config;
    config.tag = "plover";
    config.caption = "SNPP Paging";
    config.versionLabel = "";
    config.leftClip = 202;
    config.rightClip = 203;
    config.rightClipFrames = 33;
    config.connectingLastFrame = 12;
    config.cancelAborts = false;
    config.stopEngineWhenViewEnds = false;
    return config;
}

// The progress dialog on screen, or null.
ProgressDialog* shownDialog()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        auto* dialog = qobject_cast<ProgressDialog*>(window);
        if (dialog != nullptr && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

// How many progress dialogs exist, shown or not.
int dialogsAlive()
{
    int count = 0;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        count += qobject_cast<ProgressDialog*>(window) != nullptr ? 1 : 0;
    }
    return count;
}

QString statusOf(QWidget* dialog)
{
    return child<QLabel>(dialog, "statusText")->text();
}

// What the test saw of the dialog at one moment of a send.
struct Seen
{
    bool seen = false;
    QString caption;
    QString version;
    QString status;
    int maximum = -1;
    int value = -1;
    bool barEnabled = false;
    bool cancelEnabled = false;
    int phase = -1;
    int phaseFrame = -1;
    bool linkPlaying = false;
    int linkLast = -1;
    int linkFrames = -1;
    Qt::WindowModality modality = Qt::NonModal;
};

Seen look(ProgressDialog* dialog)
{
    Seen seen;
    seen.seen = true;
    seen.caption = dialog->windowTitle();
    auto* version = child<QLabel>(dialog, "versionLabel");
    seen.version = version != nullptr ? version->text() : QStringLiteral("<none>");
    seen.status = statusOf(dialog);
    auto* bar = child<QProgressBar>(dialog, "progressBar");
    seen.maximum = bar->maximum();
    seen.value = bar->value();
    seen.barEnabled = bar->isEnabled();
    seen.cancelEnabled = child<QPushButton>(dialog, "cancelButton")->isEnabled();
    seen.phase = dialog->phase();
    seen.phaseFrame = child<ClipPlayer>(dialog, "phaseClip")->currentFrame();
    auto* link = child<ClipPlayer>(dialog, "linkClip");
    seen.linkPlaying = link->isPlaying();
    seen.linkLast = link->loopLast();
    seen.linkFrames = link->frameCount();
    seen.modality = dialog->windowModality();
    return seen;
}

ProgressViewFactory qtViews()
{
    return [](const ProgressViewSetup& setup, SendReporter&) {
        return std::unique_ptr<ProgressView>(
            QtProgressView::create(CompanionViewModule::abiVersion, &setup));
    };
}

// Events of a view run without a send frame.
class CountingEvents final : public ProgressViewEvents
{
public:
    void viewShown() override { ++shown; }
    void cancelPressed() override { ++cancels; }
    int shown = 0;
    int cancels = 0;
};

// Waits up to ten seconds for the condition, on whichever thread (not the GUI thread).
bool waitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 2000 && !condition(); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    return condition();
}

} // namespace

class ProgressDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsWhatTheSpecSays();
    void aSpecWithoutVersionLabelShowsNone();
    void phaseShowsItsFrameAndEnablesTheBarWhileSending_data();
    void phaseShowsItsFrameAndEnablesTheBarWhileSending();
    void clipsAreDrawnFramePerFrame();
    void rightAnimationPlaysItsLoops();
    void aLoopWrapsToItsFirstFrame();
    void cancelAsksWithoutClosing();
    void disabledCancelAsksNothing();
    void finishClosesWithItsResult();
    void emptyListShowsAnEmptyBar();

    void viewIsMadeOnlyForThisInterfaceVersion();
    void endBeforeRunReturnsAtOnce();
    void sendShowsTheDialog_data();
    void sendShowsTheDialog();
    void cancelFromTheDialog_data();
    void cancelFromTheDialog();
    void frameDisablesCancel();
    void updatesArriveInOrder();

private:
    // Runs one send with the Qt view, on the GUI thread (whose modal loop then serves the
    // polling timer) or on a worker thread (the GUI thread goes on serving events); `poll`
    // runs on the GUI thread every 10 ms while the send runs. Returns send()'s result.
    int runSend(const FrameConfig& config, bool fromWorker, const std::function<void()>& poll);

    std::unique_ptr<PrivateLog> m_store;
    ScriptedDriver m_driver;
    MessageList m_messages;
    SendRequest m_request;
};

void ProgressDialogTest::init()
{
    m_store = std::make_unique<PrivateLog>();
    m_driver.body = [](SendFrame&) {};
    m_driver.cancels = 0;
    m_messages.clear();
    QVERIFY(m_messages.add("1", "one"));
    QVERIFY(m_messages.add("2", "two"));
    m_request = SendRequest {};
    m_request.address = "5551234";
    m_request.providerName = "Acme";
    m_request.timings.callWait = 10s;
    m_request.timings.updateWait = 5s;
    m_request.timings.threadWait = 20s;
    m_request.timings.statusPause = 0ms;
    m_request.viewFactory = qtViews();
}

void ProgressDialogTest::cleanup()
{
    // Every dialog is gone once the deferred deletions have run.
    QTRY_COMPARE(dialogsAlive(), 0);
    m_store.reset();
}

int ProgressDialogTest::runSend(const FrameConfig& config, bool fromWorker,
                                const std::function<void()>& poll)
{
    SendFrame frame(config, m_driver);
    QTimer timer;
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, poll);
    timer.start();
    if (!fromWorker) {
        return frame.send(m_request, m_messages);
    }
    int result = -999;
    if (!onWorker([&] { result = frame.send(m_request, m_messages); }, 20000)) {
        qWarning("the send from a worker thread took more than 20 seconds");
    }
    return result;
}

void ProgressDialogTest::showsWhatTheSpecSays()
{
    ProgressDialog dialog(kestrelSetup(3));
    dialog.show();
    const Seen seen = look(&dialog);
    QCOMPARE(seen.caption, QStringLiteral("IXO/TAP Paging (Acme)"));
    QCOMPARE(seen.version, QStringLiteral("kestrel v1.0"));
    QCOMPARE(child<QLabel>(&dialog, "versionLabel")->alignment() & Qt::AlignRight, Qt::AlignRight);
    QCOMPARE(seen.status, QStringLiteral("Initializing..."));
    QCOMPARE(child<QProgressBar>(&dialog, "progressBar")->minimum(), 0);
    QCOMPARE(seen.maximum, 6);
    QCOMPARE(seen.value, 0);
    QVERIFY(!seen.barEnabled);
    QVERIFY(seen.cancelEnabled);
    QCOMPARE(child<QPushButton>(&dialog, "cancelButton")->text(), QStringLiteral("Cancel"));
    QCOMPARE(seen.phaseFrame, 0);
    QCOMPARE(child<ClipPlayer>(&dialog, "phaseClip")->frameCount(), 5);
    QCOMPARE(seen.linkFrames, 31);
    QVERIFY(!seen.linkPlaying);
    QCOMPARE(child<ClipPlayer>(&dialog, "linkClip")->currentFrame(), 0);
}

void ProgressDialogTest::aSpecWithoutVersionLabelShowsNone()
{
    ProgressViewSetup setup = kestrelSetup();
    setup.versionLabel.clear();
    setup.caption = "SNPP Paging";
    ProgressDialog dialog(setup);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("SNPP Paging"));
    QVERIFY(child<QLabel>(&dialog, "versionLabel") == nullptr);
}

void ProgressDialogTest::phaseShowsItsFrameAndEnablesTheBarWhileSending_data()
{
    QTest::addColumn<int>("phase");
    QTest::addColumn<bool>("barEnabled");
    QTest::newRow("idle") << 0 << false;
    QTest::newRow("dialling") << 1 << false;
    QTest::newRow("logging in") << 2 << false;
    QTest::newRow("sending") << 3 << true;
    QTest::newRow("hanging up") << 4 << false;
}

void ProgressDialogTest::phaseShowsItsFrameAndEnablesTheBarWhileSending()
{
    QFETCH(int, phase);
    QFETCH(bool, barEnabled);
    ProgressDialog dialog(kestrelSetup());
    dialog.setPhase(3);
    dialog.setPhase(phase);
    QCOMPARE(child<ClipPlayer>(&dialog, "phaseClip")->currentFrame(), phase);
    QCOMPARE(child<QProgressBar>(&dialog, "progressBar")->isEnabled(), barEnabled);
}

void ProgressDialogTest::clipsAreDrawnFramePerFrame()
{
    const QVector<QPixmap> phases = ClipArt::phaseFrames(ClipArt::Theme::ModemLine, 5);
    QCOMPARE(phases.size(), 5);
    for (int i = 0; i < phases.size(); ++i) {
        QCOMPARE(phases[i].size(), QSize(122, 84));
        for (int j = 0; j < i; ++j) {
            QVERIFY2(phases[i].toImage() != phases[j].toImage(),
                     qPrintable(QStringLiteral("phase frames %1 and %2 are alike").arg(j).arg(i)));
        }
    }
    const QVector<QPixmap> links = ClipArt::linkFrames(ClipArt::Theme::ModemLine, 31, 15);
    QCOMPARE(links.size(), 31);
    QCOMPARE(links[30].size(), QSize(100, 130));
    QVERIFY(links[0].toImage() != links[1].toImage());
    QVERIFY(links[16].toImage() != links[30].toImage());
    // The network driver's pictures are its own.
    QVERIFY(ClipArt::phaseFrames(ClipArt::Theme::Network, 5)[1].toImage() != phases[1].toImage());
    QCOMPARE(ClipArt::linkFrames(ClipArt::Theme::Network, 33, 12).size(), 33);
    QVERIFY(!ClipArt::controlIcon(ClipArt::Theme::ModemLine).isNull());
}

void ProgressDialogTest::rightAnimationPlaysItsLoops()
{
    ProgressDialog dialog(kestrelSetup());
    auto* link = child<ClipPlayer>(&dialog, "linkClip");
    dialog.setRightAnimation(RightAnimation::Connecting);
    QVERIFY(link->isPlaying());
    QCOMPARE(link->loopFirst(), 0);
    QCOMPARE(link->loopLast(), 15);
    QSignalSpy frames(link, &ClipPlayer::frameShown);
    QTRY_VERIFY(frames.count() >= 2);
    QCOMPARE(frames.at(0).at(0).toInt(), 1);

    dialog.setRightAnimation(RightAnimation::Connected);
    QVERIFY(link->isPlaying());
    QCOMPARE(link->loopLast(), 30);
    QCOMPARE(link->currentFrame(), 0);

    QTRY_VERIFY(link->currentFrame() > 0);
    dialog.setRightAnimation(RightAnimation::Stopped);
    QVERIFY(!link->isPlaying());
    const int held = link->currentFrame();
    QTest::qWait(3 * 1000 / ClipPlayer::framesPerSecond);
    QCOMPARE(link->currentFrame(), held);
}

void ProgressDialogTest::aLoopWrapsToItsFirstFrame()
{
    ClipPlayer player(ClipArt::linkFrames(ClipArt::Theme::ModemLine, 31, 15));
    QSignalSpy frames(&player, &ClipPlayer::frameShown);
    player.play(13, 15);
    QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 6, 5000);
    QList<int> shown;
    for (const QList<QVariant>& call : frames) {
        shown.append(call.at(0).toInt());
    }
    QCOMPARE(shown.mid(0, 6), (QList<int> {13, 14, 15, 13, 14, 15}));
}

void ProgressDialogTest::cancelAsksWithoutClosing()
{
    ProgressDialog dialog(kestrelSetup());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy asked(&dialog, &ProgressDialog::cancelRequested);
    QTest::mouseClick(child<QPushButton>(&dialog, "cancelButton"), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.close());
    QCOMPARE(asked.count(), 3);
    QVERIFY(dialog.isVisible());
}

void ProgressDialogTest::disabledCancelAsksNothing()
{
    ProgressDialog dialog(kestrelSetup());
    dialog.show();
    QSignalSpy asked(&dialog, &ProgressDialog::cancelRequested);
    dialog.setCancelEnabled(false);
    QTest::mouseClick(child<QPushButton>(&dialog, "cancelButton"), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.close());
    QCOMPARE(asked.count(), 0);
    dialog.setCancelEnabled(true);
    QTest::mouseClick(child<QPushButton>(&dialog, "cancelButton"), Qt::LeftButton);
    QCOMPARE(asked.count(), 1);
}

void ProgressDialogTest::finishClosesWithItsResult()
{
    ProgressDialog dialog(kestrelSetup());
    dialog.show();
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.finish(2);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), 2);
}

void ProgressDialogTest::emptyListShowsAnEmptyBar()
{
    ProgressDialog dialog(kestrelSetup(0));
    auto* bar = child<QProgressBar>(&dialog, "progressBar");
    // Not a busy indicator (a range of 0..0): an empty bar.
    QVERIFY(bar->maximum() > bar->minimum());
    QCOMPARE(bar->value(), 0);
}

void ProgressDialogTest::viewIsMadeOnlyForThisInterfaceVersion()
{
    const ProgressViewSetup setup = kestrelSetup();
    QVERIFY(QtProgressView::create(CompanionViewModule::abiVersion + 1, &setup) == nullptr);
    QVERIFY(QtProgressView::create(CompanionViewModule::abiVersion, nullptr) == nullptr);
    const std::unique_ptr<QtProgressView> view(
        QtProgressView::create(CompanionViewModule::abiVersion, &setup));
    QVERIFY(view != nullptr);
    QVERIFY(view->isVisible());
}

void ProgressDialogTest::endBeforeRunReturnsAtOnce()
{
    const ProgressViewSetup setup = kestrelSetup();
    QtProgressView view(setup);
    view.end(2);
    view.end(1);
    CountingEvents events;
    QCOMPARE(view.run(events), 2);
    QCOMPARE(events.shown, 0);
    QCOMPARE(dialogsAlive(), 0);

    // From another thread too: nothing is shown and run() does not wait.
    QtProgressView other(setup);
    other.end(1);
    int result = 0;
    std::thread worker([&] { result = other.run(events); });
    worker.join();
    QCOMPARE(result, 1);
    QCOMPARE(events.shown, 0);
}

void ProgressDialogTest::sendShowsTheDialog_data()
{
    QTest::addColumn<bool>("fromWorker");
    QTest::addColumn<bool>("plover");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("linkFrames");
    QTest::addColumn<int>("connectingLast");
    QTest::addColumn<int>("modality");
    QTest::newRow("IXO/TAP, send on the GUI thread")
        << false << false << "IXO/TAP Paging (Acme)"
        << "kestrel v1.0" << 31 << 15 << int(Qt::ApplicationModal);
    QTest::newRow("IXO/TAP, send from a worker thread")
        << true << false << "IXO/TAP Paging (Acme)"
        << "kestrel v1.0" << 31 << 15 << int(Qt::NonModal);
    QTest::newRow("SNPP, send on the GUI thread")
        << false << true << "SNPP Paging (Acme)"
        << "<none>" << 33 << 12 << int(Qt::ApplicationModal);
    QTest::newRow("SNPP, send from a worker thread") << true << true << "SNPP Paging (Acme)"
                                                     << "<none>" << 33 << 12 << int(Qt::NonModal);
}

void ProgressDialogTest::sendShowsTheDialog()
{
    QFETCH(bool, fromWorker);
    QFETCH(bool, plover);
    QFETCH(QString, caption);
    QFETCH(QString, version);
    QFETCH(int, linkFrames);
    QFETCH(int, connectingLast);
    QFETCH(int, modality);

    Latch dialling;
    Latch sending;
    m_driver.body = [&](SendFrame& frame) {
        frame.setPhase(1);
        frame.setRightAnimation(RightAnimation::Connecting);
        frame.setStatus("Dialing " + frame.address());
        (void)dialling.wait();
        frame.setRightAnimation(RightAnimation::Connected);
        frame.setPhase(3);
        frame.setProgress(4);
        frame.setStatus("Sending...");
        (void)sending.wait();
    };
    Seen atDialling;
    Seen atSending;
    const int result = runSend(plover ? ploverConfig() : FrameConfig {}, fromWorker, [&] {
        ProgressDialog* dialog = shownDialog();
        if (dialog == nullptr) {
            return;
        }
        if (!atDialling.seen && statusOf(dialog) == QStringLiteral("Dialing 5551234")) {
            atDialling = look(dialog);
            dialling.open();
        } else if (!atSending.seen && statusOf(dialog) == QStringLiteral("Sending...")) {
            atSending = look(dialog);
            sending.open();
        }
    });
    QCOMPARE(result, 0);

    QVERIFY(atDialling.seen);
    QCOMPARE(atDialling.caption, caption);
    QCOMPARE(atDialling.version, version);
    QCOMPARE(atDialling.modality, Qt::WindowModality(modality));
    QCOMPARE(atDialling.maximum, 4);
    QCOMPARE(atDialling.phase, 1);
    QCOMPARE(atDialling.phaseFrame, 1);
    QVERIFY(!atDialling.barEnabled);
    QVERIFY(atDialling.linkPlaying);
    QCOMPARE(atDialling.linkFrames, linkFrames);
    QCOMPARE(atDialling.linkLast, connectingLast);

    QVERIFY(atSending.seen);
    QCOMPARE(atSending.phase, 3);
    QVERIFY(atSending.barEnabled);
    QCOMPARE(atSending.value, 4);
    QCOMPARE(atSending.linkLast, linkFrames - 1);

    // The protocol thread's end closed the dialog.
    QTRY_VERIFY(shownDialog() == nullptr);
    QCOMPARE(m_store->levelOf("Modal dialog returns 1", plover ? "plover" : "kestrel"), 9);
}

void ProgressDialogTest::cancelFromTheDialog_data()
{
    QTest::addColumn<bool>("fromWorker");
    QTest::newRow("send on the GUI thread") << false;
    QTest::newRow("send from a worker thread") << true;
}

void ProgressDialogTest::cancelFromTheDialog()
{
    QFETCH(bool, fromWorker);
    Latch observed;
    m_driver.body = [&](SendFrame& frame) {
        frame.setPhase(1);
        frame.setStatus("Dialing " + frame.address());
        // Cancel reaches the driver once the frame has shown it.
        (void)waitFor([this] { return m_driver.cancels.load() > 0; });
        (void)observed.wait();
    };
    bool clicked = false;
    Seen afterCancel;
    const int result = runSend(FrameConfig {}, fromWorker, [&] {
        ProgressDialog* dialog = shownDialog();
        if (dialog == nullptr) {
            return;
        }
        if (!clicked && statusOf(dialog) == QStringLiteral("Dialing 5551234")) {
            clicked = true;
            QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
        } else if (clicked && !afterCancel.seen && statusOf(dialog) == QStringLiteral("Aborting...")
                   && !child<QPushButton>(dialog, "cancelButton")->isEnabled()) {
            afterCancel = look(dialog);
            observed.open();
        }
    });
    QCOMPARE(result, 213);
    QVERIFY(afterCancel.seen);
    QCOMPARE(m_driver.cancels.load(), 1);
    QCOMPARE(m_store->levelOf("User clicked cancel button"), 9);
    QTRY_VERIFY(shownDialog() == nullptr);
}

void ProgressDialogTest::frameDisablesCancel()
{
    Latch observed;
    m_driver.body = [&](SendFrame& frame) {
        frame.setCancelEnabled(false);
        frame.setStatus("No free lines");
        (void)observed.wait();
    };
    bool pressed = false;
    const int result = runSend(FrameConfig {}, true, [&] {
        ProgressDialog* dialog = shownDialog();
        if (dialog == nullptr || pressed || statusOf(dialog) != QStringLiteral("No free lines")
            || child<QPushButton>(dialog, "cancelButton")->isEnabled()) {
            return;
        }
        pressed = true;
        QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
        QTest::keyClick(dialog, Qt::Key_Escape);
        dialog->close();
        observed.open();
    });
    QVERIFY(pressed);
    QCOMPARE(result, 0);
    QCOMPARE(m_driver.cancels.load(), 0);
}

void ProgressDialogTest::updatesArriveInOrder()
{
    m_messages.clear();
    for (int i = 0; i < 20; ++i) {
        QVERIFY(m_messages.add(std::to_string(i), "m"));
    }
    Latch watching;
    Latch observed;
    m_driver.body = [&](SendFrame& frame) {
        (void)watching.wait();
        for (int i = 1; i <= 40; ++i) {
            frame.setProgress(i);
            frame.setStatus("step " + std::to_string(i));
        }
        (void)observed.wait();
    };
    QList<int> values;
    QPointer<QProgressBar> watched;
    QString lastStatus;
    const int result = runSend(FrameConfig {}, true, [&] {
        ProgressDialog* dialog = shownDialog();
        if (dialog == nullptr) {
            return;
        }
        if (watched == nullptr) {
            watched = child<QProgressBar>(dialog, "progressBar");
            connect(watched, &QProgressBar::valueChanged, this,
                    [&values](int value) { values.append(value); });
            watching.open();
        } else if (statusOf(dialog) == QStringLiteral("step 40")) {
            lastStatus = statusOf(dialog);
            observed.open();
        }
    });
    QCOMPARE(result, 0);
    QCOMPARE(lastStatus, QStringLiteral("step 40"));
    QList<int> expected;
    for (int i = 1; i <= 40; ++i) {
        expected.append(i);
    }
    QCOMPARE(values, expected);
}

QTEST_MAIN(ProgressDialogTest)
#include "ProgressDialogTest.moc"

#include "frame/gui/ProgressDialog.h"

#include "frame/gui/ClipArt.h"
#include "frame/gui/ClipPlayer.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QString fromDriver(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ProgressDialog::ProgressDialog(const ProgressViewSetup& setup, QWidget* parent)
    : QDialog(parent)
    , m_setup(setup)
{
    setWindowTitle(fromDriver(setup.caption));
    const ClipArt::Theme theme = ClipArt::themeOf(fromDriver(setup.tag));

    m_phaseClip = new ClipPlayer(ClipArt::phaseFrames(theme, setup.leftClipFrames), this);
    m_phaseClip->setObjectName(QStringLiteral("phaseClip"));
    m_linkClip = new ClipPlayer(
        ClipArt::linkFrames(theme, setup.rightClipFrames, setup.connectingLastFrame), this);
    m_linkClip->setObjectName(QStringLiteral("linkClip"));

    m_status = new QLabel(fromDriver(setup.initialStatus), this);
    m_status->setObjectName(QStringLiteral("statusText"));
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Two lines under the phase clip, as wide as it: a long status wraps instead of
    // widening the window.
    m_status->setFixedWidth(m_phaseClip->width());
    m_status->setMinimumHeight(2 * fontMetrics().height());

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setTextVisible(false);
    // A range of 0..0 would turn the bar into a busy indicator; an empty list shows an
    // empty bar instead.
    m_progress->setRange(0, setup.progressMaximum > 0 ? setup.progressMaximum : 1);
    m_progress->setValue(0);
    m_progress->setEnabled(false);

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &ProgressDialog::requestCancel);

    auto* left = new QVBoxLayout;
    left->addWidget(m_phaseClip);
    left->addWidget(m_status);
    left->addStretch();
    auto* clips = new QHBoxLayout;
    clips->addLayout(left);
    clips->addSpacing(12);
    clips->addWidget(m_linkClip, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    if (!setup.versionLabel.empty()) {
        auto* version = new QLabel(fromDriver(setup.versionLabel), this);
        version->setObjectName(QStringLiteral("versionLabel"));
        version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        layout->addWidget(version);
    }
    layout->addLayout(clips);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ProgressDialog::setPhase(int phase)
{
    m_phase = phase;
    m_phaseClip->showFrame(phase);
    m_progress->setEnabled(phase == sendingPhase);
}

void ProgressDialog::setStatus(const QString& text)
{
    m_status->setText(text);
}

void ProgressDialog::setProgress(int value)
{
    m_progress->setValue(value);
}

void ProgressDialog::setCancelEnabled(bool enabled)
{
    m_cancel->setEnabled(enabled);
}

void ProgressDialog::setRightAnimation(RightAnimation animation)
{
    if (animation == m_animation
        && (animation == RightAnimation::Stopped || m_linkClip->isPlaying())) {
        return;
    }
    m_animation = animation;
    switch (animation) {
    case RightAnimation::Connecting:
        m_linkClip->play(0, m_setup.connectingLastFrame);
        break;
    case RightAnimation::Connected:
        m_linkClip->play(0, m_linkClip->frameCount() - 1);
        break;
    case RightAnimation::Stopped:
        m_linkClip->stop();
        break;
    }
}

void ProgressDialog::finish(int result)
{
    done(result);
}

void ProgressDialog::reject()
{
    requestCancel();
}

void ProgressDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    requestCancel();
}

void ProgressDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Centred on the desktop, whoever owns it.
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void ProgressDialog::requestCancel()
{
    if (m_cancel->isEnabled()) {
        emit cancelRequested();
    }
}

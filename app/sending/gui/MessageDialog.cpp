#include "sending/gui/MessageDialog.h"

#include "gui/HelpTopics.h"
#include "sending/gui/SendingIcons.h"
#include "text/StringTable.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

MessageDialog::MessageDialog(int messageId, const QString& helpKey, const QString& origin,
                             QWidget* parent, const QString& text)
    : QDialog(parent)
    , m_messageId(messageId)
    , m_helpKey(helpKey)
    , m_origin(origin)
{
    setObjectName(QStringLiteral("messageDialog"));
    setWindowTitle(QStringLiteral("Norvane Desk Error"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("pictureLabel"));
    picture->setPixmap(SendingIcons::programIcon().pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* message = new QLabel(text.isEmpty() ? messageText(messageId) : text, this);
    message->setObjectName(QStringLiteral("messageLabel"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Wide enough for the longest line of the program's messages without wrapping.
    message->setMinimumWidth(message->fontMetrics().averageCharWidth() * 40);

    auto* buttons = new QDialogButtonBox(Qt::Horizontal, this);
    buttons->setCenterButtons(true);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton* help = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("helpButton"));
    help->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &MessageDialog::openHelp);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &MessageDialog::openHelp);

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addWidget(message, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
}

bool MessageDialog::s_skipNext = false;
std::optional<MessageDialog::Request> MessageDialog::s_lastSkipped;

void MessageDialog::run(int messageId, const QString& helpKey, const QString& origin,
                        QWidget* parent, const QString& text)
{
    if (s_skipNext) {
        s_skipNext = false;
        s_lastSkipped
            = Request {messageId, helpKey, origin, text.isEmpty() ? messageText(messageId) : text};
        return;
    }
    MessageDialog dialog(messageId, helpKey, origin, parent, text);
    dialog.exec();
}

void MessageDialog::skipNext()
{
    s_skipNext = true;
}

std::optional<MessageDialog::Request> MessageDialog::lastSkipped()
{
    return s_lastSkipped;
}

std::uint32_t MessageDialog::helpContext() const
{
    return static_cast<std::uint32_t>(StringTable::errorCode(m_messageId));
}

void MessageDialog::openHelp()
{
    (void)HelpTopics::open(this, helpContext(), m_helpKey);
}

QString MessageDialog::messageText(int messageId)
{
    const std::string_view text = StringTable::text(messageId);
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

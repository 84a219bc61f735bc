#include "tutorial/WelcomeDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

WelcomeDialog::WelcomeDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("welcomeDialog"));
    setWindowTitle(QStringLiteral("Welcome To Norvane Desk"));

    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/sending/icons/norvane.svg")).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* intro = new QLabel(QStringLiteral("Norvane Desk can guide you through some of common "
                                            "tasks. This is called the tutorial mode."),
                             this);
    intro->setObjectName(QStringLiteral("introText"));
    intro->setWordWrap(true);
    auto* question = new QLabel(QStringLiteral("Run Norvane Desk in tutorial mode?"), this);
    question->setObjectName(QStringLiteral("questionText"));
    question->setWordWrap(true);

    auto* yes = new QPushButton(QStringLiteral("&Yes"), this);
    yes->setObjectName(QStringLiteral("yesButton"));
    yes->setDefault(true);
    auto* no = new QPushButton(QStringLiteral("&No"), this);
    no->setObjectName(QStringLiteral("noButton"));
    no->setAutoDefault(false);
    m_dontShow = new QCheckBox(QStringLiteral("Don't show this message in the future"), this);
    m_dontShow->setObjectName(QStringLiteral("dontShowBox"));

    auto* text = new QVBoxLayout;
    text->addWidget(intro);
    text->addSpacing(6);
    text->addWidget(question);
    text->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    text->addLayout(buttons);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(10);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addSpacing(6);
    layout->addWidget(m_dontShow);

    setMinimumWidth(380);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(yes, no);
    setTabOrder(no, m_dontShow);
}

bool WelcomeDialog::dontShowAgain() const
{
    return m_dontShow->isChecked();
}
